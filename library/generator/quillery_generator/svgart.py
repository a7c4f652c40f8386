"""Flat vector illustrations for the templates, written as SVG.

Every picture is composed from a handful of drawn objects on a soft backdrop,
so the art of thirty templates stays consistent and needs no outside images.
No text is drawn: headlines belong in the HTML, where screen readers, search
and translation tools find them.
"""

from __future__ import annotations

import math
from typing import Callable

from .art import Art, Card, Icon, Logo, Palette, Placed, Scene


class Svg:
    def __init__(self, width: float, height: float) -> None:
        self.width = width
        self.height = height
        self.defs: list[str] = []
        self.parts: list[str] = []
        self._ids = 0

    def uid(self, stem: str) -> str:
        self._ids += 1
        return f"{stem}{self._ids}"

    def add(self, text: str) -> None:
        self.parts.append(text)

    def linear(self, top: str, bottom: str, angle_vertical: bool = True) -> str:
        gid = self.uid("g")
        x2, y2 = ("0", "1") if angle_vertical else ("1", "1")
        self.defs.append(
            f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            "</linearGradient>")
        return f"url(#{gid})"

    def text(self) -> str:
        defs = f"<defs>{''.join(self.defs)}</defs>" if self.defs else ""
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.width}" '
                f'height="{self.height}" viewBox="0 0 {self.width} {self.height}">'
                f"{defs}\n" + "\n".join(self.parts) + "\n</svg>\n")


def rect(x: float, y: float, w: float, h: float, fill: str, r: float = 0, extra: str = "") -> str:
    return f'<rect x="{x:g}" y="{y:g}" width="{w:g}" height="{h:g}" rx="{r:g}" fill="{fill}" {extra}/>'


def circle(cx: float, cy: float, r: float, fill: str, extra: str = "") -> str:
    return f'<circle cx="{cx:g}" cy="{cy:g}" r="{r:g}" fill="{fill}" {extra}/>'


def ellipse(cx: float, cy: float, rx: float, ry: float, fill: str, extra: str = "") -> str:
    return f'<ellipse cx="{cx:g}" cy="{cy:g}" rx="{rx:g}" ry="{ry:g}" fill="{fill}" {extra}/>'


def path(d: str, fill: str = "none", stroke: str | None = None, width: float = 0, extra: str = "") -> str:
    s = f' stroke="{stroke}" stroke-width="{width:g}" stroke-linecap="round" stroke-linejoin="round"' if stroke else ""
    return f'<path d="{d}" fill="{fill}"{s} {extra}/>'


def group(content: str, x: float = 0, y: float = 0, s: float = 1.0, rotate: float = 0) -> str:
    t = f"translate({x:g} {y:g})"
    if rotate:
        t += f" rotate({rotate:g})"
    if s != 1:
        t += f" scale({s:g})"
    return f'<g transform="{t}">{content}</g>'


def blob(cx: float, cy: float, r: float, fill: str, wobble: float = 0.18, seed: int = 1, points: int = 7,
         extra: str = "") -> str:
    """A soft organic shape: a closed curve through jittered points on a circle."""
    pts = []
    for i in range(points):
        a = 2 * math.pi * i / points
        k = 1 + wobble * math.sin(seed * 1.7 + i * 2.3)
        pts.append((cx + r * k * math.cos(a), cy + r * k * math.sin(a)))
    d = []
    n = len(pts)
    for i in range(n):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[(i + 1) % n], pts[(i + 2) % n]
        if i == 0:
            d.append(f"M{p1[0]:.1f} {p1[1]:.1f}")
        c1 = (p1[0] + (p2[0] - p0[0]) / 6, p1[1] + (p2[1] - p0[1]) / 6)
        c2 = (p2[0] - (p3[0] - p1[0]) / 6, p2[1] - (p3[1] - p1[1]) / 6)
        d.append(f"C{c1[0]:.1f} {c1[1]:.1f} {c2[0]:.1f} {c2[1]:.1f} {p2[0]:.1f} {p2[1]:.1f}")
    return path("".join(d) + "Z", fill=fill, extra=extra)


# ---------------------------------------------------------------- objects
# Each object is drawn around its own origin in a box of about 200 x 200 and
# placed with group(); colours come from the palette the scene passes in.

Drawing = Callable[..., str]

# Every object a picture may name, by the name of the function that draws it.
OBJECTS: dict[str, Drawing] = {}


def drawing(draw: Drawing) -> Drawing:
    """Registers `draw` as the object of its own name."""
    if draw.__name__ in OBJECTS:
        raise ValueError(f"two drawings are named {draw.__name__!r}")
    OBJECTS[draw.__name__] = draw
    return draw


def _object(name: str, pal: Palette) -> str:
    if name not in OBJECTS:
        raise ValueError(f"no drawing is named {name!r}")
    return OBJECTS[name](pal)


@drawing
def cup(p: Palette) -> str:
    return "".join([
        ellipse(100, 182, 88, 12, p["shadow"]),
        ellipse(100, 170, 82, 14, p["light"]),
        path("M40 80 H160 L150 150 Q146 170 126 170 H74 Q54 170 50 150 Z", p["main"]),
        path("M158 92 Q192 92 190 118 Q188 142 152 140", stroke=p["main"], width=12),
        ellipse(100, 80, 60, 10, p["dark"]),
        path("M80 58 Q70 44 82 30 Q94 16 84 2", stroke=p["light"], width=6),
        path("M104 58 Q94 44 106 30 Q118 16 108 2", stroke=p["light"], width=6),
        path("M62 100 V140", stroke=p["light"], width=8, extra='opacity="0.5"'),
    ])


@drawing
def croissant(p: Palette) -> str:
    # Five plump segments along a crescent, the middle one largest.
    segments = [(-62, 124, 30, 20, -40), (-32, 102, 36, 28, -20), (0, 94, 42, 36, 0),
                (32, 102, 36, 28, 20), (62, 124, 30, 20, 40)]
    body = "".join(
        f'<ellipse cx="{100 + x}" cy="{y}" rx="{rx}" ry="{ry}" transform="rotate({r} {100 + x} {y})" '
        f'fill="{p["main"]}" stroke="{p["dark"]}" stroke-width="4"/>'
        for x, y, rx, ry, r in segments[:2] + segments[3:] + segments[2:3])
    return (ellipse(100, 156, 90, 10, p["shadow"], 'opacity="0.6"') + body
            + path("M86 76 Q100 70 114 76", stroke=p["light"], width=5, extra='opacity="0.7"'))


@drawing
def cake(p: Palette) -> str:
    return "".join([
        ellipse(100, 178, 92, 12, p["shadow"]),
        rect(30, 100, 140, 70, p["main"], 10),
        rect(30, 126, 140, 10, p["light"]),
        path("M30 110 Q30 86 54 86 H146 Q170 86 170 110 Q158 122 146 108 Q134 124 122 108 Q110 124 98 108 Q86 124 74 108 Q62 124 50 108 Q40 122 30 110 Z", p["accent"]),
        circle(100, 72, 14, p["dark"]),
        path("M100 58 Q106 46 116 44", stroke=p["leaf"], width=4),
    ])


@drawing
def wine(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 80, 10, p["shadow"]),
        rect(34, 60, 34, 120, p["dark"], 10),
        rect(42, 20, 18, 48, p["dark"], 4),
        rect(34, 100, 34, 40, p["light"], 2),
        path("M110 40 H170 Q172 100 140 112 Q108 100 110 40 Z", p["light"], extra='opacity="0.9"'),
        path("M113 70 H167 Q162 104 140 108 Q118 104 113 70 Z", p["main"]),
        rect(137, 110, 6, 56, p["light"]),
        ellipse(140, 172, 26, 7, p["light"]),
    ])


@drawing
def bowl(p: Palette) -> str:
    return "".join([
        ellipse(100, 176, 90, 10, p["shadow"]),
        circle(70, 92, 22, p["accent"]), circle(112, 84, 26, p["leaf"]), circle(142, 98, 18, p["main"]),
        circle(92, 104, 16, p["light"]),
        path("M14 108 H186 Q180 170 100 170 Q20 170 14 108 Z", p["dark"]),
        path("M30 122 Q100 132 170 122", stroke=p["light"], width=5, extra='opacity="0.5"'),
    ])


