#!/usr/bin/env python3
"""Kills quillery-library at random moments of add, rename and remove of the
user's own templates, and checks after each kill that the next command leaves a
whole library: every page link resolves, no template or thumbnail is on no
page, no unfinished change and no temporary file is left.

    python3 bench/library_kills.py build/bin/quillery-library [ROUNDS]

ROUNDS (default 60) kills per command, half of them SIGKILL, half SIGTERM (what
a logout sends). Prints, per command, how many changes the next command
finished, took back, or that had finished before the kill; exits 1 on the
first library that is not whole, naming what is wrong.
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data",
                      "templateexport", "sample.eml")


def run(tool, args, env, check=True):
    result = subprocess.run([tool] + args, env=env, capture_output=True, text=True)
    if check and result.returncode != 0:
        sys.exit(f"{' '.join(args)} failed ({result.returncode}): {result.stderr}")
    return result


def links(library):
    """Template names and thumbnails of every category page."""
    names, thumbs = [], []
    categories = os.path.join(library, "categories")
    for page in sorted(os.listdir(categories)) if os.path.isdir(categories) else []:
        if not page.endswith(".html"):
            continue
        with open(os.path.join(categories, page), encoding="utf-8") as f:
            text = f.read()
        names += re.findall(r'<a href="#([^"]*)"', text)
        thumbs += re.findall(r'src="thumbs/([^"]*)"', text)
    return names, thumbs


def inconsistencies(tool, library, env):
    found = []
    names, thumbs = links(library)
    for name in names:
        if not os.path.isfile(os.path.join(library, "templates", name + ".dat")):
            found.append(f"link to the missing {name}")
    templates = os.path.join(library, "templates")
    for file in os.listdir(templates) if os.path.isdir(templates) else []:
        if file[:-4] not in names or not file.endswith(".dat"):
            found.append(f"templates/{file} on no page")
    thumbdir = os.path.join(library, "categories", "thumbs")
    for file in os.listdir(thumbdir) if os.path.isdir(thumbdir) else []:
        if file not in thumbs:
            found.append(f"thumbs/{file} on no page")
    for thumb in thumbs:
        if not os.path.isfile(os.path.join(thumbdir, thumb)):
            found.append(f"missing thumbnail {thumb}")
    if names:
        check = run(tool, ["check", "--no-mail-programs", library], env, check=False)
        if check.returncode != 0:
            found.append("check: " + check.stdout.strip())
    return found


def renderers_left(library):
    """Renderers still drawing a template of this library a moment after the kill."""
    deadline = time.monotonic() + 2
    while True:
        left = 0
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    cmdline = f.read()
                with open(f"/proc/{pid}/stat") as f:
                    zombie = ") Z " in f.read()
            except OSError:
                continue
            if b"quillery-thumbnails" in cmdline and library.encode() in cmdline and not zombie:
                left += 1
        if left == 0 or time.monotonic() > deadline:
            return left
        time.sleep(0.05)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    tool = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    random.seed(int(os.environ.get("SEED", "21")))
    work = tempfile.mkdtemp(prefix="quillery-kills-")
    try:
        shipped = os.path.join(work, "shipped")
        os.makedirs(os.path.join(shipped, "categories"))
        os.makedirs(os.path.join(shipped, "templates"))
        with open(os.path.join(shipped, "categories", "Retail.html"), "w") as f:
            f.write('<html><body><a href="#Summer Sale">Summer Sale</a></body></html>')
        with open(os.path.join(shipped, "templates", "Summer Sale.dat"), "w") as f:
            f.write("shipped")
        data = os.path.join(work, "data")
        library = os.path.join(data, "quillery", "library")
        env = dict(os.environ, XDG_DATA_HOME=data)
        slow = dict(env, QUILLERY_FAULT_STEP_DELAY_MS=os.environ.get("STEP_DELAY_MS", "40"))
        where = ["--shipped", shipped]
        message = os.path.join(work, "Added.eml")
        shutil.copy(SAMPLE, message)

        # The library each round starts from.
        for name in ["Big Old", "Other", "Third"]:
            run(tool, ["add", message, "--category", "Mine", "--name", name] + where, env)
        seed = os.path.join(work, "seed")
        shutil.copytree(library, seed)

        # The tool alone, without the renderer: its add is the change itself.
        lonely = os.path.join(work, "bin", "quillery-library")
        os.makedirs(os.path.dirname(lonely))
        shutil.copy(tool, lonely)
        add = ["add", message, "--category", "Mine", "--name", "Added"]
        commands = {
            "add": (add, "Added", None),
            "add, with the renderer": (add, "Added", None),
            "rename": (["rename", "Big Old", "Big New"], "Big New", "Big Old"),
            "remove": (["remove", "Big Old"], None, "Big Old"),
        }
        failures = 0
        renderer = os.path.join(os.path.dirname(tool), "quillery-thumbnails")
        if not os.access(renderer, os.X_OK):
            del commands["add, with the renderer"]
        for command, (args, new, old) in commands.items():
            program = tool if "renderer" in command or command != "add" else lonely
            survivors = 0
            shutil.rmtree(library)
            shutil.copytree(seed, library)
            start = time.monotonic()
            run(program, args + where, slow)
            duration = time.monotonic() - start
            # The change itself takes milliseconds of a run mostly spent starting
            # up; a pause after each of its steps spreads the kills over it.
            start = time.monotonic()
            run(tool, ["--help"], env)
            startup = time.monotonic() - start
            counts = {"killed before it began": 0, "cut off, finished by the next command": 0,
                      "cut off, taken back by the next command": 0,
                      "killed after it was whole": 0, "ended before the kill": 0}
            for round_ in range(rounds):
                shutil.rmtree(library)
                shutil.copytree(seed, library)
                process = subprocess.Popen([program] + args + where, env=slow,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                time.sleep(random.uniform(startup * 0.8, duration * 1.05))
                sig = signal.SIGKILL if round_ % 2 == 0 else signal.SIGTERM
                ended = process.poll() is not None
                process.send_signal(sig)
                process.wait()
                cut_off = os.path.exists(os.path.join(library, ".quillery-change"))
                survivors += renderers_left(library)
                run(tool, ["repair"], env)
                wrong = inconsistencies(tool, library, env)
                names, _ = links(library)
                if wrong:
                    failures += 1
                    print(f"{command} round {round_}: {'; '.join(wrong)}")
                    continue
                done = (new is None or new in names) and (old is None or old not in names)
                undone = (old is None or old in names) and (new is None or new not in names)
                if ended or process.returncode == 0:
                    key = "ended before the kill"
                elif cut_off and done:
                    key = "cut off, finished by the next command"
                elif cut_off and undone:
                    key = "cut off, taken back by the next command"
                elif done:
                    key = "killed after it was whole"
                elif undone:
                    key = "killed before it began"
                else:
                    failures += 1
                    print(f"{command} round {round_}: neither before nor after: {names}")
                    continue
                counts[key] += 1
            print(f"{command}: {rounds} kills in {duration * 1000:.0f} ms runs "
                  f"({startup * 1000:.0f} ms start-up): " +
                  ", ".join(f"{n} {what}" for what, n in counts.items()) +
                  (f"; renderers left running: {survivors}" if "renderer" in command else ""))
            failures += survivors
        print("whole every time" if failures == 0 else f"{failures} libraries not whole")
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
