// Puzzles from real games (puzzles.json, made and verified by quillmot-bench puzzles): the
// file read, the person's rating and record, the next puzzle by the rating, and the words of
// puzzles mode. Plain functions; the engine judges every move (puzzle-actions.js).
import { capitalised, colourName, squareName } from './notation.js';

// A puzzle's rating from its grade: the attacker's moves to the five (7 and more count as 7),
// and harder when its forced five needs threes as well as fours. A first puzzle of two moves
// meets a new player's rating.
export const START_RATING = 1000;
const GRADE_STEP = 150, THREES = 100, LONGEST_GRADE = 7, K = 32;
export const puzzleRating = ({ length, fours }) =>
  START_RATING + GRADE_STEP * (Math.min(length, LONGEST_GRADE) - 2) + (fours ? 0 : THREES);

// The change of the rating for a puzzle solved or missed, as between two players: more for
// solving a puzzle graded above the rating, more lost for missing one below it; always up for
// a solve and down for a miss.
export function ratingChange(rating, puzzle, solved) {
  const expected = 1 / (1 + 10 ** ((puzzleRating(puzzle) - rating) / 400));
  return solved ? Math.max(1, Math.round(K * (1 - expected)))
    : Math.min(-1, Math.round(-K * expected));
}

// The record kept for the next visit: the rating and the puzzles solved and missed (ids).
export const emptyRecord = () => ({ rating: START_RATING, solved: [], missed: [] });

export function readPuzzleRecord(text) {
  let saved;
  try {
    saved = JSON.parse(text || 'null');
  } catch {
    return emptyRecord();
  }
  const ids = (list) => (Array.isArray(list) ? list.filter(Number.isInteger) : []);
  if (typeof saved !== 'object' || saved === null || !Number.isFinite(saved.rating)) {
    return emptyRecord();
  }
  return { rating: Math.round(saved.rating), solved: ids(saved.solved), missed: ids(saved.missed) };
}

// A result of the puzzle, counted once: the rating changes with the first solve or miss of a
// puzzle (a puzzle seen again changes nothing, so that replaying a solved one gains nothing),
// and a puzzle solved later moves from missed to solved. Returns the change.
export function recordResult(record, puzzle, solved) {
  const seen = record.solved.includes(puzzle.id) || record.missed.includes(puzzle.id);
  const change = seen ? 0 : ratingChange(record.rating, puzzle, solved);
  record.rating += change;
  if (solved && !record.solved.includes(puzzle.id)) {
    record.solved.push(puzzle.id);
    record.missed = record.missed.filter((id) => id !== puzzle.id);
  } else if (!solved && !seen) {
    record.missed.push(puzzle.id);
  }
  return change;
}

// The next puzzle after `current` (an id, or null): one never tried before one missed before
// one solved, and among them the one whose grade is nearest the rating, the lowest id first.
export function nextPuzzle(puzzles, record, current) {
  const group = ({ id }) => (record.solved.includes(id) ? 2 : record.missed.includes(id) ? 1 : 0);
  const key = (p) => [group(p), Math.abs(puzzleRating(p) - record.rating), p.id];
  const order = (a, b) => {
    const [ka, kb] = [key(a), key(b)];
    return ka[0] - kb[0] || ka[1] - kb[1] || ka[2] - kb[2];
  };
  const others = puzzles.filter((p) => p.id !== current);
  return [...(others.length ? others : puzzles)].sort(order)[0] ?? null;
}

// The puzzles of the file's text: {size, puzzles: [{id, moves: squares, length, fours}]}.
// Throws when it is not such a file; a puzzle that does not read is left out.
export function parsePuzzles(text) {
  const file = JSON.parse(text);
  if (!Number.isInteger(file?.size) || !Array.isArray(file.puzzles)) {
    throw new Error('it is not a file of puzzles');
  }
  const squares = (list) => list.trim().split(/\s+/).map((s) => s.split(',').map(Number));
  const onBoard = (n) => Number.isInteger(n) && n >= 0 && n < file.size;
  const puzzles = file.puzzles.map((p) => ({
    id: p.id, moves: typeof p.moves === 'string' ? squares(p.moves) : [], length: p.length,
    fours: p.fours === true,
  })).filter((p) => Number.isInteger(p.id) && Number.isInteger(p.length) && p.moves.length > 0 &&
    p.moves.every((m) => m.length === 2 && m.every(onBoard)));
  return { size: file.size, puzzles };
}

// ---- Words ----

// "Black to play: five in 4".
export const puzzleTitle = (puzzle) =>
  `${capitalised(colourName(puzzle.attacker))} to play: five in ${puzzle.length}`;

const signedChange = (n) => (n > 0 ? '+' : '\u2212') + Math.abs(n);

// The rating after a result, and its change.
export function resultText(state) {
  const { change } = state.puzzle;
  const rating = `Rating ${state.puzzleRecord.rating}`;
  return `${rating} (${change === 0 ? 'a puzzle counts once' : signedChange(change)}).`;
}

// The status in puzzles mode. fiveText: the five on the board in words, or ''.
export function puzzleStatus(state, fiveText) {
  const { puzzle, phase } = state;
  if (!puzzle) return 'Setting up the puzzle…';
  const name = (square) => squareName(square, state.game.height);
  const defender = capitalised(colourName(1 - puzzle.attacker));
  const { solution, refused } = puzzle;
  if (phase === 'judging') {
    return puzzle.tried ? `Judging ${name(puzzle.tried)}…` : 'Playing the five out…';
  }
  const refusal = refused ? `That lets ${defender} escape: ${name(refused)} is taken back.` : '';
  if (solution) {
    const { moves, shown } = solution;
    if (moves.length === 0) {
      return 'Quillmot cannot play the five out from here; Try again starts the puzzle anew.';
    }
    if (shown === 0) return `The solution has ${moves.length} moves: Next move shows them.`;
    const head = `The solution, move ${shown} of ${moves.length}: ${name(moves[shown - 1])}.`;
    const text = shown < moves.length ? head : `${head} ${fiveText} ${resultText(state)}`;
    return shown === 1 && refusal ? `${refusal} ${text}` : text;
  }
  if (fiveText) return `Solved! ${fiveText} ${resultText(state)}`;
  if (refusal) return `${refusal} One more wrong move shows the solution.`;
  const side = colourName(puzzle.attacker);
  return state.said || `Your move (${side}): find the move that forces the five.`;
}

// The record in a line: "Rating 1016 · solved 3 of 17".
export function recordText(state) {
  const total = state.puzzles?.puzzles.length ?? 0;
  return `Rating ${state.puzzleRecord.rating} \u00b7 solved ${state.puzzleRecord.solved.length} ` +
    `of ${total}`;
}