@drawing
def bag(p: Palette) -> str:
    return "".join([
        ellipse(100, 188, 80, 9, p["shadow"]),
        path("M70 70 V50 Q70 20 100 20 Q130 20 130 50 V70", stroke=p["dark"], width=9),
        path("M30 64 H170 L160 180 H40 Z", p["main"]),
        path("M30 64 H170 L168 84 H32 Z", p["dark"], extra='opacity="0.25"'),
        circle(70, 84, 6, p["dark"]), circle(130, 84, 6, p["dark"]),
        path("M82 120 Q100 140 118 120", stroke=p["light"], width=7),
    ])


@drawing
def tag(p: Palette) -> str:
    return "".join([
        path("M20 96 L96 20 H176 V100 L100 176 Z", p["main"]),
        circle(146, 50, 12, p["light"]),
        path("M60 112 L112 60", stroke=p["light"], width=8),
        circle(70, 78, 9, "none", f'stroke="{p["light"]}" stroke-width="6"'),
        circle(104, 112, 9, "none", f'stroke="{p["light"]}" stroke-width="6"'),
    ])


@drawing
def sun(p: Palette) -> str:
    rays = "".join(
        path(f"M{100 + 62 * math.cos(a):.1f} {100 + 62 * math.sin(a):.1f} L{100 + 92 * math.cos(a):.1f} {100 + 92 * math.sin(a):.1f}",
             stroke=p["accent"], width=10)
        for a in [i * math.pi / 6 for i in range(12)])
    return rays + circle(100, 100, 48, p["accent"]) + circle(86, 86, 14, p["light"], 'opacity="0.5"')


@drawing
def gift(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 84, 9, p["shadow"]),
        rect(30, 90, 140, 90, p["main"], 6),
        rect(22, 66, 156, 30, p["dark"], 6),
        rect(90, 66, 20, 114, p["accent"]),
        path("M100 66 Q70 20 56 40 Q46 62 100 66 Q154 62 144 40 Q130 20 100 66 Z", p["accent"]),
    ])


@drawing
def sneaker(p: Palette) -> str:
    return "".join([
        ellipse(100, 170, 92, 10, p["shadow"]),
        path("M14 150 Q12 120 30 112 L76 96 Q96 70 120 78 L150 106 Q186 116 188 146 Z", p["main"]),
        path("M12 146 H190 V158 Q190 166 180 166 H22 Q12 166 12 156 Z", p["light"]),
        path("M84 98 L96 118 M98 90 L110 112 M112 86 L122 104", stroke=p["light"], width=5),
        path("M130 110 Q160 120 180 136", stroke=p["dark"], width=6, extra='opacity="0.5"'),
    ])


@drawing
def shirt(p: Palette) -> str:
    return "".join([
        path("M60 30 L20 60 L40 96 L56 86 V180 H144 V86 L160 96 L180 60 L140 30 Q100 56 60 30 Z", p["main"]),
        path("M80 36 Q100 58 120 36", stroke=p["dark"], width=6),
        rect(110, 100, 22, 22, p["light"], 4, 'opacity="0.6"'),
    ])


@drawing
def watch(p: Palette) -> str:
    return "".join([
        rect(74, 10, 52, 180, p["dark"], 14),
        circle(100, 100, 52, p["light"]),
        circle(100, 100, 44, p["main"]),
        path("M100 100 V70 M100 100 L122 112", stroke=p["light"], width=6),
        circle(100, 100, 5, p["light"]),
    ])


@drawing
def laptop(p: Palette) -> str:
    return "".join([
        ellipse(100, 178, 96, 8, p["shadow"]),
        rect(30, 40, 140, 100, p["dark"], 8),
        rect(38, 48, 124, 84, p["light"], 3),
        rect(48, 60, 50, 8, p["main"], 4), rect(48, 76, 90, 6, p["accent"], 3, 'opacity="0.6"'),
        rect(48, 90, 70, 6, p["accent"], 3, 'opacity="0.4"'),
        rect(48, 106, 30, 16, p["main"], 4), rect(84, 106, 30, 16, p["accent"], 4),
        path("M10 144 H190 L180 164 H20 Z", p["main"]),
    ])


@drawing
def chart(p: Palette) -> str:
    bars = "".join(rect(34 + i * 34, 160 - h, 22, h, c, 4)
                   for i, (h, c) in enumerate([(50, p["light"]), (76, p["accent"]), (64, p["light"]), (110, p["main"]), (130, p["accent"])]))
    return (rect(16, 20, 168, 162, p["dark"], 14) + bars
            + path("M34 120 L80 96 L114 108 L170 42", stroke=p["light"], width=6)
            + circle(170, 42, 8, p["light"]))


@drawing
def rocket(p: Palette) -> str:
    return "".join([
        path("M100 10 Q140 40 140 110 L60 110 Q60 40 100 10 Z", p["light"]),
        path("M60 90 L30 140 L62 130 Z M140 90 L170 140 L138 130 Z", p["main"]),
        rect(60, 108, 80, 22, p["main"], 4),
        circle(100, 66, 16, p["dark"]), circle(100, 66, 10, p["accent"]),
        path("M76 134 Q100 200 124 134 Z", p["accent"]),
        path("M88 134 Q100 176 112 134 Z", p["light"]),
    ])


@drawing
def calendar(p: Palette) -> str:
    cells = "".join(rect(38 + c * 32, 86 + r * 26, 22, 16, p["main"] if (r, c) == (1, 2) else p["light"], 3)
                    for r in range(3) for c in range(4))
    return (rect(20, 30, 160, 150, p["dark"], 14) + rect(20, 30, 160, 40, p["main"], 14)
            + rect(20, 56, 160, 14, p["main"]) + rect(54, 16, 12, 32, p["light"], 6)
            + rect(134, 16, 12, 32, p["light"], 6) + cells)


@drawing
def microphone(p: Palette) -> str:
    return "".join([
        ellipse(100, 188, 56, 8, p["shadow"]),
        rect(72, 16, 56, 98, p["main"], 28),
        path("M72 60 H128 M72 78 H128", stroke=p["dark"], width=4, extra='opacity="0.4"'),
        path("M54 84 Q54 140 100 140 Q146 140 146 84", stroke=p["light"], width=9),
        path("M100 140 V180 M70 182 H130", stroke=p["light"], width=9),
    ])


@drawing
def book(p: Palette) -> str:
    return "".join([
        ellipse(100, 176, 92, 9, p["shadow"]),
        path("M100 50 Q60 30 14 40 V160 Q60 150 100 170 Z", p["main"]),
        path("M100 50 Q140 30 186 40 V160 Q140 150 100 170 Z", p["accent"]),
        path("M30 70 Q60 64 86 76 M30 92 Q60 86 86 98 M30 114 Q60 108 86 120", stroke=p["light"], width=5, extra='opacity="0.7"'),
        path("M114 76 Q140 64 170 70 M114 98 Q140 86 170 92", stroke=p["light"], width=5, extra='opacity="0.7"'),
    ])


@drawing
def pencil(p: Palette) -> str:
    return group("".join([
        rect(-14, -80, 28, 130, p["accent"], 3),
        rect(-14, -96, 28, 20, p["light"], 6),
        rect(-14, -82, 28, 8, p["dark"]),
        path("M-14 50 L0 86 L14 50 Z", p["light"]),
        path("M-5 74 L0 86 L5 74 Z", p["dark"]),
    ]), 100, 100, rotate=35)


@drawing
def apple(p: Palette) -> str:
    return "".join([
        ellipse(100, 182, 60, 8, p["shadow"]),
        path("M100 60 Q60 36 40 80 Q24 130 60 166 Q80 184 100 170 Q120 184 140 166 Q176 130 160 80 Q140 36 100 60 Z", p["main"]),
        path("M100 62 Q96 40 110 24", stroke=p["dark"], width=6),
        path("M106 44 Q130 22 150 36 Q130 58 106 44 Z", p["leaf"]),
        path("M62 92 Q56 112 64 130", stroke=p["light"], width=7, extra='opacity="0.6"'),
    ])


