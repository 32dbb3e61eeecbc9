// What the page says and draws of the engine's reading beyond a single move: the thinking as
// it comes, the evaluation bar, the best moves of an analysis, the review (its graph, its
// marks and their better moves, a line per side) and learn from your mistakes. Functions of
// the state, as words.js.
import {
  boardGame, engineColour, gameMoves, liveHint, liveReview, shownEntries, searching,
} from './state.js';
import {
  blackScore, capitalised, colourName, forcedFive, scoreText, signed, squareName,
} from './notation.js';

const MARK_NAMES = ['', 'an inaccuracy', 'a mistake', 'a blunder', 'a missed win'];
const KINDS = [[4, 'missed win', 'missed wins'], [3, 'blunder', 'blunders'],
  [2, 'mistake', 'mistakes'], [1, 'inaccuracy', 'inaccuracies']];
const name = (state, square) => squareName(square, boardGame(state).height);
const names = (state, line) => line.map((s) => name(state, s)).join(' ');
const count = new Intl.NumberFormat('en');
export const toMoveAt = (state, entries) => (state.setupToMove + entries - state.setupCount) % 2;

// The person's flagged moves of a review (indices): what learn from your mistakes steps through.
export function flaggedMoves(state, review) {
  return review.marks.map((mark, i) => (mark > 0 && toMoveAt(state, state.setupCount + i) ===
    state.you ? i : -1)).filter((i) => i >= 0);
}

// The analysis of the position shown (the set-up's, or the one reviewed), while it is.
export function liveAnalysis(state) {
  const { analysis } = state;
  if (!analysis) return null;
  if (state.mode === 'setup') return analysis;
  return state.variationAt === null && analysis.entries === shownEntries(state) ? analysis : null;
}

// The review's view of the position shown, with its side to move, or null.
function shownView(state) {
  const review = liveReview(state);
  if (!review || state.variationAt) return null;
  const index = shownEntries(state) - state.setupCount;
  const view = review.views[index];
  return view && view.known ? { report: view, mover: toMoveAt(state, shownEntries(state)) } : null;
}

// The report the bar reads and its side to move: the running search's last iteration (a
// review's last position read), the analysis, the review, the hint, or the engine's last move
// up to the position shown.
function barSource(state) {
  if (state.phase === 'reviewing') {  // the last position read, whose side to move is known
    const { views } = state.review;
    const last = views[views.length - 1];
    const entries = state.setupCount + views.length - 1;
    return last?.known ? { report: last, mover: toMoveAt(state, entries) } : null;
  }
  if (searching(state)) {
    const mover = state.search?.mover;
    return state.live && mover !== undefined ? { report: state.live, mover } : null;
  }
  const analysis = liveAnalysis(state);
  if (analysis?.moves[0]) return { report: analysis.moves[0], mover: analysis.mover };
  if (state.mode !== 'play') return null;
  const view = shownView(state);
  if (view) return view;
  const hint = liveHint(state);
  if (hint) return { report: hint.report, mover: state.you };
  const shown = shownEntries(state) - state.setupCount;
  const note = state.notes.slice(0, shown).findLast((n) => n.report);
  return note && state.variationAt === null ? { report: note.report, mover: engineColour(state) }
    : null;
}

// The evaluation bar: black's share from 0 to 1 through a bounded curve (even at 0.5), a
// forced five at the end of its side; and its words.
export function barValue(state) {
  const source = barSource(state);
  if (!source || !state.about) return { share: 0.5, text: 'no evaluation yet' };
  const { report, mover } = source;
  const forced = forcedFive(report, mover);
  if (forced) {
    return { share: forced.colour === 0 ? 1 : 0, text: scoreText(report, mover, state.about) };
  }
  const score = blackScore(report, mover, state.about);
  return { share: 0.5 + 0.5 * score / (Math.abs(score) + 400), text: `black ${score}` };
}

// The running search's last iteration in words.
export function liveWords(state) {
  const report = state.live;
  if (!report || !searching(state)) return null;
  const mover = state.search?.mover;
  const score = mover === undefined ? '' : `, score ${scoreText(report, mover, state.about)}`;
  const rank = state.search?.kind === 'analysis' ? ` (move ${report.rank + 1})` : '';
  return {
    text: `Thinking${rank}: depth ${report.depth}${score}, ${count.format(report.nodes)} nodes.`,
    line: report.line.length ? `Line: ${names(state, report.line)}.` : '',
  };
}

// The moves of the analysis: {name, score, line} per move found, best first.
export function analysisItems(state) {
  const analysis = liveAnalysis(state);
  if (!analysis || !state.about) return [];
  return analysis.moves.filter((report) => report?.move).map((report) => {
    const forced = forcedFive(report, analysis.mover);
    const short = forced ? (forced.colour === 0 ? 'B' : 'W') + forced.moves
      : signed(blackScore(report, analysis.mover, state.about));
    return {
      square: report.move, name: name(state, report.move), short,
      score: scoreText(report, analysis.mover, state.about), line: names(state, report.line),
    };
  });
}

