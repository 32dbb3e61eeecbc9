// The page's state changes, driven through its actions against a fake engine, with every
// redraw computing all that the page would show (a throw there is a dead page).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { gameMoves } from '../state.js';
import { controls, picture } from '../view.js';
import { endText, recordItems, setupNote, statusText, viewWords } from '../words.js';
import { openPage } from './page-harness.js';

const NEW = 'size=15&you=black&opponent=1';  // the address of a new game
const squares = (state) => gameMoves(state).map(([x, y]) => [x, y]);

test('a new game, a move and its reply, take back', async () => {
  const page = await openPage();
  const { state, actions } = page;
  assert.deepEqual([state.phase, state.game.moves, page.address], ['person', [], NEW]);
  actions.personMove(7, 7);
  await page.settle();
  assert.deepEqual(squares(state), [[7, 7], [0, 0]]);
  assert.equal(page.address, 'size=15&you=black&opponent=1&moves=H8,A15');
  assert.match(statusText(state), /^Quillmot played A15\. Your move \(black\)\.$/);
  assert.match(viewWords(state).text,
    /^Quillmot \(First steps\) played A15 after a search to depth 3 \(score \u2212100\)/);
  actions.takeBack();
  await page.settle();
  assert.deepEqual([squares(state), state.notes, page.written], [[], [], Array(4).fill('replace')]);
});

test('review shows the view of the position shown; continue plays on from there', async () => {
  const page = await openPage('size=15&level=1&moves=H8,A15,J10,B15');
  const { state, actions } = page;
  assert.match(viewWords(state).text, /comes with its next move/, 'a reloaded game: no views');
  actions.review('first');
  actions.review('forward');
  actions.review('forward');
  assert.match(statusText(state), /^Reviewing: after move 2 of 4\./);
  assert.deepEqual(recordItems(state).map((m) => m.current), [false, true, false, false]);
  actions.review('last');
  for (const square of [[9, 9], [10, 10]]) {
    actions.personMove(...square);
    await page.settle();
  }
  actions.review('back');
  assert.match(viewWords(state).text,
    /^Quillmot \(First steps\) played C15 as move 6 after a search/);
  actions.review('back');
  actions.review('back');
  actions.continueHere();
  await page.settle();
  assert.deepEqual(squares(state).slice(4), [[9, 9], [2, 0]], 'move 6 taken back and played again');
});

