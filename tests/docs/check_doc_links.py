#!/usr/bin/env python3
"""Checks that every relative link and image of the repository's Markdown resolves.

The README points into docs/ and the documents point at each other's headings;
a heading renamed or a section moved breaks such a link without anyone seeing
it. A link resolves when the file it names exists and, for a `#anchor`, when
the target document has a heading whose GitHub anchor is that name.

Usage: check_doc_links.py [ROOT]   (checks README.md, CONTRIBUTING.md, docs/*.md)
"""

from __future__ import annotations

import re
import sys
import unicodedata
from dataclasses import dataclass
from pathlib import Path
from urllib.parse import unquote

FENCE = re.compile(r"^ {0,3}(`{3,}|~{3,})")
ATX_HEADING = re.compile(r"^ {0,3}(#{1,6})(?:[ \t]+(.*?))?(?:[ \t]+#+)?[ \t]*$")
SETEXT_UNDERLINE = re.compile(r"^ {0,3}(=+|-+)[ \t]*$")
CODE_SPAN = re.compile(r"(`+)(.+?)\1")
# [text](target) and ![alt](target); the target may be <in angle brackets> and
# may carry a "title".
INLINE_LINK = re.compile(r"(!?)\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\(\s*(<[^>]*>|[^\s)]*)(?:\s+(?:\"[^\"]*\"|'[^']*'))?\s*\)")
REFERENCE_DEFINITION = re.compile(r"^ {0,3}\[[^\]]+\]:\s*(<[^>]*>|\S+)")
HTML_ANCHOR = re.compile(r"<a\s[^>]*\b(?:name|id)\s*=\s*[\"']([^\"']+)[\"']", re.IGNORECASE)
HTML_IMAGE = re.compile(r"<img\s[^>]*\bsrc\s*=\s*[\"']([^\"']+)[\"']", re.IGNORECASE)
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


@dataclass(frozen=True)
class Reference:
    line: int
    target: str
    image: bool


@dataclass(frozen=True)
class Problem:
    file: Path
    line: int
    message: str


def slug(heading: str) -> str:
    """The anchor GitHub gives a heading: its text as shown, in lower case,
    without punctuation or symbols, blanks turned into hyphens."""
    text = CODE_SPAN.sub(lambda m: m.group(2).strip(), heading)
    text = re.sub(r"!?\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\([^)]*\)", r"\1", text)
    text = re.sub(r"<[^>]+>", "", text)
    text = text.replace("*", "")
    kept = []
    for char in text.lower():
        category = unicodedata.category(char)
        if category[0] in "LNM" or category == "Pc" or char == "-":
            kept.append(char)
        elif char == " ":
            kept.append("-")
    return "".join(kept)


def prose_lines(text: str) -> list[tuple[int, str]]:
    """The lines outside fenced code blocks, numbered from 1."""
    lines = []
    fence = None
    for number, line in enumerate(text.splitlines(), 1):
        opening = FENCE.match(line)
        if fence is None and opening:
            fence = opening.group(1)
            continue
        if fence is not None:
            if opening and opening.group(1)[0] == fence[0] and len(opening.group(1)) >= len(fence):
                fence = None
            continue
        lines.append((number, line))
    return lines


def anchors(text: str) -> set[str]:
    found: set[str] = set()
    seen: dict[str, int] = {}

    def add(heading: str) -> None:
        base = slug(heading)
        count = seen.get(base, 0)
        seen[base] = count + 1
        found.add(base if count == 0 else f"{base}-{count}")

    previous = None
    for number, line in prose_lines(text):
        heading = ATX_HEADING.match(line)
        if heading:
            add(heading.group(2) or "")
        elif previous is not None and previous[1].strip() and SETEXT_UNDERLINE.match(line) \
                and previous[0] == number - 1 and not previous[1].lstrip().startswith(("-", "*", "|")):
            add(previous[1].strip())
        for name in HTML_ANCHOR.findall(line):
            found.add(name)
        previous = (number, line)
    return found


def references(text: str) -> list[Reference]:
    found = []
    for number, line in prose_lines(text):
        # A link written inside a code span is an example, not a link.
        prose = CODE_SPAN.sub(lambda m: " " * len(m.group(0)), line)
        for match in INLINE_LINK.finditer(prose):
            found.append(Reference(number, match.group(3).strip("<>"), match.group(1) == "!"))
        definition = REFERENCE_DEFINITION.match(prose)
        if definition:
            found.append(Reference(number, definition.group(1).strip("<>"), False))
        for source in HTML_IMAGE.findall(prose):
            found.append(Reference(number, source, True))
    return found


def check_file(document: Path, root: Path, anchor_cache: dict[Path, set[str]]) -> list[Problem]:
    def anchors_of(path: Path) -> set[str]:
        if path not in anchor_cache:
            anchor_cache[path] = anchors(path.read_text(encoding="utf-8"))
        return anchor_cache[path]

    problems = []
    shown = document.relative_to(root)
    for reference in references(document.read_text(encoding="utf-8")):
        target = reference.target
        what = f'image "{target}"' if reference.image else f'link to "{target}"'
        if not target:
            problems.append(Problem(shown, reference.line, ("image" if reference.image else "link") + " without a target"))
            continue
        if SCHEME.match(target) or target.startswith("//"):
            continue
        path_part, _, anchor = target.partition("#")
        path = (document.parent / unquote(path_part)).resolve() if path_part else document
        if not path.exists():
            problems.append(Problem(shown, reference.line, f"{what}: {unquote(path_part)} does not exist"))
            continue
        if reference.image and not path.is_file():
            problems.append(Problem(shown, reference.line, f"{what} is not a file"))
            continue
        if anchor and path.suffix.lower() == ".md":
            if unquote(anchor) not in anchors_of(path):
                where = "this file" if path == document else str(path.relative_to(root) if path.is_relative_to(root) else path)
                problems.append(Problem(shown, reference.line, f'{what}: no heading "{anchor}" in {where}'))
    return problems


def documents(root: Path) -> list[Path]:
    found = [root / name for name in ("README.md", "CONTRIBUTING.md") if (root / name).is_file()]
    found += sorted((root / "docs").glob("*.md"))
    return found


def main(argv: list[str]) -> int:
    root = Path(argv[1] if len(argv) > 1 else Path(__file__).resolve().parents[2]).resolve()
    cache: dict[Path, set[str]] = {}
    checked = documents(root)
    if not checked:
        print(f"error: no Markdown documents under {root}", file=sys.stderr)
        return 1
    problems = [problem for document in checked for problem in check_file(document, root, cache)]
    for problem in problems:
        print(f"{problem.file}:{problem.line}: {problem.message}")
    if problems:
        print(f"{len(problems)} broken links in {len(checked)} documents", file=sys.stderr)
        return 1
    print(f"every relative link and image of {len(checked)} documents resolves")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
