// The only place the page reads its controls and keys: each event becomes an action, and
// the action redraws. bindInput returns the function that unbinds every handler.

const STEPS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
const REVIEW = { ArrowLeft: 'back', ArrowRight: 'forward', Home: 'first', End: 'last' };

// What a key does. On the board the arrows move the keyboard cursor while it is shown
// (after keyboard use there, until a click or Escape), and Enter or Space places a stone at
// it; otherwise, and away from the board, left and right step through the game. A key in a
// field of its own (a list, a box) is the field's. Returns {cursor: [dx, dy]}, {place},
// {review: first, back, forward or last}, {showCursor: true or false}, or null.
export function keyIntent({ key, onBoard, cursorShown, inField }) {
  if (inField) return null;
  if (onBoard && cursorShown) {
    if (STEPS[key]) return { cursor: STEPS[key] };
    if (key === 'Enter' || key === ' ') return { place: true };
    if (key === 'Escape') return { showCursor: false };
  } else if (onBoard && ['ArrowUp', 'ArrowDown', 'Enter', ' '].includes(key)) {
    return { showCursor: true };
  }
  return REVIEW[key] ? { review: REVIEW[key] } : null;
}

// The move of the main line shown (1 the first after the set-up).
const shownMove = (state) => (state.reviewAt ?? state.game.moves.length) - state.setupCount;

export function bindInput(doc, state, actions) {
  const $ = (id) => doc.getElementById(id);
  const board = $('board');
  const unbinders = [];
  const on = (target, type, handler) => {
    target.addEventListener(type, handler);
    unbinders.push(() => target.removeEventListener(type, handler));
  };
  const value = (event) => Number(event.target.value);

  on(doc, 'keydown', (event) => {
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    const intent = keyIntent({
      key: event.key, onBoard: event.target === board, cursorShown: state.cursorShown,
      inField: !!event.target.closest?.('input, select, textarea'),
    });
    if (!intent) return;
    if (intent.cursor) actions.moveCursor(...intent.cursor);
    else if (intent.place) actions.activate(...state.cursor, true);
    else if (intent.review) actions.review(intent.review);
    else actions.showCursor(intent.showCursor);
    event.preventDefault();
  });
  // Focus by keyboard shows the cursor; focus by a click does not.
  on(board, 'focus', () => {
    if (board.matches(':focus-visible')) actions.showCursor(true);
  });
  on(board, 'click', (event) => {
    const spot = event.target.closest('.spot');
    if (spot) actions.activate(Number(spot.dataset.x), Number(spot.dataset.y), false);
  });

  const clicks = {
    'new-game': () => actions.newGame(), 'take-back': actions.takeBack, hint: actions.hint,
    stop: actions.stop, continue: actions.continueHere, setup: actions.enterSetup,
    analyse: actions.analyse, 'play-here': actions.playFromHere, 'clear-setup': actions.clearSetup,
    'leave-setup': actions.leaveSetup, copy: actions.copyGame,
    'review-first': () => actions.review('first'), 'review-back': () => actions.review('back'),
    'review-forward': () => actions.review('forward'), 'review-last': () => actions.review('last'),
    'review-game': actions.reviewGame, 'cancel-review': actions.stop,
    'analyse-shown': actions.analyseShown, learn: actions.learnMistakes,
    'learn-solution': actions.showSolution, 'learn-next': () => actions.learnStep(1),
    'learn-stop': actions.stopLearning,
    puzzles: () => actions.openPuzzle(), 'puzzle-next': () => actions.openPuzzle(),
    'puzzle-solution': actions.showPuzzleSolution, 'puzzle-step': actions.puzzleSolutionMove,
    'puzzle-retry': actions.retryPuzzle, 'puzzle-leave': actions.leavePuzzles,
    'swap2-black': () => actions.swap2Choose('black'),
    'swap2-white': () => actions.swap2Choose('white'),
    'swap2-two': () => actions.swap2Choose('two'),
    'play-better': () => actions.playBetter(shownMove(state) - 1),
    promote: () => actions.promoteVariation(state.variationAt?.index),
    'delete-variation': () => actions.deleteVariation(state.variationAt?.index),
  };
  for (const [id, action] of Object.entries(clicks)) on($(id), 'click', () => action());
  // A move of the list, or of the graph, shows its position.
  on($('record'), 'click', (event) => {
    const move = event.target.closest('[data-shows]');
    if (!move) return;
    const variation = move.dataset.variation;
    const line = variation === undefined ? null : Number(variation);
    actions.showMove(Number(move.dataset.shows), line);
  });
  on($('graph'), 'click', (event) => {
    const move = event.target.closest('[data-move]');
    if (move) actions.showMove(Number(move.dataset.move));
  });
  on($('size'), 'change', (event) => actions.newGame({ size: value(event) }));
  // The person's colour, or a Swap2 opening that chooses it.
  on($('first'), 'change', (event) => {
    const [you, opener] = { person: [0, null], engine: [1, null], 'swap2-you': [0, 'you'],
      'swap2-engine': [0, 'engine'] }[event.target.value];
    actions.newGame({ you, opener });
  });
  on($('level'), 'change', (event) => actions.choose('level', value(event)));
  on($('think'), 'change', (event) => actions.choose('think', value(event)));
  on($('numbers'), 'change', (event) => actions.choose('numbers', event.target.checked));
  on($('show-line'), 'change', (event) => actions.choose('showLine', event.target.checked));
  for (const field of ['colour', 'turn', 'you']) {
    for (const radio of doc.querySelectorAll(`input[name="setup-${field}"]`)) {
      on(radio, 'change', (event) => actions.setSetup(field, value(event)));
    }
  }
  return () => unbinders.forEach((unbind) => unbind());
}
