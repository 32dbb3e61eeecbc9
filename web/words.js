// What the page says, as functions of the state: the status line, Quillmot's view, the
// move list, the game as text. Nothing here reads or writes the page.
import {
  boardGame, ended, engineColour, gameMoves, levelName, liveHint, liveReview, setupStones,
  shownEntries, shownStones, stoneAt,
} from './state.js';
import {
  capitalised, colourName, sameSquare, scoreText, squareName, standing,
} from './notation.js';
import { puzzleStatus } from './puzzles.js';
import { learnText, liveAnalysis, liveWords, reviewText, reviewWords } from './review-words.js';
import { openingText, swap2Prompt } from './swap2.js';
import { attached } from './variations.js';

const name = (state, square) => squareName(square, boardGame(state).height);
const yourMove = (state) => `Your move (${colourName(state.you)}).`;
const join = (...parts) => parts.filter(Boolean).join(' ');

// The five of the last stone: "five in a row from H8 to L8", or ''.
function fiveWords(state) {
  const lines = state.game.fiveLines.map(([a, b]) => `${name(state, a)} to ${name(state, b)}`);
  return lines.length ? `five in a row from ${lines.join(' and from ')}` : '';
}

// The result: whose five and where, or the full board.
export function endText(state) {
  const end = ended(state);
  if (end === 'full') return 'Draw: the board is full.';
  if (end !== 'five') return '';
  const { moves } = state.game;
  const winner = moves[moves.length - 1][2];
  const who = winner === state.you ? 'You win' : 'Quillmot wins';
  return `${who} (${colourName(winner)}): ${fiveWords(state)}.`;
}

// Which stone of a spec the engine refused (a reply to its position), and why.
export function refusal(spec, reply) {
  const list = { black: spec.black, white: spec.white, moves: spec.moves }[reply.list];
  if (!list || !list[reply.index]) return reply.error;
  const what = reply.list === 'moves' ? 'move' : reply.list + ' stone';
  const square = squareName(list[reply.index], spec.size);
  return `${what} ${reply.index + 1}, ${square}, is ${reply.error}`;
}

export function setupText(state) {
  const game = boardGame(state);
  if (game.anyFive) {
    return 'There is a five on the board: remove one of its stones to analyse or play from here.';
  }
  const count = (c) => state.setup.stones.filter((s) => s[2] === c).length;
  return `Set-up: ${count(0)} black and ${count(1)} white stones, ` +
    `${colourName(state.setup.turn)} to move.`;
}

export function statusText(state) {
  const { phase, search } = state;
  if (phase === 'error') return state.error;
  if (phase === 'loading') return 'Loading the engine…';
  if (state.mode === 'setup') {
    if (phase === 'analysing') {
      return `Analysing for ${colourName(search.mover)} (${state.think / 1000} s)…`;
    }
    return state.said || setupText(state);
  }
  if (state.mode === 'puzzle') {
    const five = fiveWords(state);
    return puzzleStatus(state, five && capitalised(five) + '.');
  }
  if (phase === 'reviewing') return reviewText(state);
  if (phase === 'analysing') return `Analysing for ${colourName(search.mover)}…`;
  if (state.learn) return learnText(state);
  if (state.variationAt) {
    return `Reviewing a variation: after its move ${state.variationAt.moves}. Make it the main ` +
      'line to play on from it, or play a move here.';
  }
  if (state.reviewAt !== null) {
    const at = state.reviewAt - state.setupCount, of = state.game.moves.length - state.setupCount;
    const where = at === 0 ? 'the position before the first move' : `after move ${at} of ${of}`;
    return `Reviewing: ${where}. Last returns to the game; ` +
      'Continue from here plays on from this position.';
  }
  if (phase === 'thinking' && search.kind === 'swap2') return 'Quillmot makes its Swap2 choice…';
  if (phase === 'thinking') return `Quillmot (${levelName(state, search.level)}) is thinking…`;
  if (phase === 'opening') {
    return join(state.said, swap2Prompt(state.swap2, gameMoves(state).length));
  }
  if (phase === 'hinting') return 'Looking for a move for you…';
  if (phase === 'over') return join(state.said, endText(state));
  const hint = liveHint(state);
  return join(state.said, hint && `Hint: ${name(state, hint.report.move)}.`, yourMove(state));
}

