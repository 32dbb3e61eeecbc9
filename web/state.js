// All of the page's state, in one object made by defaults(), and the values derived from
// it. Nothing of the page lives in the DOM: view.js draws this object, input.js turns
// events into changes of it (through actions.js), and reset() clears what is transient.
import { BLACK } from './notation.js';
import { emptyRecord } from './puzzles.js';

export const SIZES = [10, 13, 15, 19, 20, 25, 32];  // the board sizes offered
export const THINK_TIMES = [500, 1000, 3000, 10000];  // milliseconds offered
// First steps: a newcomer to the game wins about half the games against it (it loses half
// its games to a player that only extends its longest line and blocks fives).
export const DEFAULT_LEVEL = 1;

// A game as the engine reports it: every history entry, set-up and moves, as a stone
// [x, y, colour] or null for a turn given away; the five the last stone made (its squares,
// and each line's two ends); whether a five stands anywhere; the side to move.
export function emptyGame(size) {
  return {
    width: size, height: size, moves: [], five: [], fiveLines: [], anyFive: false, toMove: BLACK,
  };
}

export function defaults() {
  return {
    about: null,        // the module's description (quillmot_describe), once it has loaded
    // loading, person, opening (the person's stones or choice of a Swap2 opening), busy,
    // thinking, hinting, over, setup, analysing, reviewing (the game's review), judging (a try
    // of learn from your mistakes, a puzzle's move or its solution), error
    phase: 'loading',
    mode: 'play',       // play, setup while a position is edited, or puzzle
    // ---- The game: what the address holds ----
    game: emptyGame(15),  // as the engine last reported it
    setupCount: 0,      // history entries of the set-up (stones and passes) before move 1
    setupToMove: BLACK,  // the side to move after the set-up
    you: BLACK,         // the person's colour
    // The game's Swap2 opening (swap2.js): {opener: you or engine, stones: 3, or 5 when two more
    // were placed, decided: the colours taken}; null when black simply opens.
    swap2: null,
    // Per move of the game, after the set-up: {level: the level that played it, null for
    // the person's moves; report: the engine's search behind it, null when not known}.
    notes: [],
    // ---- Choices, kept for the next visit (preferences.js) ----
    level: DEFAULT_LEVEL,  // the level of the engine's next move
    formerLevel: null,  // a level saved before the eight, read when the module says its match
    think: 1000,        // milliseconds: full strength's move, the hint's and analysis' search
    numbers: false,     // number the stones
    showLine: false,    // the expected line as translucent stones on the board
    // ---- The set-up being edited ----
    setup: {
      stones: [],       // [x, y, colour]
      game: null,       // the set-up as the engine reports it, drawn while editing
      colour: BLACK,    // of the next stone placed
      turn: BLACK,      // the side to move after it
      you: BLACK,       // the person's colour when playing from it
    },
    // ---- Puzzles (puzzles.js) ----
    puzzles: null,      // puzzles.json once read: {size, puzzles: [{id, moves, length, fours}]}
    // The puzzle on the board in puzzle mode: {id, length, fours, attacker: the person's colour,
    // tries: wrong moves, tried: the square judged, refused: the last square refused,
    // solution: {moves, shown: how many played} once asked for, change: of the rating, once
    // it is known}. Its position is the game's set-up, the person's moves the game's moves.
    puzzle: null,
    puzzleRecord: emptyRecord(),  // the rating, the puzzles solved and missed: kept
    leftGame: null,     // the address of the game left for puzzles, which Back to playing resumes
    // the running search: {kind: move, hint, analysis, review or swap2, level, mover}
    search: null,
    live: null,         // its last completed iteration, a report, as it comes
    // The game's review: {line: the main line it read (lineKey), views: per position from the
    // set-up on (a report with known), marks: per move (codes of about.marks), total, done:
    // true once the review is whole, seconds: the time it took}.
    review: null,
    // Moves kept off the main line: [{line: its whole line of stones from the set-up, notes:
    // as notes}], each a continuation that a take back, Continue from here, a move while
    // reviewing or a better move of the review set aside.
    variations: [],
    cursor: [7, 7],     // the keyboard cursor
    cursorShown: false,  // after keyboard use on the board, until the next click
    // ---- Transient: reset() clears it at every action ----
    reviewAt: null,     // history entries shown while reviewing, or null for the game itself
    variationAt: null,  // {index, moves: of its line shown}: a variation's position, or null
    hint: null,         // {report, at: the history length it was searched at}
    // The best moves of the set-up, or of the position reviewed: {mover, entries: the history
    // length searched, moves: one report per move found, best first, updated as they come}.
    analysis: null,
    // Learn from your mistakes: {moves: the person's flagged moves (indices), at: the one
    // shown, verdict: null, right or wrong, tried: the last try's square, solution: shown}.
    learn: null,
    said: '',           // what the last action has to say on the status line
    notice: '',         // why an address could not be read
    copied: '',         // the note after Copy the game
    error: '',          // what went wrong, in the error phase
  };
}

