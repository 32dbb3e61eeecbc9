// The choices kept for the next visit: the level, the thinking time and the switches, in
// the browser's local storage, and beside them the puzzles' record (the rating, the puzzles
// solved and missed). Anything unreadable falls back to the defaults.
import { readPuzzleRecord } from './puzzles.js';
import { THINK_TIMES } from './state.js';

const KEY = 'quillmot-preferences', PUZZLES_KEY = 'quillmot-puzzles';

// The saved text as a configuration for the state (state.js configure): only what is valid.
export function readPreferences(text) {
  let saved;
  try {
    saved = JSON.parse(text || '{}');
  } catch {
    return {};
  }
  if (typeof saved !== 'object' || saved === null) return {};
  const config = {};
  // The upper bound of the level comes with the module's description (actions.js ready).
  // A level saved before the eight (1 to 5) reads as the nearest of the eight.
  if (Number.isInteger(saved.opponent) && saved.opponent >= 1) config.level = saved.opponent;
  else if (Number.isInteger(saved.level) && saved.level >= 1) config.formerLevel = saved.level;
  if (THINK_TIMES.includes(saved.think)) config.think = saved.think;
  if (typeof saved.numbers === 'boolean') config.numbers = saved.numbers;
  if (typeof saved.showLine === 'boolean') config.showLine = saved.showLine;
  return config;
}

export function loadPreferences(storage) {
  try {
    const puzzleRecord = readPuzzleRecord(storage.getItem(PUZZLES_KEY));
    return { ...readPreferences(storage.getItem(KEY)), puzzleRecord };
  } catch {
    return {};  // no storage at all
  }
}

export function savePreferences(storage, { level, think, numbers, showLine, puzzleRecord }) {
  try {
    storage.setItem(KEY, JSON.stringify({ opponent: level, think, numbers, showLine }));
    storage.setItem(PUZZLES_KEY, JSON.stringify(puzzleRecord));
  } catch {
    // Private windows may refuse storage: nothing is lost but the next visit's choices.
  }
}
