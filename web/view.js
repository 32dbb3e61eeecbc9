// Rendering: the page drawn from the state, and nothing read back. picture() and controls()
// are what is drawn and which controls count, as plain values; createView() puts them on
// the page, batching the redraws of one turn of the event loop into one.
import { BoardView } from './board.js';
import { renderReview } from './review-view.js';
import { puzzleTitle, recordText } from './puzzles.js';
import { analysisItems, flaggedMoves, flaggedShown, liveAnalysis } from './review-words.js';
import {
  boardGame, ended, gameMoves, idle, levelName, liveHint, liveReview, outcome, searching,
  shownEntries, shownStones, SIZES, THINK_TIMES,
} from './state.js';
import { openingEnd, swap2Step } from './swap2.js';
import { cursorText, statusText, viewWords } from './words.js';

// The expected line on the board, from the position shown: the hint's whole line; for the
// engine's last move, the rest of its line after it; for an analysis, its best move's whole
// line; for a flagged move of the review, the better move's line from the position before
// it (always, that being what the review shows). None once anything has moved since, or when
// the move played was not the line's first.
function lineStones(state) {
  const hint = liveHint(state);
  const last = state.notes[state.notes.length - 1];
  const analysis = liveAnalysis(state);
  const flagged = flaggedShown(state);
  const solution = state.learn?.solution && liveReview(state);
  const shown = state.mode === 'setup' ? boardGame(state).moves : shownStones(state);
  let report, colour, skip = 0, from = shown;
  if (flagged) {
    [report, colour] = [{ line: flagged.better }, gameMoves(state)[flagged.index][2]];
    from = from.slice(0, -1);
  } else if (solution) {
    [report, colour] = [solution.views[state.learn.moves[state.learn.at]], state.you];
  } else if (!state.showLine || state.variationAt) {
    return [];
  } else if (analysis?.moves[0]) {
    [report, colour] = [analysis.moves[0], analysis.mover];
  } else if (state.reviewAt !== null || state.mode !== 'play') {
    return [];
  } else if (hint) {
    [report, colour] = [hint.report, state.you];
  } else if (last?.report) {
    [report, colour, skip] = [last.report, state.you, 1];
  } else {
    return [];
  }
  if (report.otherMove) return [];
  const taken = new Set(shown.filter(Boolean).map(([x, y]) => x + ',' + y));
  const setupCount = state.mode === 'setup' ? boardGame(state).moves.length : state.setupCount;
  let number = from.length - setupCount + 1;
  const stones = [];
  for (const [x, y] of report.line.slice(skip)) {
    if (taken.has(x + ',' + y)) break;  // nothing past a square the line cannot take
    taken.add(x + ',' + y);
    stones.push([x, y, colour, number++]);
    colour = 1 - colour;
  }
  return stones;
}

// What the board shows, for board.js.
export function picture(state) {
  const game = boardGame(state);
  const setupCount = state.mode === 'setup' ? game.moves.length : state.setupCount;
  const entries = state.mode === 'setup' ? game.moves : shownStones(state);
  const number = (i) => (i >= setupCount ? i - setupCount + 1 : null);
  const stones = entries.map((m, i) => m && [m[0], m[1], m[2], number(i)]).filter(Boolean);
  // A puzzle's last move is the opponent's before it, and marked as such.
  const marked = state.mode === 'puzzle' ? 0 : setupCount;
  const last = entries.length > marked ? entries[entries.length - 1] : null;
  const live = state.reviewAt === null && state.variationAt === null && state.mode !== 'setup';
  const hint = liveHint(state);
  const flagged = flaggedShown(state);
  const review = liveReview(state);
  const better = flagged ? flagged.better[0] : state.learn?.solution
    ? review.views[state.learn.moves[state.learn.at]].line[0] : null;
  return {
    width: game.width, height: game.height, stones, last: last && [last[0], last[1]],
    five: live ? game.five : [], fiveLines: live ? game.fiveLines : [],
    hint: hint && state.phase === 'person' ? hint.report.move : null,
    line: lineStones(state), cursor: state.cursor, cursorShown: state.cursorShown,
    ghost: state.mode === 'setup' ? state.setup.colour
      : state.phase === 'opening' ? game.toMove : state.you,
    numbers: state.numbers,
    candidates: analysisItems(state).map(({ square, short }, rank) => [...square, rank + 1, short]),
    better: better || null,
    tried: state.learn?.tried || (!state.puzzle?.solution && state.puzzle?.refused) || null,
  };
}