@drawing
def school(p: Palette) -> str:
    windows = "".join(rect(x, y, 18, 22, p["light"], 2) for x in (36, 146) for y in (110, 146))
    return "".join([
        rect(10, 176, 180, 8, p["shadow"], 4),
        rect(20, 96, 160, 84, p["main"]),
        path("M10 100 L100 40 L190 100 Z", p["dark"]),
        rect(80, 120, 40, 60, p["dark"], 4),
        circle(100, 78, 14, p["light"]),
        path("M100 78 V70 M100 78 L106 82", stroke=p["dark"], width=3),
        rect(98, 10, 4, 34, p["dark"]), path("M102 12 H126 L120 20 L126 28 H102 Z", p["accent"]),
        windows,
    ])


@drawing
def cap(p: Palette) -> str:
    return "".join([
        path("M60 96 V136 Q100 160 140 136 V96 Z", p["dark"]),
        path("M100 50 L190 90 L100 130 L10 90 Z", p["main"]),
        path("M100 90 L160 110 V150", stroke=p["accent"], width=5),
        circle(160, 156, 9, p["accent"]),
    ])


@drawing
def backpack(p: Palette) -> str:
    return "".join([
        ellipse(100, 188, 70, 8, p["shadow"]),
        path("M76 40 Q76 16 100 16 Q124 16 124 40", stroke=p["dark"], width=10),
        rect(40, 36, 120, 146, p["main"], 34),
        rect(58, 110, 84, 60, p["dark"], 14, 'opacity="0.35"'),
        rect(58, 110, 84, 12, p["light"], 6),
        circle(100, 74, 10, p["light"]),
    ])


@drawing
def heart(p: Palette) -> str:
    return path("M100 170 Q20 110 20 64 Q20 24 60 24 Q88 24 100 52 Q112 24 140 24 Q180 24 180 64 Q180 110 100 170 Z", p["main"]) + \
        path("M52 56 Q44 70 50 86", stroke=p["light"], width=8, extra='opacity="0.6"')


@drawing
def hands(p: Palette) -> str:
    return "".join([
        path("M10 150 Q40 120 78 126 L118 132 Q130 136 124 148 Q118 156 102 154 L80 152 L112 158 Q140 162 176 130 Q190 124 192 138 Q176 170 130 184 Q80 196 10 184 Z", p["skin"]),
        path("M100 110 Q60 82 60 56 Q60 34 80 34 Q94 34 100 50 Q106 34 120 34 Q140 34 140 56 Q140 82 100 110 Z", p["main"]),
    ])


@drawing
def tree(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 70, 8, p["shadow"]),
        rect(92, 110, 16, 74, p["dark"], 4),
        circle(100, 80, 54, p["leaf"]), circle(64, 104, 34, p["leaf"]), circle(138, 102, 36, p["leaf"]),
        circle(84, 60, 20, p["light"], 'opacity="0.35"'),
    ])


@drawing
def globe(p: Palette) -> str:
    return "".join([
        circle(100, 100, 80, p["main"]),
        path("M60 48 Q84 56 78 80 Q70 100 90 110 Q104 120 92 146 Q84 160 70 156 Q40 130 44 90 Q46 62 60 48 Z", p["leaf"]),
        path("M130 40 Q150 60 144 84 Q130 96 124 78 Q112 58 130 40 Z M128 120 Q150 112 160 130 Q150 156 128 150 Q118 136 128 120 Z", p["leaf"]),
        circle(100, 100, 80, "none", f'stroke="{p["light"]}" stroke-width="6" opacity="0.5"'),
    ])


@drawing
def house(p: Palette, roof: str | None = None, door: str | None = None) -> str:
    roof = roof or p["dark"]
    door = door or p["accent"]
    return "".join([
        rect(0, 176, 200, 10, p["shadow"], 5),
        rect(28, 90, 144, 90, p["main"]),
        path("M10 96 L100 26 L190 96 Z", roof),
        rect(136, 38, 18, 40, roof),
        rect(86, 124, 30, 56, door, 4),
        rect(42, 110, 30, 28, p["light"], 3), rect(130, 110, 30, 28, p["light"], 3),
        path("M57 110 V138 M42 124 H72 M145 110 V138 M130 124 H160", stroke=p["main"], width=3),
        circle(110, 154, 3, p["light"]),
    ])


@drawing
def tower(p: Palette) -> str:
    win = "".join(rect(x, y, 14, 16, p["light"], 2) for x in (54, 78, 102, 126) for y in range(40, 170, 28))
    return rect(40, 20, 120, 164, p["main"], 4) + rect(40, 20, 120, 12, p["dark"]) + win + rect(88, 160, 24, 24, p["dark"])


@drawing
def key(p: Palette) -> str:
    return group("".join([
        circle(0, 0, 40, p["accent"]), circle(0, 0, 16, p["bg"] if "bg" in p else p["light"]),
        rect(34, -10, 110, 20, p["accent"], 6), rect(110, 8, 14, 28, p["accent"], 3), rect(130, 8, 12, 20, p["accent"], 3),
    ]), 40, 100, rotate=-20)


@drawing
def sofa(p: Palette) -> str:
    return "".join([
        ellipse(100, 180, 96, 8, p["shadow"]),
        rect(20, 60, 160, 70, p["main"], 20),
        rect(6, 96, 40, 66, p["dark"], 16), rect(154, 96, 40, 66, p["dark"], 16),
        rect(40, 110, 120, 40, p["light"], 10), rect(40, 110, 120, 40, p["main"], 10, 'opacity="0.55"'),
        rect(26, 160, 10, 18, p["dark"], 3), rect(164, 160, 10, 18, p["dark"], 3),
    ])


@drawing
def plant(p: Palette) -> str:
    return "".join([
        path("M70 130 H130 L122 186 H78 Z", p["accent"]),
        path("M100 130 Q60 110 48 60 Q86 70 100 130 Z", p["leaf"]),
        path("M100 130 Q140 100 156 50 Q112 66 100 130 Z", p["leaf"]),
        path("M100 130 Q96 80 104 30 Q120 80 100 130 Z", p["light"], extra='opacity="0.8"'),
    ])


@drawing
def megaphone(p: Palette) -> str:
    return "".join([
        path("M40 80 L140 30 V170 L40 120 Z", p["main"]),
        rect(20, 78, 26, 44, p["dark"], 6),
        path("M60 120 L74 170 H96 L86 126", p["dark"]),
        path("M160 70 Q176 100 160 130 M174 56 Q198 100 174 144", stroke=p["accent"], width=7),
    ])


@drawing
def drop(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 52, 8, p["shadow"]),
        path("M100 14 Q150 84 150 124 Q150 176 100 176 Q50 176 50 124 Q50 84 100 14 Z", p["main"]),
        path("M78 120 Q78 146 100 152", stroke=p["light"], width=8, extra='opacity="0.7"'),
    ])


@drawing
def plane(p: Palette) -> str:
    return group("".join([
        path("M-90 0 Q-90 -14 -70 -14 H60 Q90 -14 96 0 Q90 14 60 14 H-70 Q-90 14 -90 0 Z", p["light"]),
        path("M-10 -12 L-44 -70 H-24 L30 -12 Z", p["main"]),
        path("M-10 12 L-44 70 H-24 L30 12 Z", p["main"]),
        path("M-84 -10 L-96 -44 H-82 L-60 -12 Z", p["main"]),
        path("M58 -8 H74 Q84 -6 86 0 H58 Z", p["dark"]),
        path("M-50 -4 H40", stroke=p["accent"], width=4, extra='opacity="0.8"'),
    ]), 100, 100, rotate=-18)


@drawing
def suitcase(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 70, 8, p["shadow"]),
        path("M78 50 V30 Q78 22 86 22 H114 Q122 22 122 30 V50", stroke=p["dark"], width=8),
        rect(40, 48, 120, 130, p["main"], 16),
        rect(64, 48, 10, 130, p["dark"], 0, 'opacity="0.25"'),
        rect(126, 48, 10, 130, p["dark"], 0, 'opacity="0.25"'),
        circle(62, 180, 8, p["dark"]), circle(138, 180, 8, p["dark"]),
        rect(86, 96, 28, 28, p["accent"], 14),
    ])


