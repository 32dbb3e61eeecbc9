#!/usr/bin/python3
"""The web page in headless Chromium, driven through Selenium as a person would use it.

Plays a whole game on 15 by 15 at full strength by clicking squares and checks, after every
engine move, that exactly the person's stone and one engine stone of the right colour on an
empty square were added; checks the announced result and its line, take back, new game, the
engine moving first, harmless clicks on taken squares and during a search; measures how long
a 1 s move takes to appear on screen. Then what a person does beyond playing: a change of
level, the engine's view and its expected line, a hint, the move list and copying the game,
the game in the address (a reload, Back, bad addresses), review, Stop, Continue from here
within the window, the arrow keys after a click, set-up with analysis and play from there,
a move by keyboard alone, labels, and a phone-sized screen with the board kept still. Screenshots of
the main moments go to build/browser/. Then compares the WebAssembly module with the native
quillmot-bench: the same positions searched to the same depth give the same move and node
count, and the levels of play the same move for the same seed.

Run by tools/test-browser.sh, which builds what it needs.
"""
import argparse
import functools
import http.server
import json
import os
import re
import subprocess
import sys
import threading
import time
import traceback

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

WEB = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIRECTIONS = [(1, 0), (0, 1), (1, 1), (1, -1)]
DISCS = "\u25cf\u25cb"  # the move list's black and white discs
# Positions of quillmot-bench and the depth to search them to: the largest search gives
# the speed figure.
COMPARED = [("mid15a", 7), ("quiet15", 9), ("mid20b", 8), ("big32a", 9), ("mid15d", 9)]
# A game whose sixth move (white A15) lets black's open three become a four: a blunder.
FULL = 8  # the level number of full strength
KNOWN_BLUNDER = "size=15&you=white&opponent=8&moves=H8,I7,H7,I8,H6,A15,H5,A14,H4"
# A game of 60 moves between two Strong players, reviewed for the review's time in the page.
SIXTY_MOVES = ("7,7 7,8 8,6 6,7 5,6 9,6 6,6 8,8 6,8 5,9 7,5 8,7 7,6 4,6 10,5 6,9 5,10 9,5 8,3 7,4 "
               "8,4 9,3 9,4 7,2 5,5 5,4 4,5 8,5 3,5 6,5 10,7 8,9 4,4 3,3 1,5 2,5 12,7 11,6 7,9 8,10 "
               "8,11 5,3 6,3 10,8 11,7 9,8 11,8 13,7 9,10 10,9 4,8 5,7 12,9 9,9 9,7 12,6 10,4 4,7 5,8 2,8")