export function reset(state) {
  Object.assign(state, {
    reviewAt: null, variationAt: null, hint: null, analysis: null, learn: null, live: null,
    said: '', notice: '', copied: '', error: '',
  });
}

// Outside settings (the preferences, a loaded description) merged in, unknown keys ignored.
export function configure(state, config) {
  for (const [key, value] of Object.entries(config)) {
    if (key in state && value !== undefined) state[key] = value;
  }
}

// The engine's game replaces the page's, the set-up's length with it, and the notes are
// cut or filled to its moves: nothing can pair a game with another game's set-up.
export function adoptGame(state, game, setupCount = state.setupCount) {
  state.game = game;
  state.setupCount = setupCount;
  const count = game.moves.length - setupCount;
  state.notes = state.notes.slice(0, count);
  while (state.notes.length < count) state.notes.push({ level: null, report: null });
  const [x, y] = state.cursor;
  state.cursor = [Math.min(x, game.width - 1), Math.min(y, game.height - 1)];
}

// ---- Derived ----

export const gameMoves = (state) => state.game.moves.slice(state.setupCount);
export const setupStones = (state) => state.game.moves.slice(0, state.setupCount).filter(Boolean);
export const shownEntries = (state) => state.reviewAt ?? state.game.moves.length;
export const engineColour = (state) => 1 - state.you;
export const idle = (state) => state.phase === 'person' || state.phase === 'over';
export const searching = (state) =>
  ['thinking', 'hinting', 'analysing', 'reviewing', 'judging'].includes(state.phase);
export const levelName = (state, level) => state.about?.levels[level - 1] ?? '';
// The board drawn: the set-up while one is edited, else the game.
export const boardGame = (state) => (state.mode === 'setup' && state.setup.game) || state.game;
export const stoneAt = (game, [x, y], entries = game.moves.length) =>
  game.moves.slice(0, entries).find((m) => m && m[0] === x && m[1] === y) || null;

// The main line as text, to tell whether a review still belongs to the game.
export const lineKey = (state) =>
  state.game.moves.map((m) => (m ? m.join(',') : '-')).join(' ') + '/' + state.setupCount;
// The review of the game as it stands, or null.
export const liveReview = (state) =>
  (state.review && state.review.line === lineKey(state) && state.mode === 'play'
    ? state.review : null);

// The stones of the position shown, set-up included: the main line up to the position
// reviewed, or a variation's position.
export function shownStones(state) {
  const v = state.variationAt && state.variations[state.variationAt.index];
  if (!v) return state.game.moves.slice(0, shownEntries(state));
  const setup = state.game.moves.slice(0, state.setupCount);
  return [...setup, ...v.line.slice(0, state.variationAt.moves)];
}

// The end of the game: the five of the last stone, or a full board.
export function ended(state) {
  const { game } = state;
  if (game.fiveLines.length > 0) return 'five';
  return game.moves.filter(Boolean).length === game.width * game.height ? 'full' : null;
}

// win, loss or draw for the person, null while the game goes on.
export function outcome(state) {
  const end = ended(state);
  if (end === 'full') return 'draw';
  if (end !== 'five') return null;
  return state.game.moves[state.game.moves.length - 1][2] === state.you ? 'win' : 'loss';
}

// The hint, while it belongs to the position on the board.
export function liveHint(state) {
  const { hint } = state;
  return hint && state.reviewAt === null && state.variationAt === null && state.mode === 'play' &&
    hint.at === state.game.moves.length ? hint : null;
}

function squaresOf(stones, colour) {
  return stones.filter((s) => s[2] === colour).map(([x, y]) => [x, y]);
}

// The game as the address holds it.
export function gameSpec(state) {
  const setup = setupStones(state);
  const notes = state.notes.filter((n) => n.level !== null);
  return {
    size: state.game.width, black: squaresOf(setup, 0), white: squaresOf(setup, 1),
    toMove: state.setupToMove, you: state.you, level: state.level,
    moves: gameMoves(state).map(([x, y]) => [x, y]), levels: notes.map((n) => n.level),
    swap2: state.swap2 && { ...state.swap2 },
  };
}

// The set-up being edited, as the game that Play from here starts.
export function setupSpec(state) {
  const { stones, turn, you } = state.setup;
  return {
    size: state.game.width, black: squaresOf(stones, 0), white: squaresOf(stones, 1),
    toMove: turn, you, level: state.level, moves: [], levels: [], swap2: null,
  };
}
