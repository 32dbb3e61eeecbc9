#!/usr/bin/env python3
"""Protocol check: scripted sessions through one engine command line, driven as a manager
drives it, every reply compared exactly, line ends included, and exit status 0 at END and
at the end of input.

Made for the Windows build under Wine, where the C runtime differs (text-mode pipes turn
CR LF into LF, take a 0x1A byte for the end of input, write CR LF), and it runs the same
on the Linux build:

    tools/protocol_check.py --engine "wine64 build/windows/pbrain-quillmot.exe" --line-end crlf
    tools/protocol_check.py --engine build/release/pbrain-quillmot --line-end lf

Prints one line a session and "N passed, N failed"; exits 1 when a session failed.
"""
import argparse
import os
import re
import sys
import time

sys.dont_write_bytecode = True  # no cache files beside the tools
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from soak import MOVE, Engine, Fault  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
BAD_COORDINATES = "ERROR bad coordinates"
BAD_STONE = "ERROR x,y,who or DONE expected"
RULE_NOTICE = ("MESSAGE Quillmot plays free-style only (five or more in a row wins); rule 4 is "
               "not supported")
FIRST_REPLY_S = 30  # a first start of Wine on a busy machine
REPLY_S = 15


def about_text():
    """The banner as the front end defines it, so that the check follows its version."""
    with open(os.path.join(ROOT, "protocol", "front_end.h")) as source:
        match = re.search(r'ABOUT_TEXT\s*=\s*((?:\s*"(?:[^"\\]|\\.)*")+);', source.read())
    pieces = re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1))
    return "".join(pieces).replace('\\"', '"')


class Move:
    """Any move on a width by height board, off the given stones."""

    def __init__(self, width, height, taken=()):
        self.width, self.height, self.taken = width, height, set(taken)

    def matches(self, reply):
        match = MOVE.match(reply)
        if not match:
            return False
        x, y = int(match.group(1)), int(match.group(2))
        return x < self.width and y < self.height and (x, y) not in self.taken

    def __repr__(self):
        return f"a move on {self.width}x{self.height}"


class Swap2:
    """A Swap2 choice: SWAP (when allowed) or as many distinct squares of 15 by 15 as one
    of counts, off the block's stones."""

    def __init__(self, counts, stones=(), swap=True):
        self.counts, self.stones, self.swap = counts, set(stones), swap

    def matches(self, reply):
        if reply == "SWAP":
            return self.swap
        squares = reply.split(" ")
        fresh = set(squares) - self.stones
        return (len(squares) in self.counts and len(fresh) == len(squares) and
                all(Move(15, 15).matches(square) for square in squares))

    def __repr__(self):
        return f"a Swap2 choice of {self.counts} squares"


def lines(*texts, end="\r\n"):
    return "".join(text + end for text in texts).encode()


def board(stones, last="DONE"):
    return lines("BOARD", *(f"{x},{y},{who}" for x, y, who in stones), last)


# Play order, ending with the opponent's stone: its four on row 10 is open only at 14,10,
# so the one move that does not lose is there (the engine's own three is too slow).
FORCED_BLOCK = [(9, 10, 1), (10, 10, 2), (5, 5, 1), (11, 10, 2), (5, 6, 1), (12, 10, 2),
                (5, 7, 1), (13, 10, 2)]
INFO_KEYS = lines("INFO timeout_turn 1000", "INFO timeout_match 120000",
                  "INFO max_memory 367001600", "INFO time_left 120000", "INFO game_type 1",
                  "INFO rule 0")

