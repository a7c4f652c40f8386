"""Flat vector illustrations for the templates, written as SVG.

Every picture is composed from a handful of drawn objects on a soft backdrop,
so the art of thirty templates stays consistent and needs no outside images.
No text is drawn: headlines belong in the HTML, where screen readers, search
and translation tools find them.
"""

import math


class Svg:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.defs = []
        self.parts = []
        self._ids = 0

    def uid(self, stem):
        self._ids += 1
        return f"{stem}{self._ids}"

    def add(self, text):
        self.parts.append(text)

    def linear(self, top, bottom, angle_vertical=True):
        gid = self.uid("g")
        x2, y2 = ("0", "1") if angle_vertical else ("1", "1")
        self.defs.append(
            f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            "</linearGradient>")
        return f"url(#{gid})"

    def text(self):
        defs = f"<defs>{''.join(self.defs)}</defs>" if self.defs else ""
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.width}" '
                f'height="{self.height}" viewBox="0 0 {self.width} {self.height}">'
                f"{defs}\n" + "\n".join(self.parts) + "\n</svg>\n")


def rect(x, y, w, h, fill, r=0, extra=""):
    return f'<rect x="{x:g}" y="{y:g}" width="{w:g}" height="{h:g}" rx="{r:g}" fill="{fill}" {extra}/>'


def circle(cx, cy, r, fill, extra=""):
    return f'<circle cx="{cx:g}" cy="{cy:g}" r="{r:g}" fill="{fill}" {extra}/>'


def ellipse(cx, cy, rx, ry, fill, extra=""):
    return f'<ellipse cx="{cx:g}" cy="{cy:g}" rx="{rx:g}" ry="{ry:g}" fill="{fill}" {extra}/>'


def path(d, fill="none", stroke=None, width=0, extra=""):
    s = f' stroke="{stroke}" stroke-width="{width:g}" stroke-linecap="round" stroke-linejoin="round"' if stroke else ""
    return f'<path d="{d}" fill="{fill}"{s} {extra}/>'


def group(content, x=0, y=0, s=1.0, rotate=0):
    t = f"translate({x:g} {y:g})"
    if rotate:
        t += f" rotate({rotate:g})"
    if s != 1:
        t += f" scale({s:g})"
    return f'<g transform="{t}">{content}</g>'


def blob(cx, cy, r, fill, wobble=0.18, seed=1, points=7, extra=""):
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

def cup(p):
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


def croissant(p):
    # Five plump segments along a crescent, the middle one largest.
    segments = [(-62, 124, 30, 20, -40), (-32, 102, 36, 28, -20), (0, 94, 42, 36, 0),
                (32, 102, 36, 28, 20), (62, 124, 30, 20, 40)]
    body = "".join(
        f'<ellipse cx="{100 + x}" cy="{y}" rx="{rx}" ry="{ry}" transform="rotate({r} {100 + x} {y})" '
        f'fill="{p["main"]}" stroke="{p["dark"]}" stroke-width="4"/>'
        for x, y, rx, ry, r in segments[:2] + segments[3:] + segments[2:3])
    return (ellipse(100, 156, 90, 10, p["shadow"], 'opacity="0.6"') + body
            + path("M86 76 Q100 70 114 76", stroke=p["light"], width=5, extra='opacity="0.7"'))


def cake(p):
    return "".join([
        ellipse(100, 178, 92, 12, p["shadow"]),
        rect(30, 100, 140, 70, p["main"], 10),
        rect(30, 126, 140, 10, p["light"]),
        path("M30 110 Q30 86 54 86 H146 Q170 86 170 110 Q158 122 146 108 Q134 124 122 108 Q110 124 98 108 Q86 124 74 108 Q62 124 50 108 Q40 122 30 110 Z", p["accent"]),
        circle(100, 72, 14, p["dark"]),
        path("M100 58 Q106 46 116 44", stroke=p["leaf"], width=4),
    ])


def wine(p):
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


def bowl(p):
    return "".join([
        ellipse(100, 176, 90, 10, p["shadow"]),
        circle(70, 92, 22, p["accent"]), circle(112, 84, 26, p["leaf"]), circle(142, 98, 18, p["main"]),
        circle(92, 104, 16, p["light"]),
        path("M14 108 H186 Q180 170 100 170 Q20 170 14 108 Z", p["dark"]),
        path("M30 122 Q100 132 170 122", stroke=p["light"], width=5, extra='opacity="0.5"'),
    ])


