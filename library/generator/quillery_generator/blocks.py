"""The building blocks of every template: one 600 px column of layout tables.

The layout is "hybrid": columns are inline-blocks with a max-width, so they sit
side by side where there is room and stack on a phone without relying on
@media, which many clients strip. Every style that matters is inline; the
<style> block only adds dark-mode colours, client resets and small phone
refinements. Outlook for Windows lays mail out with a word processor's engine
that knows no inline-block, max-width or padding outside table cells: it gets
tables of its own in conditional comments that no other client reads.
"""

from __future__ import annotations

import html
import re
import textwrap
from typing import NamedTuple, Sequence

from .art import AddImage, Art, Icon, Logo, Picture
from .theme import Theme


def esc(text: str) -> str:
    return html.escape(text, quote=True)


# ---------------------------------------------------------------- rows
# What the blocks that repeat a layout take, one value per card, product,
# dish, detail or figure.


class CardItem(NamedTuple):
    art: Art
    alt: str
    heading: str
    text: str
    link: str | None


class Product(NamedTuple):
    art: Art
    alt: str
    name: str
    price: str
    old_price: str | None
    label: str


class Dish(NamedTuple):
    name: str
    description: str
    price: str


class MenuSection(NamedTuple):
    title: str
    dishes: Sequence[Dish]


class Detail(NamedTuple):
    """A line of an event's or offer's details: when, where, what to bring."""

    icon: str
    label: str
    value: str


class Figure(NamedTuple):
    figure: str
    label: str


# ---------------------------------------------------------------- markup
# Each block returns rows for the 600 px container table. `t` is the Theme,
# `img(name, art)` registers an image and returns its relative path, which
# carries the `width` and `height` the picture was drawn at.

TABLE = 'role="presentation" cellpadding="0" cellspacing="0" border="0"'
# Without these the Word engine of Outlook for Windows puts a few points of
# space beside every nested table.
NO_GAPS = "mso-table-lspace:0pt;mso-table-rspace:0pt;"


def _mso(markup: str) -> str:
    """Markup that only the Word engine of Outlook for Windows reads."""
    return f"<!--[if mso | IE]>{markup}<![endif]-->"


def _img(t: Theme, src: Picture, width: int, alt: str, on: str, style: str = "", fluid: bool = True,
         slot: str | None = None) -> str:
    """An image with both size attributes, so a client that blocks images
    keeps the layout, and an alt text styled to be readable on `on`'s
    background instead of the client's default black serif."""
    height = round(width * src.height / src.width)
    # The attributes alone leave a picture at its file's size (twice the drawn
    # one) in the programs that ignore them, so the style says it too: both
    # sides, since height:auto would let the alt text of a blocked picture
    # set the box's height.
    size = f"width:100%;max-width:{width}px;height:auto;" if fluid else f"width:{width}px;height:{height}px;"
    mark = f' data-brand="{slot}"' if slot else ""
    return (f'<img{mark} src="{src}" width="{width}" height="{height}" alt="{esc(alt)}" '
            f'style="display:block;{size}border:0;text-decoration:none;'
            f'font-family:{t.font};font-size:14px;line-height:20px;color:{on};{style}">')


def _box(content: str, style: str, align: str | None = None) -> str:
    """A one-cell table: the Word engine ignores padding and borders on a div,
    but not on a table cell."""
    a = f' align="{align}"' if align else ""
    return (f'<table {TABLE} width="100%" style="{NO_GAPS}"><tr><td{a} style="{style}">{content}</td></tr></table>')


def _td(t: Theme, content: str, pad: str = "28px 32px", bg: str | None = None, align: str = "left",
        cls: str = "q-panel") -> str:
    bg = bg or t.panel
    return (f'<tr><td class="{cls}" align="{align}" bgcolor="{bg}" style="padding:{pad};background-color:{bg};'
            f'font-family:{t.font};font-size:16px;line-height:26px;color:{t.text};">{content}</td></tr>')


def _p(t: Theme, text: str, size: int = 16, color: str | None = None, margin: str = "0 0 16px",
       align: str | None = None) -> str:
    a = f"text-align:{align};" if align else ""
    return (f'<p style="margin:{margin};font-family:{t.font};font-size:{size}px;'
            f'line-height:{round(size * 1.6)}px;color:{color or t.text};{a}">{text}</p>')