// A search's words after its head: how deep, the score, who stands better. stones: the
// stones on the board it searched. The centre of an empty board comes without a search,
// and a move its threat rules settle before any search (a five to make or to stop, a four
// that wins) with the static score of the root, which says nothing.
function searchWords(state, report, mover, who, stones) {
  if (report.depth === 0 && stones === 0) return ', in the centre as it opens.';
  if (report.forced === 0 && (report.depth === 0 || report.nodes === 0)) {
    return ', settled at once by its threat rules, without a search.';
  }
  const { colour, words } = standing(report, mover, state.about);
  const stands = colour === null ? 'the position is even'
    : `${who(colour)} ${report.forced !== 0 ? 'has' : 'stands'} ${words}`;
  const score = scoreText(report, mover, state.about);
  return ` after a search to depth ${report.depth} (score ${score}). In its eyes ${stands}.`;
}

const lineNames = (state, report) => report.line.map((s) => name(state, s)).join(' ');
const lineText = (state, words, report) =>
  (report.line.length ? `${words}: ${lineNames(state, report)}.` : '');
const stonesOf = (moves) => moves.filter(Boolean).length;

// Quillmot's view of the position shown: the analysis of a set-up, the hint, or the search
// behind the last engine move up to the position shown. {text, line}.
export function viewWords(state) {
  const plain = (colour) => capitalised(colourName(colour));
  const said = (head, report, mover, who, stones, line) => {
    const words = searchWords(state, report, mover, who, stones);
    return { text: head + words, line: words.startsWith(' after') ? line : '' };
  };
  const thinking = liveWords(state) || reviewWords(state);
  if (thinking) return thinking;
  const analysis = liveAnalysis(state);
  if (analysis?.moves[0]) {
    const { moves: [report], mover, entries } = analysis;
    const head = `Analysis at full strength: the best move for ${colourName(mover)} is ` +
      name(state, report.move);
    const stones = stonesOf(boardGame(state).moves.slice(0, entries));
    return said(head, report, mover, plain, stones, lineText(state, 'Expected line', report));
  }
  if (state.mode === 'setup') {
    return { text: 'Analyse asks Quillmot for its view of the set-up.', line: '' };
  }
  const who = (colour) => `${plain(colour)} (${colour === state.you ? 'you' : 'Quillmot'})`;
  const hint = liveHint(state);
  if (hint) {
    const head = `Hint for ${colourName(state.you)}: ${name(state, hint.report.move)}`;
    const line = lineText(state, 'Its expected line', hint.report);
    return said(head, hint.report, state.you, who, stonesOf(state.game.moves), line);
  }
  if (state.variationAt) return { text: 'A variation: its moves were not searched.', line: '' };
  if (state.reviewAt === null && ended(state)) return { text: 'The game is over.', line: '' };
  const shown = shownEntries(state) - state.setupCount;
  const index = state.notes.slice(0, shown).findLastIndex((n) => n.report);
  if (index < 0) {
    const unknown = state.notes.slice(0, shown).some((n) => n.level !== null);
    return {
      text: unknown ? "Quillmot's view comes with its next move: the searches of the moves " +
        'before this page was loaded are not kept.' : 'Nothing searched yet.',
      line: '',
    };
  }
  const { level, report } = state.notes[index];
  const move = state.reviewAt === null ? '' : ` as move ${index + 1}`;
  const head = `Quillmot (${levelName(state, level)}) played ${name(state, report.move)}${move}`;
  const stones = stonesOf(state.game.moves.slice(0, state.setupCount + index));
  const names = lineNames(state, report);
  let line = lineText(state, 'Expected line', report);
  if (report.otherMove) {
    line = level < state.about.fullStrength
      ? `${levelName(state, level)} chose ${name(state, report.move)}, not the first move of ` +
        `its best line: ${names}.`
      : `The last, unfinished search changed the move to ${name(state, report.move)}; the line ` +
        `of the last finished one: ${names}.`;
  }
  return said(head, report, engineColour(state), who, stones, line);
}

