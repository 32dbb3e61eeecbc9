// The ways the page's state changes: each action takes the state as it is, asks the engine
// what it needs through one helper (ask), and ends in a redraw. The engine judges every
// stone; the page only keeps what it reports. The set-up editor's actions are in
// setup-actions.js, the puzzles' in puzzle-actions.js, the Swap2 opening's in swap2-actions.js.
//
// host: {client (engine-client.js), redraw(), history (address.js bindHistory), seed(),
// copy(text) (a promise), save() (the preferences and the puzzles' record), local (an address
// of file:), puzzles() (a promise of puzzles.json's text)}.
import { decodeAddress, decodePuzzle, encodeAddress, engineMoves } from './address.js';
import { choiceActions } from './choices.js';
import {
  adoptGame, DEFAULT_LEVEL, emptyGame, ended, gameSpec, idle, reset, searching, shownEntries,
  stoneAt,
} from './state.js';
import { squareName } from './notation.js';
import { puzzleActions } from './puzzle-actions.js';
import { reviewActions } from './review-actions.js';
import { setupActions } from './setup-actions.js';
import { answeredMoveTakenBack, openingEnd, swap2Step } from './swap2.js';
import { swap2Actions } from './swap2-actions.js';
import { setAside, tidy } from './variations.js';
import { refusal } from './words.js';