# Positions, levels and seeds whose level moves are compared.
LEVEL_COMPARED = [("mid15a", 1, 11), ("mid20b", 2, 12), ("mid15d", 4, 13), ("big32a", 6, 14), ("fours7", 7, 15)]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(directory):
    handler = functools.partial(QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Page:
    """The page as a person sees it: the stones on the board, the status, the controls."""

    def __init__(self, driver):
        self.driver = driver

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def phase(self):
        return self.js("return document.body.dataset.phase")

    def wait_for(self, phases, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            phase = self.phase()
            if phase in phases:
                return phase
            if phase == "error":
                raise AssertionError("page error: " + self.status())
            time.sleep(0.02)
        raise AssertionError(f"still {self.phase()!r} after {timeout} s, waiting for {phases}")

    def stones(self):
        """{(x, y): player} of the stones drawn on the board."""
        found = self.js("return [...document.querySelectorAll('#stones .stone')]"
                        ".map(e => [+e.dataset.x, +e.dataset.y, +e.dataset.player])")
        return {(x, y): p for x, y, p in found}

    def marks(self, cls):
        found = self.js(f"return [...document.querySelectorAll('#marks .{cls}')]"
                        ".map(e => [+e.dataset.x, +e.dataset.y])")
        return {(x, y) for x, y in found}

    def status(self):
        return self.driver.find_element(By.ID, "status").text

    def click(self, x, y):
        self.driver.find_element(By.CSS_SELECTOR, f'.spot[data-x="{x}"][data-y="{y}"]').click()

    def button(self, name):
        return self.driver.find_element(By.ID, name)

    def choose(self, control, value):
        Select(self.driver.find_element(By.ID, control)).select_by_value(str(value))

    def board_size(self):
        return self.js("const b = document.getElementById('board').viewBox.baseVal;"
                       "return [document.querySelectorAll('.spot').length, b.width, b.height]")

    def new_game(self):
        self.button("new-game").click()
        return self.wait_for({"person", "over"})

    def text(self, name):
        return self.driver.find_element(By.ID, name).text

    def line_stones(self):
        """[(x, y, player, number)] of the expected line drawn on the board."""
        return [tuple(s) for s in self.js("return [...document.querySelectorAll('#line .line-stone')]"
                                          ".map(e => [+e.dataset.x, +e.dataset.y, +e.dataset.player, +e.dataset.move])")]

    def record(self):
        """The move list as shown: [(number, disc, square name)], and the marked entry."""
        items = self.js("return [...document.querySelectorAll('#record li:not(.variation)')].map(li => li.innerText)")
        current = self.js("const c = document.querySelector('#record li[aria-current]');"
                          "return c ? [...c.parentNode.querySelectorAll('li:not(.variation)')].indexOf(c) : -1")
        return [tuple(re.fullmatch(r"(\d+)\. (\S) (\w+)(?: .+)?", t).groups()) for t in items], current

    def variations(self):
        """The variations of the move list: [[square names]]."""
        return self.js("return [...document.querySelectorAll('#record li.variation')]"
                       ".map(v => [...v.querySelectorAll('[data-shows]')].map(m => m.textContent.split(' ')[2]))")

    def address(self):
        return self.js("return location.hash")

    def play(self, square):
        """The person's move, and the engine's reply: the stones after it."""
        self.click(*square)
        self.wait_for({"person", "over"})
        return self.stones()

    def until(self, test, what, timeout=60):
        end = time.time() + timeout
        while not test():
            assert time.time() < end, f"no {what} after {timeout} s"
            time.sleep(0.02)

    def tick(self, name, on):
        box = self.driver.find_element(By.ID, name)
        if box.is_selected() != on:
            box.click()


def run_length(stones, x, y, dx, dy, player):
    n = 0
    while stones.get((x + (n + 1) * dx, y + (n + 1) * dy)) == player:
        n += 1
    return n


def fives_through(stones, x, y):
    """The squares of every run of five or more through (x, y)."""
    player = stones[(x, y)]
    squares = set()
    for dx, dy in DIRECTIONS:
        back = run_length(stones, x, y, -dx, -dy, player)
        ahead = run_length(stones, x, y, dx, dy, player)
        if back + ahead + 1 >= 5:
            squares |= {(x + d * dx, y + d * dy) for d in range(-back, ahead + 1)}
    return squares


def person_policy(stones, me, size):
    """The empty square next to a stone that makes the person's longest line, nearest
    the centre on a tie."""
    best, best_score = (size // 2, size // 2), None
    for x in range(size):
        for y in range(size):
            if (x, y) in stones:
                continue
            if not any((x + dx, y + dy) in stones for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                continue
            line = max(run_length(stones, x, y, dx, dy, me) + run_length(stones, x, y, -dx, -dy, me)
                       for dx, dy in DIRECTIONS)
            score = line * 100 - abs(x - size // 2) - abs(y - size // 2)
            if best_score is None or score > best_score:
                best, best_score = (x, y), score
    return best


def square_name(square, height):
    x, y = square
    column = chr(65 + x) if x < 26 else "A" + chr(65 + x - 26)
    return f"{column}{height - y}"


class BrowserTest:
    def __init__(self, page, out, only=None):
        self.page = page
        self.out = out
        self.only = only
        self.left_game = None  # the address a puzzle was first opened from
        self.passed = 0
        self.failed = 0

    def check(self, name, test):
        if self.only and self.only not in name and name != "the page loads the engine":
            return
        started = time.time()
        try:
            test()
            self.passed += 1
            print(f"  ok    {name} ({time.time() - started:.1f} s)", flush=True)
        except Exception as error:  # every failure is reported, the next check still runs
            self.failed += 1
            where = next(f for f in reversed(traceback.extract_tb(error.__traceback__)) if f.filename == __file__)
            print(f"  FAIL  {name}: line {where.lineno}: {type(error).__name__} {error}", flush=True)
            self.page.driver.save_screenshot(os.path.join(self.out, "failure.png"))

    def screenshot(self, name):
        self.page.driver.save_screenshot(os.path.join(self.out, name + ".png"))

    # ---- A whole game ----

    def whole_game(self):
        page = self.page
        # The checks of the engine's own moves and of their timing are made at full strength.
        page.choose("level", FULL)
        page.choose("size", 15)
        page.choose("first", "person")
        page.choose("think", 500)
        assert page.new_game() == "person"
        assert page.board_size()[0] == 225, page.board_size()
        assert page.stones() == {}, page.stones()
        me, engine = 0, 1
        taken_back = False
        for turn in range(1, 113):
            before = page.stones()
            x, y = person_policy(before, me, 15)
            page.click(x, y)
            if turn == 2:
                # A click while the engine thinks is ignored. The search may end at any
                # moment, so the page is asked to click only while it is still thinking.
                page.wait_for({"thinking"}, timeout=5)
                spare = next((sx, 0) for sx in range(15) if (sx, 0) not in before)
                assert page.js("""
                    if (document.body.dataset.phase !== 'thinking') return false;
                    document.querySelector(`.spot[data-x="${arguments[0]}"][data-y="${arguments[1]}"]`)
                        .dispatchEvent(new MouseEvent('click', {bubbles: true}));
                    return true;""", *spare), "the search ended before the second click"
            phase = page.wait_for({"person", "over"})
            after = page.stones()
            added = {s: p for s, p in after.items() if s not in before}
            assert all(after.get(s) == p for s, p in before.items()), f"turn {turn}: a stone changed"
            assert added.get((x, y)) == me, f"turn {turn}: the person's stone at {x},{y} is missing"
            del added[(x, y)]
            if phase == "over" and fives_through(after, x, y):
                assert not added, f"turn {turn}: the engine moved after the person's five"
                return after, (x, y), before
            assert len(added) == 1, f"turn {turn}: engine stones added: {added}"
            (square, player), = added.items()
            assert player == engine, f"turn {turn}: the engine's stone has the person's colour"
            assert page.marks("last-mark") == {square}, f"turn {turn}: last move mark not on {square}"
            if turn == 2:
                self.screenshot("opening")
                # A click on a taken square does nothing.
                page.click(x, y)
                assert page.phase() == "person" and page.stones() == after, "a click on a taken square"
            if phase == "over":
                return after, square, before
            if turn >= 5 and not taken_back:
                self.screenshot("middle")
                page.button("take-back").click()
                page.wait_for({"person"})
                assert page.stones() == before, "take back did not restore the position before the last pair"
                taken_back = True
        raise AssertionError("no five after 112 moves of the person")

    def result(self, stones, last, before):
        page = self.page
        assert page.phase() == "over", page.phase()
        five = page.marks("five-mark")
        expected = fives_through(stones, *last)
        assert len(expected) >= 5, f"no five through the last stone {last}"
        assert five == expected, f"highlighted {sorted(five)}, the board has {sorted(expected)}"
        status = page.status()
        winner = "You win" if stones[last] == 0 else "Quillmot wins"
        match = re.search(rf"{winner} \((black|white)\): five in a row from (\w+) to (\w+)", status)
        assert match, f"status {status!r}"
        named = {match.group(2), match.group(3)}
        ends = {square_name(s, 15) for s in expected}
        assert named <= ends, f"status names {named}, not squares of the five {ends}"
        self.screenshot("final")
        page.click(*next((x, y) for x in range(15) for y in range(15) if (x, y) not in stones))
        assert page.stones() == stones, "a click after the end placed a stone"
        # Take back at the end: the person's last stone and the reply that won, if any.
        page.button("take-back").click()
        page.wait_for({"person"})
        assert page.stones() == before and page.marks("five-mark") == set(), "take back after the end"

    def new_games(self):
        page = self.page
        assert page.new_game() == "person"
        assert page.stones() == {} and page.marks("five-mark") == set() and page.marks("last-mark") == set()
        assert page.status().startswith("Your move"), page.status()
        # The engine first: it opens in the centre, and there is nothing of the person's
        # to take back.
        page.choose("first", "engine")
        assert page.wait_for({"person"}) == "person"
        assert page.stones() == {(7, 7): 0}, page.stones()
        assert not page.button("take-back").is_enabled()
        page.choose("size", 20)
        page.wait_for({"person"})
        assert page.stones() == {(10, 10): 0}, page.stones()
        assert page.board_size() == [400, 672, 672], page.board_size()
        # A new game while the engine thinks replaces the search.
        page.choose("first", "person")
        page.wait_for({"person"})
        page.choose("level", FULL)
        page.choose("think", 10000)
        page.click(10, 10)
        page.wait_for({"thinking"}, timeout=5)
        started = time.time()
        assert page.new_game() == "person"
        assert page.stones() == {}, page.stones()
        assert time.time() - started < 5, "the new game waited for the search"
        # Stop during the engine's move takes back the move it answers, at once.
        page.click(10, 10)
        page.wait_for({"thinking"}, timeout=5)
        started = time.time()
        page.button("stop").click()
        page.wait_for({"person"})
        assert page.stones() == {} and time.time() - started < 5, page.stones()
        assert not page.button("stop").is_displayed() and "Stopped" in page.status(), page.status()
        page.choose("size", 15)
        page.wait_for({"person"})

    def one_second_move(self):
        """Milliseconds from the person's click to the engine's reply painted on screen,
        with a 1 s thinking time."""
        page = self.page
        page.choose("think", 1000)
        page.new_game()
        page.driver.set_script_timeout(30)
        ms = page.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const stones = document.getElementById('stones');
            const count = () => stones.querySelectorAll('.stone').length;
            const target = count() + 2;
            const started = performance.now();
            const watch = new MutationObserver(() => {
              if (count() < target) return;
              watch.disconnect();
              requestAnimationFrame(() => requestAnimationFrame(() => done(performance.now() - started)));
            });
            watch.observe(stones, {childList: true});
            document.querySelector('.spot[data-x="7"][data-y="7"]').dispatchEvent(
                new MouseEvent('click', {bubbles: true}));
        """)
        print(f"        a 1 s move appears {ms:.0f} ms after the click")
        assert 500 < ms < 3000, ms

    # ---- What a person does beyond playing ----

    def fresh_game(self, level, you="person"):
        page = self.page
        if page.button("leave-setup").is_displayed():  # left behind by a failed check
            page.button("leave-setup").click()
            page.wait_for({"person", "over"})
        page.choose("level", level)
        page.choose("think", 500)
        page.choose("size", 15)
        page.choose("first", you)
        return page.new_game()

    def engine_reply(self, before, after):
        """The engine's stone among the new ones, and the status naming it."""
        added = [s for s in after if s not in before and after[s] == 1]
        assert len(added) == 1, added
        status = self.page.status()
        assert status.startswith(f"Quillmot played {square_name(added[0], 15)}."), status
        return added[0]

    def level_and_view(self):
        page = self.page
        self.fresh_game(FULL)
        after = page.play((7, 7))
        self.engine_reply({(7, 7): 0}, after)
        view = page.text("view-text")
        standing = (r"In its eyes (the position is even|(Black|White) \((you|Quillmot)\) "
                    r"(stands better|stands much better|has a forced five in about \d+ moves?))\.")
        assert "Quillmot (Full strength) played" in view and re.search(
            r"depth \d+ \(score ([+\u2212]?\d+|(Black|White) forces five in about \d+)\)", view), view
        assert re.search(standing, view), view
        # A weaker level from the next move on, in the same game.
        page.choose("level", 1)
        before = page.stones()
        after = page.play(person_policy(before, 0, 15))
        assert len(after) == len(before) + 2 and all(after[s] == p for s, p in before.items()), "not the same game"
        self.engine_reply(before, after)
        view = page.text("view-text")
        assert "Quillmot (First steps) played" in view and re.search(standing, view), view
        assert re.search(r"&opponent=1&moves=[\w,]+&opponents=8,1$", page.address()), page.address()

    def expected_line(self):
        page = self.page
        self.fresh_game(FULL)
        page.tick("show-line", True)
        stones = page.play((7, 7))
        for _ in range(2):
            line = page.line_stones()
            assert line, "no expected line on the board: " + page.text("view-line")
            assert all((x, y) not in stones for x, y, _, _ in line), f"line {line} on taken squares"
            assert [n for _, _, _, n in line] == list(range(len(stones) + 1, len(stones) + 1 + len(line))), line
            assert [p for _, _, p, _ in line] == [(len(stones) + i) % 2 for i in range(len(line))], line
            named = page.text("view-line")
            assert all(square_name((x, y), 15) in named for x, y, _, _ in line), named
            self.screenshot("expected-line")
            # The person's move takes the line away.
            page.click(*person_policy(stones, 0, 15))
            page.wait_for({"thinking", "person", "over"})
            assert page.phase() != "thinking" or page.line_stones() == [], "the line stayed after the move"
            page.wait_for({"person", "over"})
            stones = page.stones()
        page.tick("show-line", False)

    def hint(self):
        page = self.page
        self.fresh_game(1)
        stones = page.play((7, 7))
        page.button("hint").click()
        page.wait_for({"hinting", "person"})
        page.wait_for({"person"})
        hints = page.marks("hint-mark")
        assert len(hints) == 1, hints
        square = next(iter(hints))
        assert square not in stones and page.stones() == stones, "a hint on a taken square, or a stone played"
        assert page.status().startswith(f"Hint: {square_name(square, 15)}."), page.status()
        view = page.text("view-text")
        assert view.startswith(f"Hint for black: {square_name(square, 15)}") and "depth" in view, view
        self.screenshot("hint")
        page.play(square)
        assert page.stones()[square] == 0 and page.marks("hint-mark") == set(), "the hint mark stayed"

    def record_and_copy(self):
        page = self.page
        self.fresh_game(1)
        stones = {}
        for _ in range(3):
            stones = page.play(person_policy(stones, 0, 15))
        record, current = page.record()
        by_number = sorted(page.js("return [...document.querySelectorAll('#stones .stone')]"
                                   ".map(e => [+e.dataset.move, +e.dataset.x, +e.dataset.y, +e.dataset.player])"))
        assert [(str(n), DISCS[p], square_name((x, y), 15)) for n, x, y, p in by_number] == record, record
        assert current == len(record) - 1, current
        page.js("window.copied = null; navigator.clipboard.writeText = async (text) => { window.copied = text; };")
        page.button("copy").click()
        copied = page.js("return window.copied")
        moves = [f"{n}. {('black', 'white')[DISCS.index(d)]} {name}" for n, d, name in record]
        assert copied and all(m in copied.splitlines() for m in moves) and page.address() in copied, copied

    def address(self):
        page = self.page
        self.fresh_game(1, you="engine")
        stones = page.play(person_policy(page.stones(), 1, 15))
        address, record = page.address(), page.record()
        assert re.fullmatch(r"#size=15&you=white&opponent=1&moves=(\w+,){2}\w+", address), address
        page.driver.refresh()
        page.wait_for({"person"})
        assert (page.address(), page.stones(), page.record()) == (address, stones, record), "the reload changed the game"
        assert "comes with its next move" in page.text("view-text"), page.text("view-text")
        # A new game is a new entry of the history: Back returns to this one.
        page.choose("first", "person")
        page.wait_for({"person"})
        assert page.stones() == {}
        page.driver.back()
        page.wait_for({"loading", "busy", "person"})
        page.wait_for({"person"})
        assert (page.address(), page.stones()) == (address, stones), "Back did not bring the game back"
        # An address that cannot be read: a message and a new game.
        page.choose("first", "person")
        page.wait_for({"person"})
        base = page.driver.current_url.split("#")[0]
        refused = ("#size=15&black=H8,I8&moves=H8", "#size=15&black=H8,I8,I8",
                   "#size=15&black=H8,I8,J8,K8,L8&white=A1")
        for bad in ("#size=15&moves=H8,Z99", "#size=15&moves=H8,H8", "#nonsense", "#size=15&opponent=9") + refused:
            page.driver.get(base + bad)
            end = time.time() + 10
            while page.address() == bad and time.time() < end:
                time.sleep(0.02)
            page.wait_for({"person"})
            notice = page.text("notice")
            assert "could not be read" in notice and page.stones() == {}, (bad, notice, page.stones())
            assert page.address().startswith("#size=15&you=black"), page.address()
        self.screenshot("bad-address")
        page.new_game()
        assert not page.driver.find_element(By.ID, "notice").is_displayed()

    def review(self):
        page = self.page
        self.fresh_game(1)
        stones = {}
        for _ in range(3):
            stones = page.play(person_policy(stones, 0, 15))
        moves = [s for _, s in sorted((n, (x, y)) for (x, y), n in page.js(
            "return [...document.querySelectorAll('#stones .stone')].map(e => [[+e.dataset.x, +e.dataset.y], +e.dataset.move])"))]
        shown = lambda: set(page.stones())
        page.button("review-first").click()
        assert shown() == set() and "Reviewing" in page.status(), page.status()
        page.button("review-forward").click()
        assert shown() == set(moves[:1])
        # The arrow keys step while the board does not have the focus.
        page.js("document.activeElement.blur()")
        ActionChains(page.driver).send_keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.ARROW_LEFT).perform()
        assert shown() == set(moves[:2]), shown()
        assert page.record()[1] == 1, "the list does not mark the reviewed move"
        page.button("review-last").click()
        assert page.stones() == stones and page.status().startswith("Quillmot played")
        page.button("review-first").click()
        for _ in range(4):
            page.button("review-forward").click()
        self.screenshot("review")
        page.button("continue").click()
        page.wait_for({"person"})
        assert shown() == set(moves[:4]) and page.status().startswith("Your move"), page.status()
        assert page.address().endswith(",".join(square_name(m, 15) for m in moves[:4])), page.address()
        # The moves Continue took away stay as a variation; a move while reviewing plays on
        # from the position shown and keeps what followed as another.
        assert page.variations() == [[square_name(m, 15) for m in moves[4:]]], page.variations()
        page.button("review-back").click()
        page.button("review-back").click()
        page.click(0, 0)
        page.wait_for({"person"})
        assert set(page.stones()) - {(0, 0)} > set(moves[:2]) and page.stones()[(0, 0)] == 0, page.stones()
        # The line set aside now holds the one before it whole: one variation from move 3.
        assert page.variations() == [[square_name(m, 15) for m in moves[2:]]], page.variations()

    def review_in_window(self):
        """Continue from here within the window at common desktop sizes; review moves nothing."""
        page = self.page
        driver = page.driver
        self.fresh_game(1)
        page.play((7, 7))
        rect = "return document.getElementById(arguments[0]).getBoundingClientRect().toJSON()"
        try:
            for width, height in ((1280, 900), (1280, 760), (1920, 1080)):
                driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                       {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
                before = page.js(rect, "board")
                page.button("review-back").click()
                board, shown = page.js(rect, "board"), page.js(rect, "continue")
                page.button("review-last").click()
                assert shown["bottom"] <= height, f"{width}x{height}: Continue ends at {shown['bottom']}"
                assert board == before, f"{width}x{height}: the board moved from {before} to {board}"
        finally:
            driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def keys_after_click(self):
        page = self.page
        self.fresh_game(1)
        stones = page.play((7, 7))
        assert page.js("return document.activeElement.id") == "board"
        ActionChains(page.driver).send_keys(Keys.ARROW_LEFT).perform()
        assert "Reviewing" in page.status() and len(page.stones()) == 1, page.status()
        cursor = "return getComputedStyle(document.getElementById('cursor')).visibility"
        assert page.js(cursor) == "hidden", "a cursor the person never asked for"
        ActionChains(page.driver).send_keys(Keys.ARROW_RIGHT, Keys.ENTER).perform()
        page.wait_for({"person"})
        assert page.stones() == stones and page.js(cursor) == "visible", "Enter placed a stone at an unseen cursor"

    def keyboard(self):
        page = self.page
        self.fresh_game(1)
        # Tab from the page's title: the board is the first control.
        page.driver.find_element(By.TAG_NAME, "h1").click()
        ActionChains(page.driver).send_keys(Keys.TAB).perform()
        assert page.js("return document.activeElement.id") == "board", "Tab does not reach the board"
        start = tuple(page.js("const c = document.getElementById('cursor'); return [+c.dataset.x, +c.dataset.y]"))
        ActionChains(page.driver).send_keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.ARROW_UP).perform()
        square = (start[0] + 2, start[1] - 1)
        assert page.js("return getComputedStyle(document.getElementById('cursor')).visibility") == "visible"
        assert square_name(square, 15) in page.driver.find_element(By.ID, "board").get_attribute("aria-label")
        ActionChains(page.driver).send_keys(Keys.ENTER).perform()
        page.wait_for({"person"})
        after = page.stones()
        assert after.get(square) == 0 and len(after) == 2, after
        self.engine_reply({square: 0}, after)
        self.screenshot("keyboard")
        # Every control has a name a screen reader can say.
        unnamed = page.js("""
            return [...document.querySelectorAll('button, select, input')].filter(e => e.offsetParent !== null)
                .filter(e => !((e.labels && [...e.labels].some(l => l.textContent.trim()))
                               || e.getAttribute('aria-label') || e.textContent.trim()))
                .map(e => e.outerHTML.slice(0, 60));""")
        assert not unnamed, unnamed

    def setup_and_analysis(self):
        page = self.page
        self.fresh_game(FULL)
        page.button("setup").click()
        page.wait_for({"setup"})
        page.button("clear-setup").click()
        page.wait_for({"setup"})
        radio = lambda name, value: page.driver.find_element(By.CSS_SELECTOR, f'input[name="{name}"][value="{value}"]').click()
        # Black's four, closed by white at one end, and black to move.
        for x in range(5, 9):
            page.click(x, 4)
            page.wait_for({"setup"})
        radio("setup-colour", 1)
        for square in ((9, 4), (6, 9), (7, 9)):
            page.click(*square)
            page.wait_for({"setup"})
        stones = page.stones()
        assert stones == {**{(x, 4): 0 for x in range(5, 9)}, (9, 4): 1, (6, 9): 1, (7, 9): 1}, stones
        # A five on the board is refused; a click on a stone takes it away.
        radio("setup-colour", 0)
        page.click(4, 4)
        page.wait_for({"setup"})
        page.button("analyse").click()
        assert "five" in page.status() and page.text("view-line") == "", page.status()
        page.click(4, 4)
        page.wait_for({"setup"})
        assert page.stones() == stones
        page.tick("show-line", True)
        page.button("analyse").click()
        page.wait_for({"analysing", "setup"})
        page.wait_for({"setup"})
        view = page.text("view-text")
        assert "the best move for black is E11" in view and "Black has a forced five in about 1 move." in view, view
        assert page.line_stones() == [(4, 4, 0, 1)], page.line_stones()
        self.screenshot("analysis")
        page.tick("show-line", False)
        # Play from here as white: Quillmot, black, is to move and makes its five.
        radio("setup-you", 1)
        page.button("play-here").click()
        page.wait_for({"over"})
        assert page.status() == "Quillmot played E11. Quillmot wins (black): five in a row from E11 to I11.", page.status()
        assert page.record()[0] == [("1", DISCS[0], "E11")], page.record()
        assert re.fullmatch(r"#size=15&black=F11,G11,H11,I11&white=J11,G6,H6&turn=black&you=white&opponent=8&moves=E11",
                            page.address()), page.address()
        colour = lambda: page.js("return getComputedStyle(document.getElementById('status')).color")
        assert colour() == "rgb(160, 24, 24)", colour()
        base = page.driver.current_url.split("#")[0]
        page.driver.get(base + "#size=15&black=A1,B1,C1,D1&white=A3,B3,C3,D3&turn=black&moves=E1")
        page.wait_for({"over"})
        assert page.status().startswith("You win") and colour() == "rgb(23, 105, 43)", (page.status(), colour())

    def phone(self):
        page = self.page
        driver = page.driver
        self.fresh_game(1)
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 390, "height": 844, "deviceScaleFactor": 2, "mobile": True})
        board_top = lambda: page.js("return document.getElementById('board').getBoundingClientRect().top")
        try:
            tops = [board_top()]
            page.play((7, 7))
            tops.append(board_top())
            page.button("review-first").click()
            tops.append(board_top())
            page.driver.get(page.driver.current_url.split("#")[0] + "#size=15&moves=Z1")
            page.wait_for({"person"})
            assert page.driver.find_element(By.ID, "notice").is_displayed()
            tops.append(board_top())
            assert len(set(tops)) == 1, f"the board moved: its top at {tops}"
            page.play((7, 7))
            widths = page.js("""
                const right = Math.max(...[...document.querySelectorAll('button, select, input, #board, #record')]
                    .filter(e => e.offsetParent !== null).map(e => e.getBoundingClientRect().right));
                return [document.documentElement.scrollWidth, innerWidth, right,
                        document.getElementById('board').getBoundingClientRect().width];""")
            scroll, inner, right, board = widths
            assert inner == 390 and scroll <= inner and right <= inner, widths
            assert board >= 0.9 * inner, widths
            self.screenshot("phone")
        finally:
            driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    # ---- Learning from a game ----

    def go_to(self, address, phases):
        page = self.page
        if page.button("leave-setup").is_displayed():
            page.button("leave-setup").click()
            page.wait_for({"person", "over"})
        page.driver.get(page.driver.current_url.split("#")[0] + "#" + address)
        end = time.time() + 10
        while page.address() != "#" + address and time.time() < end:
            time.sleep(0.02)
        return page.wait_for(phases)

    def bar(self):
        return self.page.js("return document.getElementById('eval-bar').dataset.share")

    def live_thinking(self):
        """The view and the bar change at least twice during one 3-second move."""
        page = self.page
        self.fresh_game(FULL)
        page.choose("think", 3000)
        page.click(7, 7)
        page.wait_for({"thinking"}, timeout=5)
        views, shares = [], []
        while page.phase() == "thinking":
            view, share = page.text("view-text"), self.bar()
            if not views or views[-1] != view:
                views.append(view)
            if not shares or shares[-1] != share:
                shares.append(share)
            time.sleep(0.02)
        page.wait_for({"person"})
        page.choose("think", 500)
        thinking = [v for v in views if v.startswith("Thinking: depth")]
        assert len(thinking) >= 2 and len(views) >= 3, views
        assert len(shares) >= 3, shares
        print(f"        {len(thinking)} iterations shown, the bar at {', '.join(shares)}")

    def analysis_three(self):
        """Analysis shows three distinct moves with scores, on the board and listed."""
        page = self.page
        self.go_to("size=15&you=white&level=1&moves=H8,I9,J8", {"person"})
        page.button("setup").click()
        page.wait_for({"setup"})
        page.button("analyse").click()
        page.wait_for({"analysing", "setup"})
        page.wait_for({"setup"})
        stones = page.stones()
        candidates = page.js("return [...document.querySelectorAll('#marks .candidate')]"
                             ".map(c => [+c.dataset.x, +c.dataset.y, c.querySelector('.score').textContent])")
        squares = {(x, y) for x, y, _ in candidates}
        assert len(candidates) == 3 and len(squares) == 3 and not squares & set(stones), candidates
        items = page.js("return [...document.querySelectorAll('#analysis-list li')].map(li => li.textContent)")
        score = r"([+\u2212]?\d+|(Black|White) forces five in about \d+)"
        assert len(items) == 3 and all(re.fullmatch(rf"\w+ \({score}\): [\w ]+", i) for i in items), items
        assert [i.split()[0] for i in items] == [square_name(s[:2], 15) for s in candidates], (items, candidates)
        self.screenshot("analysis-three")
        page.button("leave-setup").click()
        page.wait_for({"person"})

    def native_review(self, bench, line):
        """quillmot-bench review's marks and scores of a game line, per move."""
        out = subprocess.run([bench, "review", line], check=True, capture_output=True, text=True).stdout
        rows = [re.match(r"\s*\d+\. (?:black|white) \S+\s+(\S+) ?(.*?)(?:  better .*)?$", r)
                for r in out.splitlines() if re.match(r"\s*\d+\. ", r)]
        return [(m.group(2).strip(), m.group(1)) for m in rows]

    def review_blunder(self, bench):
        """A game with a known blunder reviewed: its move marked ??, a better move shown and
        played out, the graph a point a move, a click on it showing that move, the same marks
        and scores as quillmot-bench review; then learn from your mistakes."""
        page = self.page
        self.go_to(KNOWN_BLUNDER, {"over"})
        page.button("review-game").click()
        page.wait_for({"reviewing", "over"})
        page.wait_for({"over"}, timeout=120)
        marks = page.js("return [...document.querySelectorAll('#record li:not(.variation)')]"
                        ".map(li => li.querySelector('.mark')?.textContent.trim() ?? '')")
        assert marks[5] == "??", marks
        points = page.js("return [...document.querySelectorAll('#graph .graph-point')]"
                         ".map(p => [+p.dataset.move, p.dataset.mark, p.dataset.score])")
        assert [p[0] for p in points] == list(range(1, 10)), points
        moves = KNOWN_BLUNDER.split("moves=")[1].split(",")
        line = "15 15 " + " ".join(f"{ord(n[0]) - 65},{15 - int(n[1:])}" for n in moves)
        symbols = ["", "?!", "?", "??", "missed win"]
        assert [(symbols[int(m)], score) for _, m, score in points] == self.native_review(bench, line), points
        assert "White: 1 blunder" in page.text("review-summary"), page.text("review-summary")
        page.js("document.querySelector('#graph .graph-move[data-move=\"6\"]')"
                ".dispatchEvent(new MouseEvent('click', {bubbles: true}))")
        assert len(page.stones()) == 6 and "after move 6 of 9" in page.status(), page.status()
        better = page.marks("better-mark")
        assert len(better) == 1 and not better & set(page.stones()), better
        (square,) = better
        view = page.text("view-text")
        assert "was a blunder (??)" in view and f"Better: {square_name(square, 15)}" in view, view
        self.screenshot("review-blunder")
        page.button("play-better").click()
        assert page.variations()[-1][0] == square_name(square, 15), page.variations()
        assert page.stones().get(square) == 1 and len(page.stones()) == 6, page.stones()
        page.button("review-last").click()
        # Learn from your mistakes: the position before the blunder, a losing try refused,
        # the engine's move accepted.
        page.button("learn").click()
        assert "Find a better move for White" in page.status() and len(page.stones()) == 5, page.status()
        for tried, verdict in (((0, 1), "Not quite"), (square, "Right")):
            page.click(*tried)
            page.wait_for({"judging", "over"})
            page.wait_for({"over"}, timeout=60)
            assert verdict in page.status(), (tried, page.status())
        page.button("learn-solution").click()
        assert page.marks("better-mark") == {square}, page.marks("better-mark")
        page.button("learn-stop").click()

    def review_time(self):
        """Cancel ends a review at once; a 60-move game's review, timed."""
        page = self.page
        names = ",".join(square_name(tuple(int(v) for v in m.split(",")), 15) for m in SIXTY_MOVES.split())
        self.go_to(f"size=15&you=black&opponent=8&moves={names}", {"person"})
        stones = page.stones()
        page.button("review-game").click()
        page.wait_for({"reviewing"}, timeout=5)
        while page.js("return document.getElementById('review-progress').value") < 3:
            time.sleep(0.02)
        started = time.time()
        page.button("cancel-review").click()
        page.wait_for({"person"})
        assert time.time() - started < 5 and page.stones() == stones, "Cancel did not end the review"
        assert not page.driver.find_element(By.ID, "graph").is_displayed()
        started = time.time()
        page.button("review-game").click()
        page.wait_for({"reviewing"}, timeout=5)
        page.wait_for({"person"}, timeout=600)
        seconds = time.time() - started
        summary = page.text("review-summary")
        assert re.match(r"Reviewed 61 positions at [\d,]+ nodes each in [\d.]+ s\.", summary), summary
        print(f"        a 60-move game reviewed in {seconds:.1f} s ({summary})")
        self.screenshot("review-sixty")

    def take_back_variation(self):
        page = self.page
        self.fresh_game(1)
        stones = page.play((7, 7))
        page.button("take-back").click()
        page.wait_for({"person"})
        (engine,) = [s for s in stones if stones[s] == 1]
        assert page.stones() == {} and page.variations() == [["H8", square_name(engine, 15)]], page.variations()
        page.js("document.querySelector('#record [data-shows=\"2\"]').click()")
        assert page.stones() == stones, page.stones()
        page.button("promote").click()
        page.wait_for({"person"})
        assert page.stones() == stones and page.variations() == [], page.variations()
        assert page.address().endswith("moves=H8," + square_name(engine, 15)), page.address()

    # ---- Puzzles, Swap2, offline ----

    def open_puzzle(self, index=0):
        """The file's puzzle opened by its address: its position and its title; returns its
        solution."""
        page = self.page
        with open(os.path.join(WEB, "puzzles.json")) as file:
            puzzle = json.load(file)["puzzles"][index]
        if page.js("return document.body.dataset.mode") == "play":
            self.left_game = page.address()
        page.driver.get(page.driver.current_url.split("#")[0] + f"#puzzle={puzzle['id']}")
        page.until(lambda: page.js("return document.body.dataset.mode") == "puzzle", "puzzle mode")
        page.wait_for({"person"})
        squares = lambda text: [tuple(map(int, m.split(","))) for m in text.split()]
        moves = squares(puzzle["moves"])
        assert page.stones() == {m: i % 2 for i, m in enumerate(moves)}, "not the puzzle's position"
        title = f"Puzzle {puzzle['id']}: {('Black', 'White')[len(moves) % 2]} to play: five in "
        assert page.text("puzzle-title") == title + str(puzzle["length"]), page.text("puzzle-title")
        return squares(puzzle["solution"])

    def puzzle_refused(self):
        """A wrong move refused and taken back; a second one, and the solution starts."""
        page = self.page
        first, stones = self.open_puzzle(1)[0], page.stones()
        wrong = [s for s in ((x + dx, y + dy) for x, y in stones for dx in (-1, 1) for dy in (-1, 0, 1))
                 if s not in stones and s != first and min(s) >= 0 and max(s) < 15]
        page.click(*wrong[0])
        page.until(lambda: page.marks("tried-mark") == {wrong[0]} and page.phase() == "person", "refusal")
        assert page.stones() == stones, "the wrong move stayed on the board"
        assert re.match(r"That lets (Black|White) escape: \w+ is taken back", page.status()), page.status()
        page.click(*next(s for s in wrong if s != wrong[0]))
        page.until(lambda: "The solution, move 1 of" in page.status(), "the solution")

    def puzzle_solved(self):
        """The file's solution played: the engine's defences are the file's, the five is made."""
        page = self.page
        solution = self.open_puzzle()
        rating = lambda: int(re.search(r"Rating (\d+)", page.text("puzzle-record")).group(1))
        before = rating()
        for i in range(0, len(solution), 2):
            stones = page.stones()
            page.click(*solution[i])
            page.until(lambda: len(page.stones()) == len(stones) + len(solution[i:i + 2]), "reply")
            assert set(page.stones()) - set(stones) == set(solution[i:i + 2]), (i, page.stones())
        page.wait_for({"over"})
        assert page.status().startswith("Solved!") and rating() > before, (page.status(), before)
        self.screenshot("puzzle-solved")

    def swap2(self):
        """The engine opens, the person places two more, the engine takes a colour (on five
        stones it always does), and the game goes on."""
        page = self.page
        if page.button("puzzle-leave").is_displayed():
            page.button("puzzle-leave").click()  # back to the game left for the puzzles
            page.until(lambda: page.js("return document.body.dataset.mode") == "play", "play")
            page.wait_for({"person", "over"})
            assert page.address() == self.left_game, (page.address(), self.left_game)
        page.choose("level", 1)
        page.choose("think", 500)
        page.choose("first", "swap2-engine")
        page.wait_for({"opening"})
        assert sorted(page.stones().values()) == [0, 0, 1], page.stones()
        page.button("swap2-two").click()
        for _ in range(2):
            square = person_policy(page.stones(), len(page.stones()) % 2, 15)
            page.click(*square)
            page.until(lambda: square in page.stones(), "the opening's stone")
        page.wait_for({"person"})
        took = re.match(r"Quillmot took (black|white)", page.status())
        you = "black" if took and took.group(1) == "white" else "white"
        assert took and f"swap2=engine&opening=5&you={you}&" in page.address(), page.address()
        before = page.stones()
        assert len(page.play(person_policy(before, ("black", "white").index(you), 15))) == len(before) + 2
        self.screenshot("swap2")

    def offline(self):
        """After the visits so far, the page reloaded and played with the network off."""
        page, driver = self.page, self.page.driver
        driver.set_script_timeout(60)
        sizes = driver.execute_async_script("navigator.serviceWorker.ready.then(async () => arguments[0]("
                                            "await Promise.all((await (await caches.open((await caches.keys())[0]))"
                                            ".matchAll()).map(async (r) => (await r.blob()).size))))")
        print(f"        the offline cache: {len(sizes)} files, {sum(sizes) / 1000:.1f} kB")
        assert not driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        offline = lambda on: driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": on, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        offline(True)
        try:
            driver.get(driver.current_url.split("#")[0] + "#size=15&you=black&opponent=1")
            driver.refresh()
            page.wait_for({"person"})
            assert len(page.play((7, 7))) == 2 and page.js("return !navigator.onLine")
            self.open_puzzle()
        finally:
            offline(False)

    def dark(self):
        """The page follows the system's light or dark setting: the panel's background, its text."""
        page = self.page
        shade = ("return ['backgroundColor', 'color'].map((p) => getComputedStyle(document.body)[p]"
                 ".match(/\\d+/g).slice(0, 3).reduce((a, c) => a + +c, 0) / 765)")
        for scheme, shades in (("light", [1, 0]), ("dark", [0, 1])):
            feature = {"name": "prefers-color-scheme", "value": scheme}
            page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [feature]})
            assert [round(v) for v in page.js(shade)] == shades, (scheme, page.js(shade))
        self.screenshot("dark")
        page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})

    # ---- The module against the native build ----

    def same_search(self, bench, name, depth):
        line = subprocess.run([bench, "search", "--show", name], check=True, capture_output=True, text=True).stdout
        native = subprocess.run([bench, "search", "--depth", str(depth), "--game", line.strip()], check=True,
                                capture_output=True, text=True).stdout
        row = next(r.split() for r in native.splitlines() if r.startswith("game "))
        native_nodes, native_move, native_ms = int(row[2]), row[4], float(row[5])
        fields = line.split()
        width, height = int(fields[0]), int(fields[1])
        moves = [[int(v) for v in m.split(",")] for m in fields[2:]]
        self.page.driver.set_script_timeout(120)
        reply = self.page.driver.execute_async_script("""
            const [width, height, moves, depth, done] = arguments;
            const worker = new Worker('engine-worker.js');
            worker.onmessage = (event) => {
              if (event.data.ready) return;
              worker.terminate();
              done(event.data);
            };
            worker.onerror = (event) => done({ok: false, error: String(event.message)});
            worker.postMessage({id: 1, op: 'search', width, height, moves, depth});
        """, width, height, moves, depth)
        assert reply.get("ok"), reply
        wasm_move = f"{reply['move'][0]},{reply['move'][1]}"
        wasm_ms = reply["ms"]
        print(f"        {name:8} depth {depth}: move {native_move:6} {wasm_move:6} nodes {native_nodes:8} "
              f"{reply['nodes']:8}   nodes/s native {native_nodes / max(native_ms, 0.1) * 1000:10.0f} "
              f"wasm {reply['nodes'] / max(wasm_ms, 0.1) * 1000:10.0f}")
        assert (wasm_move, reply["nodes"]) == (native_move, native_nodes), "the module searched differently"

    def same_level_moves(self, bench):
        """A level's move with a given seed, natively and in the module: the same move, and the
        same depth, score and nodes in its report."""
        base = self.page.driver.current_url.rsplit("/", 1)[0] + "/"
        for name, level, seed in LEVEL_COMPARED:
            line = subprocess.run([bench, "search", "--show", name], check=True, capture_output=True, text=True).stdout
            native = subprocess.run([bench, "level", str(level), "--seed", str(seed), "--game", line.strip()],
                                    check=True, capture_output=True, text=True).stdout.splitlines()
            native_move = native[0].split()[6]
            report = native[1].split()
            native_report = (int(report[1]), int(report[3]), int(report[report.index("nodes") + 1]))
            fields = line.split()
            moves = [[int(v) for v in m.split(",")] for m in fields[2:]]
            reply = self.page.driver.execute_async_script("""
                const [base, width, height, moves, level, seed, done] = arguments;
                // The module alone, in a worker of its own: the page's worker has no such request.
                const code = `importScripts(${JSON.stringify(base + 'gen/quillmot.js')});
                  createQuillmot({locateFile: (file) => ${JSON.stringify(base + 'gen/')} + file}).then((m) => {
                    let code = m._quillmot_new_game(${width}, ${height});
                    for (const [x, y] of ${JSON.stringify(moves)}) if (code >= 0) code = m._quillmot_place(x, y);
                    const packed = code < 0 ? code : m._quillmot_level_move(${level}, 1000, ${seed});
                    postMessage({packed, depth: m._quillmot_report_depth(), score: m._quillmot_report_score(),
                                 nodes: m._quillmot_report_nodes()});
                  });`;
                const worker = new Worker(URL.createObjectURL(new Blob([code], {type: 'text/javascript'})));
                worker.onmessage = (event) => { worker.terminate(); done(event.data); };
                worker.onerror = (event) => done({packed: -100, error: String(event.message)});
            """, base, int(fields[0]), int(fields[1]), moves, level, seed)
            assert reply["packed"] >= 0, reply
            wasm_move = f"{reply['packed'] % 256},{reply['packed'] // 256}"
            wasm_report = (reply["depth"], reply["score"], int(reply["nodes"]))
            print(f"        {name:8} level {level} seed {seed}: move {native_move:6} {wasm_move:6} "
                  f"depth, score, nodes {native_report} {wasm_report}")
            assert (wasm_move, wasm_report) == (native_move, native_report), "the module played the level differently"

    def console_is_clean(self):
        errors = [e for e in self.page.driver.get_log("browser") if e["level"] == "SEVERE"]
        assert not errors, errors


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", required=True, help="the native quillmot-bench")
    parser.add_argument("--out", default="build/browser", help="folder of the screenshots")
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    parser.add_argument("--chromedriver", default="/usr/bin/chromedriver")
    parser.add_argument("--only", help="run only the checks whose names hold this text")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(os.path.join(WEB, "gen", "quillmot.wasm")):
        sys.exit("web/gen/quillmot.wasm is missing: run tools/build-web.sh")

    server = serve(WEB)
    options = webdriver.ChromeOptions()
    options.binary_location = args.chromium
    # No display is needed; the sandbox does not run as root or in most containers, and
    # the browser loads only this machine's page.
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=1200,900"):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "SEVERE"})
    driver = webdriver.Chrome(service=Service(args.chromedriver), options=options)
    test = BrowserTest(Page(driver), args.out, args.only)
    try:
        driver.get(f"http://127.0.0.1:{server.server_address[1]}/")
        test.check("the page loads the engine", lambda: test.page.wait_for({"person"}))
        game = {}
        test.check("a whole game by clicks, every engine reply checked",
                   lambda: game.update(zip(("stones", "last", "before"), test.whole_game())))
        if game:
            test.check("the result, its five, take back after it",
                       lambda: test.result(game["stones"], game["last"], game["before"]))
        test.check("new games: cleared, engine first, 20 by 20, during a search; Stop", test.new_games)
        test.check("a 1 s move on screen", test.one_second_move)
        test.check("a level change from the next move, named in the engine's view", test.level_and_view)
        test.check("the expected line on empty squares, gone at the next move", test.expected_line)
        test.check("a hint on an empty square, nothing played", test.hint)
        test.check("the move list matches the board; the game copied as text", test.record_and_copy)
        test.check("the game in the address: reload, Back, bad addresses", test.address)
        test.check("review steps, arrow keys, continue from here", test.review)
        test.check("Continue from here within the window; review moves nothing", test.review_in_window)
        test.check("after a click the arrow keys step through the game", test.keys_after_click)
        test.check("a move by keyboard alone; every control named", test.keyboard)
        test.check("set-up with a four, a five refused, analysis, play from here", test.setup_and_analysis)
        test.check("a phone-sized screen, the board still", test.phone)
        test.check("learn: the view and the bar change during a 3 s move", test.live_thinking)
        test.check("learn: analysis shows three distinct moves with scores", test.analysis_three)
        test.check("learn: a review marks the known blunder as quillmot-bench review does",
                   functools.partial(test.review_blunder, args.bench))
        test.check("learn: Cancel, and a 60-move game's review timed", test.review_time)
        test.check("learn: a take back keeps the moves as a variation", test.take_back_variation)
        test.check("practise: a puzzle's address opens it", test.open_puzzle)
        test.check("practise: a wrong first move refused and taken back", test.puzzle_refused)
        test.check("practise: a puzzle solved by its solution, the rating up", test.puzzle_solved)
        test.check("practise: Swap2, the engine taking a colour by its own choice", test.swap2)
        test.check("practise: reloaded and played with the network off", test.offline)
        test.check("practise: the dark theme under a dark setting", test.dark)
        for name, depth in COMPARED:
            test.check(f"module and native search {name} alike",
                       functools.partial(test.same_search, args.bench, name, depth))
        test.check("module and native levels alike", functools.partial(test.same_level_moves, args.bench))
        test.check("no errors in the browser console", test.console_is_clean)
    finally:
        driver.quit()
        server.shutdown()
    print(f"browser: {test.passed} passed, {test.failed} failed")
    print(f"screenshots in {args.out}")
    return 1 if test.failed else 0


if __name__ == "__main__":
    sys.exit(main())