// Each control: {disabled}, {hidden}, or both; the choices' values.
export function controls(state) {
  const { phase, mode, game, setupCount } = state;
  const at = shownEntries(state);
  const inVariation = state.variationAt !== null;
  const reviewing = state.reviewAt !== null || inVariation;
  const canReview = idle(state) && mode === 'play' && game.moves.length > setupCount;
  const editing = mode === 'setup' && (phase === 'setup' || phase === 'analysing');
  const personStones = game.moves.slice(openingEnd(state)).some((m) => m[2] === state.you);
  const review = liveReview(state);
  const analysable = canReview && !inVariation && !(at === game.moves.length && ended(state));
  return {
    'review-first': { disabled: !canReview || at <= setupCount && !inVariation },
    'review-back': { disabled: !canReview || at <= setupCount && !inVariation },
    'review-forward': { disabled: !canReview || at >= game.moves.length && !inVariation },
    'review-last': { disabled: !canReview || at >= game.moves.length && !inVariation },
    continue: {
      hidden: !reviewing, disabled: !reviewing || !idle(state) || at < openingEnd(state),
    },
    stop: { hidden: !searching(state) || phase === 'reviewing' },
    'take-back': {
      disabled: !(phase === 'thinking' || idle(state) && !reviewing && personStones),
    },
    hint: { disabled: !(phase === 'person' && !reviewing) },
    setup: { disabled: !idle(state) || inVariation },
    'play-controls': { hidden: mode !== 'play' },
    'setup-controls': { hidden: mode !== 'setup' },
    'review-tools': { hidden: mode !== 'play' },
    analyse: { disabled: phase !== 'setup' },
    'play-here': { disabled: !editing },
    'clear-setup': { disabled: !editing },
    'leave-setup': { disabled: !(mode === 'setup' && (editing || phase === 'busy')) },
    copy: { disabled: phase === 'loading' },
    'review-game': { disabled: !canReview },
    'review-running': { hidden: phase !== 'reviewing' },
    'analyse-shown': { disabled: !analysable },
    learn: { disabled: !(canReview && review?.done && flaggedMoves(state, review).length > 0) },
    'learn-controls': { hidden: !state.learn },
    'learn-solution': { disabled: !state.learn || !idle(state) },
    'learn-next': { disabled: !state.learn || !idle(state) || state.learn.moves.length < 2 },
    // A better move within a Swap2 opening would change the opening itself.
    'play-better': {
      hidden: !flaggedShown(state) || at <= openingEnd(state), disabled: !idle(state),
    },
    'variation-controls': { hidden: !inVariation },
    ...practiceControls(state),
  };
}

// The controls of puzzles mode and of a Swap2 opening.
function practiceControls(state) {
  const { phase, mode, puzzle } = state;
  const step = swap2Step(state.swap2, gameMoves(state).length);
  const solving = mode === 'puzzle' && (phase === 'person' || phase === 'over');
  const five = state.game.fiveLines.length > 0;
  return {
    puzzles: { disabled: phase === 'loading' },
    settings: { hidden: mode === 'puzzle' },
    view: { hidden: mode === 'puzzle' },
    'record-section': { hidden: mode === 'puzzle' },
    'puzzle-controls': { hidden: mode !== 'puzzle' },
    'puzzle-solution': { hidden: !!puzzle?.solution, disabled: !solving || five },
    'puzzle-step': {
      hidden: !puzzle?.solution, disabled: !solving || five || !puzzle?.solution?.moves.length,
    },
    'puzzle-retry': { disabled: !solving },
    'puzzle-next': { disabled: phase === 'loading' },
    'swap2-controls': { hidden: !(phase === 'opening' && step?.what === 'choose') },
    'swap2-two': { hidden: state.swap2?.stones === 5 },
  };
}

export function createView(doc) {
  const $ = (id) => doc.getElementById(id);
  const board = new BoardView($('board'));
  let queued = false;

  function options(select, values, label) {
    if (select.options.length === values.length) return;
    select.replaceChildren(...values.map((v) => new Option(label(v), String(v))));
  }

  function render(state) {
    const game = boardGame(state);
    const body = doc.body.dataset;
    Object.assign(body, {
      phase: state.phase, mode: state.mode, review: state.reviewAt === null ? 'no' : 'yes',
      outcome: outcome(state) ?? 'none',
    });
    board.render(picture(state));
    $('board').setAttribute('aria-label', `Board, ${game.width} by ${game.height}, ` +
      `cursor on ${cursorText(state)}`);
    $('cursor-info').textContent = state.cursorShown ? cursorText(state) : '';
    for (const [id, flags] of Object.entries(controls(state))) {
      if ('disabled' in flags) $(id).disabled = flags.disabled;
      if ('hidden' in flags) $(id).hidden = flags.hidden;
    }
    $('status').textContent = statusText(state);
    $('notice').textContent = state.notice;
    $('notice').hidden = !state.notice;
    const { text, line } = viewWords(state);
    $('view-text').textContent = text;
    $('view-line').textContent = line;
    $('copy-note').textContent = state.copied;
    const { puzzle } = state;
    if (puzzle) $('puzzle-title').textContent = `Puzzle ${puzzle.id}: ${puzzleTitle(puzzle)}`;
    $('puzzle-record').textContent = recordText(state);
    renderChoices(state);
    renderReview(doc, state);
  }

  function renderChoices(state) {
    const levels = state.about ? state.about.levels.map((_, i) => i + 1) : [];
    options($('level'), levels, (n) => levelName(state, n));
    options($('think'), THINK_TIMES, (ms) => `${ms / 1000} s`);
    const sizes = [...new Set([...SIZES, state.game.width])].sort((a, b) => a - b);
    options($('size'), sizes, (n) => `${n} by ${n}`);
    $('level').value = String(state.level);
    $('think').value = String(state.think);
    $('size').value = String(state.game.width);
    $('first').value = state.swap2 ? 'swap2-' + state.swap2.opener
      : state.you === 0 ? 'person' : 'engine';
    $('numbers').checked = state.numbers;
    $('show-line').checked = state.showLine;
    for (const field of ['colour', 'turn', 'you']) {
      const radio = `input[name="setup-${field}"][value="${state.setup[field]}"]`;
      doc.querySelector(radio).checked = true;
    }
  }

  // Every change of one turn of the event loop drawn once, before the browser paints.
  return function redraw(state) {
    if (queued) return;
    queued = true;
    queueMicrotask(() => {
      queued = false;
      render(state);
    });
  };
}