def _h(t: Theme, text: str, level: int = 2, size: int = 24, color: str | None = None, align: str | None = None) -> str:
    a = f"text-align:{align};" if align else ""
    return (f'<h{level} class="q-heading" style="margin:0 0 12px;font-family:{t.heading_font};'
            f'font-size:{size}px;line-height:{round(size * 1.25)}px;font-weight:700;'
            f'color:{color or t.heading};{a}">{text}</h{level}>')


def button(t: Theme, label: str, href: str = "https://example.com", align: str = "left", bg: str | None = None,
           fg: str | None = None) -> str:
    # The padding sits on the link, so all of the button is clickable; the Word
    # engine ignores padding on a link and takes mso-padding-alt on the cell
    # instead, which every other client ignores.
    bg, fg = bg or t.accent, fg or t.on_accent
    return (f'<table {TABLE} align="{align}" style="{NO_GAPS}margin:8px {"auto" if align == "center" else "0"} 0;">'
            f'<tr><td class="q-button" align="center" bgcolor="{bg}" style="border-radius:{t.radius}px;'
            f'background-color:{bg};mso-padding-alt:14px 28px;">'
            f'<a href="{href}" style="display:inline-block;padding:14px 28px;font-family:{t.font};'
            f'font-size:16px;line-height:20px;font-weight:700;color:{fg};text-decoration:none;'
            f'border-radius:{t.radius}px;">{esc(label)}</a></td></tr></table>')


def header(t: Theme, img: AddImage, brand: str, mark: str, tagline: str | None = None, centered: bool = False) -> str:
    logo = img("logo", Logo(mark, 44))
    light = t.header_style == "light"
    fg, sub = (t.heading, t.muted) if light else (t.on_band, t.on_band)
    # Name and tagline are rows of their own: a client that drops
    # display:block on a span would run them together.
    # data-brand marks what the gallery replaces with the user's brand.
    lines = (f'<tr><td class="q-brand" data-brand="name" style="font-family:{t.heading_font};font-size:20px;'
             f'line-height:26px;font-weight:700;color:{fg};text-align:left;">{esc(brand)}</td></tr>')
    if tagline:
        lines += (f'<tr><td data-brand="tagline" style="font-family:{t.font};font-size:13px;line-height:18px;'
                  f'color:{sub};text-align:left;">{esc(tagline)}</td></tr>')
    align = "center" if centered else "left"
    inner = (f'<table {TABLE} align="{align}" style="{NO_GAPS}"><tr>'
             f'<td valign="middle" style="padding-right:12px;vertical-align:middle;">'
             + _img(t, logo, 44, f"{brand} logo", fg, "border-radius:10px;", fluid=False, slot="logo") + '</td>'
             f'<td valign="middle" style="vertical-align:middle;text-align:left;">'
             f'<table {TABLE} style="{NO_GAPS}">{lines}</table></td></tr></table>')
    if light:
        return (f'<tr><td class="q-panel" align="{align}" bgcolor="{t.panel}" style="padding:22px 32px 18px;'
                f'background-color:{t.panel};border-top:6px solid {t.accent};border-bottom:1px solid {t.soft};">'
                f'{inner}</td></tr>')
    return _td(t, inner, pad="20px 32px", bg=t.band, align=align, cls="q-band")


def hero(t: Theme, img: AddImage, art: Art, alt: str, title: str, text: str, cta: str | None = None,
         eyebrow: str | None = None, centered: bool = False) -> str:
    src = img("hero", art)
    align = "center" if centered else None
    eb = (f'<p style="margin:0 0 8px;font-family:{t.font};font-size:13px;line-height:18px;font-weight:700;'
          f'letter-spacing:2px;text-transform:uppercase;color:{t.muted};{"text-align:center;" if centered else ""}">'
          f'{esc(eyebrow)}</p>') if eyebrow else ""
    body = eb + _h(t, esc(title), 1, 32, align=align) + _p(t, text, 17, align=align)
    if cta:
        body += button(t, cta, align="center" if centered else "left")
    pic = (f'<tr><td bgcolor="{t.panel}" style="padding:0;background-color:{t.panel};">'
           + _img(t, src, 600, alt, t.text) + '</td></tr>')
    if t.hero_style == "headline-first":
        opening = eb + _h(t, esc(title), 1, 34, align=align)
        rest = _p(t, text, 17, align=align) + (button(t, cta, align="center" if centered else "left") if cta else "")
        return _td(t, opening, pad="32px 32px 12px") + pic + _td(t, rest, pad="24px 32px 24px")
    return pic + _td(t, body, pad="32px 32px 24px")


