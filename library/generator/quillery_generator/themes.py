"""One look per category: colours, type and the palette of its illustrations."""

from __future__ import annotations

import dataclasses
from typing import Any

from .theme import Theme

SANS = "Helvetica Neue,Helvetica,Arial,sans-serif"
SERIF = "Georgia,Times New Roman,serif"
HUMANIST = "Trebuchet MS,Verdana,Segoe UI,sans-serif"
SYSTEM = "Segoe UI,Roboto,Helvetica Neue,Arial,sans-serif"
BOOK = "Palatino Linotype,Book Antiqua,Palatino,Georgia,serif"

RETAIL = Theme(
    "Retail", page="#fff1e8", panel="#ffffff", text="#2b2d42", muted="#5c5f73", heading="#1d1f33",
    accent="#c8243f", on_accent="#ffffff", band="#1d1f33", on_band="#ffffff", soft="#ffe3d3",
    font=SANS, heading_font=SANS, radius=10, dark_page="#14151f", dark_panel="#1f2132",
    dark_text="#e9e9f2", dark_heading="#ffd0bd", dark_band="#0c0d15",
    art=dict(bg="#ffd9c7", bg2="#ffb89a", soft="#fff1e8", light="#ffffff", main="#e94f64", dark="#1d1f33",
             accent="#ffb703", leaf="#2a9d8f", shadow="#e0907a", skin="#f4c7a1"))

FOOD = Theme(
    "Food and Drink", page="#f5ede3", panel="#fffdf9", text="#3b2a20", muted="#6b5141", heading="#4a2c1a",
    accent="#8f3a1a", on_accent="#ffffff", band="#3b2a20", on_band="#fbeee0", soft="#f3e6d6",
    font=SANS, heading_font=SERIF, radius=4, header_style="light", hero_style="headline-first",
    dark_page="#1b1410", dark_panel="#261c16",
    dark_text="#f0e4d8", dark_heading="#f7c99f", dark_band="#120d0a",
    art=dict(bg="#f6e2c8", bg2="#eec99d", soft="#fdf4e8", light="#fffaf2", main="#c0703a", dark="#5a3420",
             accent="#e0a458", leaf="#6a8d4e", shadow="#d9b08a", skin="#f1c9a0"))

BUSINESS = Theme(
    "Business", page="#edf1f8", panel="#ffffff", text="#1f2a3d", muted="#4f5d75", heading="#14213d",
    accent="#3344cc", on_accent="#ffffff", band="#14213d", on_band="#ffffff", soft="#e7ecfb",
    font=SYSTEM, heading_font=SYSTEM, radius=8, dark_page="#0d1322", dark_panel="#161e33",
    dark_text="#e3e8f4", dark_heading="#b9c6ff", dark_band="#080c17",
    art=dict(bg="#dfe6ff", bg2="#c3cdfa", soft="#f2f5ff", light="#ffffff", main="#4958e0", dark="#14213d",
             accent="#22b8a6", leaf="#22b8a6", shadow="#a9b4e8", skin="#f2c7a5"))

EDUCATION = Theme(
    "Education", page="#edf6f0", panel="#ffffff", text="#23352b", muted="#4b6154", heading="#1b4a32",
    accent="#1d744a", on_accent="#ffffff", band="#1b4a32", on_band="#ffffff", soft="#fff2c4",
    font=HUMANIST, heading_font=HUMANIST, radius=14, header_style="light", dark_page="#0f1a14", dark_panel="#17261d",
    dark_text="#e2efe6", dark_heading="#ffe07a", dark_band="#0a120d",
    art=dict(bg="#d8f0e0", bg2="#b6e2c4", soft="#f3fbf5", light="#ffffff", main="#2e9b62", dark="#1b4a32",
             accent="#ffc53d", leaf="#56b870", shadow="#93c9a5", skin="#f2c7a5"))

NONPROFIT = Theme(
    "Nonprofit", page="#eaf4f3", panel="#ffffff", text="#1f3433", muted="#4a6261", heading="#0f4c4a",
    accent="#a84b16", on_accent="#ffffff", band="#0f4c4a", on_band="#ffffff", soft="#fcefdc",
    font=SANS, heading_font=SERIF, radius=6, hero_style="headline-first", dark_page="#0c1716", dark_panel="#142321",
    dark_text="#e0eeec", dark_heading="#ffc78f", dark_band="#081110",
    art=dict(bg="#d4ecea", bg2="#aed9d5", soft="#f2faf9", light="#ffffff", main="#e0663a", dark="#0f4c4a",
             accent="#f2b134", leaf="#3a9a7a", shadow="#8cc4bd", skin="#e8b48c"))

