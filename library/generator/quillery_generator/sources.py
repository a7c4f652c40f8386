"""Writes the readable sources of the template library.

    python3 library/generator/generate.py [library/sources]

For each category a folder (its page file name without ".html") holding
page.html, and per template a folder with message.html, message.txt,
headers.txt and images/*.svg. `quillery-library build` turns these into the
runtime library. The output is deterministic, so regenerating an unchanged
generator changes no file.
"""

from __future__ import annotations

import html
import os
import re
import shutil
import textwrap
from html.parser import HTMLParser
from typing import Iterable, Mapping, Sequence

from . import blocks, brandmarks, calendar_dates, svgart
from .art import Art, Logo, Palette, Picture
from .content_people import TEMPLATES as PEOPLE
from .content_shops import TEMPLATES as SHOPS
from .content_travel import TEMPLATES as TRAVEL
from .content_work import TEMPLATES as WORK
from .template import Template
from .theme import Theme

# Folder name = page file name without ".html": the "0" and "1" prefixes put
# Retail and Food first; the rest follow in name order.
CATEGORIES: list[tuple[str, str, str]] = [
    ("0Retail", "Retail", "Sales, launches and loyalty mailings for shops and brands."),
    ("1Food and Drink", "Food and Drink", "Menus, tastings and openings for cafés, bakeries and restaurants."),
    ("Business", "Business", "Product news, invitations and reports for companies and start-ups."),
    ("Education", "Education", "Newsletters and invitations for schools, colleges, camps and libraries."),
    ("Nonprofit", "Nonprofit", "Appeals, thank-yous and impact stories for charities."),
    ("Real Estate", "Real Estate", "Listings, open houses and market updates for agents."),
    ("Travel and Events", "Travel and Events", "Trips, festivals, races and weekends away."),
]

MAX_HTML_BYTES = 100 * 1024
MAX_TEMPLATES_PER_OBJECT = 2


def slug(name: str) -> str:
    table = str.maketrans("àáâäãåçèéêëìíîïñòóôöõùúûüýÿ", "aaaaaaceeeeiiiinooooouuuuyy")
    return re.sub(r"[^a-z0-9]+", "-", name.lower().translate(table)).strip("-")


def render_art(palette: Palette, art: Art) -> str:
    return svgart.draw(palette, art)


class TextPart(HTMLParser):
    """The text/plain alternative: the same words, in reading order."""

    BLOCK = {"p", "h1", "h2", "h3", "tr", "div", "table", "br"}

    def __init__(self) -> None:
        super().__init__(convert_charrefs=True)
        self.out: list[str] = []
        self.skip = 0
        self.href: str | None = None
        self.heading = False
        self.was_price = False

    def handle_starttag(self, tag: str, attrs: list[tuple[str, str | None]]) -> None:
        a = dict(attrs)
        if tag in ("style", "title") or a.get("aria-hidden") == "true":
            self.skip += 1
        elif tag in self.BLOCK:
            self.out.append("\n")
        if tag in ("h1", "h2"):
            self.heading = True
        if tag == "a":
            self.href = a.get("href")
        if tag == "td":
            self.out.append("  ")
        style = a.get("style") or ""
        if tag == "span" and "display:block" in style:
            self.out.append("\n")
        if tag == "span" and "line-through" in style:
            self.out.append(" (was ")
            self.was_price = True

    def handle_endtag(self, tag: str) -> None:
        if tag in ("style", "title") or (tag == "div" and self.skip):
            self.skip = max(0, self.skip - 1)
            return
        if tag == "a" and self.href and not self.skip:
            self.out.append(f" ({self.href})")
            self.href = None
        if tag in ("h1", "h2"):
            self.heading = False
        if tag == "span" and self.was_price:
            self.out.append(")")
            self.was_price = False
        if tag in ("p", "h1", "h2", "h3", "table"):
            self.out.append("\n")

    def handle_data(self, data: str) -> None:
        if self.skip:
            return
        text = re.sub(r"\s+", " ", data)
        if self.heading:
            text = text.upper()
        self.out.append(text)

    def text(self) -> str:
        raw = "".join(self.out).replace("\u034f", "").replace("\u200c", "").replace("\xa0", " ")
        paragraphs = []
        for block in re.split(r"\n\s*\n", raw):
            lines = [re.sub(r"\s+", " ", line).strip() for line in block.split("\n")]
            lines = [line for line in lines if line]
            for line in lines:
                paragraphs.append(textwrap.fill(line, 72, break_long_words=False, break_on_hyphens=False))
            if lines:
                paragraphs.append("")
        return "\n".join(paragraphs).strip() + "\n"


