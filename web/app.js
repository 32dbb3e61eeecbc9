// The page: takes the person's clicks and keys, asks the engine's worker to place stones,
// take them back, think, hint and analyse, and keeps the game in the address. The board
// is always drawn from the game the worker reports, so what is on screen is what the
// engine holds.
//
// Phases (also on <body data-phase>): loading, person (the person may move), busy (a
// quick request is on its way), thinking, hinting, over, setup (editing a set-up),
// analysing, error. Review is no phase of its own: while the person or the end waits, the
// board may show an earlier position (<body data-review>).
import { BoardView, fiveLines } from './board.js';
import * as notation from './notation.js';
import { LEVELS, FULL_STRENGTH, capitalised, colourName, signed } from './notation.js';

const $ = (id) => document.getElementById(id);
const boardSvg = $('board');
const board = new BoardView(boardSvg);
const DEFAULT_LEVEL = 2;  // Casual: a first visitor should be able to win some games
const PREFERENCES = 'quillmot-preferences';

let worker = null;
let nextId = 1;
const pending = new Map();
let generation = 0;  // a new game makes every reply of the old one stale
let phase = 'loading';
// The game as the worker last reported it: every history entry as [x, y, colour], or null
// for a turn given away in a set-up.
let game = { width: 15, height: 15, moves: [], five: [], anyFive: false, toMove: 0 };
let setupCount = 0;    // history entries of the set-up, before the game's first move
let setupToMove = 0;   // the side to move after the set-up
let personColour = 0;
let mode = 'play';     // or 'setup'
let reviewAt = null;   // history entries shown while reviewing, or null for the game itself
let liveStatus = '';   // the status of the game itself, shown again when review ends
let overText = '';
let hint = null;       // [x, y] suggested to the person
// The last search shown: {kind: 'move' or 'analysis', report, mover, level, at}, where
// at is the history length it belongs to.
let engineView = null;
let setupStones = new Map();  // 'x,y' -> colour, the set-up being edited
let cursor = [7, 7];
let writtenHash = null;  // the address this page wrote last

// ---- Preferences: the level, the thinking time and the switches stay for the next visit ----

function loadPreferences() {
  let saved = {};
  try {
    saved = JSON.parse(localStorage.getItem(PREFERENCES) || '{}');
  } catch { /* no storage, or unreadable: the defaults */ }
  $('level').value = String(saved.level ?? DEFAULT_LEVEL);
  if ($('level').selectedIndex < 0) $('level').value = String(DEFAULT_LEVEL);
  if (saved.think) $('think').value = String(saved.think);
  if ($('think').selectedIndex < 0) $('think').value = '1000';
  $('numbers').checked = !!saved.numbers;
  $('show-line').checked = !!saved.showLine;
}

function savePreferences() {
  try {
    localStorage.setItem(PREFERENCES, JSON.stringify({
      level: level(), think: thinkMs(), numbers: $('numbers').checked, showLine: $('show-line').checked,
    }));
  } catch { /* private windows may refuse storage: nothing is lost but the next visit's defaults */ }
}

function level() { return Number($('level').value); }
function thinkMs() { return Number($('think').value); }
function levelName(n) { return LEVELS[n - 1]; }

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

// A search cannot be interrupted: its worker is replaced, and the new one starts clean.
function engineReady() {
  if (phase === 'thinking' || phase === 'hinting' || phase === 'analysing' || phase === 'error' || worker === null) {
    if (!startWorker()) return false;
    setPhase('loading', 'Loading the engine…');
  }
  return true;
}

// ---- The game ----

const enginePlayer = () => 1 - personColour;
const stoneCount = () => game.moves.filter(Boolean).length;
const gameMoves = () => game.moves.slice(setupCount);
const idle = () => phase === 'person' || phase === 'over';
function name(square) { return notation.squareName(square, game.height); }
function yourMoveText() { return 'Your move (' + colourName(personColour) + ').'; }

