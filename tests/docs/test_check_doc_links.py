"""What the link check accepts and what it reports, on small document trees."""

from __future__ import annotations

import contextlib
import io
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_doc_links  # noqa: E402

TARGET = """# The guide

## Settings, caches and the temp workspace

## Seeing it as recipients will

## Desktop | Phone

## `quillery-library` and **check**

## Café menu

## Again

## Again

Set-up
------

<a id="by-hand"></a>
"""


class SlugTest(unittest.TestCase):
    def test_slugs(self) -> None:
        table = {
            "punctuation goes": ("Settings, caches and the temp workspace", "settings-caches-and-the-temp-workspace"),
            "each blank a hyphen": ("Desktop | Phone", "desktop--phone"),
            "code and emphasis as shown": ("`quillery-library` and **check**", "quillery-library-and-check"),
            "letters of any script": ("Café Grüße", "café-grüße"),
            "a link's text": ("See [the tool](tool.md)", "see-the-tool"),
            "underscore kept": ("snake_case name", "snake_case-name"),
        }
        for name, (heading, expected) in table.items():
            with self.subTest(name):
                self.assertEqual(check_doc_links.slug(heading), expected)


class CheckTest(unittest.TestCase):
    def problems(self, readme: str) -> list[str]:
        with tempfile.TemporaryDirectory() as folder:
            root = Path(folder)
            (root / "docs").mkdir()
            (root / "docs" / "guide.md").write_text(TARGET, encoding="utf-8")
            (root / "docs" / "shot.png").write_bytes(b"\x89PNG")
            (root / "docs" / "pictures").mkdir()
            (root / "README.md").write_text(readme, encoding="utf-8")
            found = check_doc_links.check_file(root / "README.md", root, {})
            return [f"{problem.line}: {problem.message}" for problem in found]

    def test_links(self) -> None:
        # name: (line of the README, what is reported; empty when it resolves)
        table = {
            "file": ("[guide](docs/guide.md)", ""),
            "heading": ("[s](docs/guide.md#settings-caches-and-the-temp-workspace)", ""),
            "table cell heading": ("[p](docs/guide.md#desktop--phone)", ""),
            "heading with code": ("[t](docs/guide.md#quillery-library-and-check)", ""),
            "accented heading": ("[c](docs/guide.md#café-menu)", ""),
            "percent-encoded heading": ("[c](docs/guide.md#caf%C3%A9-menu)", ""),
            "second of two headings": ("[a](docs/guide.md#again-1)", ""),
            "setext heading": ("[s](docs/guide.md#set-up)", ""),
            "html anchor": ("[b](docs/guide.md#by-hand)", ""),
            "own heading": ("# Top\n\n[t](#top)", ""),
            "image": ("![shot](docs/shot.png)", ""),
            "image with title": ('![shot](docs/shot.png "The window")', ""),
            "web address": ("[w](https://example.com/missing)", ""),
            "mail address": ("[m](mailto:someone@example.com)", ""),
            "inside a code span": ("`[x](docs/missing.md)`", ""),
            "inside a code block": ("```\n[x](docs/missing.md)\n```", ""),
            "missing file": ("[x](docs/missing.md)", '1: link to "docs/missing.md": docs/missing.md does not exist'),
            "missing heading": ("[x](docs/guide.md#settings)", '1: link to "docs/guide.md#settings": no heading "settings" in docs/guide.md'),
            "heading of the old README": ("[x](#library-tool)", '1: link to "#library-tool": no heading "library-tool" in this file'),
            "third of two headings": ("[a](docs/guide.md#again-2)", '1: link to "docs/guide.md#again-2": no heading "again-2" in docs/guide.md'),
            "missing image": ("text\n\n![shot](docs/gone.png)", '3: image "docs/gone.png": docs/gone.png does not exist'),
            "image in html": ('<img src="docs/gone.png">', '1: image "docs/gone.png": docs/gone.png does not exist'),
            "image that is a folder": ("![p](docs/pictures)", '1: image "docs/pictures" is not a file'),
            "reference definition": ("[x]: docs/missing.md", '1: link to "docs/missing.md": docs/missing.md does not exist'),
            "empty target": ("[x]()", "1: link without a target"),
        }
        for name, (readme, expected) in table.items():
            with self.subTest(name):
                self.assertEqual(self.problems(readme), [expected] if expected else [])

    def test_main_fails_on_a_broken_link(self) -> None:
        with tempfile.TemporaryDirectory() as folder:
            root = Path(folder)
            (root / "docs").mkdir()
            (root / "README.md").write_text("[ok](docs/a.md#a)\n", encoding="utf-8")
            (root / "docs" / "a.md").write_text("# A\n\n[back](../README.md#gone)\n", encoding="utf-8")
            out = io.StringIO()
            with contextlib.redirect_stdout(out), contextlib.redirect_stderr(io.StringIO()):
                status = check_doc_links.main(["check", folder])
            self.assertEqual(status, 1)
            self.assertIn('docs/a.md:3: link to "../README.md#gone": no heading "gone" in README.md', out.getvalue())


if __name__ == "__main__":
    unittest.main()
