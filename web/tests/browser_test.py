#!/usr/bin/python3
"""The web page in headless Chromium, driven through Selenium as a person would use it.

Plays a whole game on 15 by 15 by clicking squares and checks, after every engine move,
that exactly the person's stone and one engine stone of the right colour on an empty square
were added; checks the announced result and its line, take back, new game, the engine
moving first, harmless clicks on taken squares and during a search; saves screenshots of
the opening, a middle position and the final position; measures how long a 1 s move takes
to appear on screen. Then compares the WebAssembly module with the native quillmot-bench:
the same positions searched to the same depth give the same move and node count, and the
levels of play the same move for the same seed.

Run by tools/test-browser.sh, which builds what it needs.
"""
import argparse
import functools
import http.server
import os
import re
import subprocess
import sys
import threading
import time
import traceback

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select

WEB = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIRECTIONS = [(1, 0), (0, 1), (1, 1), (1, -1)]
# Positions of quillmot-bench and the depth to search them to: the largest search gives
# the speed figure.
COMPARED = [("mid15a", 7), ("quiet15", 9), ("mid20b", 8), ("big32a", 9), ("mid15d", 9)]
# Positions, levels and seeds whose level moves are compared.
LEVEL_COMPARED = [("mid15a", 1, 11), ("mid20b", 2, 12), ("mid15d", 3, 13), ("big32a", 4, 14), ("fours7", 4, 15)]


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
    def __init__(self, page, out):
        self.page = page
        self.out = out
        self.passed = 0
        self.failed = 0

    def check(self, name, test):
        started = time.time()
        try:
            test()
            self.passed += 1
            print(f"  ok    {name} ({time.time() - started:.1f} s)", flush=True)
        except Exception as error:  # every failure is reported, the next check still runs
            self.failed += 1
            where = traceback.extract_tb(error.__traceback__)[-1]
            print(f"  FAIL  {name}: line {where.lineno}: {type(error).__name__} {error}", flush=True)
            self.page.driver.save_screenshot(os.path.join(self.out, "failure.png"))

    def screenshot(self, name):
        self.page.driver.save_screenshot(os.path.join(self.out, name + ".png"))

    # ---- A whole game ----

    def whole_game(self):
        page = self.page
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
        match = re.match(rf"{winner} \((black|white)\): five in a row from (\w+) to (\w+)", status)
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
        page.choose("think", 10000)
        page.click(10, 10)
        page.wait_for({"thinking"}, timeout=5)
        started = time.time()
        assert page.new_game() == "person"
        assert page.stones() == {}, page.stones()
        assert time.time() - started < 5, "the new game waited for the search"
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

    # ---- The module against the native build ----

    def same_search(self, bench, name, depth):
        line = subprocess.run([bench, "--show", name], check=True, capture_output=True, text=True).stdout
        native = subprocess.run([bench, "--depth", str(depth), "--game", line.strip()], check=True,
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
            line = subprocess.run([bench, "--show", name], check=True, capture_output=True, text=True).stdout
            native = subprocess.run([bench, "--level", str(level), "--seed", str(seed), "--game", line.strip()],
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
    test = BrowserTest(Page(driver), args.out)
    try:
        driver.get(f"http://127.0.0.1:{server.server_address[1]}/")
        test.check("the page loads the engine", lambda: test.page.wait_for({"person"}))
        game = {}
        test.check("a whole game by clicks, every engine reply checked",
                   lambda: game.update(zip(("stones", "last", "before"), test.whole_game())))
        if game:
            test.check("the result, its five, take back after it",
                       lambda: test.result(game["stones"], game["last"], game["before"]))
        test.check("new games: cleared, engine first, 20 by 20, during a search", test.new_games)
        test.check("a 1 s move on screen", test.one_second_move)
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
