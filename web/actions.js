// The ways the page's state changes: each action takes the state as it is, asks the engine
// what it needs through one helper (ask), and ends in a redraw. The engine judges every
// stone; the page only keeps what it reports. The set-up editor's actions are in
// setup-actions.js.
//
// host: {client (engine-client.js), redraw(), history (address.js bindHistory), seed(),
// copy(text) (a promise), save() (the preferences), local (an address of file:)}.
import { decodeAddress, encodeAddress } from './address.js';
import {
  adoptGame, DEFAULT_LEVEL, emptyGame, ended, engineColour, gameSpec, idle, reset, searching,
  setupSpec, shownEntries, stoneAt,
} from './state.js';
import { squareName } from './notation.js';
import { setupActions } from './setup-actions.js';
import { gameText } from './words.js';

export function createActions(state, host) {
  const { client, redraw, history } = host;
  const name = (square) => squareName(square, state.game.height);

  // Every request: the phase while it runs, the reply (null when a newer game or a Stop has
  // made it stale), and the game it reports taken as the page's. A set-up is taken by its
  // callers, who know which part of the history it is.
  async function ask(phase, op, args) {
    state.phase = phase;
    redraw();
    const reply = await client.call(op, args);
    if (reply && reply.ok && reply.game && op !== 'position') adoptGame(state, reply.game);
    return reply;
  }

  // The engine for a new position: a running search (or a failed worker) ends with its
  // worker; otherwise the replies still on their way become stale.
  function freeEngine() {
    if (searching(state) || state.phase === 'error' || !client.running()) client.restart();
    else client.newGeneration();
  }

  function fail(message) {
    client.newGeneration();
    state.phase = 'error';
    state.error = `Error: ${message}.` +
      (host.local ? ' Serve this folder over http: tools/play-in-browser.sh.' : '') +
      ' New game tries again.';
    redraw();
  }

  function writeAddress(how) {
    if (state.mode === 'play') history.write(encodeAddress(gameSpec(state)), how);
  }

  // The game of a spec (see address.js) into the engine. how: push or replace the address
  // (null: leave it). fromAddress: a refusal is the address's fault, and a new game
  // replaces it. reports: the engine's known reports of the moves, by index.
  async function load(spec, { how, fromAddress = false, reports = [] }) {
    freeEngine();
    reset(state);
    const centre = [spec.size >> 1, spec.size >> 1];
    Object.assign(state, { mode: 'play', search: null, cursor: centre });
    const hasSetup = spec.black.length + spec.white.length > 0;
    const reply = await ask(state.phase === 'loading' ? 'loading' : 'busy', 'position', {
      width: spec.size, height: spec.size, black: spec.black, white: spec.white,
      toMove: hasSetup ? spec.toMove : undefined, moves: spec.moves,
    });
    if (!reply) return;
    if (!reply.ok || reply.game.anyFive && spec.moves.length === 0) {
      const what = reply.ok ? 'its set-up has a five on it' : refusal(spec, reply);
      if (fromAddress) return badAddress(what);
      return fail('the position could not be set up: ' + what);
    }
    const setupToMove = hasSetup ? spec.toMove : 0;
    Object.assign(state, { you: spec.you, level: spec.level, setupToMove });
    const first = state.setupToMove;
    let engineMoves = 0;
    state.notes = spec.moves.map((_, i) => ((first + i) % 2 === engineColour(state)
      ? { level: spec.levels[engineMoves++], report: reports[i] || null }
      : { level: null, report: null }));
    adoptGame(state, reply.game, reply.game.moves.length - spec.moves.length);
    if (how) writeAddress(how);
    goOn();
  }

  // Which stone of a spec the engine refused, and why.
  function refusal(spec, reply) {
    const list = { black: spec.black, white: spec.white, moves: spec.moves }[reply.list];
    if (!list || !list[reply.index]) return reply.error;
    const what = reply.list === 'moves' ? 'move' : reply.list + ' stone';
    const square = squareName(list[reply.index], spec.size);
    return `${what} ${reply.index + 1}, ${square}, is ${reply.error}`;
  }

  // Whose turn it is decides what comes next.
  function goOn() {
    state.search = null;
    if (ended(state)) state.phase = 'over';
    else if (state.game.toMove === state.you) state.phase = 'person';
    else return engineMove();
    redraw();
  }

  function newGame({ size = state.game.width, you = state.you, how = 'push' } = {}) {
    state.game = emptyGame(size);  // drawn while the engine sets it up
    state.setupCount = 0;
    state.notes = [];
    const spec = { size, black: [], white: [], toMove: 0, you, level: state.level };
    return load({ ...spec, moves: [], levels: [] }, { how });
  }

  function badAddress(what) {
    const started = newGame({ how: 'replace' });
    state.notice = `The address could not be read as a game (${what}), so a new game has started.`;
    redraw();
    return started;
  }

  function loadAddress(text, how = 'replace') {
    if (!state.about) return;  // the first worker's description reads it (ready)
    if (!text) return newGame({ how });
    let spec;
    try {
      spec = decodeAddress(text, { about: state.about, level: state.level });
    } catch (error) {
      return badAddress(error.message);
    }
    return load(spec, { how, fromAddress: true });
  }

  async function engineMove() {
    const level = state.level;
    state.search = { kind: 'move', level, mover: state.game.toMove };
    const args = { level, ms: state.think, seed: host.seed() };
    const reply = await ask('thinking', 'engineMove', args);
    if (!reply) return;
    if (!reply.ok) return fail('the engine found no move: ' + reply.error);
    state.notes[state.notes.length - 1] = { level, report: reply.report };
    state.said = `Quillmot played ${name(reply.report.move)}.`;
    writeAddress('replace');
    goOn();
  }

  async function personMove(x, y) {
    if (state.phase !== 'person' || state.reviewAt !== null) return;
    if (stoneAt(state.game, [x, y])) return;  // a click on a stone
    reset(state);
    const reply = await ask('busy', 'place', { x, y });
    if (!reply) return;
    if (reply.ok) writeAddress('replace');
    goOn();
  }

  // Takes back every move from history entry `from` on, and play goes on from there.
  async function dropFrom(from) {
    reset(state);
    const reply = await ask('busy', 'takeBack', { count: state.game.moves.length - from });
    if (!reply) return;
    writeAddress('replace');
    goOn();
  }

  // The person's last stone and the engine's reply to it, never into the set-up. While the
  // engine thinks about its reply, Stop does it.
  function takeBack() {
    if (state.phase === 'thinking') return stop();
    if (!idle(state) || state.reviewAt !== null) return;
    const mine = (m, i) => i >= state.setupCount && m[2] === state.you;
    const last = state.game.moves.findLastIndex(mine);
    if (last >= 0) return dropFrom(last);
  }

  // Ends the running search with its worker and puts the game back into a new one (load
  // and syncSetup end the worker of a search). The engine's move is stopped by taking back
  // the person's move it answers, so that it does not simply think again; with no such move,
  // the position goes back to the set-up.
  function stop() {
    if (!searching(state)) return;
    const kind = state.phase;
    if (kind === 'analysing') return setup.syncSetup();
    const spec = gameSpec(state);
    const reports = state.notes.map((n) => n.report);
    if (kind === 'thinking') {
      if (spec.moves.length === 0) return setup.enterSetup(state.game.moves.length);
      spec.moves.pop();
    }
    const stopped = load(spec, { how: 'replace', reports });
    state.said = kind === 'thinking' ? 'Stopped: your last move is taken back.' : 'Stopped.';
    return stopped;
  }

  async function askHint() {
    if (state.phase !== 'person' || state.reviewAt !== null) return;
    reset(state);
    const at = state.game.moves.length;
    state.search = { kind: 'hint', mover: state.you };
    const reply = await ask('hinting', 'hint', { ms: state.think });
    if (!reply) return;
    if (reply.ok) state.hint = { report: reply.report, at };
    else state.said = `No hint: ${reply.error}.`;
    goOn();
  }

  // Review: the board shows an earlier position; the game stays as it is. where: first,
  // back, forward or last.
  function review(where) {
    if (!idle(state) || state.mode !== 'play') return;
    const end = state.game.moves.length;
    const shown = shownEntries(state);
    const to = { first: 0, back: shown - 1, forward: shown + 1, last: end }[where];
    const at = Math.max(state.setupCount, Math.min(end, to));
    state.reviewAt = at === end ? null : at;
    redraw();
  }

  function continueHere() {
    if (state.reviewAt !== null && idle(state)) return dropFrom(state.reviewAt);
  }

  // ---- Choices, the game as text, the cursor ----

  function choose(key, value) {
    state[key] = value;
    host.save();
    if (key === 'level' && !['loading', 'error'].includes(state.phase)) writeAddress('replace');
    redraw();
  }

  async function copyGame() {
    const spec = state.mode === 'play' ? gameSpec(state) : setupSpec(state);
    const text = gameText(state, encodeAddress(spec), history.href());
    await host.copy(text);
    state.copied = state.mode === 'setup' ? 'Copied: the set-up, with its address.'
      : `Copied: the game in ${state.notes.length} moves, with its address.`;
    redraw();
  }

  function moveCursor(dx, dy) {
    const { width, height } = state.mode === 'setup' && state.setup.game || state.game;
    state.cursor = [Math.max(0, Math.min(width - 1, state.cursor[0] + dx)),
      Math.max(0, Math.min(height - 1, state.cursor[1] + dy))];
    state.cursorShown = true;
    redraw();
  }

  // A square clicked or chosen with the keyboard.
  function activate(x, y, byKeyboard) {
    state.cursor = [x, y];
    state.cursorShown = byKeyboard;
    if (state.mode === 'setup') return setup.editSetup(x, y);
    redraw();
    return personMove(x, y);
  }

  // The first worker's description of the module, then the game in the address.
  function ready(about) {
    if (state.about) return;
    state.about = about;
    if (!(state.level >= 1 && state.level <= about.levels.length)) state.level = DEFAULT_LEVEL;
    return loadAddress(history.read(), 'replace');
  }

  function begin() {
    if (client.start()) redraw();
  }

  const setup = setupActions({ state, redraw, ask, load, freeEngine, fail, name });
  return {
    ...setup, enterSetup: () => setup.enterSetup(), begin, ready, fail, newGame, loadAddress,
    personMove, takeBack, stop, hint: askHint, review, continueHere, choose, copyGame, moveCursor,
    activate, showCursor(shown) { state.cursorShown = shown; redraw(); },
  };
}
