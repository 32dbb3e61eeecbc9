// The engine's thread: loads the WebAssembly module and answers the page's requests one
// at a time, so the page never waits while the engine thinks.
//
// Request {id, op, ...}; reply {id, ok, error?, ...}. Every reply that can change the
// board carries the whole game as the engine holds it (moves in play order, the five),
// so the page draws from the engine's state and never from a copy of its own.
'use strict';

try {
  importScripts('gen/quillmot.js');
} catch (error) {
  postMessage({ fatal: 'the engine module gen/quillmot.js could not be loaded; build it with tools/build-web.sh' });
  throw error;
}

const ERRORS = {
  '-1': 'no game', '-2': 'bad argument', '-3': 'off the board', '-4': 'occupied',
  '-5': 'the game is over', '-6': 'the board is full',
};

let engine = null;
const waiting = [];

function unpack(packed) { return [packed % 256, Math.floor(packed / 256)]; }

function gameState() {
  const moves = [];
  for (let i = 0; i < engine._quillmot_move_count(); ++i) moves.push(unpack(engine._quillmot_move_at(i)));
  const five = [];
  for (let i = 0; i < engine._quillmot_five_count(); ++i) five.push(unpack(engine._quillmot_five_square(i)));
  return { width: engine._quillmot_width(), height: engine._quillmot_height(), moves, five };
}

function failure(code) { return { ok: false, error: ERRORS[code] || 'error ' + code }; }

// The search's result: a square, or a refusal.
function searchResult(packed, started) {
  if (packed < 0) return failure(packed);
  const ms = performance.now() - started;
  return {
    ok: true, move: unpack(packed), nodes: engine._quillmot_nodes(),
    depth: engine._quillmot_completed_depth(), ms,
  };
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
  // Thinks and plays the chosen move.
  think(r) {
    const started = performance.now();
    const result = searchResult(engine._quillmot_think(r.ms), started);
    if (result.ok) engine._quillmot_place(result.move[0], result.move[1]);
    return { ...result, game: gameState() };
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
