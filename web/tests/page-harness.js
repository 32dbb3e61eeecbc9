// The page driven through its actions against a fake engine, for the unit tests: every
// redraw computes all that the page would show (a throw there is a dead page).
import assert from 'node:assert/strict';
import { createActions } from '../actions.js';
import { createClient } from '../engine-client.js';
import { barValue, graphPoints } from '../review-words.js';
import { defaults } from '../state.js';
import { controls, picture } from '../view.js';
import { recordItems, statusText, viewWords } from '../words.js';
import { FakeWorker } from './fake-engine.js';

const settled = ['person', 'over', 'setup', 'error', 'opening'];

export function openPage(address = '') {
  const state = defaults();
  const page = { state, workers: [], written: [], address };
  const client = createClient({
    spawn: () => page.workers[page.workers.push(new FakeWorker()) - 1],
    onReady: (about) => page.actions.ready(about),
    onFatal: (message) => page.actions.fail(message),
  });
  page.actions = createActions(state, {
    client, seed: () => 1, save() {},
    redraw() {
      const drawn = [statusText, viewWords, recordItems, picture, controls, barValue, graphPoints];
      drawn.forEach((f) => f(state));
    },
    copy: async (text) => { page.copied = text; },
    history: {
      write(text, how) { page.written.push(how); page.address = text; },
      read: () => page.address, href: () => 'https://example.org/',
    },
  });
  page.worker = () => page.workers[page.workers.length - 1];
  // Until the page waits for the person again (every fake reply takes a turn of its own).
  page.settle = async () => {
    for (let i = 0; i < 50; ++i) await new Promise((resolve) => setTimeout(resolve));
    assert.ok(settled.includes(state.phase), `still ${state.phase}`);
    return page;
  };
  page.actions.begin();
  return page.settle();
}

