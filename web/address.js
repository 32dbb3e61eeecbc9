// The game in the address, and the browser history that holds it.
//
// #size=15&black=H8,J10&white=I9&turn=white&you=black&opponent=3&moves=K11,L12&opponents=2
// size: the board's side; black, white: the set-up's stones; turn: the side to move after
// the set-up (only with set-up stones); you: the person's colour; opponent: the level the
// engine plays next; moves: the game's moves in turn from there; opponents: the level of
// each of the engine's moves, in order, left out when every one was at `opponent`.
// swap2: who opened a Swap2 opening (you or engine), opening: its stones before the colours
// were taken (3, or 5 when two more were placed), and `you` only once they are; such a game
// starts on an empty board, and its opening's moves are no level's.
// Everything but size may be left out. Addresses of the five levels before the eight give
// `level` and `levels` instead, which read as the nearest of the eight (formerLevels of the
// module's description). #puzzle=12 is puzzle 12 of puzzles.json.
import { COLOURS, parseSquare, squareName } from './notation.js';

// A spec: {size, black, white: squares, toMove, you: colours, level, moves: squares,
// levels: the engine's moves' levels, swap2: {opener, stones, decided} or null}.
export function encodeAddress(spec) {
  const names = (squares) => squares.map((s) => squareName(s, spec.size)).join(',');
  const parts = [['size', spec.size]];
  if (spec.black.length) parts.push(['black', names(spec.black)]);
  if (spec.white.length) parts.push(['white', names(spec.white)]);
  if (spec.black.length + spec.white.length) parts.push(['turn', COLOURS[spec.toMove]]);
  if (spec.swap2) parts.push(['swap2', spec.swap2.opener], ['opening', spec.swap2.stones]);
  if (!spec.swap2 || spec.swap2.decided) parts.push(['you', COLOURS[spec.you]]);
  parts.push(['opponent', spec.level]);
  if (spec.moves.length) parts.push(['moves', names(spec.moves)]);
  if (spec.levels.some((level) => level !== spec.level)) parts.push(['opponents', spec.levels]);
  return parts.map(([key, value]) => key + '=' + value).join('&');
}

// Which of the moves of a spec are the engine's: the first move is the side's to move after
// the set-up (black without one), and the engine plays the colour the person does not, after
// a Swap2 opening.
export function engineMoves(spec) {
  const first = spec.black.length + spec.white.length ? spec.toMove : 0;
  const engine = 1 - spec.you;
  const opening = spec.swap2 ? spec.swap2.stones : 0;
  return spec.moves.map((_, i) => i >= opening && (first + i) % 2 === engine);
}
const engineMoveCount = (spec) => engineMoves(spec).filter(Boolean).length;

const KNOWN = ['size', 'black', 'white', 'turn', 'you', 'opponent', 'moves', 'opponents',
  'level', 'levels', 'swap2', 'opening'];

// The Swap2 opening of an address, checked against the address's set-up and moves, or null.
function swap2Of(params, spec) {
  const opener = params.get('swap2'), opening = params.get('opening');
  if (opener === null) {
    if (opening !== null) throw new Error('"opening" belongs to a Swap2 game');
    return null;
  }
  if (!['you', 'engine'].includes(opener)) {
    throw new Error(`"swap2" must be you or engine, not "${opener}"`);
  }
  if (spec.black.length + spec.white.length) {
    throw new Error('a Swap2 opening starts on an empty board');
  }
  const stones = opening === null ? 3 : Number(opening);
  if (stones !== 3 && stones !== 5) {
    throw new Error(`a Swap2 opening has 3 or 5 stones, not "${opening}"`);
  }
  const decided = params.get('you') !== null, n = spec.moves.length;
  if (decided ? n < stones : n > stones || stones === 5 && n < 3) {
    const taken = decided ? 'taken' : 'not taken';
    throw new Error(`${n} moves do not fit a Swap2 opening of ${stones} stones, colours ${taken}`);
  }
  return { opener, stones, decided };
}

