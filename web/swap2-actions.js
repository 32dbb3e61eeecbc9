// The Swap2 opening against the engine: the person's stones and choices, and the engine's,
// each of the engine's made by the core's Swap2 decisions at full strength (whatever the
// level) within the page's thinking time. After the opening the game goes on as any other.
//
// page: what actions.js shares (state, host, redraw, ask, fail, writeAddress, goOn, name).
import { WHITE } from './notation.js';
import { reset, stoneAt } from './state.js';
import { chooseColour, swap2Step } from './swap2.js';

export function swap2Actions(page) {
  const { state, host, redraw, ask, fail, writeAddress, goOn, name } = page;
  const step = () => swap2Step(state.swap2, state.game.moves.length - state.setupCount);
  const persons = (what) => state.phase === 'opening' && step()?.who === 'you' &&
    step().what === what;

  // The opening's next stone or choice: the engine's at once, the person's awaited.
  function next({ who, what }) {
    if (who === 'engine') return what === 'place' ? engineOpens() : engineChooses();
    state.phase = 'opening';
    redraw();
  }

  // The engine's three stones: the next balanced opening of the page's seed.
  async function engineOpens() {
    const reply = await ask('busy', 'swap2Open', { seed: host.seed() });
    if (!reply) return;
    if (!reply.ok) return fail('the engine could not open: ' + reply.error);
    writeAddress('replace');
    goOn();
  }

  async function engineChooses() {
    const count = state.game.moves.length;
    state.search = { kind: 'swap2', level: state.about.fullStrength, mover: WHITE };
    const reply = await ask('thinking', 'swap2Decide', { ms: state.think });
    if (!reply) return;
    if (!reply.ok) return fail('the engine made no Swap2 choice: ' + reply.error);
    const placed = reply.game.moves.slice(count).map((m) => name(m)).join(' and ');
    if (reply.placed === 2) {
      state.swap2 = chooseColour(state.swap2, 'engine', 'two').swap2;
      state.said = `Quillmot placed two more stones, ${placed}.`;
    } else {
      const { swap2, you } = chooseColour(state.swap2, 'engine', reply.swap ? 'black' : 'white');
      Object.assign(state, { swap2, you });
      // The stone of white it placed is its first move of the game, at full strength.
      const [level, last] = [state.about.fullStrength, state.notes.length - 1];
      if (reply.placed === 1) state.notes[last] = { level, report: reply.report };
      state.said = reply.swap ? 'Quillmot took black.'
        : `Quillmot took white and played ${placed}.`;
    }
    writeAddress('replace');
    goOn();
  }

  // A stone of the person's in the opening, of the colour whose turn it is.
  async function place(x, y) {
    if (!persons('place') || stoneAt(state.game, [x, y])) return;
    reset(state);
    const reply = await ask('busy', 'place', { x, y });
    if (!reply) return;
    writeAddress('replace');
    goOn();
  }

  // The person's choice: black, white (and the next stone), or two more stones (on three).
  function choose(choice) {
    if (!persons('choose') || choice === 'two' && state.swap2.stones === 5) return;
    reset(state);
    const { swap2, you } = chooseColour(state.swap2, 'you', choice);
    state.swap2 = swap2;
    if (you !== undefined) state.you = you;
    writeAddress('replace');
    goOn();
  }

  return { next, place, choose };
}