function setPhase(next, text) {
  phase = next;
  document.body.dataset.phase = next;
  if (text !== undefined) {
    $('status').textContent = text;
    if (reviewAt === null) liveStatus = text;
  }
  render();
}

function fail(message) {
  generation++;
  let text = 'Error: ' + message + '.';
  if (location.protocol === 'file:') text += ' Serve this folder over http: tools/play-in-browser.sh.';
  setPhase('error', text + ' New game tries again.');
}

function notice(text) {
  $('notice').textContent = text;
  $('notice').hidden = !text;
}

// The game as the address holds it.
function currentSpec() {
  const setup = game.moves.slice(0, setupCount).filter(Boolean);
  const squares = (moves) => moves.map(([x, y]) => [x, y]);
  return {
    size: game.width, black: squares(setup.filter((m) => m[2] === 0)),
    white: squares(setup.filter((m) => m[2] === 1)), toMove: setupToMove, you: personColour,
    level: level(), moves: squares(gameMoves()),
  };
}

// Each move replaces the address's history entry; each new game adds one.
function writeAddress(how) {
  const hash = '#' + notation.encodeAddress(currentSpec());
  if (how === 'push' && hash !== location.hash) history.pushState(null, '', hash);
  else history.replaceState(null, '', hash);
  writtenHash = hash;
}

function showSize(size) {
  const select = $('size');
  if (![...select.options].some((o) => Number(o.value) === size)) {
    const option = new Option(`${size} by ${size}`, String(size));
    const after = [...select.options].find((o) => Number(o.value) > size);
    select.add(option, after || null);
  }
  select.value = String(size);
}

// Starts the game of a spec (see notation.js): set-up, side to move, person's colour,
// moves, level. how: 'push' or 'replace' the address. fromAddress: a refusal is the
// address's fault, and a new game replaces it.
async function startGame(spec, how, fromAddress) {
  const gen = ++generation;
  if (!engineReady()) return;
  if (phase !== 'loading') setPhase('busy');
  personColour = spec.you;
  $('first').value = spec.you === 0 ? 'person' : 'engine';
  $('level').value = String(spec.level);
  showSize(spec.size);
  cursor = [spec.size >> 1, spec.size >> 1];
  leaveSetupControls();
  reviewAt = null;
  hint = null;
  engineView = null;
  overText = '';
  const hasSetup = spec.black.length + spec.white.length > 0;
  const reply = await request('position', {
    width: spec.size, height: spec.size, black: spec.black, white: spec.white,
    toMove: hasSetup ? spec.toMove : undefined, moves: spec.moves,
  });
  if (gen !== generation) return;
  game = reply.game;
  if (!reply.ok || (game.anyFive && spec.moves.length === 0)) {
    const what = !reply.ok
      ? `${reply.list === 'moves' ? 'move' : reply.list + ' stone'} ${reply.index + 1}, ${name((reply.list === 'moves' ? spec.moves : spec[reply.list])[reply.index])}, is ${reply.error}`
      : 'its set-up has a five on it';
    if (fromAddress) return badAddress(what);
    return fail('the position could not be set up: ' + what);
  }
  setupCount = game.moves.length - spec.moves.length;
  setupToMove = hasSetup ? spec.toMove : 0;
  writeAddress(how);
  goOn(gen);
}

// Whose turn it is decides what comes next.
function goOn(gen) {
  if (endOfGame()) return;
  if (game.toMove === personColour) setPhase('person', yourMoveText());
  else engineMove(gen);
}

function newGame(how = 'push') {
  notice('');
  startGame({
    size: Number($('size').value), black: [], white: [], toMove: 0,
    you: $('first').value === 'person' ? 0 : 1, level: level(), moves: [],
  }, how, false);
}

function badAddress(what) {
  newGame('replace');
  notice(`The address could not be read as a game (${what}), so a new game has started.`);
}

