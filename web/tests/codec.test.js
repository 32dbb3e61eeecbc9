// The page's formats and words without an engine: the address, square names, scores as a
// person reads them, the keys, and the saved choices.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { decodeAddress, decodePuzzle, encodeAddress, encodePuzzle } from '../address.js';
import { keyIntent } from '../input.js';
import { parseSquare, scoreText, squareName, standing } from '../notation.js';
import { readPreferences } from '../preferences.js';
import { ABOUT } from './fake-engine.js';

const FORCED = 'a forced five in about';
const read = (text) => decodeAddress(text, { about: ABOUT, level: 2 });

test('the address round trips, and reads the form with one level for the whole game', () => {
  const cases = [
    ['size=15&you=black&opponent=2', { size: 15, you: 0, level: 2, moves: [], levels: [] }],
    ['size=15&you=white&opponent=7&moves=H8,I9,J10', // the engine is black: moves 1 and 3
      { size: 15, you: 1, level: 7, moves: [[7, 7], [8, 6], [9, 5]], levels: [7, 7] }],
    ['size=32&black=A1,AF32&white=AA5&turn=white&you=black&opponent=8&moves=B2,C3,D4&' +
      'opponents=1,4', { size: 32, black: [[0, 31], [31, 0]], white: [[26, 27]], toMove: 1,
      you: 0, level: 8, moves: [[1, 30], [2, 29], [3, 28]], levels: [1, 4] }],
    // Swap2: the opening's moves are no level's; `you` once the colours are taken.
    ['size=15&swap2=engine&opening=5&you=black&opponent=3&moves=H8,I9,J10,K11,L12,M13&' +
      'opponents=8', { size: 15, you: 0, level: 3, levels: [8],
      moves: [[7, 7], [8, 6], [9, 5], [10, 4], [11, 3], [12, 2]],
      swap2: { opener: 'engine', stones: 5, decided: true } }],
    ['size=15&swap2=you&opening=3&opponent=2&moves=H8,I9', { size: 15, you: 0, level: 2,
      moves: [[7, 7], [8, 6]], levels: [], swap2: { opener: 'you', stones: 3, decided: false } }],
  ];
  for (const [text, partial] of cases) {
    const spec = { black: [], white: [], toMove: 0, swap2: null, ...partial };
    assert.deepEqual(read(text), spec, text);
    assert.equal(encodeAddress(spec), text);
  }
  assert.deepEqual(read('size=15&opponent=5&moves=H8,I9,J10,K11').levels, [5, 5]);
  assert.deepEqual(read('size=15').level, 2, 'no level: the one chosen');
  // The five levels before the eight read as the nearest of the eight.
  const former = read('size=15&level=5&moves=H8,I9,J10,K11&levels=2,4');
  assert.deepEqual([former.level, former.levels], [8, [3, 6]]);
});

