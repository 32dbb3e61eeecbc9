// The game in words: square names, the address that holds a game, the game as text, and
// the engine's view of a position in words.

// Columns A, B, ... Z, AA, AB, ...; rows counted from the bottom, as on a printed board.
export function columnName(x) {
  return x < 26 ? String.fromCharCode(65 + x) : 'A' + String.fromCharCode(65 + x - 26);
}
export function squareName([x, y], height) { return columnName(x) + String(height - y); }

// A square name on a board of this size, or null.
export function parseSquare(text, width, height) {
  const match = /^([A-Z])([A-Z]?)([0-9]{1,2})$/i.exec(text);
  if (!match) return null;
  const [first, second] = [match[1].toUpperCase(), match[2].toUpperCase()];
  if (second && first !== 'A') return null;
  const x = second ? 26 + second.charCodeAt(0) - 65 : first.charCodeAt(0) - 65;
  const row = Number(match[3]);
  if (x >= width || row < 1 || row > height) return null;
  return [x, height - row];
}

export const LEVELS = ['Beginner', 'Casual', 'Club', 'Strong', 'Full strength'];
export const FULL_STRENGTH = LEVELS.length;
export const COLOURS = ['black', 'white'];
export function colourName(colour) { return COLOURS[colour]; }
export function capitalised(text) { return text.charAt(0).toUpperCase() + text.slice(1); }

// ---- The address ----
//
// #size=15&black=H8,J10&white=I9&turn=white&you=black&level=3&moves=K11,L12
// size: the board's side; black, white: the set-up's stones; turn: the side to move after
// the set-up (only with set-up stones); you: the person's colour; level: 1 to 5; moves:
// the game's moves in turn from there. Everything but size may be left out.

const MIN_SIZE = 5, MAX_SIZE = 32;

export function encodeAddress(spec) {
  const names = (squares) => squares.map((s) => squareName(s, spec.size)).join(',');
  const parts = [['size', spec.size]];
  if (spec.black.length) parts.push(['black', names(spec.black)]);
  if (spec.white.length) parts.push(['white', names(spec.white)]);
  if (spec.black.length + spec.white.length) parts.push(['turn', COLOURS[spec.toMove]]);
  parts.push(['you', COLOURS[spec.you]], ['level', spec.level]);
  if (spec.moves.length) parts.push(['moves', names(spec.moves)]);
  return parts.map(([key, value]) => key + '=' + value).join('&');
}

// The game an address holds; throws an Error that says what could not be read.
export function decodeAddress(text, defaults) {
  const params = new URLSearchParams(text);
  const known = ['size', 'black', 'white', 'turn', 'you', 'level', 'moves'];
  for (const key of params.keys()) {
    if (!known.includes(key)) throw new Error(`"${key}" is not part of a game address`);
  }
  const sizeText = params.get('size');
  if (sizeText === null) throw new Error('it gives no board size');
  const size = /^[0-9]+$/.test(sizeText) ? Number(sizeText) : NaN;
  if (!(size >= MIN_SIZE && size <= MAX_SIZE)) throw new Error(`the board size "${sizeText}" is not one from ${MIN_SIZE} to ${MAX_SIZE}`);
  const squares = (key, what) => {
    const text = params.get(key);
    if (!text) return [];
    return text.split(',').map((name, i) => {
      const square = parseSquare(name.trim(), size, size);
      if (!square) throw new Error(`${what} ${i + 1}, "${name}", is not a square of a ${size} by ${size} board`);
      return square;
    });
  };
  const colour = (key, fallback) => {
    const text = params.get(key);
    if (text === null) return fallback;
    const found = COLOURS.indexOf(text.toLowerCase());
    if (found < 0) throw new Error(`"${key}" must be black or white, not "${text}"`);
    return found;
  };
  const levelText = params.get('level');
  const level = levelText === null ? defaults.level : Number(levelText);
  if (!(Number.isInteger(level) && level >= 1 && level <= FULL_STRENGTH)) throw new Error(`the level "${levelText}" is not one from 1 to ${FULL_STRENGTH}`);
  return {
    size, black: squares('black', 'black stone'), white: squares('white', 'white stone'),
    toMove: colour('turn', 0), you: colour('you', 0), level, moves: squares('moves', 'move'),
  };
}

// ---- The engine's view in words ----
//
// The root score counts from the side to move and includes the bonus the evaluation gives
// the side to move (70). Measured: the undecided bench positions score +39 to +138, and
// searched game positions -30 to +190 until a forced five appears (black, who moved first,
// about +60 early on, white about +13). So the bands are read from the score less the
// bonus, and "even" covers all of that; forced fives come from the report's estimate.
export const TEMPO_BONUS = 70;
export const EVEN_BAND = 120;    // |score - 70| up to this: even
export const BETTER_BAND = 500;  // up to this: better; beyond: much better

// {colour, words}: who stands better in the engine's eyes, from the report of a search
// with mover to move. colour is null for an even position.
export function standing(report, mover) {
  if (report.forced !== 0) {
    const winner = report.forced > 0 ? mover : 1 - mover;
    const moves = Math.max(1, Math.round((Math.abs(report.forced) + 1) / 2));
    return { colour: winner, words: `a forced five in about ${moves} move${moves === 1 ? '' : 's'}` };
  }
  const score = report.score - TEMPO_BONUS;
  if (Math.abs(score) <= EVEN_BAND) return { colour: null, words: 'even' };
  const colour = score > 0 ? mover : 1 - mover;
  return { colour, words: Math.abs(score) <= BETTER_BAND ? 'better' : 'much better' };
}

export function signed(score) { return (score > 0 ? '+' : score < 0 ? '\u2212' : '') + Math.abs(score); }
