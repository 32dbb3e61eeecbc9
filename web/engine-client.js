// The page's side of the engine's worker: its lifecycle, and one call(op, args) that owns
// the request ids and the generation. A search cannot be interrupted inside the worker, so
// stopping one ends the worker and starts a new one; a new generation (a new game, a new
// set-up) makes every reply to an earlier call stale, and a stale reply resolves to null.
//
// spawn() makes a worker (new Worker('engine-worker.js') in the page, a fake in the unit
// tests); onReady(about) receives the module's description from each new worker; onFatal
// (message) hears that the engine cannot go on.
export function createClient({ spawn, onReady, onFatal }) {
  let worker = null;
  let nextId = 1;
  let generation = 0;
  const pending = new Map();  // id -> {resolve, generation, onProgress}

  function drop() {
    if (worker) worker.terminate();
    worker = null;
    ++generation;
    for (const { resolve } of pending.values()) resolve(null);
    pending.clear();
  }

  function start() {
    drop();
    let w;
    try {
      w = spawn();
    } catch (error) {
      onFatal('the engine could not be started (' + error.message + ')');
      return false;
    }
    worker = w;
    w.onmessage = (event) => {
      if (w !== worker) return;
      const reply = event.data;
      if (reply.fatal) return fail(reply.fatal);
      if (reply.ready) return onReady(reply.about);
      const waiting = pending.get(reply.id);
      if (!waiting) return;
      if (reply.live || reply.reviewed) {
        if (waiting.generation === generation && waiting.onProgress) waiting.onProgress(reply);
        return;
      }
      pending.delete(reply.id);
      waiting.resolve(waiting.generation === generation ? reply : null);
    };
    w.onerror = (event) => {
      if (w !== worker) return;
      fail('the engine could not be loaded' + (event.message ? ` (${event.message})` : ''));
    };
    return true;
  }

  function fail(message) {
    drop();
    onFatal(message);
  }

  return {
    start,
    // Ends the worker (and so any search) and starts a new one.
    restart: start,
    running: () => worker !== null,
    // Replies to the calls made so far become stale.
    newGeneration() { ++generation; },
    // The reply, or null once it is stale (or the worker has gone). onProgress hears of the
    // request's progress messages ({live} or {reviewed}) until then, while they are not stale.
    call(op, args = {}, onProgress = null) {
      if (!worker) return Promise.resolve(null);
      return new Promise((resolve) => {
        const id = nextId++;
        pending.set(id, { resolve, generation, onProgress });
        worker.postMessage({ id, op, ...args });
      });
    },
  };
}
