"""Nonprofit and Real Estate templates."""

from __future__ import annotations

from . import blocks as b
from .art import AddImage
from .calendar_dates import on, sent
from .template import Template, card, scene
from .theme import Theme
from .themes import NONPROFIT, REAL_ESTATE


def winter_appeal(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Hearthstone Trust", "heart", "Warm homes for every family"),
        b.hero(t, img, scene(("house", 70, 60, 1.0), ("hands", 250, 70, 0.95), ("heart", 420, 60, 0.7), seed=23),
               "A small house, open hands and a heart", "No family should choose between heating and eating",
               "This winter, one in eight families in our city will struggle to heat their home. "
               "€40 covers a week of heating for a family with young children. Will you help keep one warm?",
               "Donate today", eyebrow="Winter appeal"),
        b.stats(t, [b.Figure("€40", "heats a home for a week"), b.Figure("2,318", "families helped last winter"), b.Figure("92c", "of every euro goes to families")]),
        b.quote(t, "When the heating came back on, my daughter stopped wearing her coat indoors. That's when I cried.",
                "Marta, a mother supported last winter"),
        b.cta(t, "Every gift is doubled until 31 December", "A local foundation matches every donation, euro for euro, up to €50,000.",
              "Double my gift"),
        b.footer(t, "Hearthstone Trust, registered charity [number]", "You are receiving this e-mail because you supported Hearthstone Trust."),
    ]


def volunteers(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Green Streets", "tree", "Community gardens", centered=True),
        b.hero(t, img, scene(("tree", 40, 60, 1.0), ("plant", 230, 70, 0.95), ("hands", 380, 80, 0.9), seed=24),
               "Trees, a young plant and helping hands", "Volunteers wanted this spring",
               "We are planting 400 trees and six new community gardens across the east side. No experience needed: "
               "we bring the gloves, the tools and the coffee.", "Sign up for a shift",
               eyebrow="Get your hands dirty", centered=True),
        b.cards(t, img, [
            b.CardItem(card("tree", 101), "A young tree", "Planting days", "Saturdays in April, 9:00&ndash;13:00. Families welcome.", "Pick a Saturday"),
            b.CardItem(card("plant", 102), "A potted seedling", "Garden hosts", "Two hours a week watering and welcoming neighbours.", "Become a host"),
        ]),
        b.checklist(t, img, "Every volunteer gets", [
            "Training from our horticulture team", "A Green Streets T-shirt and gloves", "Breakfast on planting days"]),
        b.footer(t, "Green Streets", "You are receiving this e-mail because you signed up at a Green Streets event."),
    ]


def impact_report(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Open Water Project", "drop", "Clean water, locally run"),
        b.hero_split(t, img, scene(("water_tap", 30, 70, 1.15), ("drop", 180, 40, 0.45), seed=25, size=(280, 340)),
                     "Clean water running from a village tap into a bucket", "Our year in review",
                     "Because of you, 48 villages now run their own clean water systems. Here is what your support "
                     "made possible this year, and where every euro went.", "Read the full report",
                     eyebrow="Impact report 2025"),
        b.stats(t, [b.Figure("48", "village water systems"), b.Figure("61,000", "people with clean water"), b.Figure("97%", "still working after 5 years")]),
        b.text(t, "Built to last",
               "Every system is owned by a village water committee, trained by our engineers and funded by small "
               "monthly fees. That is why nearly all of them are still running five years later."),
        b.cards(t, img, [
            b.CardItem(card("wrench", 111), "A spanner and a washer", "Training 300 technicians", "Local mechanics now repair 9 out of 10 faults within 48 hours.", None),
            b.CardItem(card("school", 112), "A school building", "Water in every school", "All 36 schools in the district have taps and hand-washing stations.", None),
        ]),
        b.footer(t, "Open Water Project", "You are receiving this e-mail because you are an Open Water supporter."),
    ]