def bag(p):
    return "".join([
        ellipse(100, 188, 80, 9, p["shadow"]),
        path("M70 70 V50 Q70 20 100 20 Q130 20 130 50 V70", stroke=p["dark"], width=9),
        path("M30 64 H170 L160 180 H40 Z", p["main"]),
        path("M30 64 H170 L168 84 H32 Z", p["dark"], extra='opacity="0.25"'),
        circle(70, 84, 6, p["dark"]), circle(130, 84, 6, p["dark"]),
        path("M82 120 Q100 140 118 120", stroke=p["light"], width=7),
    ])


def tag(p):
    return "".join([
        path("M20 96 L96 20 H176 V100 L100 176 Z", p["main"]),
        circle(146, 50, 12, p["light"]),
        path("M60 112 L112 60", stroke=p["light"], width=8),
        circle(70, 78, 9, "none", f'stroke="{p["light"]}" stroke-width="6"'),
        circle(104, 112, 9, "none", f'stroke="{p["light"]}" stroke-width="6"'),
    ])


def sun(p):
    rays = "".join(
        path(f"M{100 + 62 * math.cos(a):.1f} {100 + 62 * math.sin(a):.1f} L{100 + 92 * math.cos(a):.1f} {100 + 92 * math.sin(a):.1f}",
             stroke=p["accent"], width=10)
        for a in [i * math.pi / 6 for i in range(12)])
    return rays + circle(100, 100, 48, p["accent"]) + circle(86, 86, 14, p["light"], 'opacity="0.5"')


def gift(p):
    return "".join([
        ellipse(100, 186, 84, 9, p["shadow"]),
        rect(30, 90, 140, 90, p["main"], 6),
        rect(22, 66, 156, 30, p["dark"], 6),
        rect(90, 66, 20, 114, p["accent"]),
        path("M100 66 Q70 20 56 40 Q46 62 100 66 Q154 62 144 40 Q130 20 100 66 Z", p["accent"]),
    ])


def sneaker(p):
    return "".join([
        ellipse(100, 170, 92, 10, p["shadow"]),
        path("M14 150 Q12 120 30 112 L76 96 Q96 70 120 78 L150 106 Q186 116 188 146 Z", p["main"]),
        path("M12 146 H190 V158 Q190 166 180 166 H22 Q12 166 12 156 Z", p["light"]),
        path("M84 98 L96 118 M98 90 L110 112 M112 86 L122 104", stroke=p["light"], width=5),
        path("M130 110 Q160 120 180 136", stroke=p["dark"], width=6, extra='opacity="0.5"'),
    ])


def shirt(p):
    return "".join([
        path("M60 30 L20 60 L40 96 L56 86 V180 H144 V86 L160 96 L180 60 L140 30 Q100 56 60 30 Z", p["main"]),
        path("M80 36 Q100 58 120 36", stroke=p["dark"], width=6),
        rect(110, 100, 22, 22, p["light"], 4, 'opacity="0.6"'),
    ])


def watch(p):
    return "".join([
        rect(74, 10, 52, 180, p["dark"], 14),
        circle(100, 100, 52, p["light"]),
        circle(100, 100, 44, p["main"]),
        path("M100 100 V70 M100 100 L122 112", stroke=p["light"], width=6),
        circle(100, 100, 5, p["light"]),
    ])


def laptop(p):
    return "".join([
        ellipse(100, 178, 96, 8, p["shadow"]),
        rect(30, 40, 140, 100, p["dark"], 8),
        rect(38, 48, 124, 84, p["light"], 3),
        rect(48, 60, 50, 8, p["main"], 4), rect(48, 76, 90, 6, p["accent"], 3, 'opacity="0.6"'),
        rect(48, 90, 70, 6, p["accent"], 3, 'opacity="0.4"'),
        rect(48, 106, 30, 16, p["main"], 4), rect(84, 106, 30, 16, p["accent"], 4),
        path("M10 144 H190 L180 164 H20 Z", p["main"]),
    ])


def chart(p):
    bars = "".join(rect(34 + i * 34, 160 - h, 22, h, c, 4)
                   for i, (h, c) in enumerate([(50, p["light"]), (76, p["accent"]), (64, p["light"]), (110, p["main"]), (130, p["accent"])]))
    return (rect(16, 20, 168, 162, p["dark"], 14) + bars
            + path("M34 120 L80 96 L114 108 L170 42", stroke=p["light"], width=6)
            + circle(170, 42, 8, p["light"]))