def text(t: Theme, title: str | None, *paragraphs: str, align: str | None = None) -> str:
    body = (_h(t, esc(title), 2, 24, align=align) if title else "") + "".join(_p(t, p, align=align) for p in paragraphs)
    # A title alone introduces the block below it and sits close to it.
    return _td(t, body, pad="28px 32px" if paragraphs else "28px 32px 0")


def _columns(t: Theme, cells: Sequence[tuple[str, int]], inner: int, pad: str, valign: str = "top",
             rtl: bool = False) -> str:
    """cells: (markup, width). Inline-block columns side by side where they
    fit, stacked on a phone without relying on @media.

    The Word engine of Outlook for Windows knows neither inline-block nor
    max-width and would stack them at every width, so a table `inner` px wide
    that only it reads holds each row of columns together.
    """
    rows, used = [[]], 0
    for cell, width in cells:
        if rows[-1] and used + width > inner:
            rows.append([])
            used = 0
        rows[-1].append((cell, width))
        used += width
    direction = ' dir="rtl"' if rtl else ""
    ltr = ' dir="ltr"' if rtl else ""
    out = ""
    for i, row in enumerate(rows):
        for j, (cell, width) in enumerate(row):
            if j:
                before = "</td>"
            elif i:
                before = "</td></tr><tr>"
            else:
                before = f'<table {TABLE} width="{inner}" align="center"{direction} style="{NO_GAPS}"><tr>'
            out += (_mso(f'{before}<td width="{width}" valign="{valign}"{ltr}>')
                    + f'<div class="q-col"{ltr} style="display:inline-block;width:100%;max-width:{width}px;'
                      f'vertical-align:{valign};{"direction:ltr;" if rtl else ""}">{cell}</div>')
    out += _mso("</td></tr></table>")
    # No whitespace between inline-blocks, or they no longer fit side by side.
    return (f'<tr><td class="q-panel" align="center"{direction} bgcolor="{t.panel}" style="padding:{pad};'
            f'background-color:{t.panel};font-size:0;line-height:0;{"direction:rtl;" if rtl else ""}">{out}</td></tr>')


def _cell(t: Theme, content: str, pad: str, align: str) -> str:
    return _box(content, f"padding:{pad};text-align:{align};font-family:{t.font};font-size:15px;"
                         f"line-height:22px;color:{t.text};", align)


def cards(t: Theme, img: AddImage, items: Sequence[CardItem], title: str | None = None) -> str:
    """items: (art, alt, heading, text, link label) in two columns."""
    cells = []
    for i, (art, alt, heading, body, link) in enumerate(items):
        src = img(f"card{i + 1}", art)
        more = (f'<a class="q-link" href="https://example.com" style="font-family:{t.font};font-size:15px;'
                f'font-weight:700;color:{t.heading};text-decoration:underline;">{esc(link)}</a>') if link else ""
        content = (_img(t, src, 238, alt, t.text, f"border-radius:{t.radius}px;margin:0 0 14px;")
                   + _h(t, esc(heading), 3 if title else 2, 19) + _p(t, body, 15, margin="0 0 10px") + more)
        cells.append((_cell(t, content, "12px 16px", "left"), 270))
    head = _td(t, _h(t, esc(title), 2, 24), pad="28px 32px 0") if title else ""
    return head + _columns(t, cells, 576, "8px 12px 20px")


