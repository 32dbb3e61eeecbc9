// The engine's thread: loads the WebAssembly module and answers the page's requests one
// at a time, so the page never waits while the engine thinks.
//
// First message {ready: true, about}: the module's description (quillmot_describe: level
// names, board limits, error words, score bands, the review's allowance and marks). Then
// request {id, op, ...}, reply {id, ok, error?, ...}; before the reply, a search posts {id,
// live: report} for each completed iteration, and a review {id, reviewed: view} for each
// position done. Every reply that can change the board carries the whole game as the engine
// holds it (game(): every history entry with the colour of its stone, or null for a turn
// given away; the five and its lines; the side to move), so the page draws from the
// engine's state and never from a copy of its own.
'use strict';

try {
  importScripts('gen/quillmot.js');
} catch (error) {
  postMessage({
    fatal: 'the engine module gen/quillmot.js could not be loaded; ' +
      'build it with tools/build-web.sh',
  });
  throw error;
}

let engine = null;
let about = null;
const waiting = [];

function unpack(packed) { return [packed % 256, Math.floor(packed / 256)]; }

// The game in one read of the module's snapshot (see quillmot_api.h for its layout).
function game() {
  const at = engine._quillmot_snapshot() >> 2;
  const heap = engine.HEAP32;  // read after the call: a growing memory replaces the view
  const [width, height, toMove, anyFive, entries, fives, lines] = heap.subarray(at, at + 7);
  let i = at + 7;
  const moves = [];
  for (let k = 0; k < entries; ++k, ++i) {
    const entry = heap[i];
    moves.push(entry === about.passed ? null : [entry & 255, (entry >> 8) & 255, entry >> 16]);
  }
  const five = [];
  for (let k = 0; k < fives; ++k) five.push(unpack(heap[i++]));
  const fiveLines = [];
  for (let k = 0; k < lines; ++k, i += 2) fiveLines.push([unpack(heap[i]), unpack(heap[i + 1])]);
  return { width, height, moves, five, fiveLines, anyFive: anyFive === 1, toMove };
}

function failure(code) { return { ok: false, error: about.errors[code] || 'error ' + code }; }

// What the last search reported, with the move it returned.
function report(packed) {
  const line = [];
  for (let i = 0; i < engine._quillmot_report_line_length(); ++i) {
    line.push(unpack(engine._quillmot_report_line_at(i)));
  }
  return {
    move: unpack(packed), depth: engine._quillmot_report_depth(),
    score: engine._quillmot_report_score(), nodes: engine._quillmot_report_nodes(),
    ms: engine._quillmot_report_ms(), line, forced: engine._quillmot_report_forced(),
    otherMove: engine._quillmot_report_other_move() === 1,
  };
}

// A report block of the module's memory (see quillmot_api.h for its layout) as a report,
// with the rank of an analysed move and whether the position could be read.
function block(pointer) {
  const heap = engine.HEAP32, at = pointer >> 2;
  const [rank, move, depth, score, forced, low, high, ms, other, known, length] =
    heap.subarray(at, at + 11);
  const line = [...heap.subarray(at + 11, at + 11 + length)].map(unpack);
  return {
    rank, move: move < 0 ? null : unpack(move), depth, score, forced,
    nodes: high * 2 ** 30 + low, ms, line, otherMove: other === 1, known: known === 1,
  };
}

// Clears the board, keeping the engine (and its tables) when the size stays.
function clearBoard(width, height) {
  if (engine._quillmot_width() !== width || engine._quillmot_height() !== height) {
    return engine._quillmot_new_game(width, height);
  }
  while (engine._quillmot_take_back() === 0);
  return 0;
}

// The stones a Swap2 decision places, played in order.
function swap2Stones(count) {
  for (let i = 0; i < count; ++i) {
    engine._quillmot_place(...unpack(engine._quillmot_swap2_stone(i)));
  }
  return game();
}

