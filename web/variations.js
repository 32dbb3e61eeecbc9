// Variations: lines of moves kept beside the main line, so that a take back, Continue from
// here or a move while reviewing never loses a move (Stop during the engine's move takes the
// person's move back for good: the engine would only play the same again). The engine holds
// the main line alone (the game in play, which the address holds); a variation is kept as its
// whole line from the set-up, shown where it leaves the main line, and made the main line by
// loading it.
import { sameSquare } from './notation.js';
import { engineColour, gameMoves, gameSpec } from './state.js';

// How many moves two lines share from the start.
function common(a, b) {
  let n = 0;
  while (n < a.length && n < b.length && sameSquare(a[n], b[n])) ++n;
  return n;
}

// The variations as the move list shows them: each with `at`, the moves of the main line
// before it leaves it. A line the main line holds whole is not one.
export function attached(state) {
  const main = gameMoves(state);
  return state.variations.map((v, index) => ({ ...v, index, at: common(v.line, main) }))
    .filter((v) => v.at < v.line.length);
}

// Drops the variations that the main line or another variation holds whole (the first of
// two alike stays).
export function tidy(state) {
  const main = gameMoves(state);
  const holds = (w, v) => common(w.line, v.line) === v.line.length;
  state.variations = state.variations.filter((v, i) => !holds({ line: main }, v) &&
    !state.variations.some((w, j) => j !== i && holds(w, v) &&
      (w.line.length > v.line.length || j < i)));
  const at = state.variationAt;
  if (at && !state.variations[at.index]) state.variationAt = null;
}

// Keeps the main line from its move `from` on as a variation, before those moves go.
export function setAside(state, from) {
  if (from >= gameMoves(state).length) return;
  state.variations.push({ line: gameMoves(state).map((m) => [...m]), notes: [...state.notes] });
}

// A variation of the moves of the main line before move `at` and then `moves` (an engine's
// line, cut at the first square it cannot take), the engine's moves at `level`. Its index.
export function addLine(state, at, moves, level) {
  const line = gameMoves(state).slice(0, at).map((m) => [...m]);
  const notes = state.notes.slice(0, at);
  const taken = new Set(state.game.moves.slice(0, state.setupCount + at).filter(Boolean)
    .map(([x, y]) => x + ',' + y));
  let colour = (state.setupToMove + at) % 2;
  for (const [x, y] of moves) {
    if (taken.has(x + ',' + y)) break;
    taken.add(x + ',' + y);
    line.push([x, y, colour]);
    notes.push({ level: colour === engineColour(state) ? level : null, report: null });
    colour = 1 - colour;
  }
  state.variations.push({ line, notes });
  return state.variations.length - 1;
}

// The game with variation `index` as its main line, for load(), with the reports of its
// moves; the main line's own continuation is set aside in its place.
export function promote(state, index) {
  const v = state.variations[index];
  setAside(state, common(v.line, gameMoves(state)));
  state.variations.splice(index, 1);
  const spec = gameSpec(state);
  spec.moves = v.line.map(([x, y]) => [x, y]);
  spec.levels = v.notes.filter((n) => n.level !== null).map((n) => n.level);
  return { spec, reports: v.notes.map((n) => n.report) };
}