def write(path: str, text: str) -> None:
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def build_template(folder: str, tpl: Template) -> set[str]:
    images: dict[str, str] = {}
    pictured: set[str] = set()

    def img(name: str, art: Art) -> Picture:
        if name not in images:
            images[name] = render_art(tpl.logo_palette if isinstance(art, Logo) else tpl.palette, art)
            pictured.update(pictured_objects(art))
        return Picture.of(f"images/{name}.png", images[name])

    def build(theme: Theme) -> str:
        return blocks.page(theme, tpl.subject, tpl.preheader, tpl.build(theme, img))

    page = brandmarks.mark(build(tpl.theme), build, tpl.theme)
    if len(page.encode("utf-8")) > MAX_HTML_BYTES:
        raise ValueError(f"{tpl.name}: HTML over {MAX_HTML_BYTES} bytes")
    check_headings(tpl.name, page)
    check_image_sizes(tpl.name, page)
    parser = TextPart()
    parser.feed(page)
    calendar_dates.check_weekdays(tpl.name, tpl.date, html.unescape(page))
    write(os.path.join(folder, "message.html"), page)
    write(os.path.join(folder, "message.txt"), f"{tpl.subject}\n\n" + parser.text())
    write(os.path.join(folder, "headers.txt"),
          f"From: {tpl.sender}\nSubject: {tpl.subject}\nDate: {tpl.date}\n")
    for name, svg in sorted(images.items()):
        write(os.path.join(folder, "images", f"{name}.svg"), svg)
    return pictured


def check_headings(name: str, page: str) -> None:
    """Refuses a heading more than one level below the one before it: screen
    reader users move by heading level, and a skipped level reads as a
    missing section."""
    previous = 0
    for level in (int(n) for n in re.findall(r"<h([1-6])[\s>]", page, re.IGNORECASE)):
        if level > previous + 1:
            raise ValueError(f"{name}: an h{level} follows " +
                             (f"an h{previous}" if previous else "no heading") +
                             "; headings go down one level at a time")
        previous = level


def check_image_sizes(name: str, page: str) -> None:
    """Refuses a picture sized by its attributes alone: the files are drawn at
    twice the size, and programs that ignore the attributes show them so."""
    for img in re.findall(r"<img\b[^>]*>", page, re.IGNORECASE):
        style = re.search(r'\sstyle="([^"]*)"', img)
        if not style or not re.search(r"(^|;)\s*(max-)?width\s*:", style.group(1)):
            src = re.search(r'\ssrc="([^"]*)"', img)
            raise ValueError(f"{name}: the picture {src.group(1) if src else img} has no width in its style")


def pictured_objects(art: Art) -> set[str]:
    """The drawn objects of a scene or a card: what a reader takes the picture to show."""
    return svgart.pictured_objects(art)


def check_brands(templates: Iterable[Template]) -> None:
    """Refuses two senders dressed alike: a reader tells senders apart by band and buttons."""
    seen: dict[tuple[str, str], str] = {}
    for tpl in templates:
        look = (tpl.theme.band, tpl.theme.accent)
        other = seen.setdefault(look, tpl.brand)
        if other != tpl.brand:
            raise ValueError(f"{tpl.name}: {tpl.brand} has the band and buttons of {other} "
                             f"({look[0]}, {look[1]}); give it its own colours in themes.BRANDS")


def check_reuse(pictures: Mapping[str, Iterable[str]]) -> None:
    """Refuses an object drawn as a main picture in more than two templates: the art would repeat."""
    users: dict[str, list[str]] = {}
    for name, objects in pictures.items():
        for obj in objects:
            users.setdefault(obj, []).append(name)
    for obj, names in sorted(users.items()):
        if len(names) > MAX_TEMPLATES_PER_OBJECT:
            raise ValueError(f"the drawing {obj!r} is a main picture in {len(names)} templates "
                             f"({', '.join(names)}); at most {MAX_TEMPLATES_PER_OBJECT} may share one")


