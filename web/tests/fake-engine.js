// A stand-in for engine-worker.js in the unit tests: the same requests and replies on a
// game kept in plain arrays. Its move is the first empty square in reading order, with a
// report that says so, told first as an iteration; a reply comes on a later turn, and the
// replies of the op named in `hold` wait for release(). A review marks the moves as `marks`
// says; a try is right only on the engine's own move.
export const ABOUT = {
  levels: ['First steps', 'Beginner', 'Novice', 'Casual', 'Improver', 'Club', 'Expert',
    'Full strength'], fullStrength: 8, formerLevels: [1, 3, 4, 6, 8],
  minBoard: 5, maxBoard: 32, passed: -12, tempoBonus: 70, evenBand: 120, betterBand: 500,
  errors: { '-4': 'on a taken square', '-5': 'after a five' },
  reviewNodes: 1000, analysisMoves: 3, marks: ['', '?!', '?', '??', 'missed win'],
};

export class FakeWorker {
  constructor() {
    this.width = 15;
    this.moves = [];
    this.hold = null;
    this.held = [];
    this.later({ ready: true, about: ABOUT });
  }

  later(data) { setTimeout(() => this.dead || this.onmessage({ data })); }
  release() { this.held.splice(0).forEach((data) => this.later(data)); }
  terminate() { this.dead = true; }

  postMessage(request) {
    if (['engineMove', 'hint', 'analyse'].includes(request.op) && !this.over()) {
      this.later({ id: request.id, live: { ...this.search(), rank: 0 } });
    }
    const reply = { id: request.id, ...this[request.op](request) };
    if (request.op === this.hold) this.held.push(reply);
    else this.later(reply);
  }

  toMove() { return this.moves.length % 2; }
  taken(x, y) { return this.moves.some((m) => m && m[0] === x && m[1] === y); }

  // The squares of every run of five through the stone at index i.
  fiveThrough(i) {
    const [x, y, c] = this.moves[i];
    const mine = (a, b) => this.moves.some((m) => m && m[0] === a && m[1] === b && m[2] === c);
    const lines = [];
    for (const [dx, dy] of [[1, 0], [0, 1], [1, 1], [1, -1]]) {
      let back = 0, ahead = 0;
      while (mine(x - (back + 1) * dx, y - (back + 1) * dy)) ++back;
      while (mine(x + (ahead + 1) * dx, y + (ahead + 1) * dy)) ++ahead;
      if (back + ahead < 4) continue;
      lines.push([[x - back * dx, y - back * dy], [x + ahead * dx, y + ahead * dy]]);
    }
    return lines;
  }

  game() {
    const last = this.moves.length - 1;
    const fiveLines = last >= 0 && this.moves[last] ? this.fiveThrough(last) : [];
    const anyFive = this.moves.some((m, i) => m && this.fiveThrough(i).length > 0);
    return {
      width: this.width, height: this.width, moves: this.moves.map((m) => m && [...m]),
      five: fiveLines.flat(), fiveLines, anyFive, toMove: this.toMove(),
    };
  }

  stone(x, y, colour) {
    if (this.taken(x, y)) return { ok: false, error: 'on a taken square' };
    if (this.game().anyFive) return { ok: false, error: 'after a five' };
    if (colour !== this.toMove()) this.moves.push(null);
    this.moves.push([x, y, colour]);
    return { ok: true };
  }

  place({ x, y }) { return { ...this.stone(x, y, this.toMove()), game: this.game() }; }
  takeBack({ count }) {
    this.moves.splice(-count);
    return { ok: true, game: this.game() };
  }

  position({ width, black, white, toMove, moves }) {
    this.width = width;
    this.moves = [];
    const stones = [];
    for (let i = 0; i < Math.max(black.length, white.length); ++i) {
      if (i < black.length) stones.push([black[i], 0, 'black', i]);
      if (i < white.length) stones.push([white[i], 1, 'white', i]);
    }
    for (const [[x, y], colour, list, index] of stones) {
      const placed = this.stone(x, y, colour);
      if (!placed.ok) return { ...placed, list, index, game: this.game() };
    }
    if (toMove !== undefined && toMove !== this.toMove()) this.moves.push(null);
    for (const [index, [x, y]] of moves.entries()) {
      const placed = this.stone(x, y, this.toMove());
      if (!placed.ok) return { ...placed, list: 'moves', index, game: this.game() };
    }
    return { ok: true, game: this.game() };
  }

  search() {
    for (let y = 0; y < this.width; ++y) {
      for (let x = 0; x < this.width; ++x) {
        if (!this.taken(x, y)) {
          return { move: [x, y], depth: 3, score: 170, nodes: 9, ms: 1, line: [[x, y]], forced: 0 };
        }
      }
    }
  }

  engineMove() {
    const report = this.search();
    this.stone(...report.move, this.toMove());
    return { ok: true, report, game: this.game() };
  }

  over() { return this.game().anyFive; }
  hint() { return { ok: true, report: this.search() }; }
  analyse() {
    if (this.over()) return { ok: false, error: 'after a five' };
    const best = this.search();
    const next = { ...best, move: [best.move[0] + 1, best.move[1]], line: [] };
    return { ok: true, moves: [{ ...best, rank: 0 }, { ...next, rank: 1 }] };
  }

  // Every position from `from` on, each told as it is done; the best move of a position is
  // the first empty square of the game's stones before it.
  review({ id, from }) {
    const views = [];
    const all = this.moves;
    for (let n = from; n <= all.length; ++n) {
      this.moves = all.slice(0, n);
      views.push({ ...this.search(), rank: 0, known: true });
      this.later({ id, reviewed: views[views.length - 1] });
    }
    this.moves = all;
    return { ok: true, views, marks: views.slice(1).map((_, i) => this.marks?.[i] ?? 0) };
  }

  // Swap2: its three stones, and those it places, are the first empty squares; its choice is
  // `swap2Choice` (black, white or two), black when none is set.
  swap2Open() {
    for (let i = 0; i < 3; ++i) this.stone(...this.search().move, this.toMove());
    return { ok: true, game: this.game() };
  }

  swap2Decide() {
    const placed = { black: 0, white: 1, two: 2 }[this.swap2Choice ?? 'black'];
    const report = this.search();
    for (let i = 0; i < placed; ++i) this.stone(...this.search().move, this.toMove());
    return { ok: true, swap: placed === 0, placed, score: -200, report, game: this.game() };
  }

  judge({ entries, x, y }) {
    const all = this.moves;
    this.moves = all.slice(0, entries);
    const [bx, by] = this.search().move;
    this.moves = all;
    return { ok: true, mark: bx === x && by === y ? 0 : 3 };
  }
}