def feature(t: Theme, img: AddImage, name: str, art: Art, alt: str, heading: str, body: str, link: str | None = None,
            image_right: bool = False, level: int = 3) -> str:
    """An image beside its text, side by side on a desktop and stacked on a phone.

    level is its heading's: 3 under a section's title, 2 where it follows the
    opening directly.

    The image always comes first in the source, so a phone shows it above its
    text; image_right lays the columns out right to left, the classic way to
    alternate sides without @media.
    """
    src = img(name, art)
    picture = _box(_img(t, src, 236, alt, t.text, f"border-radius:{t.radius}px;margin:0 auto;"),
                   "padding:12px 12px;", "center")
    more = (f'<a class="q-link" href="https://example.com" style="font-family:{t.font};font-size:15px;'
            f'font-weight:700;color:{t.heading};text-decoration:underline;">{esc(link)}</a>') if link else ""
    words = _cell(t, _h(t, esc(heading), level, 20) + _p(t, body, 15, margin="0 0 10px") + more, "12px 12px", "left")
    return _columns(t, [(picture, 260), (words, 300)], 584, "8px 8px", valign="middle", rtl=image_right)


def hero_split(t: Theme, img: AddImage, art: Art, alt: str, title: str, text: str, cta: str | None = None,
               eyebrow: str | None = None) -> str:
    """An opening with the picture beside the headline: side by side on a
    desktop, the picture on top on a phone.

    Both columns fit the 580 px the page's side padding leaves in a 600 px
    window, so a reading pane of the template's own width shows them side by side.
    """
    src = img("hero", art)
    picture = _box(_img(t, src, 240, alt, t.text, f"border-radius:{t.radius}px;margin:0 auto;"),
                   "padding:12px 12px;", "center")
    eb = (f'<p style="margin:0 0 8px;font-family:{t.font};font-size:13px;line-height:18px;font-weight:700;'
          f'letter-spacing:2px;text-transform:uppercase;color:{t.muted};">{esc(eyebrow)}</p>') if eyebrow else ""
    words = _cell(t, eb + _h(t, esc(title), 1, 30) + _p(t, text, 16) + (button(t, cta) if cta else ""),
                  "12px 16px 12px 12px", "left")
    return _columns(t, [(picture, 264), (words, 296)], 584, "16px 8px", valign="middle")


def products(t: Theme, img: AddImage, items: Sequence[Product], title: str | None = None) -> str:
    """items: (art, alt, name, price, old price or None, button label)."""
    cells = []
    for i, (art, alt, name, price, old, label) in enumerate(items):
        src = img(f"product{i + 1}", art)
        was = (f' <span style="font-size:15px;font-weight:400;color:{t.muted};text-decoration:line-through;">'
               f'{esc(old)}</span>') if old else ""
        content = (_img(t, src, 238, alt, t.text, f"border-radius:{t.radius}px;margin:0 auto 14px;")
                   + _h(t, esc(name), 3 if title else 2, 18, align="center")
                   + f'<p style="margin:0 0 8px;font-family:{t.font};font-size:20px;line-height:28px;font-weight:700;'
                     f'color:{t.heading};text-align:center;">{esc(price)}{was}</p>'
                   + button(t, label, align="center"))
        cells.append((_cell(t, content, "12px 16px", "center"), 270))
    head = _td(t, _h(t, esc(title), 2, 24, align="center"), pad="28px 32px 0") if title else ""
    return head + _columns(t, cells, 576, "8px 12px 20px")


def _unbroken(words: str) -> str:
    # Non-breaking spaces rather than white-space:nowrap, which the Word engine
    # and some phone clients ignore.
    return esc(words).replace(" ", "&nbsp;")


def menu(t: Theme, title: str, sections: Sequence[MenuSection], note: str | None = None) -> str:
    """sections: (section title, [(dish, description, price)])."""
    body = _h(t, esc(title), 2, 26, align="center")
    for heading, dishes in sections:
        body += (f'<p style="margin:24px 0 8px;font-family:{t.font};font-size:13px;line-height:18px;font-weight:700;'
                 f'letter-spacing:2px;text-transform:uppercase;color:{t.muted};text-align:center;">{esc(heading)}</p>')
        rows = "".join(
            f'<tr><td class="q-rule" style="padding:10px 0;border-bottom:1px solid {t.soft};vertical-align:top;">'
            f'<span style="font-family:{t.heading_font};font-size:17px;line-height:24px;font-weight:700;'
            f'color:{t.heading};">{esc(d)}</span><br>'
            f'<span style="font-family:{t.font};font-size:14px;line-height:21px;color:{t.muted};">{esc(desc)}</span>'
            '</td>'
            f'<td class="q-rule" style="padding:10px 0 10px 12px;border-bottom:1px solid {t.soft};vertical-align:top;'
            'text-align:right;'
            f'font-family:{t.font};font-size:17px;line-height:24px;font-weight:700;color:{t.heading};">'
            f'{_unbroken(price)}</td></tr>'
            for d, desc, price in dishes)
        body += f'<table {TABLE} width="100%" style="{NO_GAPS}">{rows}</table>'
    if note:
        body += _p(t, note, 14, t.muted, margin="20px 0 0", align="center")
    return _td(t, body)


