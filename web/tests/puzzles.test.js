// The puzzles' rules without an engine: the rating by the grade, a result counted once, the
// next puzzle by the rating, and the file and the record read.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  emptyRecord, nextPuzzle, parsePuzzles, readPuzzleRecord, recordResult,
} from '../puzzles.js';

const grade = (length, fours = true) => ({ length, fours });

test('a solve raises the rating and a miss lowers it, by the grade, once a puzzle', () => {
  const cases = [  // rating, puzzle's grade, solved: the change
    [1000, grade(2), true, 16], [1000, grade(2), false, -16], [1000, grade(5, false), true, 31],
    [1000, grade(5, false), false, -1], [1000, grade(9, false), true, 32],
    [1000, grade(9, false), false, -1], [1600, grade(2), true, 1], [1600, grade(2), false, -31],
  ];
  for (const [rating, puzzle, solved, change] of cases) {
    const record = { ...emptyRecord(), rating };
    assert.equal(recordResult(record, { id: 1, ...puzzle }, solved), change, `${rating} ${solved}`);
    assert.equal(record.rating, rating + change);
  }
  const record = emptyRecord();
  recordResult(record, { id: 4, ...grade(3) }, false);
  assert.deepEqual([recordResult(record, { id: 4, ...grade(3) }, true), record.solved,
    record.missed], [0, [4], []], 'solved after a miss: counted as solved, the rating unmoved');
});

test('the next puzzle: untried, missed, then solved; the nearest grade; the lowest id', () => {
  const puzzles = [[1, 2], [2, 3], [3, 4], [4, 2], [5, 7]].map(([id, length]) =>
    ({ id, ...grade(length) }));
  const cases = [  // rating, solved, missed, current: the next
    [1000, [], [], null, 1], [1000, [], [], 1, 4], [1000, [1, 4], [], null, 2],
    [1320, [], [], null, 3], [1900, [], [], null, 5], [1000, [1, 2, 3, 5], [4], 1, 4],
    [1000, [1, 2, 3, 4, 5], [], 1, 4],
  ];
  for (const [rating, solved, missed, current, next] of cases) {
    assert.equal(nextPuzzle(puzzles, { rating, solved, missed }, current).id, next, `${rating}`);
  }
});

test('the puzzles file and the saved record: what does not read is left out', () => {
  const file = '{"size": 15, "puzzles": [{"id": 3, "moves": "7,7 8,8", "length": 4},\n' +
    '{"id": 4, "moves": "7,7 15,8", "length": 2}, {"id": "5", "moves": "1,1", "length": 2}]}';
  assert.deepEqual(parsePuzzles(file).puzzles, [{ id: 3, moves: [[7, 7], [8, 8]], length: 4,
    fours: false }]);
  for (const text of ['[]', '{"size": 15}', 'nonsense']) assert.throws(() => parsePuzzles(text));
  assert.deepEqual([readPuzzleRecord('{"rating": 1016.4, "solved": [3, "x"], "missed": 7}'),
    readPuzzleRecord('nonsense')], [{ rating: 1016, solved: [3], missed: [] }, emptyRecord()]);
});
