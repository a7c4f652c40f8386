"""Travel and Events templates."""

from __future__ import annotations

from . import blocks as b
from .art import AddImage
from .calendar_dates import on, sent
from .template import Template, card, scene
from .theme import Theme
from .themes import TRAVEL


def island_escape(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Wayfarer Travel", "plane", "Small-group trips since 2009"),
        b.hero(t, img, scene(("palm", 40, 60, 1.0), ("plane", 220, 10, 0.9), ("suitcase", 400, 80, 0.85), seed=41),
               "A palm tree, a plane in the sky and a suitcase",
               "São Miguel: seven days in the Azores",
               "Crater lakes, tea plantations and hot springs in the middle of the Atlantic. Our spring departures "
               "have six places left each, with flights, guides and every breakfast included.",
               "See the itinerary", eyebrow="From €1,290 per person"),
        b.products(t, img, [
            b.Product(card("mountains", 141), "Sunlit mountain peaks above green hills", "Hiking week, 12–19 April", "€1,290", "€1,450", "Reserve"),
            b.Product(card("palm", 142), "A palm tree by the sea", "Coast and springs, 3–10 May", "€1,340", None, "Reserve"),
        ], "Spring departures"),
        b.checklist(t, img, "Included in every trip", [
            "Return flights from Lisbon, Porto or Frankfurt",
            "Six nights in family-run guesthouses, breakfast every day",
            "A local guide for every walk, and a whale-watching trip"]),
        b.quote(t, "The best-organised week I've ever had on holiday, and I didn't have to organise any of it.",
                "Ingrid, travelled with us in 2025"),
        b.footer(t, "Wayfarer Travel", "You are receiving this e-mail because you subscribed to Wayfarer trip news."),
    ]


def music_festival(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Riverbank Festival", "guitar", "Three days of music by the water", centered=True),
        b.hero(t, img, scene(("guitar", 30, 50, 1.0), ("stage", 200, 30, 1.25), ("microphone", 460, 80, 0.8), seed=42),
               "A guitar, an open-air stage under spotlights with the crowd's raised hands, and a microphone", "The line-up is here",
               "Forty artists on three stages, from Friday sundown to Sunday night. Early-bird weekend passes "
               "sell out every year, and this year they're on sale for 72 hours only.",
               "Get weekend passes", eyebrow="17–19 July · Riverside Park", centered=True),
        b.stats(t, [b.Figure("40", "artists"), b.Figure("3", "stages"), b.Figure("72 h", "early-bird sale")]),
        b.details(t, img, "Tickets", [
            b.Detail("ticket", "Weekend pass", "€129 early bird, then €159"),
            b.Detail("calendar", "Day ticket", "€59 Friday, €69 Saturday or Sunday"),
            b.Detail("heart", "Under 16s", "Free with a paying adult"),
        ], cta="Get weekend passes"),
        b.text(t, "Getting there",
               "Free shuttle buses run from the central station every 15 minutes. Bring your bike: "
               "the guarded bike park by the north gate holds 2,000."),
        b.footer(t, "Riverbank Festival", "You are receiving this e-mail because you bought a Riverbank ticket before."),
    ]


def yoga_retreat(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Still Water Retreats", "candle", "Yoga and rest in the mountains"),
        b.hero(t, img, scene(("mountains", 40, 60, 1.2), ("candle", 300, 70, 0.9), ("yoga_mat", 410, 90, 0.9), seed=43),
               "Mountains, a lit candle and a rolled yoga mat with a block", "A weekend to slow down",
               "Two nights in a mountain lodge, yoga at sunrise and sunset, long walks and food from the "
               "lodge's own garden. For every level, including none.", "Book your place",
               eyebrow="Retreat weekend · 13–15 November"),
        b.feature(t, img, "feature1", card("mountains", 151), "Green mountains with snow on their peaks", "Where you'll stay",
                  "The Alpenrose lodge sits at 1,400 metres, with twelve rooms, a wood-fired sauna and no television.",
                  level=2),
        b.feature(t, img, "feature2", card("yoga_mat", 152), "A rolled yoga mat and a wooden block", "How the days go",
                  "Gentle yoga at 7:30, breakfast, a guided walk, free afternoons, restorative yoga at 17:30.",
                  image_right=True, level=2),
        b.details(t, img, "Good to know", [
            b.Detail("calendar", "Dates", f"{on(11, 13)}, 16:00 to {on(11, 15)}, 14:00"),
            b.Detail("ticket", "Price", "€420 in a shared room, €510 in a single room, all meals included"),
        ], cta="Book your place"),
        b.footer(t, "Still Water Retreats", "You are receiving this e-mail because you asked about our retreats."),
    ]