def gala(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Children's Music Fund", "star", "Annual gala", centered=True),
        b.hero(t, img, scene(("star", 60, 60, 0.6), ("cello", 180, 14, 1.3), ("ticket", 390, 100, 0.9, 8), seed=26),
               "A star, a cello with its bow and a gala ticket", "An evening for young musicians",
               "Dinner, a live auction and performances by the students your donations have supported. "
               "Every ticket funds a year of lessons for a child.", "Buy tickets",
               eyebrow=on(11, 21), centered=True),
        b.details(t, img, "The evening", [
            b.Detail("calendar", "When", f"{on(11, 21)}, 18:30 reception, 19:30 dinner"),
            b.Detail("house", "Where", "The Grand Hall, [Street address], [City]"),
            b.Detail("ticket", "Tickets", "€150 per guest, tables of ten €1,400"),
            b.Detail("star", "Dress code", "Black tie optional"),
        ], cta="Buy tickets"),
        b.quote(t, "Before the fund, I had never touched a cello. Now I play it every day.", "Leo, 13, performing on the night"),
        b.footer(t, "Children's Music Fund", "You are receiving this e-mail because you support the Children's Music Fund."),
    ]


def thank_you(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Paws & Whiskers Rescue", "heart", "Animal shelter"),
        b.hero_split(t, img, scene(("dog", 40, 110, 1.05), ("heart", 170, 40, 0.45), seed=27, size=(280, 340)),
                     "Biscuit the rescue dog in his new collar, and a heart", "Thank you. Here's what you did.",
                     "Your gift last month paid for vaccinations, food and a warm bed for the animals in our care. "
                     "We wanted you to see the difference you made.", eyebrow="Thank you"),
        b.stats(t, [b.Figure("128", "animals adopted"), b.Figure("340", "vet visits funded"), b.Figure("17", "volunteer foster homes")]),
        b.text(t, "Meet Biscuit",
               "Biscuit arrived in January, thin and nervous. Eight weeks of care later he went home with a family "
               "who promise him a sofa and daily walks by the river. Your support made that possible."),
        b.cta(t, "Keep the beds warm", "A monthly gift of €10 feeds one shelter dog for a month.", "Give monthly"),
        b.footer(t, "Paws & Whiskers Rescue", "You are receiving this e-mail because you donated to Paws & Whiskers Rescue."),
    ]


def just_listed(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Ashford & Lane", "key", "Residential estate agents"),
        b.hero(t, img, scene(("house_garden", 160, 26, 1.35), seed=28),
               "14 Orchard Close: a detached house with a front lawn, a fence and an apple tree", "Just listed: 14 Orchard Close",
               "A light-filled family home on a quiet cul-de-sac, five minutes from the station, with a south-facing "
               "garden and a kitchen made for long dinners.", "Book a viewing", eyebrow="€685,000 · Freehold"),
        b.stats(t, [b.Figure("4", "bedrooms"), b.Figure("2", "bathrooms"), b.Figure("165 m²", "living space")]),
        b.feature(t, img, "feature1", card("living_room", 121), "The living room: a sofa, a floor lamp and a tall window",
                  "Open-plan living",
                  "A 9-metre kitchen and living room opening onto the terrace, with oak floors and a wood burner.",
                  level=2),
        b.feature(t, img, "feature2", card("garden", 122), "The garden: a lawn, an apple tree, a vegetable bed and a workshop",
                  "South-facing garden",
                  "Mature apple trees, a vegetable bed and a timber workshop with power and light.", image_right=True,
                  level=2),
        b.details(t, img, "Viewings", [
            b.Detail("calendar", "Open viewings", "Saturday 10:00&ndash;13:00, or by appointment"),
            b.Detail("key", "Your agent", "Sophie Lane, [phone number]"),
        ], cta="Book a viewing"),
        b.footer(t, "Ashford & Lane", "You are receiving this e-mail because you registered for property alerts."),
    ]


def open_house(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Ashford & Lane", "key", "Residential estate agents", centered=True),
        b.hero(t, img, scene(("apartments", 170, 24, 1.3), seed=29),
               "The Linden: an apartment building with a set-back penthouse and a roof terrace", "Open house this Sunday",
               "Take a look around three newly renovated apartments at The Linden, with city views and a shared roof "
               "garden. Drop in, no appointment needed.", "Get directions",
               eyebrow="Sunday 12:00–15:00", centered=True),
        b.products(t, img, [
            b.Product(card("living_room", 131), "The living room of apartment 3B, with a sofa and a tall window",
                      "Apartment 3B, two bedrooms", "€420,000", None, "View details"),
            b.Product(card("terrace", 132), "The penthouse roof terrace, with a parasol, loungers and planters over the city",
                      "Apartment 6A, penthouse", "€690,000", None, "View details"),
        ]),
        b.checklist(t, img, "At The Linden", [
            "Underfloor heating and triple glazing (energy rating A)",
            "Roof garden, bike storage and a parcel room",
            "Two minutes to the tram, ten to the city centre"]),
        b.footer(t, "Ashford & Lane", "You are receiving this e-mail because you registered for property alerts."),
    ]


