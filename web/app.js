// The page's start: one state (state.js), the engine's worker (engine-client.js), the ways
// the state changes (actions.js), its drawing (view.js), the controls and keys (input.js),
// the address (address.js) and the saved choices (preferences.js), bound together here.
import { createActions } from './actions.js';
import { bindHistory } from './address.js';
import { createClient } from './engine-client.js';
import { bindInput } from './input.js';
import { loadPreferences, savePreferences } from './preferences.js';
import { configure, defaults } from './state.js';
import { createView } from './view.js';

// Storage may be refused outright (some privacy settings): the choices then last one visit.
const storage = (() => {
  try {
    return window.localStorage;
  } catch {
    return null;
  }
})();

// The clipboard interface, or, without it (or its permission), a selection copied the old way.
async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    const area = document.createElement('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
}

const state = defaults();
configure(state, loadPreferences(storage));
const draw = createView(document);
let actions = null;
const client = createClient({
  spawn: () => new Worker('engine-worker.js'),
  onReady: (about) => actions.ready(about),
  onFatal: (message) => actions.fail(message),
});
actions = createActions(state, {
  client,
  redraw: () => draw(state),
  history: bindHistory(window, (text) => actions.loadAddress(text, 'replace')),
  seed: () => crypto.getRandomValues(new Uint32Array(1))[0],
  copy: copyText,
  save: () => savePreferences(storage, state),
  local: location.protocol === 'file:',
  puzzles: async () => {
    const response = await fetch('puzzles.json');
    if (!response.ok) throw new Error(`puzzles.json: ${response.status} ${response.statusText}`);
    return response.text();
  },
});
bindInput(document, state, actions);
actions.begin();

// Offline use: the service worker keeps this version of the page, the module and the puzzles
// (sw.js). Browsers allow one only in a secure context (https, or a page of localhost or
// 127.0.0.1); elsewhere the page works online alone. The worker's own script and the list it
// imports are always fetched anew, so that a new version is found at the next visit.
if ('serviceWorker' in navigator && window.isSecureContext) {
  navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' })
    .catch((error) => console.warn('no offline use:', error.message));
}