def details(t: Theme, img: AddImage, title: str | None, rows: Sequence[Detail], cta: str | None = None) -> str:
    """rows: (icon object, label, value) - when, where, what to bring."""
    body = _h(t, esc(title), 2, 24) if title else ""
    trs = ""
    for i, (obj, label, value) in enumerate(rows):
        src = img(f"icon{i + 1}", Icon(obj, 48))
        trs += ('<tr><td width="56" style="padding:8px 12px 8px 0;vertical-align:top;">'
                + _img(t, src, 44, "", t.text, fluid=False) + '</td>'
                f'<td style="padding:8px 0;vertical-align:top;font-family:{t.font};">'
                '<span style="font-size:13px;line-height:18px;font-weight:700;letter-spacing:1px;'
                f'text-transform:uppercase;color:{t.muted};">{esc(label)}</span><br>'
                f'<span style="font-size:17px;line-height:25px;color:{t.text};">{value}</span></td></tr>')
    body += f'<table {TABLE} width="100%" style="{NO_GAPS}">{trs}</table>'
    if cta:
        body += button(t, cta)
    return _td(t, body, bg=t.soft, cls="q-soft")


def stats(t: Theme, items: Sequence[Figure], title: str | None = None) -> str:
    """items: (figure, label), three across, stacking on a phone."""
    cells = [(_cell(t, f'<p style="margin:0;font-family:{t.heading_font};font-size:36px;line-height:44px;'
                       f'font-weight:700;color:{t.heading};">{esc(n)}</p>'
                       f'<p style="margin:4px 0 0;font-family:{t.font};font-size:15px;line-height:22px;color:{t.text};'
                       f'">{esc(label)}</p>',
                    "12px 8px", "center"), 184)
             for n, label in items]
    head = _td(t, _h(t, esc(title), 2, 24, align="center"), pad="28px 32px 0") if title else ""
    return head + _columns(t, cells, 576, "8px 12px 20px")


def quote(t: Theme, words: str, who: str) -> str:
    body = (f'<p style="margin:0 0 12px;font-family:{t.heading_font};font-size:21px;line-height:32px;font-style:italic;'
            f'color:{t.heading};">&ldquo;{esc(words)}&rdquo;</p>'
            f'<p style="margin:0;font-family:{t.font};font-size:15px;line-height:22px;color:{t.text};">&mdash; '
            f'{esc(who)}</p>')
    return _td(t, _box(body, f"border-left:4px solid {t.accent};padding-left:20px;"), bg=t.soft, cls="q-soft")


def checklist(t: Theme, img: AddImage, title: str, items: Sequence[str]) -> str:
    src = img("check", Icon("star", 48))
    trs = "".join('<tr><td width="36" style="padding:6px 10px 6px 0;vertical-align:top;">'
                  + _img(t, src, 24, "", t.text, fluid=False) + '</td>'
                  f'<td style="padding:6px 0;font-family:{t.font};font-size:16px;line-height:24px;color:{t.text};">'
                  f'{item}</td></tr>'
                  for item in items)
    return _td(t, _h(t, esc(title), 2, 22) +
               f'<table {TABLE} width="100%" style="{NO_GAPS}">{trs}</table>')


def coupon(t: Theme, title: str, code: str, note: str) -> str:
    body = (_h(t, esc(title), 2, 22, color=t.on_band, align="center")
            + f'<table {TABLE} align="center" style="{NO_GAPS}margin:0 auto 12px;"><tr>'
              f'<td align="center" style="padding:12px 20px;border:2px dashed {t.on_band};border-radius:{t.radius}px;'
              'font-family:Courier New,Courier,monospace;font-size:26px;line-height:32px;font-weight:700;'
              'letter-spacing:4px;'
              f'color:{t.on_band};text-align:center;">{esc(code)}</td></tr></table>'
            + _p(t, note, 14, t.on_band, margin="0", align="center"))
    return _td(t, body, bg=t.band, align="center", cls="q-band")