def market_report(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Ashford & Lane", "key", "Market insight"),
        b.hero(t, img, scene(("chart", 60, 60, 1.0), ("street", 290, 66, 1.1), seed=30),
               "A rising bar chart beside a row of terraced houses", "Your local property market, autumn edition",
               "Prices in the Northside area rose 3.1% over the year, homes sold faster than in any autumn since 2021, "
               "and buyers are back for family houses with gardens.", "Get a free valuation", eyebrow="Quarterly market report"),
        b.stats(t, [b.Figure("+3.1%", "average price, year on year"), b.Figure("24", "days to agree a sale"), b.Figure("98%", "of asking price achieved")]),
        b.text(t, "What it means for you",
               "If you are thinking of selling, spring listings face more competition; autumn buyers are fewer but more "
               "serious. If you are buying, mortgage rates have eased and lenders are competing again for good borrowers."),
        b.cta(t, "What is your home worth?", "A free, no-obligation valuation from an agent who knows your street.", "Book a valuation"),
        b.footer(t, "Ashford & Lane", "You are receiving this e-mail because you asked for our market reports."),
    ]


def just_sold(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Harbourview Homes", "house", "Estate agents", centered=True),
        b.hero_split(t, img, scene(("for_sale", 40, 50, 1.1), ("key", 40, 230, 0.45), seed=31, size=(280, 340)),
                     "27 Ferry Road: a terraced house with a sold board in the front garden, and a key",
                     "Sold in 9 days, above asking",
                     "27 Ferry Road went under offer after the first weekend of viewings, with four offers and a final "
                     "price 4% above asking. Thinking of moving? Your neighbours' buyers may want your home too.",
                     "Ask for a valuation", eyebrow="Just sold"),
        b.stats(t, [b.Figure("9", "days on the market"), b.Figure("4", "offers received"), b.Figure("+4%", "above asking")]),
        b.quote(t, "Harbourview told us exactly what to fix, what to leave, and when to list. They were right on all three.",
                "Daniel and Inês, sellers of 27 Ferry Road"),
        b.footer(t, "Harbourview Homes", "You are receiving this e-mail because you live near one of our recent sales."),
    ]


def moving_guide(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Harbourview Homes", "house", "Moving made simple"),
        b.hero(t, img, scene(("boxes", 50, 70, 1.05), ("sofa", 260, 80, 1.0), ("key", 440, 60, 0.7), seed=32),
               "Moving boxes, a sofa and a key", "Your moving-day guide",
               "Congratulations on your new home! Moving is easier with a plan, so we've put together the checklist "
               "our clients tell us they wish they'd had.", "Download the checklist", eyebrow="Getting ready"),
        b.checklist(t, img, "Four weeks before", [
            "Book a removal company and confirm the date in writing",
            "Tell your energy, water and internet providers your moving date",
            "Start packing the rooms you use least"]),
        b.checklist(t, img, "On moving day", [
            "Read the meters and take photos of each one",
            "Keep an essentials box: kettle, chargers, toilet roll, bedding",
            "Collect your keys from our office from 12:00"]),
        b.cta(t, "We're here until you're settled", "Questions about the handover, the meters or the neighbours' bins? Just reply.", "Contact your agent"),
        b.footer(t, "Harbourview Homes", "You are receiving this e-mail because you are buying a home with Harbourview."),
    ]


