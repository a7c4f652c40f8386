"""The look of a category or a sender: colours, type and shape, and the
contrast every text colour keeps against what it is written on."""

from __future__ import annotations

from dataclasses import KW_ONLY, dataclass

from .art import Palette

MIN_CONTRAST = 4.5


def _channel(c: float) -> float:
    c /= 255
    return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4


def luminance(hex_colour: str) -> float:
    h = hex_colour.lstrip("#")
    r, g, b = (int(h[i:i + 2], 16) for i in (0, 2, 4))
    return 0.2126 * _channel(r) + 0.7152 * _channel(g) + 0.0722 * _channel(b)


def contrast(a: str, b: str) -> float:
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


@dataclass(frozen=True)
class Theme:
    """Colours and type of one category. Every text/background pair is checked
    when a theme is made, so no template can be written in a colour its
    readers cannot read."""

    name: str
    _: KW_ONLY
    page: str
    panel: str
    text: str
    muted: str
    heading: str
    accent: str
    on_accent: str
    band: str
    on_band: str
    soft: str
    font: str
    heading_font: str
    radius: int
    dark_page: str
    dark_panel: str
    dark_text: str
    dark_heading: str
    dark_band: str
    art: Palette
    # "band": the brand on a dark bar; "light": on the panel under an accent stripe.
    header_style: str = "band"
    # "image-first": picture, then headline; "headline-first": an editorial opening.
    hero_style: str = "image-first"

    def __post_init__(self) -> None:
        pairs = [(self.text, self.panel), (self.muted, self.panel), (self.heading, self.panel),
                 (self.on_accent, self.accent), (self.on_band, self.band), (self.text, self.soft),
                 (self.muted, self.page), (self.heading, self.soft),
                 (self.dark_text, self.dark_panel), (self.dark_heading, self.dark_panel),
                 (self.dark_text, self.dark_page), (self.on_band, self.dark_band)]
        for fg, bg in pairs:
            ratio = contrast(fg, bg)
            if ratio < MIN_CONTRAST:
                raise ValueError(f"theme {self.name}: {fg} on {bg} has contrast {ratio:.2f} < {MIN_CONTRAST}")