test('an address that is no game says what could not be read', () => {
  const cases = [
    ['moves=H8', /gives no board size/], ['size=4', /size "4" is not one from 5 to 32/],
    ['size=33', /from 5 to 32/], ['size=x', /size "x"/], ['size=15&nonsense', /"nonsense" is not/],
    ['size=15&moves=H8,Z99', /move 2, "Z99", is not a square of a 15 by 15/],
    ['size=15&black=P1', /black stone 1, "P1"/], ['size=15&you=red', /"you" must be black/],
    ['size=15&opponent=9', /level "9" is not one from 1 to 8/],
    ['size=15&level=6', /level "6" is not one from 1 to 5/], ['size=15&level=2.5', /"2.5"/],
    ['size=15&moves=H8,I9&opponents=2,3', /2 levels for 1 moves/],
    ['size=15&moves=H8,I9&levels=0', /level "0"/], ['size=15&swap2=me', /must be you or engine/],
    ['size=15&black=H8&swap2=you', /starts on an empty board/], ['size=15&opening=3', /belongs/],
    ['size=15&swap2=you&opening=4', /3 or 5 stones, not "4"/],
    ['size=15&swap2=you&moves=H8,I9,J10,K11', /4 moves do not fit .* colours not taken/],
    ['size=15&swap2=you&you=black&moves=H8', /1 moves do not fit .* colours taken/],
  ];
  for (const [text, message] of cases) assert.throws(() => read(text), message, text);
  // A puzzle's address, and what is none.
  assert.deepEqual([decodePuzzle(encodePuzzle(12)), decodePuzzle('size=15')], [12, null]);
  assert.throws(() => decodePuzzle('puzzle=x'), /"x" is not a puzzle's number/);
  assert.throws(() => decodePuzzle('puzzle=3&size=15'), /"size" is not part of a puzzle's/);
});

test('square names both ways, and what is no square', () => {
  const names = [[[0, 14], 15, 'A1'], [[7, 7], 15, 'H8'], [[26, 0], 32, 'AA32'],
    [[31, 31], 32, 'AF1']];
  for (const [square, size, text] of names) {
    assert.equal(squareName(square, size), text);
    assert.deepEqual(parseSquare(text.toLowerCase(), size, size), square);
  }
  for (const text of ['', 'A', '8', 'BA3', 'P1', 'A16', 'A0', 'H8x']) {
    assert.equal(parseSquare(text, 15, 15), null, text);
  }
});

test('scores read from black without the side-to-move bonus; forced fives as side, moves', () => {
  const cases = [  // report, the side that was to move, the score's words, who stands how
    [{ score: 70, forced: 0 }, 0, '0', null, 'even'],
    [{ score: 190, forced: 0 }, 1, '\u2212120', null, 'even'],
    [{ score: 271, forced: 0 }, 1, '\u2212201', 1, 'better'],
    [{ score: -440, forced: 0 }, 1, '+510', 0, 'much better'],
    [{ score: 29995, forced: 5 }, 1, 'White forces five in about 3', 1, `${FORCED} 3 moves`],
    [{ score: -29998, forced: -2 }, 0, 'White forces five in about 2', 1, `${FORCED} 2 moves`],
    [{ score: 29999, forced: 1 }, 0, 'Black forces five in about 1', 0, `${FORCED} 1 move`],
  ];
  for (const [report, mover, score, colour, words] of cases) {
    assert.equal(scoreText(report, mover, ABOUT), score);
    assert.deepEqual(standing(report, mover, ABOUT), { colour, words });
  }
});

test('the arrows step through the game unless the keyboard cursor is moving', () => {
  const cases = [  // key, on the board, cursor shown, in a field: what it does
    ['ArrowLeft', true, false, false, { review: 'back' }],
    ['ArrowRight', true, false, false, { review: 'forward' }],
    ['Enter', true, false, false, { showCursor: true }],
    [' ', true, false, false, { showCursor: true }],
    ['ArrowUp', true, false, false, { showCursor: true }],
    ['ArrowLeft', true, true, false, { cursor: [-1, 0] }],
    ['ArrowDown', true, true, false, { cursor: [0, 1] }],
    ['Enter', true, true, false, { place: true }],
    ['Escape', true, true, false, { showCursor: false }],
    ['Home', true, true, false, { review: 'first' }],
    ['End', false, false, false, { review: 'last' }],
    ['ArrowLeft', false, true, false, { review: 'back' }],
    ['ArrowLeft', false, false, true, null],
    ['Enter', false, false, false, null],
  ];
  for (const [key, onBoard, cursorShown, inField, intent] of cases) {
    const where = `${key} ${onBoard} ${cursorShown}`;
    assert.deepEqual(keyIntent({ key, onBoard, cursorShown, inField }), intent, where);
  }
});

test('saved choices: only what is valid comes back', () => {
  assert.deepEqual(readPreferences('{"opponent":6,"think":3000,"numbers":true,"showLine":false}'),
    { level: 6, think: 3000, numbers: true, showLine: false });
  assert.deepEqual(readPreferences('{"level":3}'), { formerLevel: 3 });  // from the five
  for (const text of ['', 'nonsense', 'null', '7', '{"level":0,"think":7,"numbers":"yes"}']) {
    assert.deepEqual(readPreferences(text), {}, text);
  }
});
