// Looking back at a game against the fake engine: variations instead of lost moves, the
// review with its marks, graph and better move, learn from your mistakes, the live thinking.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { barValue, graphPoints, scoreToken, sideLines } from '../review-words.js';
import { gameMoves } from '../state.js';
import { controls, picture } from '../view.js';
import { recordItems, statusText, viewWords } from '../words.js';
import { ABOUT } from './fake-engine.js';
import { openPage } from './page-harness.js';

const names = (state) => gameMoves(state).map(([x, y]) => `${x},${y}`).join(' ');
const variations = (state) => recordItems(state).filter((i) => i.variation !== undefined)
  .map((v) => v.moves.map((m) => m.name).join(' '));

test('take back, Continue and a move while reviewing keep the later moves as variations',
  async () => {
    const page = await openPage('size=15&level=1&moves=H8,A15,J10,B15');
    const { state, actions } = page;
    actions.takeBack();
    await page.settle();
    assert.deepEqual([names(state), variations(state)], ['7,7 0,0', ['J10 B15']]);
    actions.review('first');
    actions.personMove(9, 9);  // a move while reviewing: the line shown becomes the game
    await page.settle();
    assert.deepEqual([names(state), variations(state)], ['9,9 0,0', ['H8 A15 J10 B15']]);
    assert.equal(page.address, 'size=15&you=black&opponent=1&moves=J6,A15');
    const [variation] = recordItems(state).filter((i) => i.variation !== undefined);
    actions.showMove(variation.moves[2].shows, variation.variation);
    assert.deepEqual(picture(state).stones.map(([x, y]) => `${x},${y}`), ['7,7', '0,0', '9,5']);
    assert.match(statusText(state), /^Reviewing a variation: after its move 3\./);
    actions.promoteVariation(variation.variation);
    await page.settle();
    assert.deepEqual([names(state), variations(state)], ['7,7 0,0 9,5 1,0', ['J6 A15']]);
    actions.deleteVariation(0);
    assert.deepEqual(variations(state), []);
  });

test('a review: marks, a line per side, the graph, the better move; learn from mistakes',
  async () => {
    const page = await openPage('size=15&you=white&level=1&moves=H8,I8,H7,B15,H6');
    const { state, actions } = page;
    page.worker().marks = [0, 0, 0, 3, 0];
    actions.reviewGame();
    assert.equal(state.phase, 'reviewing');
    await page.settle();
    assert.deepEqual(recordItems(state).map((m) => m.mark), ['', '', '', '??', '']);
    assert.deepEqual(sideLines(state), ['Black: no marks', 'White: 1 blunder']);
    assert.deepEqual(graphPoints(state).map((p) => p.move), [1, 2, 3, 4, 5]);
    actions.showMove(4);  // after the blunder: its better move, the first empty square
    const better = [picture(state).better, controls(state)['play-better'].hidden];
    assert.deepEqual(better, [[0, 0], false]);
    assert.match(viewWords(state).text, /^Move 4, white B15, was a blunder \(\?\?\)\. Better: A15/);
    actions.playBetter(3);
    assert.deepEqual(variations(state), ['A15']);
    actions.learnMistakes();
    assert.match(statusText(state), /\(1 of 1\): move 4\. Find a better move for White\.$/);
    for (const [square, verdict] of [[[5, 5], /Not quite: F10 would be a blunder/],
      [[0, 0], /Right: A15/]]) {
      actions.personMove(...square);
      await page.settle();
      assert.match(statusText(state), verdict);
    }
    actions.personMove(7, 7);  // a taken square: no try
    assert.equal(state.learn.tried[0], 0);
    page.worker().hold = 'review';  // Cancel ends the review's worker; the game stays
    actions.reviewGame();
    actions.stop();
    await page.settle();
    assert.deepEqual([state.review, names(state).split(' ').length], [null, 5]);
  });

test('the thinking as it comes, and the bar and the scores of a review read for black',
  async () => {
    const page = await openPage('size=15&level=5');
    const { state, actions } = page;
    page.worker().hold = 'engineMove';
    actions.personMove(7, 7);
    for (let i = 0; i < 50 && !state.live; ++i) await new Promise((resolve) => setTimeout(resolve));
    assert.match(viewWords(state).text, /^Thinking: depth 3, score \u2212100, 9 nodes\.$/);
    page.worker().release();
    await page.settle();
    const cases = [  // a report for its side to move: the bar's share and the review's score
      [{ score: 70, forced: 0 }, 0, 0.5, '0'], [{ score: 470, forced: 0 }, 0, 0.75, '400'],
      [{ score: 470, forced: 0 }, 1, 0.25, '-400'], [{ score: 29990, forced: 3 }, 1, 0, 'W3'],
      [{ score: -29990, forced: -4 }, 1, 1, 'B4'],
    ];
    for (const [scores, mover, share, token] of cases) {
      const report = { ...scores, move: [5, 5], line: [[5, 5]], depth: 5, nodes: 9 };
      state.analysis = { mover, entries: state.game.moves.length, moves: [report] };
      assert.equal(barValue(state).share, share, JSON.stringify(report));
      assert.equal(scoreToken({ ...report, known: true }, mover, ABOUT), token);
    }
  });