function loadAddress(how) {
  const text = location.hash.slice(1);
  if (!text) return newGame(how);
  let spec;
  try {
    spec = notation.decodeAddress(text, { level: level() });
  } catch (error) {
    return badAddress(error.message);
  }
  notice('');
  startGame(spec, how, true);
}

async function personMove(x, y) {
  if (phase !== 'person' || reviewAt !== null || game.moves.some((m) => m && m[0] === x && m[1] === y)) return;
  const gen = generation;
  hint = null;
  setPhase('busy');
  const reply = await request('place', { x, y });
  if (gen !== generation) return;
  game = reply.game;
  if (!reply.ok) return setPhase('person', yourMoveText());
  writeAddress('replace');
  if (!endOfGame()) engineMove(gen);
}

async function engineMove(gen) {
  const playing = level();
  setPhase('thinking', `Quillmot (${levelName(playing)}) is thinking…`);
  const seed = crypto.getRandomValues(new Uint32Array(1))[0];
  const reply = await request('engineMove', { level: playing, ms: thinkMs(), seed });
  if (gen !== generation) return;
  game = reply.game;
  if (!reply.ok) {
    if (!endOfGame()) fail('the engine found no move: ' + reply.error);
    return;
  }
  engineView = { kind: 'move', report: reply.report, mover: enginePlayer(), level: playing, at: game.moves.length };
  writeAddress('replace');
  const played = `Quillmot played ${name(reply.report.move)}.`;
  if (!endOfGame(played)) setPhase('person', played + ' ' + yourMoveText());
}

// Takes back the person's last stone and the engine's reply to it, never into the set-up.
async function takeBack() {
  if (!idle() || reviewAt !== null) return;
  let last = game.moves.length - 1;
  while (last >= setupCount && game.moves[last][2] !== personColour) --last;
  if (last < setupCount) return;
  await dropMovesFrom(last);
}

// Takes back every move from history entry `from` on, and play goes on from there.
async function dropMovesFrom(from) {
  const gen = generation;
  reviewAt = null;
  overText = '';
  hint = null;
  engineView = null;
  setPhase('busy');
  const reply = await request('takeBack', { count: game.moves.length - from });
  if (gen !== generation) return;
  game = reply.game;
  writeAddress('replace');
  goOn(gen);
}

async function askHint() {
  if (phase !== 'person' || reviewAt !== null) return;
  const gen = generation;
  setPhase('hinting', 'Looking for a move for you…');
  const reply = await request('hint', { ms: thinkMs() });
  if (gen !== generation) return;
  if (!reply.ok) return setPhase('person', `No hint: ${reply.error}. ${yourMoveText()}`);
  hint = reply.report.move;
  setPhase('person', `Hint: ${name(hint)}. ${yourMoveText()}`);
}

// Announces a five or a full board; false while the game goes on.
function endOfGame(before = '') {
  const prefix = before ? before + ' ' : '';
  if (game.five.length > 0) {
    const lastStone = game.moves[game.moves.length - 1];
    const winner = lastStone[2];
    const lines = fiveLines(game.five, lastStone).map(([a, b]) => name(a) + ' to ' + name(b));
    const who = winner === personColour ? 'You win' : 'Quillmot wins';
    overText = `${who} (${colourName(winner)}): five in a row from ${lines.join(' and from ')}.`;
    setPhase('over', prefix + overText);
    return true;
  }
  if (stoneCount() === game.width * game.height) {
    overText = 'Draw: the board is full.';
    setPhase('over', prefix + overText);
    return true;
  }
  return false;
}

// ---- Review ----

function reviewTo(entries) {
  if (!idle() || mode !== 'play') return;
  const end = game.moves.length;
  const at = Math.max(setupCount, Math.min(end, entries));
  hint = null;
  if (at === end) {
    reviewAt = null;
    $('status').textContent = liveStatus;
  } else {
    reviewAt = at;
    const where = at === setupCount ? 'the position before the first move' : `after move ${at - setupCount} of ${end - setupCount}`;
    $('status').textContent = `Reviewing: ${where}. Last returns to the game; Continue from here plays on from this position.`;
  }
  render();
}
const shownEntries = () => reviewAt ?? game.moves.length;

