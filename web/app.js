// The page: draws the board, takes the person's clicks and asks the engine's worker to
// place stones, take them back and think. The board is always drawn from the game the
// worker reports, so what is on screen is what the engine holds.
//
// Phases (also on <body data-phase>): loading, person (the person may click), busy (a
// quick request is on its way), thinking, over, error.
'use strict';

const UNIT = 32;    // one square of the drawing
const MARGIN = 32;  // room for the coordinates
const SVG_NS = 'http://www.w3.org/2000/svg';

const $ = (id) => document.getElementById(id);
const boardSvg = $('board');

let worker = null;
let nextId = 1;
const pending = new Map();
let generation = 0;  // a new game makes every reply of the old one stale
let phase = 'loading';
let game = { width: 15, height: 15, moves: [], five: [] };
let personPlayer = 0;
let overText = '';

// ---- The worker ----

function startWorker() {
  if (worker) worker.terminate();
  pending.clear();
  let w;
  try {
    w = new Worker('engine-worker.js');
  } catch (error) {
    worker = null;
    fail('the engine could not be started (' + error.message + ')');
    return false;
  }
  worker = w;
  w.onmessage = (event) => {
    if (w !== worker) return;
    const reply = event.data;
    if (reply.fatal) return fail(reply.fatal);
    if (reply.ready) return;
    const resolve = pending.get(reply.id);
    pending.delete(reply.id);
    if (resolve) resolve(reply);
  };
  w.onerror = (event) => {
    if (w === worker && phase !== 'error') fail('the engine could not be loaded' + (event.message ? ' (' + event.message + ')' : ''));
  };
  return true;
}

function request(op, args) {
  return new Promise((resolve) => {
    const id = nextId++;
    pending.set(id, resolve);
    worker.postMessage({ id, op, ...args });
  });
}

// ---- Game flow ----

function player(index) { return index % 2; }
function enginePlayer() { return 1 - personPlayer; }
function sideName(p) { return p === personPlayer ? 'You' : 'Quillmot'; }
function colourName(p) { return p === 0 ? 'black' : 'white'; }
function occupied(x, y) { return game.moves.some(([mx, my]) => mx === x && my === y); }

function setPhase(next, text) {
  phase = next;
  document.body.dataset.phase = next;
  if (text !== undefined) $('status').textContent = text;
  const personStones = game.moves.some((_, i) => player(i) === personPlayer);
  $('take-back').disabled = !((phase === 'person' || phase === 'over') && personStones);
  render();
}

function fail(message) {
  generation++;
  let text = 'Error: ' + message + '.';
  if (location.protocol === 'file:') text += ' Serve this folder over http: tools/play-in-browser.sh.';
  setPhase('error', text + ' New game tries again.');
}

async function newGame() {
  const gen = ++generation;
  const size = Number($('size').value);
  personPlayer = $('first').value === 'person' ? 0 : 1;
  overText = '';
  $('search-info').textContent = '';
  // A search cannot be interrupted: its worker is replaced, the new one starts clean.
  if (phase === 'thinking' || phase === 'error' || worker === null) {
    if (!startWorker()) return;
    setPhase('loading', 'Loading the engine…');
  } else {
    setPhase('busy');
  }
  const reply = await request('newGame', { width: size, height: size });
  if (gen !== generation) return;
  if (!reply.ok) return fail(reply.error);
  game = reply.game;
  if (personPlayer === 0) setPhase('person', yourMoveText());
  else engineMove(gen);
}

function yourMoveText() { return 'Your move (' + colourName(personPlayer) + ').'; }

async function personMove(x, y) {
  if (phase !== 'person' || occupied(x, y)) return;
  const gen = generation;
  setPhase('busy');
  const reply = await request('place', { x, y });
  if (gen !== generation) return;
  game = reply.game;
  if (!reply.ok) return setPhase('person', yourMoveText());
  if (!endOfGame()) engineMove(gen);
}