export function createActions(state, host) {
  const { client, redraw, history } = host;
  const name = (square) => squareName(square, state.game.height);

  // The thinking comes several times a second, and the page is redrawn with it at most every
  // 100 ms: drawing on the page's thread takes little from the search on a machine with few
  // cores.
  let drawing = null;
  function redrawSoon() {
    drawing ??= setTimeout(() => {
      drawing = null;
      redraw();
    }, 100);
  }

  // The thinking as it comes: each completed iteration of the running search.
  function live(message) {
    if (!message.live) return;
    state.live = message.live;
    redrawSoon();
  }

  // Every request: the phase while it runs, the reply (null when a newer game or a Stop has
  // made it stale), and the game it reports taken as the page's. A set-up is taken by its
  // callers, who know which part of the history it is. onProgress hears of the iterations
  // (and a review's positions) as they come.
  async function ask(phase, op, args, onProgress = live) {
    state.phase = phase;
    state.live = null;
    redraw();
    const reply = await client.call(op, args, onProgress);
    if (reply && reply.ok && reply.game && op !== 'position') {
      adoptGame(state, reply.game);
      tidy(state);
    }
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

  // The game an address describes (see address.js) into the engine. how: push or replace the
  // address (null: leave it). fromAddress: a refusal is the address's fault, and a new game
  // replaces it. reports: the engine's known reports of the moves, by index. fresh: another
  // game, whose variations and review go.
  // hold: the game waits, whoever is to move (a line made the main line to be played on).
  // True once the game is in; nothing (or a bad address's new game) when refused or stale.
  async function load(spec, options) {
    const { how, fromAddress = false, reports = [], fresh = false, hold = false } = options;
    freeEngine();
    reset(state);
    if (fresh || fromAddress) Object.assign(state, { variations: [], review: null });
    const centre = [spec.size >> 1, spec.size >> 1];
    Object.assign(state,
      { mode: 'play', search: null, cursor: centre, puzzle: null, leftGame: null });
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
    const swap2 = spec.swap2 ?? null;
    Object.assign(state, { you: spec.you, level: spec.level, setupToMove, swap2 });
    let engineMove = 0;
    state.notes = engineMoves(spec).map((engine, i) => (engine
      ? { level: spec.levels[engineMove++], report: reports[i] || null }
      : { level: null, report: null }));
    adoptGame(state, reply.game, reply.game.moves.length - spec.moves.length);
    tidy(state);
    if (how) writeAddress(how);
    if (hold) state.phase = ended(state) ? 'over' : 'person';
    else goOn();
    return true;
  }

  // Whose turn it is decides what comes next: in a Swap2 opening, its next stone or choice.
  function goOn() {
    state.search = null;
    const step = swap2Step(state.swap2, state.game.moves.length - state.setupCount);
    if (step) return swap2.next(step);
    if (ended(state)) state.phase = 'over';
    else if (state.game.toMove === state.you) state.phase = 'person';
    else return engineMove();
    redraw();
  }

  // opener: you or engine for a Swap2 opening, null for none (the same as the game's).
  function newGame(options = {}) {
    const { size = state.game.width, you = state.you, how = 'push' } = options;
    const opener = options.opener === undefined ? state.swap2?.opener : options.opener;
    state.game = emptyGame(size);  // drawn while the engine sets it up
    state.setupCount = 0;
    state.notes = [];
    const swap2 = opener ? { opener, stones: 3, decided: false } : null;
    const spec = { size, black: [], white: [], toMove: 0, you, level: state.level, swap2 };
    return load({ ...spec, moves: [], levels: [] }, { how, fresh: true });
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
    let spec, puzzle;
    try {
      puzzle = decodePuzzle(text);
      spec = puzzle === null && decodeAddress(text, { about: state.about, level: state.level });
    } catch (error) {
      return badAddress(error.message);
    }
    if (puzzle !== null) return puzzles.openPuzzle(puzzle, how);
    return load(spec, { how, fromAddress: true });
  }

  async function engineMove() {
    const level = state.level;
    state.search = { kind: 'move', level, mover: state.game.toMove };
    const args = { level, ms: state.think, seed: host.seed() };
    const reply = await ask('thinking', 'engineMove', args);
    state.live = null;
    if (!reply) return;
    if (!reply.ok) return fail('the engine found no move: ' + reply.error);
    state.notes[state.notes.length - 1] = { level, report: reply.report };
    state.said = `Quillmot played ${name(reply.report.move)}.`;
    writeAddress('replace');
    goOn();
  }

  // A move of the person: in the game, or while reviewing (in a variation too), where the
  // line shown becomes the game and what followed it is kept as a variation; while learning
  // from mistakes, a try.
  async function personMove(x, y) {
    if (state.mode === 'puzzle') return puzzles.puzzleMove(x, y);
    if (state.phase === 'opening') return swap2.place(x, y);
    const reviewing = state.reviewAt !== null || state.variationAt !== null;
    if (!(state.phase === 'person' || idle(state) && reviewing)) return;
    if (state.learn) return reviews.tryMove(x, y);
    if (state.variationAt) return reviews.playInVariation(x, y);
    const from = shownEntries(state);
    if (from < openingEnd(state)) return;  // the Swap2 opening stays as it was chosen
    if ((state.setupToMove + from - state.setupCount) % 2 !== state.you) return;
    if (stoneAt(state.game, [x, y], from)) return;  // a click on a stone
    if (from < state.game.moves.length) {
      setAside(state, from - state.setupCount);
      reset(state);
      const back = await ask('busy', 'takeBack', { count: state.game.moves.length - from });
      if (!back) return;
    }
    reset(state);
    const reply = await ask('busy', 'place', { x, y });
    if (!reply) return;
    if (reply.ok) writeAddress('replace');
    goOn();
  }

  // Takes back every move from history entry `from` on, kept as a variation, and play goes
  // on from there.
  async function dropFrom(from) {
    if (from < openingEnd(state)) return;
    setAside(state, from - state.setupCount);
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
    if (!idle(state) || state.reviewAt !== null || state.variationAt !== null) return;
    const mine = (m, i) => i >= openingEnd(state) && m[2] === state.you;
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
    if (kind === 'analysing' && state.mode === 'setup') return setup.syncSetup();
    if (state.mode === 'puzzle') return puzzles.stopPuzzle();
    const spec = gameSpec(state);
    const reports = state.notes.map((n) => n.report);
    if (kind === 'thinking' && !answeredMoveTakenBack(spec)) {
      return setup.enterSetup(state.game.moves.length);
    }
    const review = kind === 'reviewing' ? null : state.review;
    const shown = { reviewAt: state.reviewAt, review, learn: state.learn };
    const stopped = load(spec, { how: 'replace', reports });
    // A review, an analysis or a try stopped: the position reviewed stays on the board.
    if (kind !== 'thinking' && kind !== 'hinting') Object.assign(state, shown);
    if (state.learn) state.learn.verdict = null;
    state.said = kind === 'thinking' ? 'Stopped: your last move is taken back.' : 'Stopped.';
    return stopped;
  }

  async function askHint() {
    if (state.phase !== 'person' || state.reviewAt !== null || state.variationAt !== null) return;
    reset(state);
    const at = state.game.moves.length;
    state.search = { kind: 'hint', mover: state.you };
    const reply = await ask('hinting', 'hint', { ms: state.think });
    if (!reply) return;
    if (reply.ok) state.hint = { report: reply.report, at };
    else state.said = `No hint: ${reply.error}.`;
    goOn();
  }

  // A square clicked or chosen with the keyboard.
  function activate(x, y, byKeyboard) {
    state.cursor = [x, y];
    state.cursorShown = byKeyboard;
    if (state.mode === 'setup') return setup.editSetup(x, y);
    redraw();
    return personMove(x, y);
  }

  // Back from puzzles to the game left for them (which load forgets), or a new game.
  const leavePuzzles = () => (state.leftGame ? loadAddress(state.leftGame, 'push') : newGame());

  // The first worker's description of the module, then the game in the address.
  function ready(about) {
    if (state.about) return;
    state.about = about;
    if (state.formerLevel !== null) state.level = about.formerLevels[state.formerLevel - 1];
    state.formerLevel = null;
    if (!(state.level >= 1 && state.level <= about.levels.length)) state.level = DEFAULT_LEVEL;
    return loadAddress(history.read(), 'replace');
  }

  function begin() {
    if (client.start()) redraw();
  }

  const setup = setupActions({ state, redraw, redrawSoon, ask, load, freeEngine, fail, name });
  const reviews = reviewActions({ state, redraw, redrawSoon, ask, load, dropFrom, personMove });
  const swap2 = swap2Actions({ state, host, redraw, ask, fail, writeAddress, goOn, name });
  const puzzles = puzzleActions({ state, host, redraw, ask, freeEngine, fail, badAddress, name });
  return {
    ...setup, ...reviews, ...puzzles, ...choiceActions(state, host, writeAddress),
    enterSetup: () => setup.enterSetup(), begin, ready, fail, newGame, loadAddress, leavePuzzles,
    personMove, takeBack, stop, hint: askHint, activate, swap2Choose: swap2.choose,
  };
}