# Each session: a name, its steps (bytes written at once, the replies expected, in order),
# and how it ends: "END" (sent, then exit) or "EOF" (standard input closed, then exit).
SESSIONS = [
    ("set-up, INFO keys, ABOUT, BOARD, error lines", [
        (lines("START 15"), ["OK"]),
        (INFO_KEYS + lines("ABOUT"), ["<about>"]),  # INFO has no reply
        (lines("START 20"), ["OK"]),
        (board(FORCED_BLOCK), ["14,10"]),
        (lines("TURN 20,5"), [BAD_COORDINATES]),
        (lines("TURN 14,10"), [BAD_COORDINATES]),
        (lines("HELLO"), ["UNKNOWN command"]),
        (lines("START 33"), ["ERROR size of the board"]),
    ], "END"),
    ("line ends LF and CR LF, 0x1A bytes inside the input", [
        (b"START 15\n", ["OK"]),
        (b"\x1a\r\n", ["UNKNOWN command"]),
        (b"ABOUT\x1a\r\n", ["<about>"]),
        (b"PLAY 3,4\r\n", ["3,4"]),
        (b"\x1aEND\r\n", ["UNKNOWN command"]),
        (b"RECTSTART 20,12\r\n", ["OK"]),
        (b"BEGIN\n", ["10,6"]),
    ], "END"),
    ("BOARD ended by a line that is no stone line, then the move", [
        (lines("START 15", "INFO timeout_turn 500"), ["OK"]),
        (board([(7, 7, 1), (8, 8, 2)], last="99,99"),
         [BAD_STONE, Move(15, 15, [(7, 7), (8, 8)])]),
    ], "END"),
    ("BOARD with a stone the engine cannot place: no move", [
        (lines("START 15"), ["OK"]),
        (board([(7, 7, 1), (8, 8, 2)], last="9,9,3") + lines("1,1,1", "DONE", "ABOUT"),
         [BAD_STONE, "<about>"]),
    ], "END"),
    ("SWAP2BOARD, and a rule the engine does not play", [
        (lines("INFO rule 4", "START 15"), [RULE_NOTICE, "OK"]),
        (lines("INFO timeout_turn 0", "SWAP2BOARD", "DONE"), [Swap2((3,), swap=False)]),
        (lines("SWAP2BOARD", "7,7", "8,7", "9,9", "DONE"), [Swap2((1, 2), ["7,7", "8,7", "9,9"])]),
        (lines("SWAP2BOARD", "7,7", "7,7", "9,9", "DONE"), ["ERROR SWAP2BOARD 7,7 is taken"]),
    ], "END"),
    ("END while a turn runs: the exit at once, without the move", [
        (lines("START 15", "INFO timeout_turn 60000"), ["OK"]),
        (board([(7, 7, 1), (8, 8, 2)]) + lines("END"), []),
    ], "exit"),
    ("end of input after a reply", [
        (lines("START 15"), ["OK"]),
    ], "EOF"),
    ("end of input inside a line", [
        (lines("START 15") + b"ABO", ["OK"]),
    ], "EOF"),
]


def run_session(command, line_end, steps, ending):
    about = about_text()
    engine = Engine(command, "engine")
    try:
        first = True
        for data, expected in steps:
            engine.send_bytes(data)
            for want in expected:
                raw = engine.read_raw_line(FIRST_REPLY_S if first else REPLY_S)
                first = False
                if not raw.endswith(line_end) or b"\r" in raw[:-len(line_end)]:
                    raise Fault(f"line end of {raw!r} is not {line_end!r}")
                reply = raw[:-len(line_end)].decode(errors="replace")
                want = about if want == "<about>" else want
                ok = want.matches(reply) if isinstance(want, (Move, Swap2)) else reply == want
                if not ok:
                    raise Fault(f"after {data[-40:]!r}: expected {want!r}, got {reply!r}")
        if ending == "END":
            engine.end()
        elif ending == "EOF":
            engine.close_input()
            engine.expect_exit("at the end of input")
        else:
            engine.expect_exit("after END")
    finally:
        engine.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--engine", required=True, help="the engine's command line")
    parser.add_argument("--line-end", choices=["lf", "crlf"], required=True,
                        help="the line end every reply must have")
    args = parser.parse_args()
    line_end = b"\r\n" if args.line_end == "crlf" else b"\n"

    failed = 0
    for name, steps, ending in SESSIONS:
        started = time.monotonic()
        try:
            run_session(args.engine, line_end, steps, ending)
            print(f"ok     {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Fault as fault:
            failed += 1
            print(f"FAILED {name}: {fault}", flush=True)
    print(f"protocol: {len(SESSIONS) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