REAL_ESTATE = Theme(
    "Real Estate", page="#f2efea", panel="#ffffff", text="#2a2a2e", muted="#5b5853", heading="#1f2a36",
    accent="#735221", on_accent="#ffffff", band="#1f2a36", on_band="#f4ead6", soft="#efe7d9",
    font=SANS, heading_font=BOOK, radius=2, header_style="light", hero_style="headline-first",
    dark_page="#121418", dark_panel="#1c2026",
    dark_text="#e8e4dc", dark_heading="#e8cf9c", dark_band="#0b0d10",
    art=dict(bg="#e6e9ee", bg2="#c9d3de", soft="#f5f6f8", light="#fdfaf3", main="#d8c3a0", dark="#1f2a36",
             accent="#8a6a2f", leaf="#6d9a6a", shadow="#aab6c4", skin="#e9c39f"))

TRAVEL = Theme(
    "Travel and Events", page="#ecf5f8", panel="#ffffff", text="#1d2b36", muted="#4a5d6b", heading="#0b3c5d",
    accent="#c0392b", on_accent="#ffffff", band="#0b3c5d", on_band="#ffffff", soft="#e0f1f4",
    font=SANS, heading_font=SANS, radius=12, dark_page="#0a141b", dark_panel="#122029",
    dark_text="#e1edf2", dark_heading="#9fd8e6", dark_band="#060d12",
    art=dict(bg="#cfeef3", bg2="#9fd8e6", soft="#f1fafc", light="#ffffff", main="#f28c28", dark="#0b3c5d",
             accent="#f6c343", leaf="#2a9d8f", shadow="#7fbfcc", skin="#f2c7a5"))