function continueFromHere() {
  if (reviewAt === null || !idle()) return;
  dropMovesFrom(reviewAt);
}

// ---- Set-up and analysis ----

function radioValue(name) { return Number(document.querySelector(`input[name="${name}"]:checked`).value); }
function setRadio(name, value) { document.querySelector(`input[name="${name}"][value="${value}"]`).checked = true; }

function leaveSetupControls() {
  mode = 'play';
  document.body.dataset.mode = 'play';
  $('play-controls').hidden = false;
  $('setup-controls').hidden = true;
}

// The position on the board (the reviewed one too) becomes the set-up.
function enterSetup() {
  if (!idle()) return;
  const shown = game.moves.slice(0, shownEntries());
  setupStones = new Map(shown.filter(Boolean).map(([x, y, c]) => [x + ',' + y, c]));
  setRadio('setup-turn', shown.length % 2);  // every entry, stone or pass, hands on the turn
  setRadio('setup-you', personColour);
  mode = 'setup';
  document.body.dataset.mode = 'setup';
  reviewAt = null;
  hint = null;
  engineView = null;
  overText = '';
  $('play-controls').hidden = true;
  $('setup-controls').hidden = false;
  syncSetup();
}

// Puts the set-up into the engine, which reports it back to be drawn.
async function syncSetup() {
  const gen = ++generation;
  if (!engineReady()) return;
  setPhase('busy');
  const stones = [...setupStones].map(([key, colour]) => [key.split(',').map(Number), colour]);
  const reply = await request('position', {
    width: game.width, height: game.height, toMove: radioValue('setup-turn'), moves: [],
    black: stones.filter(([, c]) => c === 0).map(([s]) => s), white: stones.filter(([, c]) => c === 1).map(([s]) => s),
  });
  if (gen !== generation) return;
  game = reply.game;
  setupCount = game.moves.length;
  if (!reply.ok) return fail('the set-up could not be placed: ' + reply.error);
  setPhase('setup', setupText());
}

function setupText() {
  const counts = [0, 1].map((c) => [...setupStones.values()].filter((v) => v === c).length);
  if (game.anyFive) return 'There is a five on the board: remove one of its stones to analyse or play from here.';
  return `Set-up: ${counts[0]} black and ${counts[1]} white stones, ${colourName(radioValue('setup-turn'))} to move.`;
}

function editSetup(x, y) {
  if (phase !== 'setup') return;
  const key = x + ',' + y;
  if (setupStones.has(key)) setupStones.delete(key);
  else setupStones.set(key, radioValue('setup-colour'));
  engineView = null;
  syncSetup();
}

const FIVE_REFUSED = 'A position with a five on it cannot be analysed or played: remove one of its stones first.';

async function analyse() {
  if (phase !== 'setup') return;
  if (game.anyFive) return setPhase('setup', FIVE_REFUSED);
  const gen = generation;
  const mover = game.toMove;
  setPhase('analysing', `Analysing for ${colourName(mover)} (${thinkMs() / 1000} s)…`);
  const reply = await request('analyse', { ms: thinkMs() });
  if (gen !== generation) return;
  if (!reply.ok) return setPhase('setup', `No analysis: ${reply.error}.`);
  engineView = { kind: 'analysis', report: reply.report, mover, level: FULL_STRENGTH, at: game.moves.length };
  setPhase('setup', `Analysis: the best move for ${colourName(mover)} is ${name(reply.report.move)}.`);
}

function playFromHere() {
  if (phase !== 'setup') return;
  if (game.anyFive) return setPhase('setup', FIVE_REFUSED);
  const setup = game.moves.filter(Boolean);
  startGame({
    size: game.width, black: setup.filter((m) => m[2] === 0).map(([x, y]) => [x, y]),
    white: setup.filter((m) => m[2] === 1).map(([x, y]) => [x, y]), toMove: radioValue('setup-turn'),
    you: radioValue('setup-you'), level: level(), moves: [],
  }, 'push', false);
}