def rocket(p):
    return "".join([
        path("M100 10 Q140 40 140 110 L60 110 Q60 40 100 10 Z", p["light"]),
        path("M60 90 L30 140 L62 130 Z M140 90 L170 140 L138 130 Z", p["main"]),
        rect(60, 108, 80, 22, p["main"], 4),
        circle(100, 66, 16, p["dark"]), circle(100, 66, 10, p["accent"]),
        path("M76 134 Q100 200 124 134 Z", p["accent"]),
        path("M88 134 Q100 176 112 134 Z", p["light"]),
    ])


def calendar(p):
    cells = "".join(rect(38 + c * 32, 86 + r * 26, 22, 16, p["main"] if (r, c) == (1, 2) else p["light"], 3)
                    for r in range(3) for c in range(4))
    return (rect(20, 30, 160, 150, p["dark"], 14) + rect(20, 30, 160, 40, p["main"], 14)
            + rect(20, 56, 160, 14, p["main"]) + rect(54, 16, 12, 32, p["light"], 6)
            + rect(134, 16, 12, 32, p["light"], 6) + cells)


def microphone(p):
    return "".join([
        ellipse(100, 188, 56, 8, p["shadow"]),
        rect(72, 16, 56, 98, p["main"], 28),
        path("M72 60 H128 M72 78 H128", stroke=p["dark"], width=4, extra='opacity="0.4"'),
        path("M54 84 Q54 140 100 140 Q146 140 146 84", stroke=p["light"], width=9),
        path("M100 140 V180 M70 182 H130", stroke=p["light"], width=9),
    ])


def book(p):
    return "".join([
        ellipse(100, 176, 92, 9, p["shadow"]),
        path("M100 50 Q60 30 14 40 V160 Q60 150 100 170 Z", p["main"]),
        path("M100 50 Q140 30 186 40 V160 Q140 150 100 170 Z", p["accent"]),
        path("M30 70 Q60 64 86 76 M30 92 Q60 86 86 98 M30 114 Q60 108 86 120", stroke=p["light"], width=5, extra='opacity="0.7"'),
        path("M114 76 Q140 64 170 70 M114 98 Q140 86 170 92", stroke=p["light"], width=5, extra='opacity="0.7"'),
    ])


def pencil(p):
    return group("".join([
        rect(-14, -80, 28, 130, p["accent"], 3),
        rect(-14, -96, 28, 20, p["light"], 6),
        rect(-14, -82, 28, 8, p["dark"]),
        path("M-14 50 L0 86 L14 50 Z", p["light"]),
        path("M-5 74 L0 86 L5 74 Z", p["dark"]),
    ]), 100, 100, rotate=35)


def apple(p):
    return "".join([
        ellipse(100, 182, 60, 8, p["shadow"]),
        path("M100 60 Q60 36 40 80 Q24 130 60 166 Q80 184 100 170 Q120 184 140 166 Q176 130 160 80 Q140 36 100 60 Z", p["main"]),
        path("M100 62 Q96 40 110 24", stroke=p["dark"], width=6),
        path("M106 44 Q130 22 150 36 Q130 58 106 44 Z", p["leaf"]),
        path("M62 92 Q56 112 64 130", stroke=p["light"], width=7, extra='opacity="0.6"'),
    ])


def school(p):
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


def cap(p):
    return "".join([
        path("M60 96 V136 Q100 160 140 136 V96 Z", p["dark"]),
        path("M100 50 L190 90 L100 130 L10 90 Z", p["main"]),
        path("M100 90 L160 110 V150", stroke=p["accent"], width=5),
        circle(160, 156, 9, p["accent"]),
    ])


def backpack(p):
    return "".join([
        ellipse(100, 188, 70, 8, p["shadow"]),
        path("M76 40 Q76 16 100 16 Q124 16 124 40", stroke=p["dark"], width=10),
        rect(40, 36, 120, 146, p["main"], 34),
        rect(58, 110, 84, 60, p["dark"], 14, 'opacity="0.35"'),
        rect(58, 110, 84, 12, p["light"], 6),
        circle(100, 74, 10, p["light"]),
    ])