async function engineMove(gen) {
  setPhase('thinking', 'Quillmot is thinking…');
  const reply = await request('think', { ms: Number($('think').value) });
  if (gen !== generation) return;
  game = reply.game;
  if (!reply.ok) {
    if (!endOfGame()) fail('the engine found no move: ' + reply.error);
    return;
  }
  // A win or a forced reply is settled before any position is searched.
  $('search-info').textContent = reply.depth > 0 && reply.nodes === 0
    ? 'Last search: the move was forced, found at once.'
    : reply.depth > 0
    ? `Last search: depth ${reply.depth}, ${reply.nodes.toLocaleString('en')} positions, ${(reply.ms / 1000).toFixed(2)} s.`
    : game.moves.length === 1 ? 'Quillmot opened in the centre.' : 'Last search: no iteration completed.';
  if (!endOfGame()) setPhase('person', yourMoveText());
}

// Takes back the person's last stone and the engine's reply to it.
async function takeBack() {
  if (phase !== 'person' && phase !== 'over') return;
  let last = game.moves.length - 1;
  while (last >= 0 && player(last) !== personPlayer) --last;
  if (last < 0) return;
  const gen = generation;
  overText = '';
  setPhase('busy');
  const reply = await request('takeBack', { count: game.moves.length - last });
  if (gen !== generation) return;
  game = reply.game;
  setPhase('person', yourMoveText());
}

// Announces a five or a full board; false while the game goes on.
function endOfGame() {
  if (game.five.length > 0) {
    const winner = player(game.moves.length - 1);
    const lines = fiveLines().map(([a, b]) => squareName(a) + ' to ' + squareName(b));
    const who = winner === personPlayer ? 'You win' : 'Quillmot wins';
    overText = `${who} (${colourName(winner)}): five in a row from ${lines.join(' and from ')}.`;
    setPhase('over', overText);
    return true;
  }
  if (game.moves.length === game.width * game.height) {
    overText = 'Draw: the board is full.';
    setPhase('over', overText);
    return true;
  }
  return false;
}

// The lines of the five through the last stone, each as its two end squares.
function fiveLines() {
  const [lx, ly] = game.moves[game.moves.length - 1];
  const inFive = (x, y) => game.five.some(([fx, fy]) => fx === x && fy === y);
  const lines = [];
  for (const [dx, dy] of [[1, 0], [0, 1], [1, 1], [1, -1]]) {
    let back = 0, ahead = 0;
    while (inFive(lx - (back + 1) * dx, ly - (back + 1) * dy)) ++back;
    while (inFive(lx + (ahead + 1) * dx, ly + (ahead + 1) * dy)) ++ahead;
    if (back + ahead + 1 >= 5)
      lines.push([[lx - back * dx, ly - back * dy], [lx + ahead * dx, ly + ahead * dy]]);
  }
  return lines;
}

// ---- Drawing ----

// Columns A, B, ... Z, AA, AB, ...; rows counted from the bottom, as on a printed board.
function columnName(x) {
  return x < 26 ? String.fromCharCode(65 + x) : 'A' + String.fromCharCode(65 + x - 26);
}
function rowName(y) { return String(game.height - y); }
function squareName([x, y]) { return columnName(x) + rowName(y); }
function px(x) { return MARGIN + x * UNIT; }

function node(parent, tag, attributes, text) {
  const element = document.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, value);
  if (text !== undefined) element.textContent = text;
  parent.appendChild(element);
  return element;
}

let drawnSize = '';

