// The game's words: colours, square names, and the engine's scores as a person reads them.
// A square is [x, y]: column from the left, row from the top, as on the engine's wire; a
// stone is [x, y, colour]; a colour is BLACK or WHITE.

export const BLACK = 0, WHITE = 1;
export const COLOURS = ['black', 'white'];
export function colourName(colour) { return COLOURS[colour]; }
export function capitalised(text) { return text.charAt(0).toUpperCase() + text.slice(1); }
export function sameSquare(a, b) { return !!a && !!b && a[0] === b[0] && a[1] === b[1]; }

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

export function signed(score) {
  return (score > 0 ? '+' : score < 0 ? '\u2212' : '') + Math.abs(score);
}

// ---- Scores ----
//
// A search reports its root score for the side to move in the searched position (mover),
// with the bonus the evaluation gives the side to move (about.tempoBonus), and a forced
// five as the estimated plies to it, signed like the score. A person reads every score
// from black's point of view without that bonus, and a forced five as its side and moves.

// The side that forces five and its moves (about half the plies), or null.
export function forcedFive(report, mover) {
  if (report.forced === 0) return null;
  return {
    colour: report.forced > 0 ? mover : 1 - mover,
    moves: Math.max(1, Math.round((Math.abs(report.forced) + 1) / 2)),
  };
}

// The score for black, the bonus taken off.
export function blackScore(report, mover, about) {
  const score = report.score - about.tempoBonus;
  return mover === BLACK ? score : -score;
}

// "+35", "−120", or "Black forces five in about 3".
export function scoreText(report, mover, about) {
  const forced = forcedFive(report, mover);
  if (!forced) return signed(blackScore(report, mover, about));
  return `${capitalised(colourName(forced.colour))} forces five in about ${forced.moves}`;
}

// {colour, words}: who stands better in the engine's eyes; colour is null for an even
// position. The bands are the module's (about.evenBand, about.betterBand).
export function standing(report, mover, about) {
  const forced = forcedFive(report, mover);
  if (forced) {
    const s = forced.moves === 1 ? '' : 's';
    return { colour: forced.colour, words: `a forced five in about ${forced.moves} move${s}` };
  }
  const score = blackScore(report, mover, about);
  if (Math.abs(score) <= about.evenBand) return { colour: null, words: 'even' };
  const colour = score > 0 ? BLACK : WHITE;
  return { colour, words: Math.abs(score) <= about.betterBand ? 'better' : 'much better' };
}