def rgb(hex_colour: str) -> str:
    h = hex_colour.lstrip("#")
    return "rgb({}, {}, {})".format(*(int(h[i:i + 2], 16) for i in (0, 2, 4)))


def category_page(title: str, blurb: str, templates: Sequence[Template]) -> str:
    # The first "#" in this file must be the first template link: colours are
    # written as rgb(), and nothing else before the grid uses that character.
    theme = templates[0].category
    cards = "\n".join(
        f'<li><a href="#{html.escape(t.name, quote=True)}">'
        f'<img src="thumbs/{slug(t.name)}.png" width="300" height="375" '
        f'alt="Preview of the template {html.escape(t.name)}"><span>{html.escape(t.name)}</span></a></li>'
        for t in templates)
    return f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{html.escape(title)}</title>
<style>
body {{ margin: 0; padding: 16px 14px 24px; background: rgb(244, 242, 238); color: rgb(36, 36, 40);
       font: 15px/1.45 "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif;
       border-top: 5px solid {rgb(theme.accent)}; }}
h1 {{ margin: 0 0 4px; font-size: 22px; line-height: 1.25; color: {rgb(theme.heading)};
      font-family: {theme.heading_font}; }}
p {{ margin: 0 0 16px; color: rgb(84, 84, 92); }}
ul {{ list-style: none; margin: 0; padding: 0; display: grid; gap: 16px;
      grid-template-columns: repeat(auto-fill, minmax(160px, 1fr)); }}
a {{ display: block; color: rgb(28, 28, 34); text-decoration: none; border-radius: 10px; padding: 8px;
     background: rgb(255, 255, 255); box-shadow: 0 1px 3px rgba(0, 0, 0, 0.12); }}
a:focus, a:hover {{ outline: 3px solid rgb(51, 68, 204); outline-offset: 1px; }}
img {{ display: block; width: 100%; height: auto; border-radius: 6px; border: 1px solid rgb(224, 222, 218); }}
span {{ display: block; padding: 8px 2px 2px; font-weight: 600; overflow-wrap: anywhere; }}
@media (prefers-color-scheme: dark) {{
  body {{ background: rgb(28, 29, 33); color: rgb(232, 232, 236); }}
  a {{ color: rgb(240, 240, 244); }}
  h1 {{ color: {rgb(theme.dark_heading)}; }}
  p {{ color: rgb(190, 190, 198); }}
  a {{ background: rgb(44, 45, 52); }}
  img {{ border-color: rgb(60, 61, 68); }}
}}
</style>
</head>
<body>
<main>
<h1>{html.escape(title)}</h1>
<p>{html.escape(blurb)}</p>
<ul>
{cards}
</ul>
</main>
</body>
</html>
"""


def main(argv: Sequence[str]) -> int:
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[0] if argv else os.path.join(here, "..", "..", "sources")
    by_theme: dict[str, list[Template]] = {}
    for tpl in SHOPS + WORK + PEOPLE + TRAVEL:
        by_theme.setdefault(tpl.category.name, []).append(tpl)
    names = [t.name for t in SHOPS + WORK + PEOPLE + TRAVEL]
    check_brands(SHOPS + WORK + PEOPLE + TRAVEL)
    if len(set(names)) != len(names) or len({slug(n) for n in names}) != len(names):
        raise ValueError("template names and their thumbnail names must be unique")
    pictures: dict[str, set[str]] = {}
    for folder, title, blurb in CATEGORIES:
        cat = os.path.join(out, folder)
        templates = by_theme[title]
        # Drop what an earlier run wrote for templates that no longer exist,
        # but keep the committed thumbnails.
        if os.path.isdir(cat):
            for entry in os.listdir(cat):
                if entry != "thumbs" and os.path.isdir(os.path.join(cat, entry)):
                    shutil.rmtree(os.path.join(cat, entry))
        write(os.path.join(cat, "page.html"), category_page(title, blurb, templates))
        for tpl in templates:
            pictures[tpl.name] = build_template(os.path.join(cat, tpl.name), tpl)
    check_reuse(pictures)
    print(f"wrote {len(names)} templates in {len(CATEGORIES)} categories to {os.path.normpath(out)}")
    return 0