// The parts that change only with the board's size: wood, grid, coordinates, click spots.
function drawBoard() {
  const { width, height } = game;
  boardSvg.replaceChildren();
  const w = 2 * MARGIN + (width - 1) * UNIT, h = 2 * MARGIN + (height - 1) * UNIT;
  boardSvg.setAttribute('viewBox', `0 0 ${w} ${h}`);
  boardSvg.setAttribute('aria-label', `Board of ${width} by ${height}`);
  const defs = node(boardSvg, 'defs', {});
  for (const [id, inner, outer] of [['black-stone', '#666', '#000'], ['white-stone', '#fff', '#d4d4d4']]) {
    const gradient = node(defs, 'radialGradient', { id, cx: '35%', cy: '35%', r: '65%' });
    node(gradient, 'stop', { offset: '0%', 'stop-color': inner });
    node(gradient, 'stop', { offset: '100%', 'stop-color': outer });
  }
  node(boardSvg, 'rect', { class: 'wood', x: 0, y: 0, width: w, height: h, rx: 6 });
  const grid = node(boardSvg, 'g', { class: 'grid' });
  for (let x = 0; x < width; ++x) {
    node(grid, 'line', { x1: px(x), y1: px(0), x2: px(x), y2: px(height - 1) });
    node(grid, 'text', { class: 'label', x: px(x), y: MARGIN / 2 - 2 }, columnName(x));
    node(grid, 'text', { class: 'label', x: px(x), y: h - MARGIN / 2 + 2 }, columnName(x));
  }
  for (let y = 0; y < height; ++y) {
    node(grid, 'line', { x1: px(0), y1: px(y), x2: px(width - 1), y2: px(y) });
    node(grid, 'text', { class: 'label', x: MARGIN / 2 - 2, y: px(y) }, rowName(y));
    node(grid, 'text', { class: 'label', x: w - MARGIN / 2 + 2, y: px(y) }, rowName(y));
  }
  const stars = width >= 13 && height >= 13
    ? [3, width >> 1, width - 4].flatMap((x) => [3, height >> 1, height - 4].map((y) => [x, y]))
    : [[width >> 1, height >> 1]];
  for (const [x, y] of stars) node(grid, 'circle', { class: 'star', cx: px(x), cy: px(y), r: 3.5 });
  node(boardSvg, 'g', { id: 'stones' });
  node(boardSvg, 'g', { id: 'marks' });
  const spots = node(boardSvg, 'g', { id: 'spots' });
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const spot = node(spots, 'g', { class: 'spot', 'data-x': x, 'data-y': y });
      node(spot, 'rect', { x: px(x) - UNIT / 2, y: px(y) - UNIT / 2, width: UNIT, height: UNIT });
      node(spot, 'circle', { class: 'ghost', cx: px(x), cy: px(y), r: UNIT * 0.45 });
    }
  }
  drawnSize = `${width}x${height}`;
}

function render() {
  if (drawnSize !== `${game.width}x${game.height}`) drawBoard();
  const stones = $('stones'), marks = $('marks');
  stones.replaceChildren();
  marks.replaceChildren();
  const numbers = $('numbers').checked;
  const taken = new Set();
  game.moves.forEach(([x, y], i) => {
    const p = player(i);
    taken.add(x + ',' + y);
    node(stones, 'circle', {
      class: `stone p${p}`, cx: px(x), cy: px(y), r: UNIT * 0.46,
      'data-x': x, 'data-y': y, 'data-player': p, 'data-move': i + 1,
    });
    if (numbers) {
      const last = i === game.moves.length - 1 ? ' last' : '';
      const small = i + 1 >= 100 ? ' small' : '';
      node(stones, 'text', { class: `number p${p}${last}${small}`, x: px(x), y: px(y) + 0.5 }, String(i + 1));
    }
  });
  if (game.moves.length > 0) {
    const [x, y] = game.moves[game.moves.length - 1];
    const attributes = { cx: px(x), cy: px(y), 'data-x': x, 'data-y': y };
    if (numbers) node(marks, 'circle', { class: 'last-mark ring', r: UNIT * 0.5, ...attributes });
    else node(marks, 'circle', { class: 'last-mark', r: UNIT * 0.12, ...attributes });
  }
  if (game.five.length > 0) {
    for (const [[ax, ay], [bx, by]] of fiveLines())
      node(marks, 'line', { class: 'five-line', x1: px(ax), y1: px(ay), x2: px(bx), y2: px(by) });
    for (const [x, y] of game.five)
      node(marks, 'circle', { class: 'five-mark', cx: px(x), cy: px(y), r: UNIT * 0.5, 'data-x': x, 'data-y': y });
  }
  const ghost = `ghost p${personPlayer}`;
  for (const spot of $('spots').children) {
    spot.classList.toggle('taken', taken.has(spot.dataset.x + ',' + spot.dataset.y));
    spot.lastChild.setAttribute('class', ghost);
  }
}

// ---- Wiring ----

boardSvg.addEventListener('click', (event) => {
  const spot = event.target.closest('.spot');
  if (spot) personMove(Number(spot.dataset.x), Number(spot.dataset.y));
});
$('new-game').addEventListener('click', newGame);
$('take-back').addEventListener('click', takeBack);
$('size').addEventListener('change', newGame);
$('first').addEventListener('change', newGame);
$('numbers').addEventListener('change', render);

newGame();
