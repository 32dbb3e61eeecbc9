// The engine's thread: loads the WebAssembly module and answers the page's requests one
// at a time, so the page never waits while the engine thinks.
//
// Request {id, op, ...}; reply {id, ok, error?, ...}. Every reply that can change the
// board carries the whole game as the engine holds it (every history entry with the colour
// of its stone, or null for a turn given away; the five; the side to move), so the page
// draws from the engine's state and never from a copy of its own.
'use strict';

try {
  importScripts('gen/quillmot.js');
} catch (error) {
  postMessage({ fatal: 'the engine module gen/quillmot.js could not be loaded; build it with tools/build-web.sh' });
  throw error;
}

const ERRORS = {
  '-1': 'no game', '-2': 'bad argument', '-3': 'off the board', '-4': 'on a taken square',
  '-5': 'after a five', '-6': 'the board is full', '-11': 'too many passes',
};
const PASSED = -12;  // quillmot_move_at: a turn given away

let engine = null;
const waiting = [];

function unpack(packed) { return [packed % 256, Math.floor(packed / 256)]; }

function gameState() {
  const moves = [];
  for (let i = 0; i < engine._quillmot_move_count(); ++i) {
    const packed = engine._quillmot_move_at(i);
    if (packed === PASSED) {
      moves.push(null);
    } else {
      const [x, y] = unpack(packed);
      moves.push([x, y, engine._quillmot_stone(x, y)]);
    }
  }
  const five = [];
  for (let i = 0; i < engine._quillmot_five_count(); ++i) five.push(unpack(engine._quillmot_five_square(i)));
  return {
    width: engine._quillmot_width(), height: engine._quillmot_height(), moves, five,
    anyFive: engine._quillmot_has_five() === 1, toMove: engine._quillmot_side_to_move(),
  };
}

function failure(code) { return { ok: false, error: ERRORS[code] || 'error ' + code }; }

// What the last search reported, with the move it returned.
function report(packed) {
  const line = [];
  for (let i = 0; i < engine._quillmot_report_line_length(); ++i) line.push(unpack(engine._quillmot_report_line_at(i)));
  return {
    move: unpack(packed), depth: engine._quillmot_report_depth(), score: engine._quillmot_report_score(),
    nodes: engine._quillmot_report_nodes(), ms: engine._quillmot_report_ms(), line,
    forced: engine._quillmot_report_forced(), otherMove: engine._quillmot_report_other_move() === 1,
  };
}

// The search's result: a square, or a refusal.
function searchResult(packed, started) {
  if (packed < 0) return failure(packed);
  const ms = performance.now() - started;
  return {
    ok: true, move: unpack(packed), nodes: engine._quillmot_nodes(),
    depth: engine._quillmot_completed_depth(), ms,
  };
}

// Clears the board, keeping the engine (and its tables) when the size stays.
function clearBoard(width, height) {
  if (engine._quillmot_width() !== width || engine._quillmot_height() !== height)
    return engine._quillmot_new_game(width, height);
  while (engine._quillmot_take_back() === 0);
  return 0;
}

const OPS = {
  newGame(r) {
    const code = engine._quillmot_new_game(r.width, r.height);
    return code < 0 ? failure(code) : { ok: true, game: gameState() };
  },
  place(r) {
    const code = engine._quillmot_place(r.x, r.y);
    return code < 0 ? { ...failure(code), game: gameState() } : { ok: true, game: gameState() };
  },
  takeBack(r) {
    for (let i = 0; i < r.count; ++i) if (engine._quillmot_take_back() < 0) break;
    return { ok: true, game: gameState() };
  },
  // A whole position: the set-up's stones (black and white, alternately as far as they
  // go), the side to move when it is given, then the moves in turn. A refused stone stops
  // there and is named: which list, which index, why.
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
      if (placed < 0) return { ...failure(placed), list, index, game: gameState() };
    }
    if (r.toMove !== undefined && engine._quillmot_side_to_move() !== r.toMove) engine._quillmot_pass();
    for (const [index, [x, y]] of r.moves.entries()) {
      const placed = engine._quillmot_place(x, y);
      if (placed < 0) return { ...failure(placed), list: 'moves', index, game: gameState() };
    }
    return { ok: true, game: gameState() };
  },
  // The move of a level, played, with the search's report.
  engineMove(r) {
    const packed = engine._quillmot_level_move(r.level, r.ms, r.seed);
    if (packed < 0) return { ...failure(packed), game: gameState() };
    const result = report(packed);
    engine._quillmot_place(result.move[0], result.move[1]);
    return { ok: true, report: result, game: gameState() };
  },
  // A full-strength search for the side to move, nothing played.
  analyse(r) {
    const packed = engine._quillmot_think(r.ms);
    return packed < 0 ? failure(packed) : { ok: true, report: report(packed) };
  },
  // The same on the hint engine, so that the game engine's tables stay its own.
  hint(r) {
    const packed = engine._quillmot_hint(r.ms);
    return packed < 0 ? failure(packed) : { ok: true, report: report(packed) };
  },
  // A position searched to a fixed depth from a new game, as quillmot-bench does it.
  search(r) {
    let code = engine._quillmot_new_game(r.width, r.height);
    for (const [x, y] of r.moves) if (code >= 0) code = engine._quillmot_place(x, y);
    if (code < 0) return failure(code);
    const started = performance.now();
    return searchResult(engine._quillmot_search_depth(r.depth), started);
  },
};

function answer(request) {
  const op = OPS[request.op];
  const reply = op ? op(request) : { ok: false, error: 'unknown request ' + request.op };
  postMessage({ id: request.id, ...reply });
}

onmessage = (event) => {
  if (engine) answer(event.data);
  else waiting.push(event.data);
};

createQuillmot({
  locateFile: (file) => 'gen/' + file,
  onAbort: (what) => postMessage({ fatal: 'the engine stopped: ' + what }),
}).then((module) => {
  engine = module;
  postMessage({ ready: true });
  while (waiting.length) answer(waiting.shift());
}, (error) => postMessage({ fatal: 'the engine could not be loaded: ' + error }));