@drawing
def mountains(p: Palette) -> str:
    return "".join([
        path("M0 180 L70 60 L110 120 L140 80 L200 180 Z", p["main"]),
        path("M70 60 L88 90 L76 84 L64 96 L56 84 Z", p["light"]),
        path("M140 80 L154 104 L142 98 L132 106 Z", p["light"]),
        path("M0 180 Q100 150 200 180 Z", p["leaf"]),
    ])


@drawing
def guitar(p: Palette) -> str:
    return group("".join([
        circle(0, 40, 46, p["main"]), circle(0, -14, 34, p["main"]),
        circle(0, 26, 14, p["dark"]),
        rect(-7, -110, 14, 110, p["dark"], 3),
        rect(-12, -130, 24, 26, p["dark"], 5),
        rect(-16, 62, 32, 8, p["dark"], 3),
        path("M-2 -104 V66 M2 -104 V66", stroke=p["light"], width=1.5),
    ]), 100, 110, rotate=28)


@drawing
def medal(p: Palette) -> str:
    return "".join([
        path("M70 10 L100 80 L130 10 H110 L100 40 L90 10 Z", p["main"]),
        circle(100, 120, 52, p["accent"]),
        circle(100, 120, 38, "none", f'stroke="{p["light"]}" stroke-width="6" opacity="0.7"'),
        path("M100 96 L108 112 L126 114 L112 126 L116 144 L100 134 L84 144 L88 126 L74 114 L92 112 Z", p["light"]),
    ])


@drawing
def palm(p: Palette) -> str:
    return "".join([
        ellipse(100, 184, 70, 9, p["shadow"]),
        path("M96 182 Q90 120 104 60 L114 62 Q102 120 108 182 Z", p["dark"]),
        path("M108 62 Q60 30 20 60 Q64 50 106 70 Z", p["leaf"]),
        path("M108 62 Q150 24 190 52 Q150 46 110 72 Z", p["leaf"]),
        path("M108 62 Q90 10 50 14 Q86 30 104 68 Z", p["leaf"]),
        path("M108 62 Q140 8 176 20 Q140 32 112 70 Z", p["leaf"]),
        circle(104, 70, 8, p["main"]), circle(116, 72, 8, p["main"]),
    ])


@drawing
def candle(p: Palette) -> str:
    return "".join([
        ellipse(100, 184, 70, 9, p["shadow"]),
        rect(70, 90, 60, 92, p["light"], 8),
        rect(70, 90, 60, 16, p["main"], 8, 'opacity="0.35"'),
        path("M100 90 V74", stroke=p["dark"], width=4),
        path("M100 30 Q120 56 110 70 Q100 80 90 70 Q80 56 100 30 Z", p["accent"]),
        path("M100 48 Q108 62 102 68 Q96 72 94 64 Q94 56 100 48 Z", p["light"]),
        circle(40, 160, 18, p["leaf"], 'opacity="0.8"'), circle(160, 150, 22, p["main"], 'opacity="0.6"'),
    ])


@drawing
def star(p: Palette) -> str:
    pts = []
    for i in range(10):
        r = 90 if i % 2 == 0 else 40
        a = -math.pi / 2 + i * math.pi / 5
        pts.append(f"{100 + r * math.cos(a):.1f} {100 + r * math.sin(a):.1f}")
    return path("M" + " L".join(pts) + " Z", p["accent"])


@drawing
def envelope(p: Palette) -> str:
    return "".join([
        rect(20, 50, 160, 110, p["light"], 10),
        path("M20 60 L100 120 L180 60", stroke=p["main"], width=8),
        circle(168, 54, 22, p["accent"]),
    ])


@drawing
def ticket(p: Palette) -> str:
    return "".join([
        path("M10 60 H190 V88 Q174 88 174 100 Q174 112 190 112 V140 H10 V112 Q26 112 26 100 Q26 88 10 88 Z", p["main"]),
        path("M60 62 V138", stroke=p["light"], width=4, extra='stroke-dasharray="6 8"'),
        rect(80, 82, 90, 10, p["light"], 5), rect(80, 104, 60, 10, p["light"], 5, 'opacity="0.7"'),
    ])


# ---- things a business would show a photo of: its house, its rooms, its dishes

def _window(x: float, y: float, w: float, h: float, glass: str, frame: str) -> str:
    return (rect(x, y, w, h, glass, 2) + path(f"M{x + w / 2:g} {y:g} V{y + h:g} M{x:g} {y + h / 2:g} H{x + w:g}",
                                              stroke=frame, width=3))


@drawing
def house_garden(p: Palette) -> str:
    """A detached family house with a lawn, a path, a fence and an apple tree."""
    fence = "".join(rect(x, 150, 6, 26, p["light"], 2) for x in range(4, 200, 14))
    return "".join([
        rect(0, 148, 200, 40, p["leaf"], 8),
        rect(24, 84, 8, 70, p["dark"], 3),
        circle(28, 70, 26, p["leaf"]), circle(12, 86, 16, p["leaf"]), circle(44, 86, 18, p["leaf"]),
        circle(18, 66, 4, p["accent"]), circle(36, 78, 4, p["accent"]), circle(24, 90, 4, p["accent"]),
        rect(62, 82, 124, 74, p["main"]),
        path("M52 86 L124 34 L196 86 Z", p["dark"]),
        rect(160, 42, 14, 30, p["dark"]),
        rect(112, 112, 26, 44, p["accent"], 3), circle(132, 134, 2.5, p["light"]),
        _window(72, 98, 30, 26, p["light"], p["main"]), _window(148, 98, 30, 26, p["light"], p["main"]),
        _window(112, 56, 24, 22, p["light"], p["dark"]),
        path("M112 156 L100 188 H150 L138 156 Z", p["light"], extra='opacity="0.85"'),
        rect(0, 160, 200, 4, p["light"], 2), fence,
        circle(170, 172, 6, p["accent"]), circle(182, 176, 5, p["light"]), circle(60, 174, 6, p["accent"]),
    ])


@drawing
def garden(p: Palette) -> str:
    """A back garden: lawn, an apple tree, a vegetable bed and a timber workshop."""
    rows = "".join(circle(x, y, 6, p["leaf"]) for x in range(110, 190, 16) for y in (162, 176))
    return "".join([
        rect(0, 60, 200, 86, p["soft"]),
        rect(0, 140, 200, 60, p["leaf"]),
        rect(104, 152, 90, 34, p["dark"], 4), rows,
        rect(120, 74, 70, 62, p["main"], 2), path("M114 78 L155 50 L196 78 Z", p["dark"]),
        rect(146, 100, 18, 36, p["dark"], 2), _window(126, 88, 16, 16, p["light"], p["dark"]),
        rect(38, 86, 10, 62, p["dark"], 3),
        circle(43, 66, 32, p["leaf"]), circle(20, 86, 18, p["leaf"]), circle(68, 84, 20, p["leaf"]),
        circle(30, 62, 5, p["accent"]), circle(54, 74, 5, p["accent"]), circle(40, 92, 5, p["accent"]), circle(64, 58, 5, p["accent"]),
    ])


@drawing
def terrace(p: Palette) -> str:
    """A penthouse roof terrace: decking, a parasol, two loungers and planters over the city."""
    skyline = "".join(rect(x, 120 - h, 22, h, p["bg2"]) for x, h in ((0, 50), (26, 80), (52, 40), (120, 70), (150, 96), (178, 56)))
    boards = "".join(path(f"M0 {y} H200", stroke=p["dark"], width=2, extra='opacity="0.25"') for y in range(140, 200, 10))
    rail = "".join(rect(x, 100, 3, 30, p["dark"]) for x in range(0, 200, 14))
    return "".join([
        skyline,
        rect(0, 130, 200, 70, p["main"]), boards,
        rect(0, 98, 200, 4, p["dark"]), rail,
        rect(98, 44, 4, 110, p["dark"]), path("M40 56 Q100 10 160 56 Z", p["accent"]),
        path("M40 168 L64 140 H96 L88 168 Z", p["light"]), path("M112 168 L120 140 H152 L160 168 Z", p["light"]),
        rect(8, 136, 26, 30, p["dark"], 3), circle(14, 128, 12, p["leaf"]), circle(28, 124, 12, p["leaf"]),
        rect(170, 136, 26, 30, p["dark"], 3), circle(176, 126, 12, p["leaf"]), circle(190, 130, 10, p["leaf"]),
    ])