// ---- The engine's view ----

function describeView() {
  if (!engineView) return { text: mode === 'setup' ? 'Analyse asks Quillmot for its view of the set-up.' : 'Nothing searched yet.', line: '' };
  const { kind, report, mover } = engineView;
  const who = (colour) => mode === 'play' && kind === 'move'
    ? `${capitalised(colourName(colour))} (${colour === personColour ? 'you' : 'Quillmot'})`
    : capitalised(colourName(colour));
  const head = kind === 'move'
    ? `Quillmot (${levelName(engineView.level)}) played ${name(report.move)}`
    : `Analysis at full strength: the best move for ${colourName(mover)} is ${name(report.move)}`;
  if (report.depth === 0 && kind === 'move' && stoneCount() <= 1) return { text: head + ', in the centre as it opens.', line: '' };
  // A move its threat rules settle before any search (a five to make or to stop, a four
  // that wins) comes with the static score of the root, which says nothing.
  if (report.forced === 0 && (report.depth === 0 || report.nodes === 0))
    return { text: head + ', settled at once by its threat rules, without a search.', line: '' };
  const { colour, words } = notation.standing(report, mover);
  const stands = colour === null ? 'the position is even'
    : report.forced !== 0 ? `${who(colour)} has ${words}` : `${who(colour)} stands ${words}`;
  const text = `${head} after a search to depth ${report.depth} (score ${signed(report.score)} for ${colourName(mover)}). In its eyes ${stands}.`;
  const names = report.line.map(name).join(' ');
  let line = names ? `Expected line: ${names}.` : '';
  if (report.otherMove) {
    line = engineView.level < FULL_STRENGTH
      ? `${levelName(engineView.level)} chose ${name(report.move)}, not the first move of its best line: ${names}.`
      : `The last, unfinished search changed the move to ${name(report.move)}; the line of the last finished one: ${names}.`;
  }
  return { text, line };
}

// The expected line as it goes on from the board: for the engine's move, the rest of its
// line after the move it played; for an analysis, the whole line. Empty once anything
// has moved since, or when the move played was not the line's first.
function lineStones() {
  if (!engineView || !$('show-line').checked || reviewAt !== null || engineView.at !== game.moves.length) return [];
  const { kind, report, mover } = engineView;
  if (report.otherMove) return [];
  const line = kind === 'move' ? report.line.slice(1) : report.line;
  const taken = new Set(game.moves.filter(Boolean).map(([x, y]) => x + ',' + y));
  let colour = kind === 'move' ? 1 - mover : mover;
  let number = gameMoves().length + 1;
  const stones = [];
  for (const [x, y] of line) {
    if (taken.has(x + ',' + y)) break;  // nothing past a square the line cannot take
    taken.add(x + ',' + y);
    stones.push([x, y, colour, number++]);
    colour = 1 - colour;
  }
  return stones;
}

// ---- Drawing ----

function render() {
  cursor = cursor.map((c, i) => Math.max(0, Math.min((i ? game.height : game.width) - 1, c)));
  const entries = game.moves.slice(0, shownEntries());
  const stones = entries.map((m, i) => m && [m[0], m[1], m[2], i >= setupCount ? i - setupCount + 1 : null]).filter(Boolean);
  const lastEntry = entries.length > setupCount ? entries[entries.length - 1] : null;
  const ghost = mode === 'setup' ? radioValue('setup-colour') : personColour;
  board.render({
    width: game.width, height: game.height, stones, last: lastEntry && [lastEntry[0], lastEntry[1]],
    five: reviewAt === null ? game.five : [], hint: phase === 'person' && reviewAt === null ? hint : null,
    line: lineStones(), cursor, ghost, numbers: $('numbers').checked,
  });
  boardSvg.setAttribute('aria-label', `Board, ${game.width} by ${game.height}, ${cursorText()}`);
  document.body.dataset.review = reviewAt === null ? 'no' : 'yes';
  renderControls();
  renderView();
  renderRecord(entries.length);
}

