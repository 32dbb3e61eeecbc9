#!/usr/bin/env python3
"""Soak test: complete games between two pbrain-quillmot processes, driven as a
tournament manager drives them, with every reply checked.

Each side is a command line, so the two can differ: the Linux build against the Windows
one under Wine, say (--engine-a build/release/pbrain-quillmot --engine-b "wine64
build/windows/pbrain-quillmot.exe"). Replies may end in LF or CR LF.

Each game starts both engines with START, sets the time with INFO, gives the first
mover a varied opening with BOARD, the second mover that opening plus the first reply,
and then passes moves with TURN until a five or a full board; END must then end both
processes with exit status 0. A reply must be one well-formed move on an empty square of
the board, within the turn limit plus a small tolerance. Colours alternate between
games; two games run at a time. Each game draws its board size from --sizes and, when
--turn-ms is a range such as 200-500, its turn limit from that range.

With --opening swap2 the engines make the opening themselves by the Swap2 rule, through
SWAP2BOARD: the first places three stones, the second swaps, places the fourth or places
two more, and then the first chooses; each choice must be well formed, on empty squares
and within the turn limit. The summary counts the choices and gives the slowest against
its turn limit.

    tools/soak.py [--engine CMD | --engine-a CMD --engine-b CMD] [--games N] [--parallel N]
                  [--turn-ms MS | --turn-ms MIN-MAX] [--sizes 15,20] [--tolerance-ms MS] [--seed N]
                  [--opening random | swap2]

Prints one line a game and a summary with every fault and the latest reply against its
turn limit; exits 1 when there was a fault.
"""
import argparse
import concurrent.futures
import os
import random
import re
import select
import shlex
import subprocess
import sys
import time

MOVE = re.compile(r"^(\d+),(\d+)$")
TOLERANCE_MS = 250  # default: the reply's way through the pipes and a loaded machine


class Fault(Exception):
    pass


class Engine:
    def __init__(self, command, name):
        self.name = name
        # A path to a program as it is (it may hold spaces), otherwise a command line.
        argv = [command] if os.path.isfile(command) else shlex.split(command)
        self.proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, bufsize=0)
        self.pending = b""

    def send(self, line):
        self.send_bytes((line + "\n").encode())

    def send_bytes(self, data):
        try:
            self.proc.stdin.write(data)
            self.proc.stdin.flush()
        except BrokenPipeError:
            raise Fault(f"{self.name}: engine closed its input (exit {self.proc.poll()})")

    def read_raw_line(self, timeout_s):
        """The next line as written, with its line end."""
        deadline = time.monotonic() + timeout_s
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0:
                raise Fault(f"{self.name}: no reply within {timeout_s:.1f} s")
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if ready:
                chunk = os.read(self.proc.stdout.fileno(), 4096)
                if not chunk:
                    raise Fault(f"{self.name}: output closed (exit {self.proc.poll()})")
                self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\n")
        return line + b"\n"

    def read_line(self, timeout_s):
        """The next line without its line end, LF or CR LF."""
        line = self.read_raw_line(timeout_s).removesuffix(b"\n").removesuffix(b"\r")
        return line.decode(errors="replace")

    def expect_ok(self):
        line = self.read_line(10)
        if line != "OK":
            raise Fault(f"{self.name}: expected OK, got {line!r}")

    def end(self):
        self.send("END")
        self.expect_exit("after END")

    def close_input(self):
        self.proc.stdin.close()

    def expect_exit(self, when):
        """Exit status 0 within 10 s, nothing more on standard output, nothing ever on
        standard error."""
        try:
            status = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Fault(f"{self.name}: did not exit {when}")
        extra = self.pending + self.proc.stdout.read()
        errors = self.proc.stderr.read()
        if status != 0:
            raise Fault(f"{self.name}: exit status {status} {when}")
        if extra.strip():
            raise Fault(f"{self.name}: unexpected output {when}: {extra!r}")
        if errors:
            raise Fault(f"{self.name}: wrote to standard error: {errors[:200]!r}")

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def makes_five(board, size, x, y, who):
    for dx, dy in ((1, 0), (0, 1), (1, 1), (1, -1)):
        run = 1
        for sign in (1, -1):
            cx, cy = x + sign * dx, y + sign * dy
            while 0 <= cx < size and 0 <= cy < size and board.get((cx, cy)) == who:
                run += 1
                cx, cy = cx + sign * dx, cy + sign * dy
        if run >= 5:
            return True
    return False