const OPS = {
  place(r) {
    const code = engine._quillmot_place(r.x, r.y);
    return code < 0 ? { ...failure(code), game: game() } : { ok: true, game: game() };
  },
  takeBack(r) {
    for (let i = 0; i < r.count; ++i) if (engine._quillmot_take_back() < 0) break;
    return { ok: true, game: game() };
  },
  // A whole position: the set-up's stones (black and white, alternately as far as they
  // go), the side to move when it is given, then the moves in turn. The engine places
  // them and judges them: a refused stone stops there and is named (which list, which
  // index, why), and a five in the set-up is told by the game's anyFive.
  position(r) {
    const code = clearBoard(r.width, r.height);
    if (code < 0) return failure(code);
    const stones = [];
    for (let i = 0; i < Math.max(r.black.length, r.white.length); ++i) {
      if (i < r.black.length) stones.push([...r.black[i], 0, 'black', i]);
      if (i < r.white.length) stones.push([...r.white[i], 1, 'white', i]);
    }
    for (const [x, y, colour, list, index] of stones) {
      const placed = engine._quillmot_place_colour(x, y, colour);
      if (placed < 0) return { ...failure(placed), list, index, game: game() };
    }
    if (r.toMove !== undefined && engine._quillmot_side_to_move() !== r.toMove) {
      const passed = engine._quillmot_pass();
      if (passed < 0) return { ...failure(passed), list: 'turn', index: 0, game: game() };
    }
    for (const [index, [x, y]] of r.moves.entries()) {
      const placed = engine._quillmot_place(x, y);
      if (placed < 0) return { ...failure(placed), list: 'moves', index, game: game() };
    }
    return { ok: true, game: game() };
  },
  // The move of a level, played, with the search's report.
  engineMove(r) {
    const packed = engine._quillmot_level_move(r.level, r.ms, r.seed);
    if (packed < 0) return { ...failure(packed), game: game() };
    const result = report(packed);
    engine._quillmot_place(result.move[0], result.move[1]);
    return { ok: true, report: result, game: game() };
  },
  // The best moves for the side to move of the position after `entries` history entries,
  // on the hint engine, each iteration posted as it completes.
  analyse(r) {
    const found = engine._quillmot_analyse(r.entries, r.ms);
    if (found < 0) return failure(found);
    const moves = [];
    for (let rank = 0; rank < found; ++rank) moves.push(block(engine._quillmot_analysis(rank)));
    return { ok: true, moves };
  },
  // The review of the game from the end of its set-up on, each position posted as it is done.
  review(r) {
    const positions = engine._quillmot_review(r.from, r.nodes);
    if (positions < 0) return failure(positions);
    const views = [], marks = [];
    for (let i = 0; i < positions; ++i) views.push(block(engine._quillmot_review_view(i)));
    for (let i = 0; i + 1 < positions; ++i) marks.push(engine._quillmot_review_mark(i));
    return { ok: true, views, marks };
  },
  // A person's try judged as the review would mark it.
  judge(r) {
    const mark = engine._quillmot_judge(r.entries, r.x, r.y, r.nodes);
    return mark < 0 ? failure(mark) : { ok: true, mark };
  },
  // The same on the hint engine, so that the game engine's tables stay its own.
  hint(r) {
    const packed = engine._quillmot_hint(r.ms);
    return packed < 0 ? failure(packed) : { ok: true, report: report(packed) };
  },
  // A move of a puzzle's attacker: judged first (whether it still forces the five), played
  // when it does, and answered by the engine's longest defence unless it made the five.
  puzzleMove(r) {
    const forces = engine._quillmot_puzzle_forces(r.x, r.y);
    if (forces < 0) return failure(forces);
    if (forces === 0) return { ok: true, forces: false };
    engine._quillmot_place(r.x, r.y);
    const defence = engine._quillmot_has_five() ? -1 : engine._quillmot_puzzle_defence();
    if (defence >= 0) engine._quillmot_place(...unpack(defence));
    return { ok: true, forces: true, defence: defence < 0 ? null : unpack(defence), game: game() };
  },
  // The forced five played out from the position, both sides' moves; none when it does not.
  puzzleSolution() {
    const length = engine._quillmot_puzzle_solution();
    if (length < 0) return failure(length);
    const moves = [];
    for (let i = 0; i < length; ++i) moves.push(unpack(engine._quillmot_puzzle_solution_at(i)));
    return { ok: true, moves };
  },
  // Swap2: the engine's three stones on the empty board, or its choice on three or five
  // stones (take black, or the stones it places), each played; with the choice, white's
  // score in its eyes and, when it placed one stone, the search behind it.
  swap2Open(r) {
    const count = engine._quillmot_swap2_opening(r.seed);
    return count < 0 ? failure(count) : { ok: true, game: swap2Stones(count) };
  },
  swap2Decide(r) {
    const count = engine._quillmot_swap2_decide(r.ms);
    if (count < 0) return failure(count);
    const score = engine._quillmot_swap2_score();
    const searched = count === 1 ? report(engine._quillmot_swap2_stone(0)) : null;
    return { ok: true, swap: count === 0, placed: count, score, report: searched,
      game: swap2Stones(count) };
  },
  // For the browser test alone, which compares the module's node counts with the native
  // quillmot-bench: a position searched to a fixed depth from a new game, as the bench does.
  search(r) {
    let code = engine._quillmot_new_game(r.width, r.height);
    for (const [x, y] of r.moves) if (code >= 0) code = engine._quillmot_place(x, y);
    if (code < 0) return failure(code);
    const started = performance.now();
    const packed = engine._quillmot_search_depth(r.depth);
    if (packed < 0) return failure(packed);
    return {
      ok: true, move: unpack(packed), nodes: engine._quillmot_nodes(),
      depth: engine._quillmot_completed_depth(), ms: performance.now() - started,
    };
  },
};

let current = null;  // the request being answered, whose progress the module tells

// The module tells of each completed iteration (0), and of the positions a review has done
// (1, count), while a call runs: posted at once, the page shows them as they come.
function notified(what, count) {
  if (!current) return;
  if (what === 0) postMessage({ id: current.id, live: block(engine._quillmot_live()) });
  else postMessage({ id: current.id, reviewed: block(engine._quillmot_review_view(count - 1)) });
}

function answer(request) {
  const op = OPS[request.op];
  current = request;
  const reply = op ? op(request) : { ok: false, error: 'unknown request ' + request.op };
  current = null;
  postMessage({ id: request.id, ...reply });
}

onmessage = (event) => {
  if (engine) answer(event.data);
  else waiting.push(event.data);
};

// A string of the module's memory, up to its NUL.
function text(pointer) {
  const bytes = engine.HEAPU8;
  let end = pointer;
  while (bytes[end] !== 0) ++end;
  return new TextDecoder().decode(bytes.subarray(pointer, end));
}

createQuillmot({
  locateFile: (file) => 'gen/' + file,
  onAbort: (what) => postMessage({ fatal: 'the engine stopped: ' + what }),
}).then((module) => {
  engine = module;
  engine.onNotify = notified;
  about = JSON.parse(text(engine._quillmot_describe()));
  postMessage({ ready: true, about });
  while (waiting.length) answer(waiting.shift());
}, (error) => postMessage({ fatal: 'the engine could not be loaded: ' + error }));