def heart(p):
    return path("M100 170 Q20 110 20 64 Q20 24 60 24 Q88 24 100 52 Q112 24 140 24 Q180 24 180 64 Q180 110 100 170 Z", p["main"]) + \
        path("M52 56 Q44 70 50 86", stroke=p["light"], width=8, extra='opacity="0.6"')


def hands(p):
    return "".join([
        path("M10 150 Q40 120 78 126 L118 132 Q130 136 124 148 Q118 156 102 154 L80 152 L112 158 Q140 162 176 130 Q190 124 192 138 Q176 170 130 184 Q80 196 10 184 Z", p["skin"]),
        path("M100 110 Q60 82 60 56 Q60 34 80 34 Q94 34 100 50 Q106 34 120 34 Q140 34 140 56 Q140 82 100 110 Z", p["main"]),
    ])


def tree(p):
    return "".join([
        ellipse(100, 186, 70, 8, p["shadow"]),
        rect(92, 110, 16, 74, p["dark"], 4),
        circle(100, 80, 54, p["leaf"]), circle(64, 104, 34, p["leaf"]), circle(138, 102, 36, p["leaf"]),
        circle(84, 60, 20, p["light"], 'opacity="0.35"'),
    ])


def globe(p):
    return "".join([
        circle(100, 100, 80, p["main"]),
        path("M60 48 Q84 56 78 80 Q70 100 90 110 Q104 120 92 146 Q84 160 70 156 Q40 130 44 90 Q46 62 60 48 Z", p["leaf"]),
        path("M130 40 Q150 60 144 84 Q130 96 124 78 Q112 58 130 40 Z M128 120 Q150 112 160 130 Q150 156 128 150 Q118 136 128 120 Z", p["leaf"]),
        circle(100, 100, 80, "none", f'stroke="{p["light"]}" stroke-width="6" opacity="0.5"'),
    ])


def house(p, roof=None, door=None):
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


def tower(p):
    win = "".join(rect(x, y, 14, 16, p["light"], 2) for x in (54, 78, 102, 126) for y in range(40, 170, 28))
    return rect(40, 20, 120, 164, p["main"], 4) + rect(40, 20, 120, 12, p["dark"]) + win + rect(88, 160, 24, 24, p["dark"])


def key(p):
    return group("".join([
        circle(0, 0, 40, p["accent"]), circle(0, 0, 16, p["bg"] if "bg" in p else p["light"]),
        rect(34, -10, 110, 20, p["accent"], 6), rect(110, 8, 14, 28, p["accent"], 3), rect(130, 8, 12, 20, p["accent"], 3),
    ]), 40, 100, rotate=-20)


def sofa(p):
    return "".join([
        ellipse(100, 180, 96, 8, p["shadow"]),
        rect(20, 60, 160, 70, p["main"], 20),
        rect(6, 96, 40, 66, p["dark"], 16), rect(154, 96, 40, 66, p["dark"], 16),
        rect(40, 110, 120, 40, p["light"], 10), rect(40, 110, 120, 40, p["main"], 10, 'opacity="0.55"'),
        rect(26, 160, 10, 18, p["dark"], 3), rect(164, 160, 10, 18, p["dark"], 3),
    ])


def plant(p):
    return "".join([
        path("M70 130 H130 L122 186 H78 Z", p["accent"]),
        path("M100 130 Q60 110 48 60 Q86 70 100 130 Z", p["leaf"]),
        path("M100 130 Q140 100 156 50 Q112 66 100 130 Z", p["leaf"]),
        path("M100 130 Q96 80 104 30 Q120 80 100 130 Z", p["light"], extra='opacity="0.8"'),
    ])


def megaphone(p):
    return "".join([
        path("M40 80 L140 30 V170 L40 120 Z", p["main"]),
        rect(20, 78, 26, 44, p["dark"], 6),
        path("M60 120 L74 170 H96 L86 126", p["dark"]),
        path("M160 70 Q176 100 160 130 M174 56 Q198 100 174 144", stroke=p["accent"], width=7),
    ])


def drop(p):
    return "".join([
        ellipse(100, 186, 52, 8, p["shadow"]),
        path("M100 14 Q150 84 150 124 Q150 176 100 176 Q50 176 50 124 Q50 84 100 14 Z", p["main"]),
        path("M78 120 Q78 146 100 152", stroke=p["light"], width=8, extra='opacity="0.7"'),
    ])


