// Rendering of what lies beside the board's picture: the move list (with the review's marks
// and the variations), the evaluation bar, the evaluation graph, the best moves of an
// analysis and the review's progress. Reads the state and nothing else, as view.js.
import { liveReview } from './state.js';
import { analysisItems, barValue, graphPoints, reviewText } from './review-words.js';
import { recordItems, setupNote } from './words.js';

const SVG_NS = 'http://www.w3.org/2000/svg';
const GRAPH_WIDTH = 300, GRAPH_HEIGHT = 50, GRAPH_PAD = 4;  // a forced five's point fits
const DISCS = ['\u25CF', '\u25CB'];  // text, so that a screen reader says "black circle"

function svg(parent, tag, attributes) {
  const element = parent.ownerDocument.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, value);
  parent.appendChild(element);
  return element;
}

// One move of the list: its number, disc, square and mark; `shows` the moves it shows.
function moveItem(doc, tag, move, variation = null) {
  const item = doc.createElement(tag);
  item.dataset.shows = move.shows ?? move.number;
  if (variation !== null) item.dataset.variation = variation;
  if (move.current) {
    item.classList.add('current');
    item.setAttribute('aria-current', 'step');
  }
  if (move.later) item.classList.add('later');
  const disc = doc.createElement('span');
  disc.className = 'disc';
  disc.textContent = DISCS[move.colour];
  item.append(`${move.number}. `, disc, ' ' + move.name);
  if (move.mark) {
    const mark = doc.createElement('span');
    mark.className = 'mark';
    mark.textContent = ' ' + move.mark;
    item.append(mark);
  }
  return item;
}

function renderRecord(doc, state) {
  const $ = (id) => doc.getElementById(id);
  const note = $('setup-note');
  note.textContent = setupNote(state);
  note.hidden = !note.textContent;
  const list = $('record');
  list.replaceChildren(...recordItems(state).map((entry) => {
    if (entry.variation === undefined) return moveItem(doc, 'li', entry);
    const item = doc.createElement('li');
    item.className = 'variation';
    item.setAttribute('aria-label', `Variation from move ${entry.at + 1}`);
    item.append(...entry.moves.map((move) => moveItem(doc, 'span', move, entry.variation)));
    return item;
  }));
  // The list scrolls to its current move; the page itself stays where the person has it.
  const current = list.querySelector('.current');
  if (current && (current.offsetTop < list.scrollTop ||
      current.offsetTop + current.offsetHeight > list.scrollTop + list.clientHeight)) {
    list.scrollTop = current.offsetTop - list.clientHeight / 2;
  }
}

function renderBar(doc, state) {
  const bar = doc.getElementById('eval-bar');
  const { share, text } = barValue(state);
  bar.style.setProperty('--share', share.toFixed(3));
  bar.dataset.share = share.toFixed(3);
  bar.setAttribute('aria-label', `Evaluation: ${text}`);
  bar.title = `Evaluation: ${text}`;
}

// The graph: black above the middle line, white below; a point a move, the flagged moves
// marked; each move's column is a click target showing it.
function renderGraph(doc, state) {
  const graph = doc.getElementById('graph');
  const points = graphPoints(state);
  // An SVG element has no hidden property: the attribute itself.
  graph.toggleAttribute('hidden', points.length === 0);
  graph.replaceChildren();
  if (points.length === 0) return;
  graph.setAttribute('viewBox', `0 0 ${GRAPH_WIDTH} ${GRAPH_HEIGHT}`);
  const step = GRAPH_WIDTH / Math.max(points.length, 1);
  const half = GRAPH_HEIGHT / 2;
  const at = (p) => [(p.move - 0.5) * step, half - p.y * (half - GRAPH_PAD)];
  svg(graph, 'rect', { class: 'graph-white', x: 0, y: GRAPH_HEIGHT / 2, width: GRAPH_WIDTH,
    height: GRAPH_HEIGHT / 2 });
  const line = points.map((p) => at(p).join(',')).join(' ');
  svg(graph, 'polyline', { class: 'graph-line', points: line });
  const review = liveReview(state);
  const shown = (state.reviewAt ?? state.game.moves.length) - state.setupCount;
  for (const p of points) {
    const [x, y] = at(p);
    const column = svg(graph, 'rect', { class: 'graph-move', x: x - step / 2, y: 0,
      width: step, height: GRAPH_HEIGHT, 'data-move': p.move });
    if (p.move === shown && state.variationAt === null) column.classList.add('shown');
    svg(graph, 'circle', { class: `graph-point mark-${p.mark}`, cx: x, cy: y,
      r: p.mark ? 3.2 : 1.6, 'data-move': p.move, 'data-mark': review.done ? p.mark : 0,
      'data-score': p.score });
  }
}

function renderAnalysis(doc, state) {
  const list = doc.getElementById('analysis-list');
  const items = analysisItems(state);
  list.hidden = items.length === 0;
  list.replaceChildren(...items.map((item) => {
    const entry = doc.createElement('li');
    entry.dataset.x = item.square?.[0];
    entry.dataset.y = item.square?.[1];
    entry.textContent = `${item.name} (${item.score}): ${item.line}`;
    return entry;
  }));
}

export function renderReview(doc, state) {
  renderRecord(doc, state);
  renderBar(doc, state);
  renderGraph(doc, state);
  renderAnalysis(doc, state);
  const review = liveReview(state);
  const progress = doc.getElementById('review-progress');
  progress.max = review?.total ?? 1;
  progress.value = review?.views.length ?? 0;
  const summary = doc.getElementById('review-summary');
  summary.textContent = review?.done ? reviewText(state) : '';
  summary.hidden = !summary.textContent;
}