function renderControls() {
  const canReview = idle() && mode === 'play' && game.moves.length > setupCount;
  const at = shownEntries();
  $('review-first').disabled = $('review-back').disabled = !canReview || at <= setupCount;
  $('review-forward').disabled = $('review-last').disabled = !canReview || at >= game.moves.length;
  $('continue').hidden = reviewAt === null;
  $('continue').disabled = !idle();
  const personStones = gameMoves().some((m) => m[2] === personColour);
  $('take-back').disabled = !(idle() && reviewAt === null && personStones);
  $('hint').disabled = !(phase === 'person' && reviewAt === null);
  $('setup').disabled = !idle();
  for (const id of ['analyse', 'play-here', 'clear-setup', 'leave-setup']) $(id).disabled = phase !== 'setup';
}

function renderView() {
  const { text, line } = describeView();
  $('view-text').textContent = text;
  $('view-line').textContent = line;
}

function renderRecord(shown) {
  const setup = game.moves.slice(0, setupCount).filter(Boolean);
  const note = $('setup-note');
  note.hidden = mode !== 'play' || setupCount === 0;
  if (!note.hidden) {
    const count = (c) => setup.filter((m) => m[2] === c).length;
    note.textContent = `From a set-up of ${count(0)} black and ${count(1)} white stones, ${colourName(setupToMove)} to move.`;
  }
  const list = $('record');
  const items = mode === 'play' ? gameMoves() : [];
  list.replaceChildren(...items.map(([x, y, colour], i) => {
    const item = document.createElement('li');
    const current = setupCount + i + 1 === shown;
    if (current) {
      item.className = 'current';
      item.setAttribute('aria-current', 'step');
    }
    if (setupCount + i >= shown) item.classList.add('later');
    // The discs are text, so that a screen reader says "black circle" and "white circle".
    const disc = document.createElement('span');
    disc.className = 'disc';
    disc.textContent = colour === 0 ? '\u25CF' : '\u25CB';
    item.append(`${i + 1}. `, disc, ' ' + name([x, y]));
    return item;
  }));
  // The list scrolls to its current move; the page itself stays where the person has it.
  const current = list.querySelector('.current');
  if (current && (current.offsetTop < list.scrollTop || current.offsetTop + current.offsetHeight > list.scrollTop + list.clientHeight))
    list.scrollTop = current.offsetTop - list.clientHeight / 2;
}

// ---- The game as text ----

function gameText() {
  const spec = currentSpec();
  const lines = [`Quillmot, five in a row, ${game.width} by ${game.height}`];
  const names = (squares) => squares.map(name).join(' ');
  if (setupCount > 0) lines.push(`Set-up: black ${names(spec.black) || '(none)'}; white ${names(spec.white) || '(none)'}; ${colourName(setupToMove)} to move`);
  lines.push(`${capitalised(colourName(personColour))}: you; ${colourName(enginePlayer())}: Quillmot (${levelName(level())})`);
  lines.push(gameMoves().map(([x, y, c], i) => `${i + 1}. ${colourName(c)} ${name([x, y])}`).join('\n') || '(no moves yet)');
  if (overText) lines.push(overText);
  lines.push(location.href);
  return lines.join('\n');
}

