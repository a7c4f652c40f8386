"""A template as the generator sees it: headers, look, and a list of blocks."""

from __future__ import annotations

from typing import Any, Callable, Mapping

from .art import AddImage, Card, Palette, Placed, Scene
from .theme import Theme
from .themes import branded
# The rows of a template's 600 px column, from its theme and its AddImage.
Build = Callable[[Theme, AddImage], list[str]]


class Template:
    """`opening` picks the header and hero layout of this one message (see themes.branded)."""

    def __init__(self, name: str, theme: Theme, subject: str, preheader: str, sender: str, brand: str, mark: str,
                 build: Build, palette: Mapping[str, str] | None = None, date: str | None = None,
                 opening: Mapping[str, str] | None = None) -> None:
        self.name = name
        self.category = theme
        # The sender's own colours over the category's type and dark-mode colours.
        self.theme = branded(theme, brand, **(opening or {}))
        self.subject = subject
        self.preheader = preheader
        self.sender = sender
        self.brand = brand
        self.mark = mark
        self.build = build
        self.palette: Palette = dict(theme.art, **(palette or {}))
        # The logo is the sender's, the same in every message it sends.
        self.logo_palette: Palette = dict(self.palette, main=self.theme.accent, dark=self.theme.band)
        self.date = date or "Mon, 02 Mar 2026 09:00:00 +0000"


def scene(*objects: tuple[Any, ...], seed: int = 1, size: tuple[int, int] | None = None) -> Scene:
    """A banner of drawn objects, each (name, x, y, scale[, rotation]);
    size=(width, height) for a picture that is not a 600 x 300 banner."""
    placed = tuple(Placed(*obj) for obj in objects)
    return Scene(placed, seed, *size) if size else Scene(placed, seed)


def card(obj: str, seed: int = 1) -> Card:
    return Card(obj, seed)