# ---------------------------------------------------------------- senders
# Each sender keeps its own colours in every template it sends: the band and
# the coupon, the buttons, the headings, and the page around the column. The
# category gives the type, the shape and the dark-mode colours; dark_heading
# is the sender's heading colour on a dark panel.
BRANDS: dict[str, dict[str, Any]] = {
    # Retail
    "Harbour & Pine": dict(band="#17403a", accent="#b83f0b", heading="#17403a", page="#f3efe6", soft="#e6efe9",
                           dark_heading="#ffc29e"),
    "Voltline": dict(band="#0d0e12", accent="#ffd23f", on_accent="#0d0e12", heading="#0d0e12", page="#e4e6eb",
                     soft="#eef0f4", text="#1d1f26", dark_heading="#ffe37a"),
    "Maple Row": dict(band="#3d3a4b", accent="#8a3b12", heading="#6b2c0e", page="#f6efe6", soft="#f1e4d3",
                      dark_heading="#f4b88c"),
    "Kettle & Co.": dict(band="#1f4e4a", accent="#136f63", heading="#1f4e4a", page="#eaf4f1", soft="#dcefe9",
                         dark_heading="#9fe0d2"),
    "Bloom Beauty": dict(band="#6b1d45", accent="#b0245d", heading="#6b1d45", page="#fcebf1", soft="#fbe0ea",
                         dark_heading="#ffb3cf"),
    # Food and Drink
    "Crumb & Hearth": dict(band="#5a2d0c", accent="#9a3412", heading="#5a2d0c", page="#f8efe2", soft="#f6e3cb"),
    "Vine Street Cellar": dict(band="#3e1f2c", on_band="#f6e7ee", accent="#7b2d4f", heading="#3e1f2c",
                               page="#f3ebef", soft="#efe0e7", dark_heading="#f2b8cf"),
    "Nonna Rosa": dict(band="#283d3b", accent="#b23a2b", heading="#283d3b", page="#f4efe4", soft="#ece6d4",
                       dark_heading="#f6b5a6"),
    "The Sunday Kitchen": dict(band="#6b4226", accent="#a34a14", heading="#6b4226", page="#fbf2e1", soft="#f7e6c4"),
    # Business
    "Tasklane": dict(band="#1e1b4b", accent="#4f46e5", heading="#1e1b4b", page="#eeedfb", soft="#e6e4fb",
                     dark_heading="#c4c1ff"),
    "Northwind": dict(band="#1b2845", accent="#c2410c", heading="#1b2845", page="#fbeee6", soft="#fde3d4",
                      dark_heading="#ffc09c"),
    "Ledgerly": dict(band="#143642", accent="#0f766e", heading="#143642", page="#e6f3f1", soft="#d9f2ee",
                     dark_heading="#8fe0d4"),
    "Fernway": dict(band="#0b1a2e", on_band="#f3e6bd", accent="#1f3a5f", heading="#0b1a2e", page="#eceef2",
                    soft="#e6e9f0", dark_heading="#e8cf8a"),
    "Brightdesk": dict(band="#2b1b5a", accent="#6741d9", heading="#2b1b5a", page="#f1ecff", soft="#ece4ff",
                       dark_heading="#cdbcff"),
    # Education
    "Hillcrest College": dict(band="#132a55", accent="#274c9b", heading="#132a55", page="#e9eff9", soft="#e3ebf8",
                              dark_heading="#ffd666"),
    "Studio Lingo": dict(band="#264653", accent="#b5472b", heading="#264653", page="#fdf0e7", soft="#ffe8d9",
                         dark_heading="#ffbf9e"),
    "Camp Tall Pines": dict(band="#1b4332", accent="#2d6a4f", heading="#1b4332", page="#e7f4f7", soft="#fff1c9"),
    "Oakfield Library": dict(band="#3b1f45", accent="#7b3f8c", heading="#3b1f45", page="#f5edf7", soft="#f3e6f5",
                             dark_heading="#e9bff5"),
    # Nonprofit
    "Hearthstone Trust": dict(band="#2e4057", accent="#b3263a", heading="#2e4057", page="#e9eef6", soft="#f9ebd3",
                              dark_heading="#ffb8a8"),
    "Green Streets": dict(band="#2f4a2a", accent="#3a6b35", heading="#2f4a2a", page="#edf5e8", soft="#e2f2d9",
                          dark_heading="#b7e4a6"),
    "Open Water Project": dict(band="#0b4f6c", accent="#0e6d8c", heading="#0b4f6c", page="#e6f2f7", soft="#d8edf5",
                               dark_heading="#9fdcf2"),
    "Children's Music Fund": dict(band="#1b1933", on_band="#f2d27a", accent="#e0b53a", on_accent="#1b1933",
                                  heading="#2d2a4a", page="#efedf6", soft="#ebe7f8", dark_heading="#f2d27a"),
    "Paws & Whiskers": dict(band="#5a2e22", accent="#b8432a", heading="#5a2e22", page="#fdf0ea", soft="#fde2d8",
                            dark_heading="#ffb59e"),
    # Real Estate
    "Harbourview Homes": dict(band="#005f73", accent="#9b4d02", heading="#004452", page="#e8f1f3", soft="#dcecef",
                              dark_heading="#8fd3e0"),
    # Travel and Events
    "Riverbank Festival": dict(band="#170f2c", on_band="#ffd166", accent="#c2255c", heading="#2a1b4a",
                               page="#f1ecf8", soft="#ede5fa", dark_heading="#ffb3d0"),
    "Still Water": dict(band="#2f4538", accent="#4a6b4e", heading="#2f4538", page="#eef3eb", soft="#e8efe4",
                        dark_heading="#c9e4c0"),
    "Harbour Runners": dict(band="#1d3557", accent="#c1121f", heading="#1d3557", page="#eaf0f7", soft="#fdeadb",
                            dark_heading="#ffb4a8"),
    "Hotel Seeblick": dict(band="#2d3e50", accent="#7a5230", heading="#2d3e50", page="#e9eff4", soft="#e3ecf3",
                           dark_heading="#e8cfae"),
}


def branded(theme: Theme, brand: str, **opening: str) -> Theme:
    """The category's theme in the sender's colours, with this message's opening.

    opening: header_style ("band" or "light") and hero_style ("image-first" or
    "headline-first"). The Theme checks every text and background pair again.
    """
    return dataclasses.replace(theme, name=f"{theme.name} ({brand})", **{**BRANDS.get(brand, {}), **opening})