def swap2_opening(ask_swap2, first):
    """The opening by the Swap2 rule between engine `first` and the other: the stones in play
    order with their colours, which engine plays which colour, and the choices made."""
    second = 1 - first
    stones = ask_swap2(first, [], 3, swap=False)
    choices = []
    reply = ask_swap2(second, stones, 2)
    if reply is None:  # the second takes black: the first plays white's fourth stone
        choices.append("3: swap")
        colours = {second: 0, first: 1}
    elif len(reply) == 1:  # the second takes white and has placed the fourth
        choices.append("3: fourth stone")
        stones += reply
        colours = {first: 0, second: 1}
    else:  # two more stones, and the first chooses
        choices.append("3: two more")
        stones += reply
        reply = ask_swap2(first, stones, 1)
        if reply is None:
            choices.append("5: swap")
            colours = {first: 0, second: 1}
        else:
            choices.append("5: sixth stone")
            stones += reply
            colours = {second: 0, first: 1}
    return [(square, i % 2) for i, square in enumerate(stones)], colours, choices


def play_game(args, number):
    rng = random.Random(args.seed * 1000 + number)
    size = rng.choice(args.sizes)
    low, high = args.turn_range
    turn_ms = rng.randint(low, high) if low < high else low
    first = number % 2  # which process moves first alternates
    engines = [Engine(args.engine_a, "A"), Engine(args.engine_b, "B")]
    board = {}
    moves = 0
    slowest = {"A": 0.0, "B": 0.0}
    latest = -float("inf")  # the reply that came closest to its turn limit, or past it: ms past
    slowest_choice = -float("inf")  # the same for the Swap2 choices
    choices = []
    try:
        for engine in engines:
            engine.send(f"START {size}")
            engine.expect_ok()
            for info in (f"INFO timeout_turn {turn_ms}", "INFO timeout_match 0",
                         "INFO max_memory 0", "INFO rule 0", "INFO time_left 2147483647"):
                engine.send(info)

        def ask_swap2(engine_index, stones, most, swap=True):
            """A SWAP2BOARD choice on the stones: None for SWAP, else the squares placed."""
            nonlocal slowest_choice
            engine = engines[engine_index]
            started = time.monotonic()
            for line in ["SWAP2BOARD"] + [f"{x},{y}" for x, y in stones] + ["DONE"]:
                engine.send(line)
            reply = engine.read_line(turn_ms / 1000 + 10)
            elapsed = (time.monotonic() - started) * 1000
            slowest_choice = max(slowest_choice, elapsed - turn_ms)
            if elapsed > turn_ms + args.tolerance_ms:
                raise Fault(f"{engine.name}: late Swap2 choice after {elapsed:.0f} ms")
            if reply == "SWAP" and swap:
                return None
            squares = []
            for word in reply.split(" "):
                match = MOVE.match(word)
                if not match:
                    raise Fault(f"{engine.name}: malformed Swap2 choice {reply!r}")
                square = (int(match.group(1)), int(match.group(2)))
                if not (0 <= square[0] < size and 0 <= square[1] < size) or \
                        square in stones or square in squares:
                    raise Fault(f"{engine.name}: Swap2 choice on a taken square: {reply!r}")
                squares.append(square)
            if not (1 <= len(squares) <= most and (swap or len(squares) == most)):
                raise Fault(f"{engine.name}: Swap2 choice of {len(squares)} stones: {reply!r}")
            return squares

        if args.opening == "swap2":
            opening, colour_of, choices = swap2_opening(ask_swap2, first)
        else:
            # A varied opening of 2 to 5 stones near the centre, in play order.
            opening = []
            centre = size // 2
            while len(opening) < rng.randint(2, 5):
                square = (centre + rng.randint(-3, 3), centre + rng.randint(-3, 3))
                if square not in [s for s, _ in opening]:
                    opening.append((square, len(opening) % 2))
            to_move = len(opening) % 2  # colour of the next stone
            colour_of = {first: to_move, 1 - first: 1 - to_move}
        for square, who in opening:
            board[square] = who

        def ask(engine_index, lines):
            nonlocal moves, slowest, latest
            engine = engines[engine_index]
            started = time.monotonic()
            for line in lines:
                engine.send(line)
            reply = engine.read_line(turn_ms / 1000 + 10)
            elapsed = (time.monotonic() - started) * 1000
            slowest[engine.name] = max(slowest[engine.name], elapsed)
            latest = max(latest, elapsed - turn_ms)
            match = MOVE.match(reply)
            if not match:
                raise Fault(f"{engine.name}: malformed reply {reply!r}")
            x, y = int(match.group(1)), int(match.group(2))
            if not (0 <= x < size and 0 <= y < size) or (x, y) in board:
                raise Fault(f"{engine.name}: illegal move {x},{y}")
            if elapsed > turn_ms + args.tolerance_ms:
                raise Fault(f"{engine.name}: late move after {elapsed:.0f} ms")
            moves += 1
            return x, y

        def board_lines(stones, mover_colour):
            # who is 1 for the receiving engine's own stones, 2 for the opponent's.
            return (["BOARD"] + [f"{x},{y},{1 if c == mover_colour else 2}" for (x, y), c in stones]
                    + ["DONE"])

        history = list(opening)
        current = first if colour_of[first] == len(opening) % 2 else 1 - first
        started_engines = set()
        last = None
        while True:
            colour = colour_of[current]
            if current not in started_engines:
                lines = board_lines(history, colour)
                started_engines.add(current)
            else:
                lines = [f"TURN {last[0]},{last[1]}"]
            x, y = ask(current, ["INFO time_left 2147483647"] + lines)
            board[(x, y)] = colour
            history.append(((x, y), colour))
            last = (x, y)
            if makes_five(board, size, x, y, colour):
                result = f"five by {engines[current].name}"
                winner = engines[current].name
                break
            if len(board) == size * size:
                result, winner = "full board", None
                break
            current = 1 - current
        for engine in engines:
            engine.end()
        return {"number": number, "size": size, "turn_ms": turn_ms, "moves": moves,
                "result": result, "winner": winner, "slowest": slowest, "latest": latest,
                "choices": choices, "slowest_choice": slowest_choice, "fault": None}
    except Fault as fault:
        return {"number": number, "size": size, "turn_ms": turn_ms, "moves": moves,
                "result": "fault", "winner": None, "slowest": slowest, "latest": latest,
                "choices": choices, "slowest_choice": slowest_choice, "fault": str(fault)}
    finally:
        for engine in engines:
            engine.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    default_engine = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build",
                                  "release", "pbrain-quillmot")
    parser.add_argument("--engine", default=default_engine, help="command line of both sides")
    parser.add_argument("--engine-a", help="command line of side A (default: --engine)")
    parser.add_argument("--engine-b", help="command line of side B (default: --engine)")
    parser.add_argument("--games", type=int, default=60)
    parser.add_argument("--parallel", type=int, default=2)
    parser.add_argument("--turn-ms", default="1000",
                        help="turn limit in ms, or MIN-MAX to draw one per game")
    parser.add_argument("--sizes", default="15,15,20",
                        help="board sizes to draw from, one per game (repeat a size to weight it)")
    parser.add_argument("--tolerance-ms", type=int, default=TOLERANCE_MS,
                        help="how late past the turn limit a reply may come")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--opening", choices=["random", "swap2"], default="random",
                        help="a random opening by BOARD, or one the engines make by Swap2")
    args = parser.parse_args()
    args.engine_a = args.engine_a or args.engine
    args.engine_b = args.engine_b or args.engine
    try:
        bounds = [int(v) for v in args.turn_ms.split("-")]
        args.turn_range = (bounds[0], bounds[-1])
        args.sizes = [int(v) for v in args.sizes.split(",")]
    except ValueError:
        parser.error("--turn-ms takes MS or MIN-MAX, --sizes a list such as 15,20")
    if (len(bounds) > 2 or not 0 < args.turn_range[0] <= args.turn_range[1]
            or not all(5 <= size <= 32 for size in args.sizes)):
        parser.error("--turn-ms takes MS or MIN-MAX above 0, --sizes sizes from 5 to 32")
    print(f"A: {args.engine_a}\nB: {args.engine_b}", flush=True)

    started = time.monotonic()
    results = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.parallel) as pool:
        for result in pool.map(lambda n: play_game(args, n), range(args.games)):
            results.append(result)
            print(f"game {result['number']:3d}  {result['size']}x{result['size']}  "
                  f"{result['turn_ms']:4d} ms  "
                  f"{result['moves']:3d} moves  slowest A {result['slowest']['A']:5.0f} ms "
                  f"B {result['slowest']['B']:5.0f} ms  "
                  f"{result['fault'] or result['result']}", flush=True)

    faults = [r for r in results if r["fault"]]
    wins = {"A": 0, "B": 0}
    for r in results:
        if r["winner"]:
            wins[r["winner"]] += 1
    print(f"\ngames {len(results)}, moves {sum(r['moves'] for r in results)}, "
          f"wins A {wins['A']} B {wins['B']}, draws "
          f"{sum(1 for r in results if r['result'] == 'full board')}, faults {len(faults)}, "
          f"slowest reply A {max((r['slowest']['A'] for r in results), default=0):.0f} ms "
          f"B {max((r['slowest']['B'] for r in results), default=0):.0f} ms, latest reply "
          f"{max((r['latest'] for r in results), default=0):+.0f} ms against its turn limit "
          f"{args.turn_ms} ms (tolerance {args.tolerance_ms} ms), "
          f"{time.monotonic() - started:.0f} s")
    if args.opening == "swap2":
        counts = {}
        for r in results:
            for choice in r["choices"]:
                counts[choice] = counts.get(choice, 0) + 1
        print("Swap2 choices: " + ", ".join(f"{c} {n}" for c, n in sorted(counts.items())) +
              f"; slowest choice {max((r['slowest_choice'] for r in results), default=0):+.0f} "
              "ms against its turn limit")
    for r in faults:
        print(f"fault in game {r['number']}: {r['fault']}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
