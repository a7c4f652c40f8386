#!/usr/bin/env python3
"""Times the library tool on libraries of growing size.

    python3 bench/library_scale.py build/bin/quillery-library library/sources [--runs N] [35 1000 10000]

For each size it makes sources of that many templates by copying the shipped
ones under new names (into 200 categories at most, as a large library would
be split), then runs, three times each (or N times), a build from nothing, a build of the
unchanged sources, and check without the mail programs, and prints the median time and the largest
peak memory of each. Then it times check with the mail programs (Node and the template linter
beside the tool) and the Outlook model (quillery-thumbnails beside the tool; run as root, it needs
QTWEBENGINE_DISABLE_SANDBOX=1) on a library of the 35 shipped templates; a line on the error
stream says when one of them could not run. The copies live in a temporary folder that is removed.
"""

import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def shipped_templates(sources):
    found = []
    for category in sorted(os.listdir(sources)):
        folder = os.path.join(sources, category)
        for name in sorted(os.listdir(folder)):
            if os.path.isfile(os.path.join(folder, name, "headers.txt")):
                found.append(os.path.join(folder, name))
    return found


def make_sources(shipped, count, out):
    categories = min(200, max(1, count // 50)) if count > 35 else 7
    per_category = -(-count // categories)
    thumb = os.path.join(os.path.dirname(shipped[0]), "thumbs")
    thumb = os.path.join(thumb, sorted(os.listdir(thumb))[0])
    made = 0
    for c in range(categories):
        # "0" and "1" in a category's file name mean something to the gallery.
        letters = chr(ord("A") + c // 26) + chr(ord("A") + c % 26)
        folder = os.path.join(out, f"Category {letters}")
        os.makedirs(os.path.join(folder, "thumbs"))
        links = []
        for _ in range(per_category):
            if made == count:
                break
            name = f"Template {made:05d}"
            shutil.copytree(shipped[made % len(shipped)], os.path.join(folder, name))
            shutil.copyfile(thumb, os.path.join(folder, "thumbs", f"t{made:05d}.png"))
            links.append(f'<a href="#{name}"><img src="thumbs/t{made:05d}.png" alt=""></a>')
            made += 1
        with open(os.path.join(folder, "page.html"), "w", encoding="utf-8") as page:
            page.write("<html><body>\n" + "\n".join(links) + "\n</body></html>\n")


def run(command):
    """Seconds and peak memory (KiB) of one run of `command`."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    # ru_maxrss of children is the largest so far: measure each kind in its own child.
    return seconds, max(before, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)


RUNS = 3


def measured(command):
    """Median seconds of the runs and the peak memory, each in a fresh child."""
    results = []
    for _ in range(RUNS):
        out = subprocess.run([sys.executable, __file__, "--one", *command],
                             check=True, capture_output=True, text=True).stdout.split()
        results.append((float(out[0]), int(out[1])))
    return statistics.median(r[0] for r in results), max(r[1] for r in results)


def main():
    if sys.argv[1] == "--one":
        seconds, peak = run(sys.argv[2:])
        print(seconds, peak)
        return
    global RUNS
    tool, sources, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
    if rest[:1] == ["--runs"]:
        RUNS, rest = int(rest[1]), rest[2:]
    sizes = [int(n) for n in rest] or [35, 1000, 10000]
    shipped = shipped_templates(sources)
    print(f"{'templates':>9} {'build s':>8} {'MB':>5} {'again s':>8} {'MB':>5} {'check s':>8} {'MB':>5}"
          "  (check without the mail programs)")
    for count in sizes:
        with tempfile.TemporaryDirectory() as work:
            source, library = os.path.join(work, "sources"), os.path.join(work, "library")
            make_sources(shipped, count, source)
            rows = []

            def fresh_build():
                shutil.rmtree(library, ignore_errors=True)
                return [tool, "build", source, library]

            times = []
            for _ in range(RUNS):
                command = fresh_build()
                out = subprocess.run([sys.executable, __file__, "--one", *command],
                                     check=True, capture_output=True, text=True).stdout.split()
                times.append((float(out[0]), int(out[1])))
            rows.append((statistics.median(t[0] for t in times), max(t[1] for t in times)))
            rows.append(measured([tool, "build", source, library]))
            rows.append(measured([tool, "check", library, "--no-mail-programs"]))
            cells = " ".join(f"{s:8.2f} {kb / 1024:5.0f}" for s, kb in rows)
            print(f"{count:9d} {cells}", flush=True)
    with tempfile.TemporaryDirectory() as work:
        source, library = os.path.join(work, "sources"), os.path.join(work, "library")
        make_sources(shipped, len(shipped), source)
        subprocess.run([tool, "build", source, library], check=True, stdout=subprocess.DEVNULL)
        seconds, kb = measured([tool, "check", library])
        print(f"check with the mail programs and the Outlook model, {len(shipped)} templates: "
              f"{seconds:.2f} s, {kb / 1024:.0f} MB")


if __name__ == "__main__":
    main()