def cta(t: Theme, title: str, body: str, label: str) -> str:
    return _td(t, _h(t, esc(title), 2, 24, align="center") + _p(t, body, align="center")
               + button(t, label, align="center"), pad="36px 32px", align="center")


def divider(t: Theme) -> str:
    return (f'<tr><td class="q-panel" bgcolor="{t.panel}" style="padding:0 32px;background-color:{t.panel};">'
            f'<table {TABLE} width="100%" style="{NO_GAPS}"><tr><td height="1" bgcolor="{t.soft}" '
            f'style="height:1px;line-height:1px;font-size:1px;background-color:{t.soft};">&nbsp;</td></tr></table></td>'
            '</tr>')


def footer(t: Theme, brand: str, why: str) -> str:
    # The sender's name, wherever the footer says it, is a slot the gallery
    # fills with the user's; what follows a comma ("registered charity
    # [number]") stays for the user to complete.
    name = brand.split(",")[0]
    named = f'<span data-brand="name">{esc(name)}</span>'
    body = (f'<p style="margin:0 0 8px;font-family:{t.font};font-size:13px;line-height:20px;color:{t.muted};">'
            f'{esc(why).replace(esc(name), named)}</p>'
            f'<p style="margin:0 0 8px;font-family:{t.font};font-size:13px;line-height:20px;color:{t.muted};">'
            f'{named}{esc(brand[len(name):])} &middot; '
            '<span data-brand="address">[Street address], [Postcode] [City], [Country]</span></p>'
            # Empty, so it takes no room: the gallery puts a brand's social links here.
            '<p data-brand="social" style="margin:0;"></p>'
            f'<p style="margin:0;font-family:{t.font};font-size:13px;line-height:20px;color:{t.muted};">'
            f'<a data-brand="unsubscribe" href="[unsubscribe_url]" style="color:{t.muted};text-decoration:underline;">'
            'Unsubscribe</a> &middot; '
            f'<a href="[preferences_url]" style="color:{t.muted};text-decoration:underline;">Update your '
            'preferences</a> &middot; '
            f'<a data-brand="view-in-browser" href="[web_version_url]" style="color:{t.muted};'
            'text-decoration:underline;">View in your browser</a>'
            '</p>')
    return (f'<tr><td class="q-page q-footer" align="center" bgcolor="{t.page}" style="padding:24px 32px 8px;'
            f'background-color:{t.page};text-align:center;">{body}</td></tr>')


# ---------------------------------------------------------------- page

def _dark(t: Theme) -> list[tuple[str, str, str]]:
    """The dark-mode colours as (selector, property, value), in cascade order."""
    return [
        (".q-page", "background-color", t.dark_page),
        (".q-panel", "background-color", t.dark_panel),
        (".q-panel", "color", t.dark_text),
        (".q-panel p, .q-panel span, .q-panel td", "color", t.dark_text),
        # Type selectors: Outlook.com drops a rule with two classes in one selector.
        (".q-panel h1, .q-panel h2, .q-panel h3, .q-soft h1, .q-soft h2, .q-soft h3", "color", t.dark_heading),
        (".q-soft", "background-color", t.dark_page),
        (".q-soft p, .q-soft span, .q-soft td", "color", t.dark_text),
        (".q-band", "background-color", t.dark_band),
        (".q-link, .q-footer p, .q-footer a", "color", t.dark_heading),
        (".q-footer p", "color", t.dark_text),
        (".q-rule", "border-color", t.dark_page),
    ]