@drawing
def apartments(p: Palette) -> str:
    """A modern apartment building with a set-back penthouse and its roof terrace."""
    floors = "".join(rect(x, y, 22, 18, p["light"], 2) for x in (44, 76, 108, 140) for y in range(86, 170, 26))
    balconies = "".join(rect(36, y + 20, 134, 4, p["dark"]) for y in range(86, 150, 26))
    rail = "".join(rect(x, 58, 3, 18, p["dark"]) for x in range(30, 176, 12))
    return "".join([
        ellipse(100, 188, 94, 8, p["shadow"]),
        rect(30, 76, 146, 110, p["main"], 2),
        floors, balconies,
        rect(92, 158, 22, 28, p["dark"], 2),
        rect(58, 28, 100, 48, p["dark"], 2),
        rect(66, 36, 84, 34, p["light"], 2), path("M94 36 V70 M122 36 V70", stroke=p["dark"], width=3),
        rect(26, 72, 154, 6, p["dark"], 2), rail, rect(26, 56, 154, 4, p["dark"], 2),
        path("M164 24 Q176 8 190 24 Z", p["accent"]), rect(176, 24, 3, 34, p["dark"]),
        circle(40, 50, 8, p["leaf"]), rect(34, 52, 12, 10, p["accent"], 2),
        circle(54, 46, 10, p["leaf"]), rect(48, 50, 12, 12, p["accent"], 2),
    ])


@drawing
def living_room(p: Palette) -> str:
    """A bright living room: a window, a sofa with cushions, a floor lamp, a rug and a plant."""
    return "".join([
        rect(0, 0, 200, 150, p["soft"]),
        rect(0, 150, 200, 50, p["bg2"]),
        rect(24, 18, 70, 78, p["light"], 3), path("M59 18 V96 M24 57 H94", stroke=p["main"], width=4),
        rect(20, 96, 78, 6, p["main"], 2),
        rect(120, 30, 44, 34, p["accent"], 2), rect(126, 36, 32, 22, p["light"], 1, 'opacity="0.6"'),
        ellipse(104, 180, 86, 12, p["accent"], 'opacity="0.55"'),
        rect(26, 104, 134, 46, p["main"], 14),
        rect(16, 122, 26, 46, p["dark"], 10), rect(144, 122, 26, 46, p["dark"], 10),
        rect(36, 132, 114, 28, p["main"], 8), rect(36, 132, 114, 28, p["light"], 8, 'opacity="0.2"'),
        rect(48, 112, 26, 22, p["accent"], 6), rect(110, 112, 26, 22, p["light"], 6),
        rect(22, 166, 6, 12, p["dark"]), rect(158, 166, 6, 12, p["dark"]),
        rect(182, 50, 4, 120, p["dark"]), path("M170 52 L198 52 L192 28 L176 28 Z", p["accent"]),
        ellipse(184, 172, 12, 4, p["dark"]),
        path("M2 170 H22 L20 190 H4 Z", p["dark"]),
        path("M12 170 Q0 150 4 132 Q16 148 12 170 Z M12 170 Q22 146 20 128 Q8 146 12 170 Z", p["leaf"]),
    ])


@drawing
def pasta_plate(p: Palette) -> str:
    """Fresh tagliatelle twirled on a plate, with basil and a cherry tomato, seen from above."""
    strands = "".join(path(f"M{100 - r:g} 100 A{r:g} {r * 0.8:g} 0 1 1 {100 + r * 0.9:g} {104 - r * 0.3:g}",
                           stroke=p["accent"], width=7) for r in (12, 24, 36, 48))
    return "".join([
        ellipse(102, 110, 96, 84, p["shadow"], 'opacity="0.6"'),
        ellipse(100, 104, 94, 82, p["light"]),
        ellipse(100, 104, 70, 60, p["soft"]),
        ellipse(100, 100, 56, 46, p["accent"], 'opacity="0.45"'),
        strands,
        path("M70 72 Q80 56 96 64 Q84 80 70 72 Z", p["leaf"]), path("M120 62 Q136 54 144 68 Q128 76 120 62 Z", p["leaf"]),
        circle(132, 126, 11, p["main"]), circle(128, 122, 3, p["light"], 'opacity="0.7"'),
        circle(80, 130, 3, p["light"]), circle(92, 136, 2.5, p["light"]), circle(110, 80, 2.5, p["light"]),
    ])


@drawing
def fish_plate(p: Palette) -> str:
    """A dinner plate: lake trout on greens with potatoes and a lemon wedge."""
    return "".join([
        ellipse(102, 110, 96, 84, p["shadow"], 'opacity="0.6"'),
        ellipse(100, 104, 94, 82, p["light"]),
        ellipse(100, 104, 70, 60, p["soft"]),
        path("M40 112 Q70 80 130 96 L150 82 L150 126 L130 112 Q70 136 40 112 Z", p["main"]),
        path("M60 106 Q90 96 124 104", stroke=p["light"], width=4, extra='opacity="0.6"'),
        circle(56, 106, 4, p["dark"]),
        circle(80, 148, 12, p["accent"]), circle(104, 152, 11, p["accent"]),
        path("M122 142 Q140 128 156 140 Q140 156 122 142 Z", p["leaf"]),
        path("M132 62 L160 70 L140 86 Z", p["accent"]),
    ])


@drawing
def ramekin(p: Palette) -> str:
    """Crème brûlée in a white ramekin, the caramel top cracked, a spoon beside it."""
    flutes = "".join(path(f"M{x} 108 V170", stroke=p["soft"], width=3) for x in range(48, 156, 12))
    return "".join([
        ellipse(100, 182, 90, 10, p["shadow"]),
        path("M36 100 H164 L158 168 Q156 178 146 178 H54 Q44 178 42 168 Z", p["light"]),
        flutes,
        ellipse(100, 100, 64, 16, p["light"]),
        ellipse(100, 100, 56, 12, p["accent"]),
        path("M70 96 L88 104 L104 94 L124 104", stroke=p["main"], width=3, extra='opacity="0.8"'),
        path("M172 60 L150 150", stroke=p["dark"], width=6), ellipse(176, 50, 9, 14, p["dark"], 'transform="rotate(14 176 50)"'),
        circle(52, 40, 7, p["leaf"]), path("M60 32 Q70 20 80 28 Q70 40 60 32 Z", p["leaf"]),
    ])


@drawing
def loaf(p: Palette) -> str:
    """A sourdough loaf with its scoring, on a board."""
    return "".join([
        rect(10, 160, 180, 16, p["dark"], 6),
        ellipse(100, 124, 84, 44, p["main"]),
        path("M40 110 Q60 92 74 116 M80 100 Q100 82 114 108 M120 98 Q140 82 154 110", stroke=p["light"], width=6,
             extra='opacity="0.75"'),
        ellipse(96, 150, 70, 10, p["dark"], 'opacity="0.25"'),
    ])


@drawing
def dog(p: Palette) -> str:
    """A sitting dog with floppy ears and a collar."""
    return "".join([
        ellipse(100, 186, 70, 8, p["shadow"]),
        path("M58 184 Q50 120 80 96 L124 96 Q150 120 146 184 Z", p["main"]),
        path("M146 170 Q186 168 178 136", stroke=p["main"], width=10),
        ellipse(100, 78, 42, 38, p["main"]),
        path("M62 54 Q40 60 46 104 Q58 108 66 84 Z M138 54 Q160 60 154 104 Q142 108 134 84 Z", p["dark"]),
        ellipse(100, 96, 20, 14, p["light"]),
        ellipse(100, 88, 8, 6, p["dark"]),
        circle(84, 72, 5, p["dark"]), circle(116, 72, 5, p["dark"]),
        path("M94 102 Q100 108 106 102", stroke=p["dark"], width=3),
        path("M74 116 Q100 128 126 116", stroke=p["accent"], width=8), circle(100, 126, 6, p["light"]),
        rect(74, 170, 20, 14, p["light"], 6), rect(108, 170, 20, 14, p["light"], 6),
    ])