def spring_race(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Harbour Runners", "sneaker", "Running club", centered=True),
        b.hero(t, img, scene(("sneaker", 60, 100, 0.9), ("medal", 240, 40, 1.0), ("sun", 420, 30, 0.7), seed=44),
               "A running shoe, a finisher's medal and the sun", "Spring 10K: entries are open",
               "A flat, fast loop along the harbour and back through the old town, with music at every "
               "kilometre and a medal for everyone who finishes.", "Enter the race",
               eyebrow=f"{on(4, 12)} · 9:30", centered=True),
        b.stats(t, [b.Figure("10 km", "flat, certified course"), b.Figure("1,500", "places"), b.Figure("€25", "entry, with a T-shirt")]),
        b.checklist(t, img, "Before the day", [
            "Collect your number on Saturday, 10:00–18:00, at the club house",
            "Bag drop opens at 8:30 by the start",
            "Free training runs every Wednesday at 18:30, all paces welcome"]),
        b.footer(t, "Harbour Runners", "You are receiving this e-mail because you ran one of our races."),
    ]


def spa_weekend(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Hotel Seeblick", "house", "Lakeside hotel and spa"),
        b.hero(t, img, scene(("lake_hotel", 150, 20, 1.4), seed=45),
               "Hotel Seeblick on the shore of the lake, below snow-capped mountains", "Two nights, one spa, no alarm clock",
               "Our winter spa weekend is back: two nights with a lake view, breakfast until noon, a three-course "
               "dinner and unlimited use of the pools and saunas.", "Check dates",
               eyebrow="Winter offer · from €289"),
        b.feature(t, img, "feature1", card("pool", 161), "The indoor pool, with a window onto the lake", "The spa",
                  "A 20-metre pool, four saunas and a quiet room looking over the water. Robes and towels are waiting "
                  "in your room.", level=2),
        b.feature(t, img, "feature2", card("fish_plate", 162), "Lake trout with potatoes, greens and a lemon wedge", "The kitchen",
                  "Dinner is three courses from local farms and the lake. Tell us about allergies when you book.",
                  image_right=True, level=2),
        b.coupon(t, "Book by 31 January and save 10%", "SEEBLICK10", "Valid for stays from Sunday to Thursday until 31 March."),
        b.footer(t, "Hotel Seeblick", "You are receiving this e-mail because you stayed with us."),
    ]


TEMPLATES: list[Template] = [
    Template("São Miguel Escape", TRAVEL, "Seven days in the Azores: six places left", "Crater lakes, tea plantations and hot springs, from €1,290.",
             "Wayfarer Travel <trips@wayfarer.example>", "Wayfarer Travel", "plane", island_escape, date=sent(1, 20, "09:00")),
    Template("Music Festival", TRAVEL, "The Riverbank Festival line-up is here", "40 artists, 3 stages, and early-bird passes for 72 hours only.",
             "Riverbank Festival <tickets@riverbank.example>", "Riverbank Festival", "guitar", music_festival,
             opening=dict(hero_style="headline-first"),
             palette=dict(bg="#2a1b4a", bg2="#170f2c", soft="#3e2b6b", main="#ff7a59", dark="#f7d6ff", light="#fff4ec",
                          accent="#ffd166", shadow="#0f0820"), date=sent(3, 10, "12:00")),
    Template("Yoga Retreat", TRAVEL, "A weekend to slow down: our November retreat", "Two nights in the mountains, yoga at sunrise and sunset.",
             "Still Water Retreats <hello@stillwater.example>", "Still Water", "candle", yoga_retreat,
             opening=dict(header_style="light", hero_style="headline-first"),
             palette=dict(bg="#e8efe4", bg2="#c9dbc0", main="#7a9e7e", dark="#2f4538", accent="#e9b872", leaf="#5b8c5a", shadow="#a9c2a0"), date=sent(9, 15, "09:00")),
    Template("Spring 10K", TRAVEL, "Spring 10K: entries are open", "A flat, fast loop along the harbour, and a medal for every finisher.",
             "Harbour Runners <race@harbourrunners.example>", "Harbour Runners", "sneaker", spring_race,
             palette=dict(main="#e63946", accent="#f4a261", dark="#1d3557"), date=sent(2, 2, "09:00")),
    Template("Spa Weekend", TRAVEL, "Two nights, one spa, no alarm clock", "Our winter spa weekend is back, from €289 with dinner.",
             "Hotel Seeblick <stay@seeblick.example>", "Hotel Seeblick", "house", spa_weekend, opening=dict(header_style="light"),
             palette=dict(bg="#e3ecf3", bg2="#bcd0e0", main="#b08968", dark="#2d3e50", accent="#ddb892", leaf="#6b9080"), date=sent(11, 3, "09:00")),
]