// The puzzle an address names (puzzle=12), or null when it names none; throws an Error that
// says what could not be read.
export function decodePuzzle(text) {
  const params = new URLSearchParams(text);
  if (!params.has('puzzle')) return null;
  for (const key of params.keys()) {
    if (key !== 'puzzle') throw new Error(`"${key}" is not part of a puzzle's address`);
  }
  const id = params.get('puzzle');
  if (!/^[0-9]+$/.test(id)) throw new Error(`"${id}" is not a puzzle's number`);
  return Number(id);
}
export const encodePuzzle = (id) => `puzzle=${id}`;

// The game an address holds; throws an Error that says what could not be read. about: the
// module's description (board limits, level names); level: the level when none is given.
export function decodeAddress(text, { about, level: fallback }) {
  const params = new URLSearchParams(text);
  for (const key of params.keys()) {
    if (!KNOWN.includes(key)) throw new Error(`"${key}" is not part of a game address`);
  }
  const sizeText = params.get('size');
  if (sizeText === null) throw new Error('it gives no board size');
  const size = /^[0-9]+$/.test(sizeText) ? Number(sizeText) : NaN;
  const { minBoard, maxBoard } = about;
  if (!(size >= minBoard && size <= maxBoard)) {
    throw new Error(`the board size "${sizeText}" is not one from ${minBoard} to ${maxBoard}`);
  }
  const squares = (key, what) => {
    const list = params.get(key);
    if (!list) return [];
    return list.split(',').map((name, i) => {
      const square = parseSquare(name.trim(), size, size);
      if (!square) {
        const board = `a ${size} by ${size} board`;
        throw new Error(`${what} ${i + 1}, "${name}", is not a square of ${board}`);
      }
      return square;
    });
  };
  const colour = (key) => {
    const value = params.get(key);
    if (value === null) return 0;
    const found = COLOURS.indexOf(value.toLowerCase());
    if (found < 0) throw new Error(`"${key}" must be black or white, not "${value}"`);
    return found;
  };
  // A level of the eight, or of the five before them (read as the nearest of the eight).
  const former = params.get('opponent') === null && params.get('opponents') === null;
  const levelOf = (value) => {
    const n = /^[0-9]+$/.test(value) ? Number(value) : NaN;
    const count = former ? about.formerLevels.length : about.levels.length;
    if (!(n >= 1 && n <= count)) {
      throw new Error(`the level "${value}" is not one from 1 to ${count}`);
    }
    return former ? about.formerLevels[n - 1] : n;
  };
  const levelText = params.get(former ? 'level' : 'opponent');
  const spec = {
    size, black: squares('black', 'black stone'), white: squares('white', 'white stone'),
    toMove: colour('turn'), you: colour('you'),
    level: levelText === null ? fallback : levelOf(levelText), moves: squares('moves', 'move'),
  };
  spec.swap2 = swap2Of(params, spec);
  const count = engineMoveCount(spec);
  const levelsText = params.get(former ? 'levels' : 'opponents');
  spec.levels = levelsText === null ? Array(count).fill(spec.level)
    : levelsText.split(',').map(levelOf);
  if (spec.levels.length !== count) {
    throw new Error(`it gives ${spec.levels.length} levels for ${count} moves of the engine`);
  }
  return spec;
}

// The browser history: every move replaces the entry, every new game adds one. Back and
// Forward, or an address typed in, call onChange with the address's text; the page's own
// writes call nothing. Returns {write(text, how), read(), unbind()}.
export function bindHistory(win, onChange) {
  let written = null;  // the hash this page wrote or read last
  const changed = () => {
    if (win.location.hash === written) return;
    written = win.location.hash;  // popstate and hashchange both come for one new address
    onChange(written.slice(1));
  };
  win.addEventListener('popstate', changed);
  win.addEventListener('hashchange', changed);
  return {
    write(text, how) {
      const hash = '#' + text;
      if (how === 'push' && hash !== win.location.hash) win.history.pushState(null, '', hash);
      else win.history.replaceState(null, '', hash);
      written = hash;
    },
    read() {
      written = win.location.hash;
      return written.slice(1);
    },
    href: () => win.location.href.split('#')[0],
    unbind() {
      win.removeEventListener('popstate', changed);
      win.removeEventListener('hashchange', changed);
    },
  };
}
