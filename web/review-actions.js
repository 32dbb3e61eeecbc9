// Looking back at the game: stepping through it and its variations, the review of every
// move, the best moves of the position shown, learn from your mistakes, and the variations'
// own actions (shown, made the main line, deleted).
//
// page: what actions.js shares (state, redraw, redrawSoon, ask, load, dropFrom, personMove).
import {
  ended, gameMoves, idle, lineKey, liveReview, shownEntries, shownStones, stoneAt,
} from './state.js';
import { flaggedMoves, toMoveAt } from './review-words.js';
import { openingEnd } from './swap2.js';
import { addLine, attached, promote } from './variations.js';

export function reviewActions(page) {
  const { state, redraw, redrawSoon, ask, load, dropFrom, personMove } = page;
  const reviewable = () => idle(state) && state.mode === 'play';
  const shownVariation = () =>
    state.variationAt && attached(state).find((v) => v.index === state.variationAt.index);

  // where: first, back, forward or last; within a variation along its line, back onto the
  // main line where it leaves it.
  function review(where) {
    if (!reviewable()) return;
    state.learn = null;
    const end = state.game.moves.length;
    const v = shownVariation();
    if (v && where !== 'last' && where !== 'first') {
      const n = state.variationAt.moves + (where === 'back' ? -1 : 1);
      const at = state.setupCount + n;  // back on the main line: its end is the game itself
      if (n > v.at) state.variationAt.moves = Math.min(n, v.line.length);
      else Object.assign(state, { variationAt: null, reviewAt: at >= end ? null : at });
      return redraw();
    }
    state.variationAt = null;
    const shown = shownEntries(state);
    const to = { first: 0, back: shown - 1, forward: shown + 1, last: end }[where];
    const at = Math.max(state.setupCount, Math.min(end, to));
    state.reviewAt = at === end ? null : at;
    redraw();
  }

  // The position after move `number` of the main line (0: the set-up), from the graph or the
  // move list; `variation`: after that many moves of variation `variation`'s line.
  function showMove(number, variation = null) {
    if (!reviewable()) return;
    state.learn = null;
    if (variation !== null) {
      state.variationAt = { index: variation, moves: number };
    } else {
      const at = state.setupCount + number;
      const reviewAt = at >= state.game.moves.length ? null : at;
      Object.assign(state, { variationAt: null, reviewAt });
    }
    redraw();
  }

  function continueHere() {
    if (!reviewable()) return;
    const v = shownVariation();
    if (v) return promoteVariation(v.index, state.variationAt.moves, true);
    if (state.reviewAt !== null) return dropFrom(state.reviewAt);
  }

  // Variation `index` becomes the main line, the old continuation a variation. Shown after
  // `moves` of its moves; `cut`: play goes on from there, the rest kept as a variation.
  // False when nothing was made the main line: a refused load, or another game begun meanwhile.
  async function promoteVariation(index, moves = null, cut = false) {
    if (!reviewable() || !state.variations[index]) return false;
    const { spec, reports } = promote(state, index);
    if (!await load(spec, { how: 'replace', reports, hold: moves !== null })) return false;
    if (moves === null) return true;
    state.reviewAt = state.setupCount + moves >= state.game.moves.length ? null
      : state.setupCount + moves;
    if (cut) await dropFrom(state.setupCount + moves);
    else redraw();
    return true;
  }

  function deleteVariation(index) {
    if (!reviewable() || !state.variations[index]) return;
    state.variations.splice(index, 1);
    state.variationAt = null;
    redraw();
  }

  // A move in a variation's position: its line up to there becomes the game, and the move is
  // played on it.
  async function playInVariation(x, y) {
    const v = shownVariation();
    const n = state.variationAt.moves;
    if (!v || toMoveAt(state, state.setupCount + n) !== state.you) return;
    if (stoneAt({ moves: shownStones(state) }, [x, y])) return;
    if (!await promoteVariation(v.index, n)) return;
    if (state.game.moves.length >= state.setupCount + n) return personMove(x, y);
  }

  // ---- The review ----

  async function reviewGame() {
    if (!reviewable() || gameMoves(state).length === 0) return;
    const phase = state.phase;
    const started = performance.now();
    Object.assign(state, { learn: null, analysis: null, said: '', search: { kind: 'review' } });
    const total = gameMoves(state).length + 1;
    state.review = { line: lineKey(state), views: [], marks: [], total };
    const reply = await ask('reviewing', 'review',
      { from: state.setupCount, nodes: state.about.reviewNodes }, (message) => {
        if (message.live) state.live = message.live;
        if (message.reviewed) state.review.views.push(message.reviewed);
        redrawSoon();
      });
    if (!reply) return;
    Object.assign(state, { phase, search: null, live: null });
    if (reply.ok) {
      Object.assign(state.review, { views: reply.views, marks: reply.marks, done: true,
        seconds: (performance.now() - started) / 1000 });
    } else {
      state.review = null;
      state.said = `No review: ${reply.error}.`;
    }
    redraw();
  }

  // The better move of flagged move `index` (its position's best line), as a variation.
  function playBetter(index) {
    const review = liveReview(state);
    if (!reviewable() || !review?.done || !review.marks[index]) return;
    if (state.setupCount + index < openingEnd(state)) return;  // the Swap2 opening stays
    const line = review.views[index].line;
    const v = addLine(state, index, line, state.about.fullStrength);
    Object.assign(state, { learn: null, variationAt: { index: v, moves: index + 1 } });
    redraw();
  }

  // The best moves of the position shown, as they come.
  async function analyseShown() {
    if (!reviewable() || state.variationAt) return;
    const entries = shownEntries(state);
    if (entries === state.game.moves.length && ended(state)) return;
    const [phase, reviewAt, mover] = [state.phase, state.reviewAt, toMoveAt(state, entries)];
    const analysis = { mover, entries, moves: [] };
    Object.assign(state, { analysis, learn: null, said: '', search: { kind: 'analysis', mover } });
    const reply = await ask('analysing', 'analyse', { entries, ms: state.think }, (message) => {
      if (message.live) analysis.moves[message.live.rank] = state.live = message.live;
      redrawSoon();
    });
    if (!reply) return;
    Object.assign(state, { phase, reviewAt, search: null, live: null });
    if (reply.ok) analysis.moves = reply.moves;
    else [state.analysis, state.said] = [null, `No analysis: ${reply.error}.`];
    redraw();
  }

  // ---- Learn from your mistakes ----

  function showLearned() {
    const { learn } = state;
    Object.assign(learn, { verdict: null, tried: null, solution: false });
    Object.assign(state, { variationAt: null, reviewAt: state.setupCount + learn.moves[learn.at] });
    redraw();
  }

  function learnMistakes() {
    const review = liveReview(state);
    if (!reviewable() || !review?.done) return;
    const moves = flaggedMoves(state, review);
    if (moves.length === 0) return;
    state.learn = { moves, at: 0 };
    showLearned();
  }

  function learnStep(step) {
    const { learn } = state;
    if (!learn || !reviewable()) return;
    learn.at = (learn.at + step + learn.moves.length) % learn.moves.length;
    showLearned();
  }

  // The person's try, judged by the engine as the review would mark it.
  async function tryMove(x, y) {
    const { learn } = state;
    const entries = shownEntries(state);
    if (stoneAt(state.game, [x, y], entries)) return;
    const [phase, reviewAt] = [state.phase, state.reviewAt];
    Object.assign(learn, { tried: [x, y], verdict: null });
    const reply = await ask('judging', 'judge', { entries, x, y, nodes: state.about.reviewNodes });
    if (!reply) return;
    Object.assign(state, { phase, reviewAt, live: null });
    learn.verdict = reply.ok && reply.mark === 0 ? 'right' : 'wrong';
    learn.mark = reply.ok ? reply.mark : null;
    redraw();
  }

  function showSolution() {
    if (!state.learn) return;
    state.learn.solution = true;
    redraw();
  }

  function stopLearning() {
    state.learn = null;
    redraw();
  }

  return {
    review, showMove, continueHere, promoteVariation, deleteVariation, playInVariation,
    reviewGame, playBetter, analyseShown, learnMistakes, learnStep, tryMove, showSolution,
    stopLearning,
  };
}