TEMPLATES: list[Template] = [
    Template("Winter Appeal", NONPROFIT, "Will you keep a family warm this winter?", "€40 heats a home for a week, and every gift is doubled until 31 December.",
             "Hearthstone Trust <hello@hearthstone.example>", "Hearthstone Trust", "heart", winter_appeal,
             palette=dict(bg="#dfe8f5", bg2="#bccde8", main="#d1495b", dark="#2e4057", accent="#edae49", shadow="#9fb3d1"), date=sent(12, 1, "10:00")),
    Template("Volunteers Wanted", NONPROFIT, "Volunteers wanted: 400 trees to plant this spring",
             "No experience needed. We bring the gloves, tools and coffee.", "Green Streets <volunteer@greenstreets.example>",
             "Green Streets", "tree", volunteers,
             opening=dict(header_style="light", hero_style="image-first"), palette=dict(bg="#e2f2d9", bg2="#bfe0ac", main="#e07a5f", leaf="#3d8b48", dark="#2f4a2a"), date=sent(2, 17, "09:00")),
    Template("Year in Review", NONPROFIT, "Our year in review: 48 villages, 61,000 people",
             "See what your support made possible, and where every euro went.", "Open Water Project <team@openwater.example>",
             "Open Water Project", "drop", impact_report, palette=dict(main="#2b7a9b", leaf="#5cae7e", accent="#f2b134"), date=sent(12, 15, "09:00")),
    Template("Charity Gala", NONPROFIT, "Join us for an evening for young musicians", "Dinner, a live auction and performances on 21 November.",
             "Children's Music Fund <gala@musicfund.example>", "Children's Music Fund", "star", gala, opening=dict(hero_style="image-first"),
             palette=dict(bg="#2d2a4a", bg2="#1b1933", soft="#3d3966", main="#c9a227", dark="#e9e4ff", light="#f7f3ff", accent="#f2c14e", shadow="#121024"), date=sent(10, 20, "10:00")),
    Template("Thank You Donors", NONPROFIT, "Thank you. Here's what you did.", "128 animals adopted, and Biscuit has a sofa of his own.",
             "Paws & Whiskers <thanks@pawswhiskers.example>", "Paws & Whiskers", "heart", thank_you, opening=dict(header_style="light"),
             palette=dict(bg="#fde2d8", bg2="#f9bfa8", main="#e5533d", dark="#5a2e22", accent="#f4a259", shadow="#e7a08a"), date=sent(1, 13, "09:00")),
    Template("Just Listed", REAL_ESTATE, "Just listed: 14 Orchard Close, €685,000", "Four bedrooms, a south-facing garden, five minutes from the station.",
             "Ashford & Lane <homes@ashfordlane.example>", "Ashford & Lane", "key", just_listed, opening=dict(hero_style="image-first"),
             palette=dict(accent="#b5443a"), date=sent(5, 5, "08:30")),
    Template("Open House", REAL_ESTATE, "Open house this Sunday at The Linden", "Three renovated apartments with a roof garden. Drop in from 12:00.",
             "Ashford & Lane <homes@ashfordlane.example>", "Ashford & Lane", "key", open_house, opening=dict(header_style="band"),
             palette=dict(bg="#f1e6d8", bg2="#dfc7a8", main="#9c6644", dark="#3b3a36"), date=sent(6, 4, "08:30")),
    Template("Market Report", REAL_ESTATE, "Your local property market, autumn edition", "Prices up 3.1%, and homes selling in 24 days.",
             "Ashford & Lane <insight@ashfordlane.example>", "Ashford & Lane", "key", market_report,
             palette=dict(main="#5c7c9a", accent="#b08d57"), date=sent(10, 6, "08:30")),
    Template("Just Sold", REAL_ESTATE, "Sold in 9 days, above asking: 27 Ferry Road", "Four offers after the first weekend. Could your home be next?",
             "Harbourview Homes <team@harbourview.example>", "Harbourview Homes", "house", just_sold, opening=dict(header_style="band"),
             palette=dict(bg="#dcecef", bg2="#b3d6dd", main="#e9d8a6", dark="#005f73", accent="#ca6702", shadow="#8fbcc6"), date=sent(7, 9, "08:30")),
    Template("Moving Day Guide", REAL_ESTATE, "Your moving-day guide (and checklist)", "Everything our clients wish they'd known before moving day.",
             "Harbourview Homes <team@harbourview.example>", "Harbourview Homes", "house", moving_guide, opening=dict(hero_style="image-first"),
             palette=dict(bg="#e9e4f0", bg2="#cfc4e0", main="#94a3b8", dark="#334155", accent="#c2410c"), date=sent(8, 18, "08:30")),
]
