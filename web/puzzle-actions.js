// Puzzles mode: a position of a real game in which the person's side forces a five, and only
// one first move does. The engine judges every move of the person's (whether it still forces
// the five, at the puzzles' allowance) and answers it with the defence that holds out
// longest; a move that lets the five go is refused and taken back; after two wrong moves, or
// on request, the solution is played move by move. The rating and the puzzles solved are
// kept for the next visit (puzzles.js).
//
// page: what actions.js shares (state, host, redraw, ask, freeEngine, fail, badAddress, name).
import { encodeAddress, encodePuzzle } from './address.js';
import { nextPuzzle, parsePuzzles, recordResult } from './puzzles.js';
import { adoptGame, gameSpec, reset, stoneAt } from './state.js';

const WRONG_MOVES = 2;  // refused moves before the solution is shown

export function puzzleActions(page) {
  const { state, host, redraw, ask, freeEngine, fail, badAddress, name } = page;
  const five = () => state.game.fiveLines.length > 0;

  // puzzles.json, read once; null, with a notice, when it cannot be.
  async function puzzleFile() {
    try {
      state.puzzles ??= parsePuzzles(await host.puzzles());
    } catch (error) {
      state.notice = `The puzzles could not be read (${error.message}).`;
      redraw();
    }
    return state.puzzles;
  }

  // The position of a puzzle's moves into a new worker's engine: the puzzle's stones as the
  // set-up, the person's moves after them. False when it could not be placed.
  async function placePosition(moves, setupCount) {
    freeEngine();
    const { size } = state.puzzles;
    const reply = await ask('busy', 'position',
      { width: size, height: size, black: [], white: [], moves });
    if (!reply) return false;
    if (!reply.ok) {
      fail('the puzzle could not be set up: ' + reply.error);
      return false;
    }
    adoptGame(state, reply.game, setupCount);
    return true;
  }

  // Puzzle `id` (null: the next by the rating) on the board, its address written (how).
  async function openPuzzle(id = null, how = 'push') {
    if (!await puzzleFile()) return id === null ? null : badAddress('no puzzles could be read');
    const { puzzles } = state.puzzles, record = state.puzzleRecord;
    const puzzle = id === null ? nextPuzzle(puzzles, record, state.puzzle?.id ?? null)
      : puzzles.find((p) => p.id === id);
    if (!puzzle) return badAddress(`there is no puzzle ${id}`);
    if (state.mode === 'play') state.leftGame = encodeAddress(gameSpec(state));
    reset(state);
    const size = state.puzzles.size;
    Object.assign(state, {
      mode: 'puzzle', search: null, swap2: null, variations: [], review: null, notes: [],
      puzzle: null, cursor: [size >> 1, size >> 1],
    });
    if (!await placePosition(puzzle.moves, puzzle.moves.length)) return;
    const attacker = puzzle.moves.length % 2;
    Object.assign(state, { you: attacker, setupToMove: attacker, phase: 'person' });
    state.puzzle = {
      id: puzzle.id, length: puzzle.length, fours: puzzle.fours, attacker, tries: 0,
      tried: null, refused: null, solution: null, change: null,
    };
    host.history.write(encodePuzzle(puzzle.id), how);
    redraw();
  }

  // After a move: a five is the end, and one the person made is a solve (counted once, as a
  // miss is when the solution is shown).
  function settle() {
    const { puzzle } = state;
    state.phase = five() ? 'over' : 'person';
    if (five() && puzzle.change === null) {
      puzzle.change = recordResult(state.puzzleRecord, puzzle, true);
      host.save();
    }
    redraw();
  }

  async function tryMove(x, y) {
    const { puzzle } = state;
    if (state.phase !== 'person' || puzzle.solution || stoneAt(state.game, [x, y])) return;
    reset(state);
    Object.assign(puzzle, { tried: [x, y], refused: null });
    const reply = await ask('judging', 'puzzleMove', { x, y });
    if (!reply) return;
    if (!reply.ok) return fail('the move could not be judged: ' + reply.error);
    if (!reply.forces) {
      puzzle.refused = [x, y];
      if (++puzzle.tries >= WRONG_MOVES) return revealSolution();
    } else if (reply.defence) {
      state.said = `Right. Quillmot defends at ${name(reply.defence)}: your move.`;
    }
    settle();
  }

  // The solution from the position on the board, counted as a miss, and its first move.
  async function revealSolution() {
    const { puzzle } = state;
    if (puzzle.change === null) {
      puzzle.change = recordResult(state.puzzleRecord, puzzle, false);
      host.save();
    }
    puzzle.tried = null;
    const reply = await ask('judging', 'puzzleSolution', {});
    if (!reply) return;
    puzzle.solution = { moves: reply.ok ? reply.moves : [], shown: 0 };
    return solutionMove();
  }

  // The solution's next move, played by the engine's own judgment of the board.
  async function solutionMove() {
    const { solution } = state.puzzle;
    const move = solution.moves[solution.shown];
    if (move) {
      const reply = await ask('busy', 'place', { x: move[0], y: move[1] });
      if (!reply) return;
      ++solution.shown;
    }
    settle();
  }

  // Stop while a move is judged or the solution sought: the position as it was.
  async function stop() {
    const moves = state.game.moves.map(([x, y]) => [x, y]);
    state.puzzle.tried = null;
    if (!await placePosition(moves, state.setupCount)) return;
    state.said = 'Stopped.';
    settle();
  }

  const idle = () => state.mode === 'puzzle' && ['person', 'over'].includes(state.phase);
  return {
    openPuzzle, puzzleMove: tryMove, stopPuzzle: stop,
    showPuzzleSolution: () => idle() && !state.puzzle.solution && !five() && revealSolution(),
    puzzleSolutionMove: () => idle() && state.puzzle.solution && solutionMove(),
    retryPuzzle: () => state.puzzle && openPuzzle(state.puzzle.id, 'replace'),
  };
}
