#!/usr/bin/env python3
"""A model of how Outlook for Windows reads a template, for render tests.

    python3 outlook_model.py IN.html OUT.html

Outlook for Windows lays mail out with a word processor's engine. This turns a
page into what that engine makes of it, so an ordinary browser engine can show
it: conditional comments for Outlook switched on, those hidden from it taken
out, and the CSS it ignores removed. It is a model, not Outlook: it knows the
well-documented gaps, not every quirk.

The model lives beside the linter, in Python like the generator, because it is
a tool of the tests alone: the program never needs it.
"""

import re
import sys

# Declarations the Word engine ignores wherever they stand.
IGNORED = {"max-width", "min-width", "max-height", "border-radius", "background-image", "box-shadow",
           "overflow", "opacity", "display:inline-block", "display:flex", "display:grid", "position"}
# Padding it ignores on these elements (it honours it on table cells), and
# margins on these.
NO_PADDING = {"div", "a", "span"}
NO_MARGIN = {"span", "body"}
PADDING = re.compile(r"^padding(-(top|right|bottom|left))?$")
MARGIN = re.compile(r"^margin(-(top|right|bottom|left))?$")

_REVEALED = re.compile(r"<!--\[if !mso\]><!-->.*?<!--<!\[endif\]-->", re.S)
_CONDITIONAL = re.compile(r"<!--\[if ([^\]]+)\]>(.*?)<!\[endif\]-->", re.S)
_TAG = re.compile(r"<([a-zA-Z][a-zA-Z0-9]*)(\s[^<>]*?)?(/?)>")
_STYLE_ATTR = re.compile(r'(\sstyle=)("([^"]*)"|\'([^\']*)\')')


def _for_outlook(condition):
    # "mso", "mso | IE", "gte mso 9", "(mso)|(IE)": true; "!mso", "IE": false.
    return bool(re.search(r"(?<![!\w])mso\b", condition)) and "!mso" not in condition


def _declarations(style):
    out = []
    for item in style.split(";"):
        if ":" in item:
            name, value = item.split(":", 1)
            out.append((name.strip().lower(), value.strip()))
    return out


def restyle(tag, style):
    """The inline style of one element as the Word engine applies it."""
    kept, alternative = [], None
    for name, value in _declarations(style):
        compact = f"{name}:{value.replace(' ', '').lower()}"
        if name in IGNORED or compact in IGNORED:
            continue
        if name == "background" and "url(" in value:
            continue
        if (tag in NO_PADDING and PADDING.match(name)) or (tag in NO_MARGIN and MARGIN.match(name)):
            continue
        if MARGIN.match(name) and "auto" in value:
            value = re.sub(r"\bauto\b", "0", value)  # it centres with align="center" only
        if tag == "span" and name == "display" and value.lower() != "none":
            continue  # a span stays inline: display:block does not make a line of its own
        if tag == "img" and name in ("width", "height"):
            continue  # it sizes images by their attributes
        if name == "mso-padding-alt":
            alternative = value
            continue
        if name == "mso-hide" and value.lower() == "all":
            kept.append(("display", "none"))
            continue
        kept.append((name, value))
    if alternative is not None:
        kept = [(n, v) for n, v in kept if not n.startswith("padding")] + [("padding", alternative)]
    return ";".join(f"{n}:{v}" for n, v in kept)


def _strip_media(css):
    """The style sheet without its @media blocks, which the engine skips."""
    out, i = [], 0
    while True:
        start = css.find("@media", i)
        if start < 0:
            return "".join(out) + css[i:]
        out.append(css[i:start])
        depth, j = 0, css.find("{", start)
        while True:
            if j < 0 or j >= len(css):
                raise ValueError("an @media block in the style sheet has no end")
            depth += {"{": 1, "}": -1}.get(css[j], 0)
            j += 1
            if depth == 0:
                break
        i = j


def outlook_view(page):
    page = _REVEALED.sub("", page)
    page = _CONDITIONAL.sub(lambda m: m.group(2) if _for_outlook(m.group(1)) else "", page)
    # The document settings are for Word, not content.
    page = re.sub(r"<xml>.*?</xml>", "", page, flags=re.S)
    page = re.sub(r"(<style[^>]*>)(.*?)(</style>)",
                  lambda m: m.group(1) + _strip_media(m.group(2)) + m.group(3), page, flags=re.S)

    def element(m):
        tag = m.group(1).lower()
        attributes = m.group(2) or ""
        attributes = _STYLE_ATTR.sub(
            lambda s: f'{s.group(1)}"{restyle(tag, s.group(3) if s.group(3) is not None else s.group(4))}"',
            attributes)
        return f"<{m.group(1)}{attributes}{m.group(3)}>"

    return _TAG.sub(element, page)


def main(argv):
    if len(argv) != 3:
        print("usage: outlook_model.py IN.html OUT.html", file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as f:
            page = f.read()
        with open(argv[2], "w", encoding="utf-8", newline="\n") as f:
            f.write(outlook_view(page))
    except (OSError, UnicodeDecodeError, ValueError) as error:
        print(f"error: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