@drawing
def lake_hotel(p: Palette) -> str:
    """A lakeside hotel with a pitched roof, under mountains, reflected in the water."""
    rows = "".join(rect(x, y, 14, 14, p["light"], 2) for x in (58, 82, 106, 130) for y in (88, 112))
    return "".join([
        path("M-10 134 L40 40 L70 80 L100 30 L150 96 L176 60 L214 134 Z", p["shadow"]),
        path("M40 40 L50 54 L42 52 L34 58 Z M100 30 L112 46 L102 44 L92 50 Z", p["light"]),
        ellipse(100, 160, 104, 26, p["dark"], 'opacity="0.25"'),
        ellipse(100, 134, 104, 6, p["leaf"]),
        rect(46, 78, 112, 60, p["light"]), rect(46, 78, 112, 60, p["accent"], 0, 'opacity="0.45"'),
        path("M38 80 L102 46 L166 80 Z", p["dark"]),
        rows, rect(94, 118, 16, 20, p["dark"], 2),
        rect(160, 134, 40, 6, p["dark"], 1),
        path("M60 150 H144 M72 162 H132 M84 174 H120", stroke=p["light"], width=4, extra='opacity="0.6"'),
        path("M20 120 L28 96 L36 120 Z M174 120 L182 92 L190 120 Z", p["leaf"]),
    ])


@drawing
def pool(p: Palette) -> str:
    """An indoor pool with steps and a window onto the lake."""
    return "".join([
        rect(10, 20, 180, 70, p["light"], 6),
        rect(18, 28, 78, 56, p["bg2"], 3), rect(104, 28, 78, 56, p["bg2"], 3),
        path("M18 70 Q50 56 96 70 V84 H18 Z M104 70 Q140 56 182 70 V84 H104 Z", p["leaf"], extra='opacity="0.7"'),
        rect(10, 96, 180, 84, p["soft"], 8),
        rect(22, 108, 156, 62, p["bg2"], 6), rect(22, 108, 156, 62, p["dark"], 6, 'opacity="0.2"'),
        path("M34 126 Q52 118 70 126 T106 126 T142 126 T170 126 M34 148 Q52 140 70 148 T106 148 T142 148 T170 148",
             stroke=p["light"], width=4, extra='opacity="0.7"'),
        path("M150 96 V124 M166 96 V124 M150 104 H166 M150 116 H166", stroke=p["dark"], width=4),
        rect(14, 84, 30, 12, p["accent"], 4), rect(14, 74, 30, 12, p["light"], 4),
    ])


@drawing
def for_sale(p: Palette) -> str:
    """A terraced house with the agent's board in the front garden, a sold strip across it."""
    return "".join([
        rect(0, 164, 200, 24, p["leaf"], 6),
        rect(70, 60, 110, 110, p["main"]),
        path("M62 64 L125 20 L188 64 Z", p["dark"]),
        rect(112, 118, 26, 52, p["accent"], 3),
        _window(82, 78, 26, 26, p["light"], p["main"]), _window(146, 78, 26, 26, p["light"], p["main"]),
        _window(82, 126, 22, 24, p["light"], p["main"]), _window(150, 126, 22, 24, p["light"], p["main"]),
        rect(30, 96, 6, 82, p["dark"]),
        rect(6, 74, 56, 38, p["light"], 3), rect(6, 74, 56, 12, p["accent"], 3),
        rect(14, 92, 40, 5, p["dark"], 2, 'opacity="0.5"'), rect(14, 101, 26, 5, p["dark"], 2, 'opacity="0.5"'),
        path("M2 112 L66 76", stroke=p["accent"], width=12),
    ])


@drawing
def street(p: Palette) -> str:
    """A row of three terraced houses in different colours."""
    out = [rect(0, 178, 200, 10, p["shadow"], 4)]
    for i, (x, wall) in enumerate(((8, p["main"]), (70, p["accent"]), (132, p["light"]))):
        top = 70 + (i % 2) * 10
        out += [rect(x, top, 60, 110 - (top - 70), wall),
                path(f"M{x - 4} {top + 4} L{x + 30} {top - 26} L{x + 64} {top + 4} Z", p["dark"]),
                rect(x + 22, 140, 16, 40, p["dark"], 2),
                _window(x + 8, top + 14, 18, 18, p["soft"], p["dark"]), _window(x + 34, top + 14, 18, 18, p["soft"], p["dark"])]
    return "".join(out)


@drawing
def boxes(p: Palette) -> str:
    """Moving boxes, taped and stacked."""
    def box(x: float, y: float, w: float, h: float) -> str:
        return (rect(x, y, w, h, p["accent"], 3) + rect(x + w / 2 - 6, y, 12, h * 0.4, p["light"], 1, 'opacity="0.8"')
                + rect(x, y, w, 6, p["dark"], 2, 'opacity="0.25"'))
    return ellipse(100, 186, 90, 8, p["shadow"]) + box(14, 112, 90, 72) + box(100, 120, 86, 64) + box(44, 48, 80, 66)


# ---- things people do, make and use

@drawing
def video_call(p: Palette) -> str:
    """A laptop showing a video call: the host large, two guests beside her."""
    return "".join([
        ellipse(100, 178, 96, 8, p["shadow"]),
        rect(26, 32, 148, 106, p["dark"], 8),
        rect(34, 40, 132, 90, p["soft"], 3),
        rect(38, 44, 86, 82, p["main"], 3),
        circle(81, 74, 14, p["skin"]), path("M56 126 Q56 96 81 96 Q106 96 106 126 Z", p["accent"]),
        path("M67 70 Q68 54 81 54 Q96 54 95 72 Q90 62 81 62 Q72 62 67 70 Z", p["dark"]),
        rect(128, 44, 34, 38, p["bg2"], 3), circle(145, 60, 7, p["skin"]), path("M133 82 Q133 70 145 70 Q157 70 157 82 Z", p["leaf"]),
        rect(128, 88, 34, 38, p["bg2"], 3), circle(145, 104, 7, p["skin"]), path("M133 126 Q133 114 145 114 Q157 114 157 126 Z", p["main"]),
        path("M8 142 H192 L182 162 H18 Z", p["main"]),
    ])


@drawing
def headset(p: Palette) -> str:
    """A support agent's headset with its microphone arm."""
    return "".join([
        ellipse(100, 184, 60, 8, p["shadow"]),
        path("M40 110 Q40 30 100 30 Q160 30 160 110", stroke=p["dark"], width=12),
        rect(24, 96, 36, 60, p["main"], 14), rect(140, 96, 36, 60, p["main"], 14),
        path("M42 150 Q48 178 92 176", stroke=p["dark"], width=6), rect(90, 168, 26, 14, p["accent"], 7),
    ])


@drawing
def magnifier(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 60, 8, p["shadow"]),
        path("M126 126 L176 176", stroke=p["dark"], width=22),
        circle(86, 86, 58, p["main"]), circle(86, 86, 44, p["light"]),
        path("M60 70 Q66 54 84 50", stroke=p["main"], width=7, extra='opacity="0.5"'),
    ])


@drawing
def lightbulb(p: Palette) -> str:
    rays = "".join(path(f"M{100 + 70 * math.cos(a):.1f} {80 + 70 * math.sin(a):.1f} L{100 + 88 * math.cos(a):.1f} "
                        f"{80 + 88 * math.sin(a):.1f}", stroke=p["accent"], width=7)
                   for a in (math.pi * k / 6 for k in (7, 9, 11)))
    return "".join([
        rays,
        path("M100 22 Q150 22 150 76 Q150 104 126 122 V138 H74 V122 Q50 104 50 76 Q50 22 100 22 Z", p["accent"]),
        path("M84 130 V106 L100 90 L116 106 V130", stroke=p["light"], width=4),
        rect(72, 140, 56, 12, p["dark"], 4), rect(76, 156, 48, 12, p["dark"], 4), rect(88, 172, 24, 10, p["dark"], 5),
        path("M70 66 Q74 46 94 40", stroke=p["light"], width=7, extra='opacity="0.7"'),
    ])


