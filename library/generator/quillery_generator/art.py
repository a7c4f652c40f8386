"""What a template asks to have drawn, and the picture it gets back.

A template names its pictures as values of these types; svgart draws them.
"""

from __future__ import annotations

import re
from dataclasses import dataclass
from typing import Callable, Mapping, NamedTuple, Union

# Colour names ("bg", "main", "dark", ...) to "#rrggbb".
Palette = Mapping[str, str]


class Placed(NamedTuple):
    """One drawn object of a scene, at (x, y), scaled and turned by degrees."""

    name: str
    x: float
    y: float
    scale: float
    rotation: float = 0


class Scene(NamedTuple):
    """A banner of drawn objects on a soft backdrop."""

    objects: tuple[Placed, ...]
    seed: int = 1
    width: int = 600
    height: int = 300


class Card(NamedTuple):
    """One object centred on a tinted tile: a product or a photo."""

    name: str
    seed: int = 1


class Icon(NamedTuple):
    """A round badge with a small object, for detail rows and lists."""

    name: str
    size: int = 48


class Logo(NamedTuple):
    """A sender's mark, white on a tile of its colour."""

    name: str
    size: int = 44


Art = Union[Scene, Card, Icon, Logo]


@dataclass(frozen=True)
class Picture:
    """An image's relative path with the size it is drawn at, so that the
    blocks can give every <img> a height that matches its aspect. It reads as
    its path wherever markup is written."""

    path: str
    width: float
    height: float

    @classmethod
    def of(cls, path: str, svg: str) -> Picture:
        size = re.search(r'<svg[^>]*\swidth="([\d.]+)"[^>]*\sheight="([\d.]+)"', svg)
        if not size:
            raise ValueError(f"{path}: the drawing has no width and height")
        return cls(path, float(size.group(1)), float(size.group(2)))

    def __str__(self) -> str:
        return self.path


# Registers a picture under a name and returns where the message finds it.
AddImage = Callable[[str, Art], Picture]