def plane(p):
    return group("".join([
        path("M-90 0 Q-90 -14 -70 -14 H60 Q90 -14 96 0 Q90 14 60 14 H-70 Q-90 14 -90 0 Z", p["light"]),
        path("M-10 -12 L-44 -70 H-24 L30 -12 Z", p["main"]),
        path("M-10 12 L-44 70 H-24 L30 12 Z", p["main"]),
        path("M-84 -10 L-96 -44 H-82 L-60 -12 Z", p["main"]),
        path("M58 -8 H74 Q84 -6 86 0 H58 Z", p["dark"]),
        path("M-50 -4 H40", stroke=p["accent"], width=4, extra='opacity="0.8"'),
    ]), 100, 100, rotate=-18)


def suitcase(p):
    return "".join([
        ellipse(100, 186, 70, 8, p["shadow"]),
        path("M78 50 V30 Q78 22 86 22 H114 Q122 22 122 30 V50", stroke=p["dark"], width=8),
        rect(40, 48, 120, 130, p["main"], 16),
        rect(64, 48, 10, 130, p["dark"], 0, 'opacity="0.25"'),
        rect(126, 48, 10, 130, p["dark"], 0, 'opacity="0.25"'),
        circle(62, 180, 8, p["dark"]), circle(138, 180, 8, p["dark"]),
        rect(86, 96, 28, 28, p["accent"], 14),
    ])


def mountains(p):
    return "".join([
        path("M0 180 L70 60 L110 120 L140 80 L200 180 Z", p["main"]),
        path("M70 60 L88 90 L76 84 L64 96 L56 84 Z", p["light"]),
        path("M140 80 L154 104 L142 98 L132 106 Z", p["light"]),
        path("M0 180 Q100 150 200 180 Z", p["leaf"]),
    ])


def guitar(p):
    return group("".join([
        circle(0, 40, 46, p["main"]), circle(0, -14, 34, p["main"]),
        circle(0, 26, 14, p["dark"]),
        rect(-7, -110, 14, 110, p["dark"], 3),
        rect(-12, -130, 24, 26, p["dark"], 5),
        rect(-16, 62, 32, 8, p["dark"], 3),
        path("M-2 -104 V66 M2 -104 V66", stroke=p["light"], width=1.5),
    ]), 100, 110, rotate=28)


def medal(p):
    return "".join([
        path("M70 10 L100 80 L130 10 H110 L100 40 L90 10 Z", p["main"]),
        circle(100, 120, 52, p["accent"]),
        circle(100, 120, 38, "none", f'stroke="{p["light"]}" stroke-width="6" opacity="0.7"'),
        path("M100 96 L108 112 L126 114 L112 126 L116 144 L100 134 L84 144 L88 126 L74 114 L92 112 Z", p["light"]),
    ])


def palm(p):
    return "".join([
        ellipse(100, 184, 70, 9, p["shadow"]),
        path("M96 182 Q90 120 104 60 L114 62 Q102 120 108 182 Z", p["dark"]),
        path("M108 62 Q60 30 20 60 Q64 50 106 70 Z", p["leaf"]),
        path("M108 62 Q150 24 190 52 Q150 46 110 72 Z", p["leaf"]),
        path("M108 62 Q90 10 50 14 Q86 30 104 68 Z", p["leaf"]),
        path("M108 62 Q140 8 176 20 Q140 32 112 70 Z", p["leaf"]),
        circle(104, 70, 8, p["main"]), circle(116, 72, 8, p["main"]),
    ])


def candle(p):
    return "".join([
        ellipse(100, 184, 70, 9, p["shadow"]),
        rect(70, 90, 60, 92, p["light"], 8),
        rect(70, 90, 60, 16, p["main"], 8, 'opacity="0.35"'),
        path("M100 90 V74", stroke=p["dark"], width=4),
        path("M100 30 Q120 56 110 70 Q100 80 90 70 Q80 56 100 30 Z", p["accent"]),
        path("M100 48 Q108 62 102 68 Q96 72 94 64 Q94 56 100 48 Z", p["light"]),
        circle(40, 160, 18, p["leaf"], 'opacity="0.8"'), circle(160, 150, 22, p["main"], 'opacity="0.6"'),
    ])