@drawing
def bookshelf(p: Palette) -> str:
    """A bookcase filled with books of different heights and colours."""
    colours = (p["main"], p["accent"], p["leaf"], p["dark"], p["light"])
    out = [rect(16, 14, 168, 172, p["dark"], 6), rect(24, 22, 152, 156, p["soft"], 2)]
    for row, y in enumerate((22, 74, 126)):
        x = 28
        i = row
        while x < 164:
            w = 10 + (i * 7) % 9
            h = 40 - (i * 5) % 12
            out.append(rect(x, y + 48 - h, w, h, colours[i % 5], 2))
            x += w + 2
            i += 1
        out.append(rect(24, y + 48, 152, 4, p["dark"]))
    return "".join(out)


@drawing
def flask(p: Palette) -> str:
    """A laboratory flask with bubbles, beside a test tube."""
    return "".join([
        ellipse(100, 186, 76, 8, p["shadow"]),
        path("M78 20 H112 M84 20 V76 L40 164 Q34 180 52 180 H138 Q156 180 150 164 L106 76 V20", p["light"], stroke=p["dark"], width=6),
        path("M62 120 H128 L148 164 Q152 174 140 174 H50 Q38 174 42 164 Z", p["main"]),
        circle(82, 146, 7, p["light"], 'opacity="0.7"'), circle(104, 132, 5, p["light"], 'opacity="0.7"'),
        circle(96, 100, 6, p["accent"]), circle(108, 60, 5, p["accent"]),
        rect(156, 60, 18, 96, p["light"], 9), rect(156, 110, 18, 46, p["accent"], 9),
    ])


@drawing
def tent(p: Palette) -> str:
    return "".join([
        ellipse(100, 180, 94, 9, p["shadow"]),
        path("M10 176 L100 34 L190 176 Z", p["main"]),
        path("M100 34 L70 176 H130 Z", p["dark"]),
        path("M100 60 L86 176 H114 Z", p["accent"], extra='opacity="0.8"'),
        path("M100 34 L100 18", stroke=p["dark"], width=4), path("M100 18 L120 24 L100 30 Z", p["accent"]),
    ])


@drawing
def campfire(p: Palette) -> str:
    return "".join([
        ellipse(100, 180, 70, 8, p["shadow"]),
        path("M40 176 L160 146 M40 146 L160 176", stroke=p["dark"], width=14),
        path("M100 40 Q140 90 130 130 Q120 160 100 160 Q80 160 70 130 Q62 96 90 78 Q88 100 100 104 Q96 70 100 40 Z", p["accent"]),
        path("M100 92 Q120 120 114 140 Q108 152 100 152 Q90 152 86 140 Q84 122 100 92 Z", p["light"]),
    ])


@drawing
def canoe(p: Palette) -> str:
    return "".join([
        path("M0 150 Q100 170 200 150 V190 H0 Z", p["bg2"]),
        path("M10 120 Q100 170 190 120 Q170 150 100 152 Q30 150 10 120 Z", p["main"]),
        path("M16 122 Q100 150 184 122", stroke=p["dark"], width=4),
        path("M60 70 L150 160", stroke=p["dark"], width=6), ellipse(146, 156, 10, 20, p["accent"], 'transform="rotate(-45 146 156)"'),
        path("M0 170 Q30 162 60 170 T120 170 T200 170", stroke=p["light"], width=4, extra='opacity="0.7"'),
    ])


@drawing
def robot(p: Palette) -> str:
    """A small robot of the kind children build in a makers' club."""
    return "".join([
        ellipse(100, 186, 64, 8, p["shadow"]),
        path("M100 28 V12", stroke=p["dark"], width=5), circle(100, 10, 7, p["accent"]),
        rect(56, 28, 88, 60, p["main"], 14),
        circle(80, 58, 12, p["light"]), circle(120, 58, 12, p["light"]), circle(80, 58, 5, p["dark"]), circle(120, 58, 5, p["dark"]),
        rect(86, 76, 28, 5, p["dark"], 2),
        rect(48, 96, 104, 66, p["dark"], 12), rect(78, 110, 44, 24, p["accent"], 4),
        path("M48 110 L24 140 M152 110 L176 140", stroke=p["main"], width=10),
        circle(70, 172, 12, p["main"]), circle(130, 172, 12, p["main"]),
    ])


@drawing
def cello(p: Palette) -> str:
    """A cello standing on its spike, with its bow."""
    return group("".join([
        path("M0 -18 Q-44 -18 -46 22 Q-48 42 -30 52 Q-54 66 -52 100 Q-48 140 0 142 Q48 140 52 100 Q54 66 30 52 "
             "Q48 42 46 22 Q44 -18 0 -18 Z", p["main"]),
        path("M-14 48 Q-20 56 -14 64 M14 48 Q20 56 14 64", stroke=p["dark"], width=4),
        rect(-6, -110, 12, 120, p["dark"], 3), path("M0 -110 Q14 -126 4 -138", stroke=p["dark"], width=8),
        rect(-16, 100, 32, 8, p["dark"], 3),
        path("M-3 -104 V100 M3 -104 V100", stroke=p["light"], width=1.5),
        path("M2 142 V158", stroke=p["dark"], width=3),
        path("M-70 -40 L70 110", stroke=p["accent"], width=4),
    ]), 100, 94, s=0.62, rotate=-8)


@drawing
def music_notes(p: Palette) -> str:
    return "".join([
        path("M60 150 V50 L150 30 V130", stroke=p["dark"], width=8),
        path("M60 70 L150 50", stroke=p["dark"], width=14),
        ellipse(46, 152, 20, 15, p["main"], 'transform="rotate(-20 46 152)"'),
        ellipse(136, 132, 20, 15, p["main"], 'transform="rotate(-20 136 132)"'),
        path("M20 60 V18 Q36 24 40 36", stroke=p["accent"], width=5), ellipse(14, 62, 9, 7, p["accent"]),
        path("M176 96 V58 Q190 64 194 74", stroke=p["accent"], width=5), ellipse(170, 98, 9, 7, p["accent"]),
    ])


@drawing
def stage(p: Palette) -> str:
    """An open-air stage with its roof, spotlights and a crowd's raised hands."""
    beams = "".join(path(f"M{x} 30 L{x - 30 + i * 20} 150 L{x + 10 + i * 20} 150 Z", p["accent"], extra='opacity="0.35"')
                    for i, x in enumerate((46, 100, 154)))
    crowd = "".join(circle(x, 170 + (x % 3) * 4, 12, p["dark"]) for x in range(10, 200, 20))
    arms = "".join(path(f"M{x} 168 L{x + 6} 144", stroke=p["dark"], width=6) for x in range(20, 190, 40))
    return "".join([
        path("M6 40 Q100 0 194 40 V52 H6 Z", p["main"]),
        rect(10, 50, 8, 106, p["dark"]), rect(182, 50, 8, 106, p["dark"]),
        beams,
        circle(46, 34, 8, p["light"]), circle(100, 26, 8, p["light"]), circle(154, 34, 8, p["light"]),
        rect(6, 150, 188, 14, p["main"], 2),
        crowd, arms,
    ])


@drawing
def water_tap(p: Palette) -> str:
    """A village standpipe with a tap, water running into a bucket."""
    return "".join([
        ellipse(100, 186, 84, 8, p["shadow"]),
        rect(20, 160, 160, 22, p["dark"], 6),
        rect(40, 30, 26, 132, p["main"], 6),
        path("M53 56 H112 Q124 56 124 70 V80", stroke=p["main"], width=14),
        rect(98, 36, 28, 10, p["dark"], 4), rect(108, 44, 8, 14, p["dark"]),
        path("M124 86 Q126 110 124 128", stroke=p["light"], width=7), circle(124, 92, 3, p["light"]),
        path("M96 120 H152 L146 162 H102 Z", p["accent"]), ellipse(124, 120, 28, 6, p["light"], 'opacity="0.8"'),
    ])


