"""One look per category: colours, type and the palette of its illustrations."""

from blocks import Theme

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
    font=SANS, heading_font=SERIF, radius=4, header_style="light", hero_style="headline-first", dark_page="#1b1410", dark_panel="#261c16",
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
    font=SANS, heading_font=BOOK, radius=2, header_style="light", hero_style="headline-first", dark_page="#121418", dark_panel="#1c2026",
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