def star(p):
    pts = []
    for i in range(10):
        r = 90 if i % 2 == 0 else 40
        a = -math.pi / 2 + i * math.pi / 5
        pts.append(f"{100 + r * math.cos(a):.1f} {100 + r * math.sin(a):.1f}")
    return path("M" + " L".join(pts) + " Z", p["accent"])


def envelope(p):
    return "".join([
        rect(20, 50, 160, 110, p["light"], 10),
        path("M20 60 L100 120 L180 60", stroke=p["main"], width=8),
        circle(168, 54, 22, p["accent"]),
    ])


def ticket(p):
    return "".join([
        path("M10 60 H190 V88 Q174 88 174 100 Q174 112 190 112 V140 H10 V112 Q26 112 26 100 Q26 88 10 88 Z", p["main"]),
        path("M60 62 V138", stroke=p["light"], width=4, extra='stroke-dasharray="6 8"'),
        rect(80, 82, 90, 10, p["light"], 5), rect(80, 104, 60, 10, p["light"], 5, 'opacity="0.7"'),
    ])


# Every drawer above, by name; the primitives are not objects of their own.
OBJECTS = {name: fn for name, fn in globals().items()
           if callable(fn) and fn.__module__ == __name__ and name not in
           ("rect", "circle", "ellipse", "path", "group", "blob", "Svg")}


# ---------------------------------------------------------------- pictures

def _backdrop(svg, w, h, pal, seed):
    svg.add(rect(0, 0, w, h, svg.linear(pal["bg"], pal["bg2"])))
    svg.add(blob(w * 0.18, h * 0.25, h * 0.42, pal["soft"], seed=seed, extra='opacity="0.55"'))
    svg.add(blob(w * 0.86, h * 0.82, h * 0.5, pal["soft"], seed=seed + 3, extra='opacity="0.45"'))
    for i in range(9):
        x = (seed * 97 + i * 131) % w
        y = (seed * 53 + i * 71) % h
        svg.add(circle(x, y, 3 + (i % 3) * 2, pal["light"], 'opacity="0.35"'))


def scene(pal, objects, width=600, height=300, seed=1):
    """A banner: backdrop plus objects given as (name, x, y, scale[, rotation])."""
    svg = Svg(width, height)
    _backdrop(svg, width, height, pal, seed)
    svg.add(ellipse(width / 2, height * 0.9, width * 0.42, height * 0.06, pal["shadow"], 'opacity="0.45"'))
    for obj in objects:
        name, x, y, s = obj[:4]
        rot = obj[4] if len(obj) > 4 else 0
        svg.add(group(OBJECTS[name](pal), x, y, s, rot))
    return svg.text()


def card(pal, name, width=280, height=180, seed=1):
    """A product or photo placeholder: one object centred on a tinted tile."""
    svg = Svg(width, height)
    svg.add(rect(0, 0, width, height, svg.linear(pal["bg"], pal["bg2"])))
    svg.add(blob(width * 0.5, height * 0.52, height * 0.42, pal["soft"], seed=seed, extra='opacity="0.7"'))
    s = height * 0.72 / 200
    svg.add(group(OBJECTS[name](pal), width / 2 - 100 * s, height * 0.14, s))
    return svg.text()


def icon(pal, name, size=48):
    """A round badge with a small object, for detail rows and feature lists."""
    svg = Svg(size, size)
    svg.add(circle(size / 2, size / 2, size / 2, pal["soft"]))
    s = size * 0.62 / 200
    svg.add(group(OBJECTS[name](pal), size / 2 - 100 * s, size / 2 - 100 * s, s))
    return svg.text()


def _is_light(colour):
    r, g, b = (int(colour.lstrip("#")[i:i + 2], 16) for i in (0, 2, 4))
    return 0.299 * r + 0.587 * g + 0.114 * b > 170


def logo(pal, name, size=44):
    svg = Svg(size, size)
    # A white mark needs a tile dark enough to stand out on.
    tile = pal["dark"] if _is_light(pal["main"]) else pal["main"]
    svg.add(rect(0, 0, size, size, tile, size * 0.28))
    light = dict(pal, main=pal["light"], dark=pal["light"], accent=pal["light"], leaf=pal["light"],
                 shadow="none", soft=tile, skin=pal["light"])
    s = size * 0.66 / 200
    svg.add(group(OBJECTS[name](light), size / 2 - 100 * s, size / 2 - 100 * s, s))
    return svg.text()
