// The choices (level, time, switches), the game copied as text, and the keyboard cursor.
//
// host: as actions.js has it (redraw, save, copy, history); writeAddress(how) puts the game
// into the address.
import { encodeAddress } from './address.js';
import { gameSpec, setupSpec } from './state.js';
import { gameText } from './words.js';

export function choiceActions(state, host, writeAddress) {
  const { redraw, history } = host;

  function choose(key, value) {
    state[key] = value;
    host.save();
    if (key === 'level' && !['loading', 'error'].includes(state.phase)) writeAddress('replace');
    redraw();
  }

  async function copyGame() {
    const spec = state.mode === 'play' ? gameSpec(state) : setupSpec(state);
    const text = gameText(state, encodeAddress(spec), history.href());
    await host.copy(text);
    state.copied = state.mode === 'setup' ? 'Copied: the set-up, with its address.'
      : `Copied: the game in ${state.notes.length} moves, with its address.`;
    redraw();
  }

  function moveCursor(dx, dy) {
    const { width, height } = state.mode === 'setup' && state.setup.game || state.game;
    state.cursor = [Math.max(0, Math.min(width - 1, state.cursor[0] + dx)),
      Math.max(0, Math.min(height - 1, state.cursor[1] + dy))];
    state.cursorShown = true;
    redraw();
  }

  return {
    choose, copyGame, moveCursor, showCursor(shown) { state.cursorShown = shown; redraw(); },
  };
}
