// Swap2, the opening that makes free-style fair: the opener places three stones (black, white,
// black); the other side takes black, takes white and plays the fourth stone, or places two
// more (white, black) and lets the opener choose black, or white and the sixth stone. The
// state's swap2: {opener: 'you' or 'engine', stones: 3, or 5 once two more were chosen,
// decided: the colours taken}; null for a game that black simply opens. Plain functions.
import { BLACK, WHITE, colourName } from './notation.js';

const other = (who) => (who === 'you' ? 'engine' : 'you');

// What the opening waits for with `count` stones on the board: {who: you or engine, what:
// place or choose}; null once the colours are taken (or in a game without Swap2).
export function swap2Step(swap2, count) {
  if (!swap2 || swap2.decided) return null;
  if (count < 3) return { who: swap2.opener, what: 'place' };
  if (swap2.stones === 3) return { who: other(swap2.opener), what: 'choose' };
  if (count < 5) return { who: other(swap2.opener), what: 'place' };
  return { who: swap2.opener, what: 'choose' };
}

// The opening after `who` chose: 'black' or 'white' for itself, or 'two' more stones (on
// three). {swap2, you: the person's colour once it is known}.
export function chooseColour(swap2, who, choice) {
  if (choice === 'two') return { swap2: { ...swap2, stones: 5 }, you: undefined };
  const colour = choice === 'black' ? BLACK : WHITE;
  return { swap2: { ...swap2, decided: true }, you: who === 'you' ? colour : 1 - colour };
}

// The history entry where the game's own moves begin, after the set-up and the opening (whose
// stones, whoever placed them, are no level's moves and are never taken back).
export const openingEnd = (state) => state.setupCount + (state.swap2 ? state.swap2.stones : 0);

// A spec (the game's) changed for a stopped engine's move: the person's move it answers taken
// back, or, when it answers the person's choice of colour of a Swap2 opening, the choice to
// be made again. False when there is no move to take back.
export function answeredMoveTakenBack(spec) {
  if (spec.swap2?.decided && spec.moves.length === spec.swap2.stones) {
    spec.swap2.decided = false;
    return true;
  }
  return spec.moves.pop() !== undefined;
}

// The opening in words, for the move list and the copied game.
export function openingText(swap2, you) {
  if (!swap2) return '';
  const who = (side) => (side === 'you' ? 'you' : 'Quillmot');
  let text = `Swap2: ${who(swap2.opener)} placed the first three stones`;
  if (swap2.stones === 5) text += `, ${who(other(swap2.opener))} two more`;
  if (!swap2.decided) return text + '.';
  const chooser = swap2.stones === 5 ? swap2.opener : other(swap2.opener);
  const colour = chooser === 'you' ? you : 1 - you;
  return `${text}; ${who(chooser)} took ${colourName(colour)}.`;
}

// The status while the person places or chooses.
export function swap2Prompt(swap2, count) {
  const step = swap2Step(swap2, count);
  if (!step || step.who !== 'you') return '';
  if (step.what === 'place' && count < 3) {
    return `Swap2: place the first three stones, black, white and black (${count} of 3 placed).`;
  }
  if (step.what === 'place') {
    return `Swap2: place two more stones, white and black (${count - 3} of 2 placed).`;
  }
  return count === 3
    ? 'Swap2: take black, take white and play the fourth stone, or place two more stones and ' +
      'let Quillmot choose.'
    : 'Swap2: take black, or take white and play the sixth stone.';
}