@drawing
def wrench(p: Palette) -> str:
    return group("".join([
        rect(-10, -60, 20, 120, p["dark"], 8),
        path("M-26 -70 Q-28 -96 0 -100 L-8 -84 L8 -76 L20 -88 Q32 -60 6 -52 L-10 -52 Q-26 -56 -26 -70 Z", p["dark"]),
        circle(0, 56, 6, p["light"]),
    ]), 100, 100, rotate=40) + circle(40, 160, 16, p["accent"]) + circle(40, 160, 6, p["light"])


@drawing
def perfume(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 64, 8, p["shadow"]),
        rect(86, 28, 28, 26, p["dark"], 6),
        rect(94, 50, 12, 14, p["light"], 2),
        path("M44 80 Q44 62 62 62 H138 Q156 62 156 80 V164 Q156 182 138 182 H62 Q44 182 44 164 Z", p["main"], extra='opacity="0.9"'),
        rect(68, 104, 64, 40, p["light"], 6, 'opacity="0.85"'),
        path("M58 76 V160", stroke=p["light"], width=6, extra='opacity="0.5"'),
    ])


@drawing
def lipstick(p: Palette) -> str:
    return "".join([
        ellipse(100, 186, 44, 7, p["shadow"]),
        rect(70, 110, 60, 74, p["dark"], 6),
        rect(76, 78, 48, 36, p["accent"], 3),
        path("M80 80 V40 Q80 26 120 14 V80 Z", p["main"]),
        path("M88 76 V44", stroke=p["light"], width=4, extra='opacity="0.5"'),
    ])


@drawing
def sweater(p: Palette) -> str:
    """A chunky knitted jumper."""
    ribs = "".join(path(f"M{x} 160 V176", stroke=p["dark"], width=3, extra='opacity="0.4"') for x in range(54, 150, 10))
    cable = "".join(path(f"M{x} 70 Q{x + 10} 90 {x} 110 Q{x - 10} 130 {x} 150", stroke=p["light"], width=4,
                         extra='opacity="0.45"') for x in (82, 118))
    return "".join([
        path("M60 30 L16 62 L20 150 L46 150 L50 84 V178 H150 V84 L154 150 L180 150 L184 62 L140 30 Q100 50 60 30 Z", p["main"]),
        path("M70 32 Q100 58 130 32", stroke=p["dark"], width=8, extra='opacity="0.6"'),
        cable, ribs,
        path("M20 140 H46 M154 140 H180", stroke=p["dark"], width=6, extra='opacity="0.4"'),
    ])


@drawing
def yoga_mat(p: Palette) -> str:
    """A rolled yoga mat with a wooden block."""
    return "".join([
        ellipse(100, 182, 90, 9, p["shadow"]),
        rect(20, 120, 150, 56, p["main"], 28),
        circle(160, 148, 28, p["main"]), circle(160, 148, 18, p["accent"]), circle(160, 148, 8, p["main"]),
        rect(30, 66, 70, 40, p["accent"], 6), rect(30, 66, 70, 10, p["light"], 4, 'opacity="0.4"'),
    ])


# ---------------------------------------------------------------- pictures

def _backdrop(svg: Svg, w: int, h: int, pal: Palette, seed: int) -> None:
    svg.add(rect(0, 0, w, h, svg.linear(pal["bg"], pal["bg2"])))
    svg.add(blob(w * 0.18, h * 0.25, h * 0.42, pal["soft"], seed=seed, extra='opacity="0.55"'))
    svg.add(blob(w * 0.86, h * 0.82, h * 0.5, pal["soft"], seed=seed + 3, extra='opacity="0.45"'))
    for i in range(9):
        x = (seed * 97 + i * 131) % w
        y = (seed * 53 + i * 71) % h
        svg.add(circle(x, y, 3 + (i % 3) * 2, pal["light"], 'opacity="0.35"'))


def scene(pal: Palette, objects: tuple[Placed, ...], width: int = 600, height: int = 300, seed: int = 1) -> str:
    """A banner: backdrop plus the objects where they are placed."""
    svg = Svg(width, height)
    _backdrop(svg, width, height, pal, seed)
    svg.add(ellipse(width / 2, height * 0.9, width * 0.42, height * 0.06, pal["shadow"], 'opacity="0.45"'))
    for obj in objects:
        svg.add(group(_object(obj.name, pal), obj.x, obj.y, obj.scale, obj.rotation))
    return svg.text()


# Rooms and gardens are the whole picture, as a photo of them would be: the
# drawing keeps its size and its wall, floor or lawn runs on to the tile's
# edges. Bands are (top, bottom, palette colour) in the drawing's units.
FULL_BLEED: dict[str, list[tuple[float, float, str]]] = {
    "living_room": [(0, 150, "soft"), (150, 200, "bg2")],
    "garden": [(60, 146, "soft"), (140, 200, "leaf")],
    "terrace": [(98, 102, "dark"), (130, 200, "main")],
}


def card(pal: Palette, name: str, width: int = 280, height: int = 180, seed: int = 1) -> str:
    """A product or photo placeholder: one object centred on a tinted tile."""
    svg = Svg(width, height)
    svg.add(rect(0, 0, width, height, svg.linear(pal["bg"], pal["bg2"])))
    if name in FULL_BLEED:
        s = height / 200
        for top, bottom, colour in FULL_BLEED[name]:
            svg.add(rect(0, top * s, width, (bottom - top) * s, pal[colour]))
        svg.add(group(_object(name, pal), width / 2 - 100 * s, 0, s))
        return svg.text()
    svg.add(blob(width * 0.5, height * 0.52, height * 0.42, pal["soft"], seed=seed, extra='opacity="0.7"'))
    s = height * 0.72 / 200
    svg.add(group(_object(name, pal), width / 2 - 100 * s, height * 0.14, s))
    return svg.text()


def icon(pal: Palette, name: str, size: int = 48) -> str:
    """A round badge with a small object, for detail rows and feature lists."""
    svg = Svg(size, size)
    svg.add(circle(size / 2, size / 2, size / 2, pal["soft"]))
    s = size * 0.62 / 200
    svg.add(group(_object(name, pal), size / 2 - 100 * s, size / 2 - 100 * s, s))
    return svg.text()


def _is_light(colour: str) -> bool:
    r, g, b = (int(colour.lstrip("#")[i:i + 2], 16) for i in (0, 2, 4))
    return 0.299 * r + 0.587 * g + 0.114 * b > 170


def logo(pal: Palette, name: str, size: int = 44) -> str:
    svg = Svg(size, size)
    # A white mark needs a tile dark enough to stand out on.
    tile = pal["dark"] if _is_light(pal["main"]) else pal["main"]
    svg.add(rect(0, 0, size, size, tile, size * 0.28))
    light = dict(pal, main=pal["light"], dark=pal["light"], accent=pal["light"], leaf=pal["light"],
                 shadow="none", soft=tile, skin=pal["light"])
    s = size * 0.66 / 200
    svg.add(group(_object(name, light), size / 2 - 100 * s, size / 2 - 100 * s, s))
    return svg.text()


def draw(pal: Palette, art: Art) -> str:
    """The SVG of one picture a template asks for."""
    if isinstance(art, Scene):
        return scene(pal, art.objects, width=art.width, height=art.height, seed=art.seed)
    if isinstance(art, Card):
        return card(pal, art.name, seed=art.seed)
    if isinstance(art, Icon):
        return icon(pal, art.name, art.size)
    if isinstance(art, Logo):
        return logo(pal, art.name, art.size)
    raise ValueError(f"unknown kind of picture {art!r}")


def pictured_objects(art: Art) -> set[str]:
    """The drawn objects of a scene or a card: what a reader takes the picture to show."""
    if isinstance(art, Scene):
        return {obj.name for obj in art.objects}
    return {art.name} if isinstance(art, Card) else set()
