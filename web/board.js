// The board drawing: an SVG of the grid with its coordinates, the stones, the marks (last
// move, five, hint), the expected line as translucent numbered stones, and the keyboard
// cursor. It draws what it is given (the five as the engine reports it) and keeps no game
// of its own.
import { columnName } from './notation.js';

const UNIT = 32;    // one square of the drawing
const MARGIN = 32;  // room for the coordinates
const SVG_NS = 'http://www.w3.org/2000/svg';

function px(x) { return MARGIN + x * UNIT; }

function node(parent, tag, attributes, text) {
  const element = document.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, value);
  if (text !== undefined) element.textContent = text;
  parent.appendChild(element);
  return element;
}

export class BoardView {
  constructor(svg) {
    this.svg = svg;
    this.drawn = '';
  }

  // The parts that change only with the board's size: wood, grid, coordinates, click spots.
  drawGrid(width, height) {
    const svg = this.svg;
    svg.replaceChildren();
    const w = 2 * MARGIN + (width - 1) * UNIT;
    const h = 2 * MARGIN + (height - 1) * UNIT;
    svg.setAttribute('viewBox', `0 0 ${w} ${h}`);
    const defs = node(svg, 'defs', {});
    const gradients = [['black-stone', '#666', '#000'], ['white-stone', '#fff', '#d4d4d4']];
    for (const [id, inner, outer] of gradients) {
      const gradient = node(defs, 'radialGradient', { id, cx: '35%', cy: '35%', r: '65%' });
      node(gradient, 'stop', { offset: '0%', 'stop-color': inner });
      node(gradient, 'stop', { offset: '100%', 'stop-color': outer });
    }
    node(svg, 'rect', { class: 'wood', x: 0, y: 0, width: w, height: h, rx: 6 });
    const grid = node(svg, 'g', { class: 'grid', 'aria-hidden': 'true' });
    for (let x = 0; x < width; ++x) {
      node(grid, 'line', { x1: px(x), y1: px(0), x2: px(x), y2: px(height - 1) });
      node(grid, 'text', { class: 'label', x: px(x), y: MARGIN / 2 - 2 }, columnName(x));
      node(grid, 'text', { class: 'label', x: px(x), y: h - MARGIN / 2 + 2 }, columnName(x));
    }
    for (let y = 0; y < height; ++y) {
      node(grid, 'line', { x1: px(0), y1: px(y), x2: px(width - 1), y2: px(y) });
      node(grid, 'text', { class: 'label', x: MARGIN / 2 - 2, y: px(y) }, String(height - y));
      node(grid, 'text', { class: 'label', x: w - MARGIN / 2 + 2, y: px(y) }, String(height - y));
    }
    const stars = width >= 13 && height >= 13
      ? [3, width >> 1, width - 4].flatMap((x) => [3, height >> 1, height - 4].map((y) => [x, y]))
      : [[width >> 1, height >> 1]];
    for (const [x, y] of stars) {
      node(grid, 'circle', { class: 'star', cx: px(x), cy: px(y), r: 3.5 });
    }
    for (const id of ['stones', 'line', 'marks']) node(svg, 'g', { id, 'aria-hidden': 'true' });
    const spots = node(svg, 'g', { id: 'spots', 'aria-hidden': 'true' });
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const spot = node(spots, 'g', { class: 'spot', 'data-x': x, 'data-y': y });
        node(spot, 'rect', { x: px(x) - UNIT / 2, y: px(y) - UNIT / 2, width: UNIT, height: UNIT });
        node(spot, 'circle', { class: 'ghost', cx: px(x), cy: px(y), r: UNIT * 0.45 });
      }
    }
    node(svg, 'rect', { id: 'cursor', width: UNIT, height: UNIT, rx: 4, 'aria-hidden': 'true' });
    this.drawn = `${width}x${height}`;
  }

  // picture: {width, height, stones: [[x, y, colour, number or null]], last, five (its
  // squares), fiveLines (each line's two ends), hint, line: [[x, y, colour, number]],
  // cursor, cursorShown, ghost (colour of a hover stone, or null), numbers (whether to
  // number the stones), candidates: [[x, y, rank, score]] of an analysis, better: the
  // review's better move, tried: a try of learn from your mistakes}.
  render(picture) {
    const { width, height } = picture;
    if (this.drawn !== `${width}x${height}`) this.drawGrid(width, height);
    const svg = this.svg;
    const stones = svg.querySelector('#stones');
    const marks = svg.querySelector('#marks');
    const line = svg.querySelector('#line');
    stones.replaceChildren();
    marks.replaceChildren();
    line.replaceChildren();
    const taken = new Set();
    for (const [x, y, colour, number] of picture.stones) {
      taken.add(x + ',' + y);
      node(stones, 'circle', {
        class: `stone p${colour}`, cx: px(x), cy: px(y), r: UNIT * 0.46,
        'data-x': x, 'data-y': y, 'data-player': colour, ...(number ? { 'data-move': number } : {}),
      });
      if (picture.numbers && number) {
        const last = picture.last && picture.last[0] === x && picture.last[1] === y ? ' last' : '';
        const small = number >= 100 ? ' small' : '';
        const attributes = { class: `number p${colour}${last}${small}`, x: px(x), y: px(y) + 0.5 };
        node(stones, 'text', attributes, String(number));
      }
    }
    for (const [x, y, colour, number] of picture.line) {
      const group = node(line, 'g', {
        class: 'line-stone', 'data-x': x, 'data-y': y, 'data-player': colour, 'data-move': number,
      });
      node(group, 'circle', { class: `stone p${colour}`, cx: px(x), cy: px(y), r: UNIT * 0.46 });
      const small = number >= 100 ? ' small' : '';
      const text = { class: `number p${colour}${small}`, x: px(x), y: px(y) + 0.5 };
      node(group, 'text', text, String(number));
    }
    if (picture.last) {
      const [x, y] = picture.last;
      const attributes = { cx: px(x), cy: px(y), 'data-x': x, 'data-y': y };
      const mark = picture.numbers ? { class: 'last-mark ring', r: UNIT * 0.5 }
        : { class: 'last-mark', r: UNIT * 0.12 };
      node(marks, 'circle', { ...mark, ...attributes });
    }
    for (const [[ax, ay], [bx, by]] of picture.fiveLines) {
      node(marks, 'line', { class: 'five-line', x1: px(ax), y1: px(ay), x2: px(bx), y2: px(by) });
    }
    for (const [x, y] of picture.five) {
      const attributes = { class: 'five-mark', cx: px(x), cy: px(y), 'data-x': x, 'data-y': y };
      node(marks, 'circle', { ...attributes, r: UNIT * 0.5 });
    }
    // The hint's ring (and the review's better move, and a try of learn from your
    // mistakes) goes round a stone of the expected line on its square, above it.
    const rings = [['hint-mark', picture.hint], ['better-mark', picture.better],
      ['tried-mark', picture.tried]];
    for (const [mark, square] of rings.filter(([, square]) => square)) {
      const [x, y] = square;
      const attributes = { class: mark, cx: px(x), cy: px(y), 'data-x': x, 'data-y': y };
      node(marks, 'circle', { ...attributes, r: UNIT * 0.5 });
    }
    // The best moves of an analysis: a square each, with its rank and its score for black.
    for (const [x, y, rank, score] of picture.candidates) {
      const group = node(marks, 'g', { class: 'candidate', 'data-x': x, 'data-y': y,
        'data-rank': rank });
      node(group, 'rect', { x: px(x) - UNIT / 2 + 1, y: px(y) - UNIT / 2 + 1, width: UNIT - 2,
        height: UNIT - 2, rx: 3 });
      node(group, 'text', { class: 'rank', x: px(x), y: px(y) - 6 }, String(rank));
      node(group, 'text', { class: 'score', x: px(x), y: px(y) + 8 }, score);
    }
    const ghost = picture.ghost === null ? 'ghost' : `ghost p${picture.ghost}`;
    for (const spot of svg.querySelector('#spots').children) {
      spot.classList.toggle('taken', taken.has(spot.dataset.x + ',' + spot.dataset.y));
      spot.lastChild.setAttribute('class', ghost);
    }
    const cursor = svg.querySelector('#cursor');
    cursor.setAttribute('x', px(picture.cursor[0]) - UNIT / 2);
    cursor.setAttribute('y', px(picture.cursor[1]) - UNIT / 2);
    cursor.classList.toggle('shown', picture.cursorShown);
    cursor.dataset.x = picture.cursor[0];
    cursor.dataset.y = picture.cursor[1];
  }
}