// A position's score for black as the review (and quillmot-bench review) writes it: the
// score without the bonus, or B5 / W3 for a forced five in about so many plies.
export function scoreToken(view, mover, about) {
  if (view.forced !== 0) {
    const winner = view.forced > 0 ? mover : 1 - mover;
    return (winner === 0 ? 'B' : 'W') + Math.abs(view.forced);
  }
  return view.known ? String(blackScore(view, mover, about)) : '?';
}

// The graph: a point per move, the score after it for black clipped to the much-better
// band (-0.9 .. 0.9), a forced five at the edge (-1 or 1), with its mark.
export function graphPoints(state) {
  const review = liveReview(state);
  if (!review) return [];
  return review.views.slice(1).map((view, i) => {
    const mover = toMoveAt(state, state.setupCount + i + 1);
    const forced = view.known ? forcedFive(view, mover) : null;
    const band = state.about.betterBand;
    const score = view.known && !forced ? blackScore(view, mover, state.about) : 0;
    const y = forced ? (forced.colour === 0 ? 1 : -1)
      : 0.9 * Math.max(-band, Math.min(band, score)) / band;
    const mark = review.marks[i] ?? 0;
    return { move: i + 1, y, mark, score: scoreToken(view, mover, state.about) };
  });
}

// "Black: 1 blunder, 2 mistakes", "White: no marks".
export function sideLines(state) {
  const review = liveReview(state);
  if (!review?.done) return [];
  return [0, 1].map((colour) => {
    const marks = review.marks.filter((_, i) => (state.setupToMove + i) % 2 === colour);
    const parts = KINDS.map(([mark, one, many]) => {
      const n = marks.filter((m) => m === mark).length;
      return n ? `${n} ${n === 1 ? one : many}` : '';
    }).filter(Boolean);
    return `${capitalised(colourName(colour))}: ${parts.join(', ') || 'no marks'}`;
  });
}

// The flagged move shown (the position after it on the main line), with the review's better
// move: {index, mark, better: the best line of the position before it}, or null.
export function flaggedShown(state) {
  const review = liveReview(state);
  if (!review?.done || state.variationAt || state.learn) return null;
  const index = shownEntries(state) - state.setupCount - 1;
  const mark = review.marks[index];
  return mark ? { index, mark, better: review.views[index].line, view: review.views[index] } : null;
}

// The review's words: its progress while it runs, then what it found and its time.
export function reviewText(state) {
  const review = liveReview(state);
  if (!review) return '';
  const { views, total } = review;
  if (!review.done) return `Reviewing the game: ${views.length} of ${total} positions…`;
  const nodes = count.format(state.about.reviewNodes);
  return `Reviewed ${review.total} positions at ${nodes} nodes each in ` +
    `${review.seconds.toFixed(1)} s. ${sideLines(state).join('. ')}.`;
}

// Quillmot's view of a flagged move, or of the position of learn from your mistakes.
export function reviewWords(state) {
  const flagged = flaggedShown(state);
  const review = liveReview(state);
  if (flagged) {
    const move = gameMoves(state)[flagged.index];
    const mover = move[2];
    const head = `Move ${flagged.index + 1}, ${colourName(mover)} ${name(state, move)}, was ` +
      `${MARK_NAMES[flagged.mark]} (${state.about.marks[flagged.mark]}).`;
    const better = flagged.better[0];
    const score = scoreText(flagged.view, mover, state.about);
    return { text: `${head} Better: ${name(state, better)} (score ${score}).`,
      line: `Its line: ${names(state, flagged.better)}.` };
  }
  const { learn } = state;
  if (!learn) {
    const shown = shownView(state);
    if (!review?.done || !shown) return null;
    const at = shownEntries(state) - state.setupCount;
    const where = at === 0 ? 'before the first move' : `after move ${at}`;
    const { report, mover } = shown;
    return { text: `The review ${where}: score ${scoreText(report, mover, state.about)}.`,
      line: report.line.length ? `Its line from here: ${names(state, report.line)}.` : '' };
  }
  const index = learn.moves[learn.at];
  const view = review.views[index];
  return learn.solution
    ? { text: `The engine's move: ${name(state, view.line[0])}.`,
      line: `Its line: ${names(state, view.line)}.` }
    : { text: 'Click the move you would play instead.', line: '' };
}

// The status while learning from mistakes.
export function learnText(state) {
  const { learn } = state;
  const move = gameMoves(state)[learn.moves[learn.at]];
  const head = `Learn from your mistakes (${learn.at + 1} of ${learn.moves.length}): move ` +
    `${learn.moves[learn.at] + 1}.`;
  if (state.phase === 'judging') return `${head} Judging ${name(state, learn.tried)}…`;
  if (learn.verdict === 'right') {
    return `${head} Right: ${name(state, learn.tried)} loses nothing in the engine's eyes.`;
  }
  if (learn.verdict === 'wrong') {
    const what = learn.mark ? MARK_NAMES[learn.mark] : 'no better';
    return `${head} Not quite: ${name(state, learn.tried)} would be ${what}. Try again, or ` +
      'show the solution.';
  }
  return `${head} Find a better move for ${capitalised(colourName(move[2]))}.`;
}
