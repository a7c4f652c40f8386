"""Marks on a page that let the gallery put a user's brand on it.

Every colour the page takes from the sender's theme is marked with its role:
an element lists, in a data-brand-colours attribute, the role of each colour
written in its attributes, in the order they appear; a <style> element does
the same for the colours of its rules. The roles are found by building the
page a second time with a colour of its own for every role and comparing the
two pages token by token, so no block has to say which colour it wrote, and a
colour that two roles share (a heading in the band's colour) still gets the
role of each place it is used in.
"""

from __future__ import annotations

import copy
import re
from typing import Callable

from .theme import Theme

ROLES = ("page", "panel", "text", "muted", "heading", "accent", "on_accent", "band", "on_band", "soft",
         "dark_page", "dark_panel", "dark_text", "dark_heading", "dark_band")

HEX = re.compile(r"#[0-9a-fA-F]{6}(?![0-9a-zA-Z_-])")
# Tags, style elements and comments, as the page writes them: no ">" inside an
# attribute value.
_SPANS = re.compile(r"<style\b[^>]*>.*?</style>|<!--.*?-->|<[a-zA-Z][^>]*>", re.S)


def _sentinel(index: int) -> str:
    return f"#c0de{index:02x}"


def sentinel_theme(theme: Theme) -> Theme:
    """The theme with a colour of its own per role; its contrast is never
    checked, since only its tokens are compared."""
    marked = copy.copy(theme)
    for i, role in enumerate(ROLES):
        object.__setattr__(marked, role, _sentinel(i))
    return marked


def mark(page: str, build: Callable[[Theme], str], theme: Theme) -> str:
    """`page` built from `theme` with the roles of its theme colours marked;
    `build` makes the same page from another theme."""
    probe = build(sentinel_theme(theme))
    roles = {_sentinel(i): role.replace("_", "-") for i, role in enumerate(ROLES)}
    real_parts, probe_parts = HEX.split(page), HEX.split(probe)
    if real_parts != probe_parts:
        raise ValueError("the page's markup depends on its colours; its theme colours cannot be marked")
    real_tokens = [(m.start(), m.group(0)) for m in HEX.finditer(page)]
    probe_tokens = [m.group(0).lower() for m in HEX.finditer(probe)]
    role_at = {pos: roles.get(probe) for (pos, _), probe in zip(real_tokens, probe_tokens)}

    out, last = [], 0
    for span in _SPANS.finditer(page):
        inside = [role_at[pos] for pos, _ in real_tokens if span.start() <= pos < span.end()]
        if not any(inside):
            continue
        if span.group(0).startswith("<!--"):
            raise ValueError("a theme colour inside a comment cannot be marked")
        head_end = span.group(0).index(">") + span.start()
        out.append(page[last:head_end])
        # "-": a colour of the template's own, which no brand changes.
        out.append(f' data-brand-colours="{" ".join(r or "-" for r in inside)}"')
        last = head_end
    out.append(page[last:])
    return "".join(out)