def _style(t: Theme) -> str:
    # Only enhancements: the layout, colours and type are all inline. No url()
    # here: a client would fetch it only on demand.
    scheme = "\n".join(f"  {sel} {{ {prop}: {value} !important; }}" for sel, prop, value in _dark(t))
    # Outlook.com darkens a message itself and marks what it changed with
    # data-ogsc (text colour) and data-ogsb (background); these rules put the
    # template's own dark colours in place of its guesses.
    outlook = "\n".join(
        ", ".join(f"[data-ogs{'b' if prop == 'background-color' else 'c'}] {part.strip()}"
                  for part in sel.split(",")) + f" {{ {prop}: {value} !important; }}"
        for sel, prop, value in _dark(t))
    return textwrap.dedent(f"""\
        :root {{ color-scheme: light dark; supported-color-schemes: light dark; }}
        body {{ margin: 0; padding: 0; -webkit-text-size-adjust: 100%; -ms-text-size-adjust: 100%; }}
        table, td {{ mso-table-lspace: 0pt; mso-table-rspace: 0pt; }}
        img {{ -ms-interpolation-mode: bicubic; }}
        a[x-apple-data-detectors], u + #body a, #MessageViewBody a {{
          color: inherit !important; text-decoration: none !important; font-size: inherit !important;
          font-family: inherit !important; font-weight: inherit !important; line-height: inherit !important;
        }}
        @media (max-width: 480px) {{
          .q-panel, .q-band, .q-soft {{ padding-left: 20px !important; padding-right: 20px !important; }}
          .q-heading {{ word-break: break-word; }}
        }}
        @media (prefers-color-scheme: dark) {{
          body {{ background-color: {t.dark_page} !important; }}
        """) + scheme + "\n}\n" + outlook


# The Word engine: PNGs allowed, sizes in CSS pixels at 96 dpi rather than
# scaled on high-resolution screens, no gaps between cells, and line heights
# taken as written.
_MSO_HEAD = ("<!--[if mso]>\n<xml><o:OfficeDocumentSettings><o:AllowPNG/><o:PixelsPerInch>96</o:PixelsPerInch>"
             "</o:OfficeDocumentSettings></xml>\n<style>table, td { border-collapse: collapse; }</style>\n"
             "<![endif]-->\n")


def _exact_line_heights(markup: str) -> str:
    # The Word engine reads a line-height as a minimum unless told otherwise.
    return re.sub(r'(?<=["; ])line-height:', "mso-line-height-rule:exactly;line-height:", markup)


def page(t: Theme, subject: str, preheader: str, rows: Sequence[str], lang: str = "en") -> str:
    pad = "&#847;&zwnj;&nbsp;" * 40  # keeps the body text out of the inbox preview line
    body = (f'<body id="body" class="q-page" bgcolor="{t.page}" style="margin:0;padding:0;background-color:{t.page};'
            f'-webkit-text-size-adjust:100%;-ms-text-size-adjust:100%;">\n'
            '<div style="display:none;max-height:0;max-width:0;overflow:hidden;opacity:0;mso-hide:all;" '
            'aria-hidden="true">'
            f"{esc(preheader)}{pad}</div>\n"
            f'<table {TABLE} width="100%" class="q-page" bgcolor="{t.page}" style="{NO_GAPS}background-color:{t.page};'
            '">\n'
            f'<tr><td align="center" style="padding:24px 10px;">\n'
            + _mso(f'<table {TABLE} width="600" align="center" style="{NO_GAPS}"><tr><td width="600">') + "\n"
            + f'<table {TABLE} width="100%" style="{NO_GAPS}max-width:600px;border-radius:{t.radius}px;overflow:hidden;'
              '">\n'
            + "\n".join(rows) +
            "\n</table>\n" + _mso("</td></tr></table>") + "\n</td></tr>\n</table>\n</body>\n")
    return (f'<!DOCTYPE html>\n<html lang="{lang}" xmlns="http://www.w3.org/1999/xhtml" '
            'xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office">\n<head>\n'
            '<meta charset="utf-8">\n<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            '<meta http-equiv="X-UA-Compatible" content="IE=edge">\n'
            '<meta name="x-apple-disable-message-reformatting">\n'
            '<meta name="format-detection" content="telephone=no, date=no, address=no, email=no, url=no">\n'
            '<meta name="color-scheme" content="light dark">\n<meta name="supported-color-schemes" content="light '
            'dark">\n'
            f"<title>{esc(subject)}</title>\n{_MSO_HEAD}<style>\n{_style(t)}\n</style>\n</head>\n"
            + _exact_line_heights(body) + "</html>\n")
