// The set-up editor's actions: a position built stone by stone, which the engine places and
// reports back to be drawn, analysed, or played from. The game stays in the state while
// the set-up is edited, so that Back to the game restores it with its views.
//
// page: what actions.js shares (state, redraw, redrawSoon, ask, load, freeEngine, fail, name).
import { gameSpec, idle, reset, setupSpec, shownEntries } from './state.js';
import { colourName } from './notation.js';

const FIVE_REFUSED =
  'A position with a five on it cannot be analysed or played: remove one of its stones first.';

export function setupActions(page) {
  const { state, redraw, redrawSoon, ask, load, freeEngine, fail, name } = page;
  const editing = () => state.mode === 'setup' &&
    (state.phase === 'setup' || state.phase === 'analysing');

  function refuseFive() {
    reset(state);
    state.said = FIVE_REFUSED;
    redraw();
  }

  // The position on the board (the reviewed one too, or the first `entries` of the
  // history) becomes the set-up.
  function enterSetup(entries = shownEntries(state)) {
    if (!idle(state) && state.phase !== 'thinking') return;
    const shown = state.game.moves.slice(0, entries);
    Object.assign(state.setup, {
      stones: shown.filter(Boolean), turn: shown.length % 2, you: state.you, game: null,
    });
    state.mode = 'setup';
    return syncSetup();
  }

  // The set-up into the engine (ending an analysis), which reports it back to be drawn.
  async function syncSetup() {
    freeEngine();
    reset(state);
    const { stones, turn } = state.setup;
    const of = (colour) => stones.filter((s) => s[2] === colour).map(([x, y]) => [x, y]);
    const { width, height } = state.game;
    const reply = await ask('busy', 'position',
      { width, height, toMove: turn, moves: [], black: of(0), white: of(1) });
    if (!reply) return;
    if (!reply.ok) return fail('the set-up could not be placed: ' + reply.error);
    Object.assign(state, { phase: 'setup', search: null });
    state.setup.game = reply.game;
    redraw();
  }

  // A click places a stone of the chosen colour, or takes away the stone there.
  function editSetup(x, y) {
    if (!editing()) return;
    const { setup } = state;
    const at = setup.stones.findIndex((s) => s[0] === x && s[1] === y);
    if (at >= 0) setup.stones.splice(at, 1);
    else setup.stones.push([x, y, setup.colour]);
    return syncSetup();
  }

  // An empty board is black's to move.
  function clearSetup() {
    if (!editing()) return;
    Object.assign(state.setup, { stones: [], turn: 0 });
    return syncSetup();
  }

  // field: colour (of the next stone), turn (the side to move) or you.
  function setSetup(field, value) {
    if (state.mode !== 'setup') return;
    state.setup[field] = value;
    if (field === 'turn' && editing()) return syncSetup();
    redraw();
  }

  // The best moves of the set-up, drawn and listed as they come.
  async function analyse() {
    if (state.phase !== 'setup') return;
    if (state.setup.game.anyFive) return refuseFive();
    reset(state);
    const { toMove: mover, moves: { length: entries } } = state.setup.game;
    const analysis = { mover, entries, moves: [] };
    Object.assign(state, { analysis, search: { kind: 'analysis', mover } });
    const reply = await ask('analysing', 'analyse', { entries, ms: state.think }, (message) => {
      if (message.live) analysis.moves[message.live.rank] = state.live = message.live;
      redrawSoon();
    });
    if (!reply) return;
    Object.assign(state, { search: null, live: null });
    if (reply.ok) {
      analysis.moves = reply.moves;
      const best = name(reply.moves[0].move);
      state.said = `Analysis: the best move for ${colourName(mover)} is ${best}.`;
    } else {
      state.analysis = null;
      state.said = `No analysis: ${reply.error}.`;
    }
    state.phase = 'setup';
    redraw();
  }

  function playFromHere() {
    if (!editing()) return;
    if (state.setup.game?.anyFive) return refuseFive();
    return load(setupSpec(state), { how: 'push' });
  }

  // Back to the game as it was, the engine's reports of its moves kept.
  function leaveSetup() {
    if (state.mode !== 'setup' || state.phase === 'loading' || state.phase === 'error') return;
    return load(gameSpec(state), { how: null, reports: state.notes.map((n) => n.report) });
  }

  return {
    enterSetup, syncSetup, editSetup, clearSetup, setSetup, analyse, playFromHere, leaveSetup,
  };
}