async function copyGame() {
  const text = gameText();
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // Without the clipboard interface (or its permission): a selection copied the old way.
    const area = document.createElement('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  $('copy-note').textContent = `Copied: the game in ${gameMoves().length} moves, with its address.`;
}

// ---- Keyboard ----

function cursorText() {
  const [x, y] = cursor;
  const stone = game.moves.slice(0, shownEntries()).find((m) => m && m[0] === x && m[1] === y);
  const what = stone ? `${colourName(stone[2])} stone` : 'empty';
  const hinted = hint && hint[0] === x && hint[1] === y ? ', the hint' : '';
  return `cursor on ${name(cursor)}, ${what}${hinted}`;
}

function activate(x, y) {
  if (mode === 'setup') editSetup(x, y);
  else personMove(x, y);
}

const CURSOR_STEPS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

boardSvg.addEventListener('keydown', (event) => {
  if (event.altKey || event.ctrlKey || event.metaKey) return;
  const step = CURSOR_STEPS[event.key];
  if (step) {
    cursor = [Math.max(0, Math.min(game.width - 1, cursor[0] + step[0])), Math.max(0, Math.min(game.height - 1, cursor[1] + step[1]))];
    render();
    $('cursor-info').textContent = capitalised(cursorText().replace('cursor on ', ''));
  } else if (event.key === 'Enter' || event.key === ' ') {
    activate(...cursor);
  } else {
    return;
  }
  event.preventDefault();
});

// Review by arrow keys while the board does not have the focus (and no control that uses
// them does).
document.addEventListener('keydown', (event) => {
  if (event.target === boardSvg || event.altKey || event.ctrlKey || event.metaKey) return;
  if (event.target.closest?.('input, select, textarea')) return;
  const at = shownEntries();
  const to = { ArrowLeft: at - 1, ArrowRight: at + 1, Home: setupCount, End: game.moves.length }[event.key];
  if (to === undefined || !idle() || mode !== 'play') return;
  reviewTo(to);
  event.preventDefault();
});

// ---- Wiring ----

boardSvg.addEventListener('click', (event) => {
  const spot = event.target.closest('.spot');
  if (!spot) return;
  cursor = [Number(spot.dataset.x), Number(spot.dataset.y)];
  activate(...cursor);
});
$('new-game').addEventListener('click', () => newGame());
$('take-back').addEventListener('click', takeBack);
$('hint').addEventListener('click', askHint);
$('size').addEventListener('change', () => newGame());
$('first').addEventListener('change', () => newGame());
$('level').addEventListener('change', () => {
  savePreferences();
  if (mode === 'play' && phase !== 'loading' && phase !== 'error') writeAddress('replace');
});
$('think').addEventListener('change', savePreferences);
for (const id of ['numbers', 'show-line']) {
  $(id).addEventListener('change', () => {
    savePreferences();
    render();
  });
}
$('review-first').addEventListener('click', () => reviewTo(setupCount));
$('review-back').addEventListener('click', () => reviewTo(shownEntries() - 1));
$('review-forward').addEventListener('click', () => reviewTo(shownEntries() + 1));
$('review-last').addEventListener('click', () => reviewTo(game.moves.length));
$('continue').addEventListener('click', continueFromHere);
$('setup').addEventListener('click', enterSetup);
$('analyse').addEventListener('click', analyse);
$('play-here').addEventListener('click', playFromHere);
$('clear-setup').addEventListener('click', () => {
  setupStones.clear();
  engineView = null;
  syncSetup();
});
$('leave-setup').addEventListener('click', () => loadAddress('replace'));
for (const input of document.querySelectorAll('input[name="setup-turn"]')) {
  input.addEventListener('change', () => {
    engineView = null;
    syncSetup();
  });
}
for (const input of document.querySelectorAll('input[name="setup-colour"]')) input.addEventListener('change', render);
$('copy').addEventListener('click', copyGame);
// Back and Forward, or an address typed in: the game it holds. The page's own writes
// fire neither event.
function addressChanged() {
  if (location.hash === writtenHash) return;
  writtenHash = location.hash;  // popstate and hashchange both come for one new address
  loadAddress('replace');
}
window.addEventListener('popstate', addressChanged);
window.addEventListener('hashchange', addressChanged);

loadPreferences();
cursor = [Math.floor(Number($('size').value) / 2), Math.floor(Number($('size').value) / 2)];
loadAddress('replace');
