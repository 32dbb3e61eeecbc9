// The game in the address, and the browser history that holds it.
//
// #size=15&black=H8,J10&white=I9&turn=white&you=black&opponent=3&moves=K11,L12&opponents=2
// size: the board's side; black, white: the set-up's stones; turn: the side to move after
// the set-up (only with set-up stones); you: the person's colour; opponent: the level the
// engine plays next; moves: the game's moves in turn from there; opponents: the level of
// each of the engine's moves, in order, left out when every one was at `opponent`.
// Everything but size may be left out. Addresses of the five levels before the eight give
// `level` and `levels` instead, which read as the nearest of the eight (formerLevels of the
// module's description).
import { COLOURS, parseSquare, squareName } from './notation.js';

// A spec: {size, black, white: squares, toMove, you: colours, level, moves: squares,
// levels: the engine's moves' levels}.
export function encodeAddress(spec) {
  const names = (squares) => squares.map((s) => squareName(s, spec.size)).join(',');
  const parts = [['size', spec.size]];
  if (spec.black.length) parts.push(['black', names(spec.black)]);
  if (spec.white.length) parts.push(['white', names(spec.white)]);
  if (spec.black.length + spec.white.length) parts.push(['turn', COLOURS[spec.toMove]]);
  parts.push(['you', COLOURS[spec.you]], ['opponent', spec.level]);
  if (spec.moves.length) parts.push(['moves', names(spec.moves)]);
  if (spec.levels.some((level) => level !== spec.level)) parts.push(['opponents', spec.levels]);
  return parts.map(([key, value]) => key + '=' + value).join('&');
}

// Which of the moves of a spec are the engine's: the first move is the side's to move after
// the set-up (black without one), and the engine plays the colour the person does not.
export function engineMoveCount(spec) {
  const first = spec.black.length + spec.white.length ? spec.toMove : 0;
  const engine = 1 - spec.you;
  return spec.moves.filter((_, i) => (first + i) % 2 === engine).length;
}

const KNOWN = ['size', 'black', 'white', 'turn', 'you', 'opponent', 'moves', 'opponents',
  'level', 'levels'];

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