// The move list: {number, colour, name, current, later, mark} per move of the main line; after
// the move a variation replaces (or at the end), {variation: its index, moves: the same per
// move of it, each with `shows`, the moves of its line up to it}.
export function recordItems(state) {
  if (state.mode !== 'play') return [];
  const shown = shownEntries(state);
  const review = liveReview(state);
  const main = state.variationAt === null;
  const items = gameMoves(state).map(([x, y, colour], i) => ({
    number: i + 1, colour, name: name(state, [x, y]),
    mark: review?.done ? state.about.marks[review.marks[i]] : '',
    current: main && state.setupCount + i + 1 === shown,
    later: main && state.setupCount + i >= shown,
  }));
  const variations = attached(state).map((v) => ({
    variation: v.index, at: v.at,
    moves: v.line.slice(v.at).map(([x, y, colour], k) => ({
      number: v.at + k + 1, colour, name: name(state, [x, y]), shows: v.at + k + 1,
      current: state.variationAt?.index === v.index && state.variationAt.moves === v.at + k + 1,
    })),
  }));
  const list = [];
  items.forEach((item, i) => list.push(item, ...variations.filter((v) => v.at === i)));
  return [...list, ...variations.filter((v) => v.at >= items.length)];
}

export function setupNote(state) {
  if (state.mode !== 'play') return '';
  if (state.swap2) return openingText(state.swap2, state.you);
  if (state.setupCount === 0) return '';
  const count = (c) => setupStones(state).filter((m) => m[2] === c).length;
  return `From a set-up of ${count(0)} black and ${count(1)} white stones, ` +
    `${colourName(state.setupToMove)} to move.`;
}

export function cursorText(state) {
  const game = boardGame(state);
  const stones = state.mode === 'setup' ? game.moves : shownStones(state);
  const stone = stoneAt({ moves: stones }, state.cursor);
  const hint = liveHint(state);
  return `${name(state, state.cursor)}, ${stone ? colourName(stone[2]) + ' stone' : 'empty'}` +
    (hint && sameSquare(hint.report.move, state.cursor) ? ', the hint' : '');
}

// The game as text, with its address: in a set-up, the set-up being edited.
export function gameText(state, address, base) {
  const { width, height } = state.game;
  const lines = [`Quillmot, five in a row, ${width} by ${height}`];
  const names = (stones) => stones.map((s) => name(state, s)).join(' ') || '(none)';
  const setupLine = (stones, turn) => `Set-up: black ${names(stones.filter((s) => s[2] === 0))}; ` +
    `white ${names(stones.filter((s) => s[2] === 1))}; ${colourName(turn)} to move`;
  if (state.mode === 'setup') {
    lines.push(setupLine(state.setup.stones, state.setup.turn));
    lines.push(`${capitalised(colourName(state.setup.you))} to be played by you`);
  } else {
    if (state.setupCount > 0) lines.push(setupLine(setupStones(state), state.setupToMove));
    if (state.swap2) lines.push(openingText(state.swap2, state.you));
    const levels = [...new Set(state.notes.filter((n) => n.level !== null).map((n) => n.level))];
    const playing = (levels.length ? levels : [state.level]).map((l) => levelName(state, l));
    if (!state.swap2 || state.swap2.decided) {
      lines.push(`${capitalised(colourName(state.you))}: you; ` +
        `${colourName(engineColour(state))}: Quillmot (${playing.join(', then ')})`);
    }
    const moves = gameMoves(state).map(([x, y, c], i) => {
      const level = state.notes[i].level;
      return `${i + 1}. ${colourName(c)} ${name(state, [x, y])}` +
        (level !== null && levels.length > 1 ? ` (${levelName(state, level)})` : '');
    });
    lines.push(moves.join('\n') || '(no moves yet)');
    const end = endText(state);
    if (end) lines.push(end);
  }
  lines.push(`${base}#${address}`);
  return lines.join('\n');
}