test('a set-up: edited, copied as the set-up, cleared to black to move, played from', async () => {
  const page = await openPage('size=15&moves=H8,A15');
  const { state, actions } = page;
  actions.enterSetup();
  await page.settle();
  assert.deepEqual([state.setup.stones, state.setup.turn], [[[7, 7, 0], [0, 0, 1]], 0]);
  actions.editSetup(0, 0);  // a stone clicked goes
  await page.settle();
  actions.setSetup('turn', 1);
  await page.settle();
  await actions.copyGame();
  assert.match(page.copied, /^Set-up: black H8; white \(none\); white to move$/m);
  assert.match(page.copied, /#size=15&black=H8&turn=white&you=black&opponent=1$/);
  actions.clearSetup();
  await page.settle();
  assert.equal(statusText(state), 'Set-up: 0 black and 0 white stones, black to move.');
  for (const x of [3, 4]) {
    actions.editSetup(x, 3);
    await page.settle();
  }
  actions.setSetup('you', 1);
  actions.playFromHere();
  await page.settle();
  assert.deepEqual([state.setupCount, state.setupToMove, state.you], [4, 0, 1]);
  assert.equal(page.address, 'size=15&black=D12,E12&turn=black&you=white&opponent=1&moves=A15');
});

test('an address the engine refuses gives its message and a playable new game', async () => {
  const cases = [
    ['size=15&black=H8,I8&moves=H8', /move 1, H8, is on a taken square/],
    ['size=15&black=H8,I8,I8', /black stone 3, I8, is on a taken square/],
    ['size=15&black=H8,I8,J8,K8,L8&white=A1', /its set-up has a five on it/],
  ];
  for (const [address, message] of cases) {
    const page = await openPage('size=15&moves=C3,D4');
    page.actions.loadAddress(address);
    await page.settle();
    assert.match(page.state.notice, message);
    assert.deepEqual([page.state.phase, page.state.game.moves, page.address], ['person', [], NEW]);
    page.actions.personMove(7, 7);
    await page.settle();
    assert.deepEqual([squares(page.state).length, page.state.notice], [2, ''], 'the notice went');
  }
});

test('Stop ends a search in every phase; a stale reply changes nothing', async () => {
  const page = await openPage('size=15&moves=H8,A15');
  const { state, actions } = page;
  page.worker().hold = 'engineMove';
  actions.personMove(9, 9);
  await new Promise((resolve) => setTimeout(resolve, 5));
  const { stop, 'take-back': takeBack } = controls(state);
  assert.deepEqual([state.phase, stop.hidden, takeBack.disabled], ['thinking', false, false]);
  const thinking = page.worker();
  actions.stop();
  await page.settle();
  assert.deepEqual([squares(state), statusText(state)],
    [[[7, 7], [0, 0]], 'Stopped: your last move is taken back. Your move (black).']);
  thinking.release();
  await page.settle();
  assert.equal(squares(state).length, 2, "the stopped search's reply is dropped");
  assert.match(viewWords(state).text, /comes with its next move/);

  actions.enterSetup();
  await page.settle();
  page.worker().hold = 'analyse';
  actions.analyse();
  assert.equal(state.phase, 'analysing');
  actions.stop();
  await page.settle();
  assert.deepEqual([state.mode, state.phase, state.setup.game.moves.length], ['setup', 'setup', 2]);

  // An address pasted while the set-up is on its way: the set-up's reply is stale.
  page.worker().hold = 'position';
  actions.editSetup(5, 5);
  actions.loadAddress('size=15&moves=C3');
  page.worker().release();
  await page.settle();
  assert.deepEqual([state.mode, state.setup.game.moves.length, squares(state)],
    ['play', 2, [[2, 12], [0, 0]]]);
});

test('each engine move keeps its level, in the address and in the text', async () => {
  const page = await openPage('size=15&level=1');
  const { state, actions } = page;
  actions.personMove(7, 7);
  await page.settle();
  actions.choose('level', 3);
  actions.personMove(8, 8);
  await page.settle();
  assert.equal(page.address, 'size=15&you=black&opponent=3&moves=H8,A15,I7,B15&opponents=1,3');
  await actions.copyGame();
  assert.match(page.copied,
    /white: Quillmot \(First steps, then Novice\)\n1\. black H8\n2\. white A15 \(First steps\)\n/);
  const reloaded = await openPage(page.address);
  assert.deepEqual(reloaded.state.notes.map((n) => n.level), [null, 1, null, 3]);
});

test('a hint with its own view and line; the end of a game in words', async () => {
  const page = await openPage('size=15&black=A1,B1,C1,D1&white=A3,B3,C3,D3&turn=black');
  const { state, actions } = page;
  actions.choose('showLine', true);
  actions.hint();
  await page.settle();
  assert.match(viewWords(state).text,
    /^Hint for black: A15 after a search to depth 3 \(score \+100\)/);
  assert.deepEqual([picture(state).hint, picture(state).line], [[0, 0], [[0, 0, 0, 1]]]);
  actions.personMove(4, 14);
  await page.settle();
  assert.deepEqual([state.phase, endText(state), viewWords(state).text],
    ['over', 'You win (black): five in a row from A1 to E1.', 'The game is over.']);
  assert.deepEqual(picture(state).fiveLines, [[[0, 14], [4, 14]]]);
});

test('Swap2: the stones and choices of each side, the address, Stop, a reload', async () => {
  const page = await openPage();
  const { state, actions } = page;
  const play = async (...moves) => {
    for (const square of moves) {
      actions.personMove(...square);
      await page.settle();
    }
  };
  page.worker().swap2Choice = 'white';
  actions.newGame({ opener: 'you' });
  await page.settle();
  await play([7, 7], [8, 6], [9, 5], [5, 5]);  // the engine takes white and plays A15
  actions.takeBack();
  await page.settle();
  assert.equal(page.address, 'size=15&swap2=you&opening=3&you=black&opponent=1&' +
    'moves=H8,I9,J10,A15&opponents=8', 'the opening and the engine\'s stone are not taken back');
  assert.equal(setupNote(state), 'Swap2: you placed the first three stones; Quillmot took white.');

  // Stopping the engine's choice takes back the stone it answers; a reload resumes the opening.
  actions.newGame();
  await page.settle();
  await play([7, 7], [8, 6]);
  page.worker().hold = 'swap2Decide';
  actions.personMove(9, 5);
  await new Promise((resolve) => setTimeout(resolve, 5));
  actions.stop();
  await page.settle();
  const reloaded = await openPage(page.address);
  for (const { state: s } of [page, reloaded]) {
    assert.deepEqual([s.phase, gameMoves(s).length, s.swap2.decided], ['opening', 2, false]);
  }
  assert.match(statusText(reloaded.state), /place the first three stones.*\(2 of 3 placed\)/);
});
