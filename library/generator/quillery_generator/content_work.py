"""Business and Education templates."""

from __future__ import annotations

from . import blocks as b
from .art import AddImage
from .calendar_dates import on, sent, weekday
from .template import Template, card, scene
from .theme import Theme
from .themes import BUSINESS, EDUCATION


def product_update(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Tasklane", "rocket", "Product news"),
        b.hero(t, img, scene(("laptop", 70, 60, 1.0), ("rocket", 290, 40, 0.95, 12), ("magnifier", 430, 80, 0.75), seed=13),
               "A laptop showing a task board next to a rocket and a magnifying glass",
               "Timelines, faster search and a dark theme",
               "Three of your most requested features ship today. Everything is already switched on in your "
               "workspace: no update to install.", "See what's new", eyebrow="March product update"),
        b.text(t, "What's new"),
        b.feature(t, img, "feature1", card("calendar", 61), "A calendar with one week marked", "Timelines",
                  "Drag tasks across weeks, see dependencies at a glance and share a read-only link with clients.",
                  "Try timelines"),
        b.feature(t, img, "feature2", card("magnifier", 62), "A magnifying glass", "Search, five times faster",
                  "Results appear as you type, across tasks, comments and attached files.", "Read the details",
                  image_right=True),
        b.checklist(t, img, "Also in this release", [
            "A dark theme that follows your system setting",
            "Keyboard shortcuts for every action (press ? to see them)",
            "Exports to CSV now include custom fields"]),
        b.cta(t, "Questions? We're here", "Join a 20-minute live walkthrough on Thursday, or reply to this e-mail: a real person reads it.",
              "Save my seat"),
        b.footer(t, "Tasklane Ltd.", "You are receiving this e-mail because you have a Tasklane account."),
    ]


def conference(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Northwind Summit 2026", "microphone", "Data, design and the people in between", centered=True),
        b.hero(t, img, scene(("microphone", 80, 50, 1.0), ("calendar", 250, 70, 0.9), ("ticket", 400, 80, 0.9, -8), seed=14),
               "A stage microphone, a calendar and an event ticket",
               "You're invited to Northwind Summit",
               "Two days, forty speakers and one question: how do small teams build products that people love? "
               "Early-bird tickets are 30% off until 31 January.", "Get your ticket",
               eyebrow="Lisbon · 14–15 May 2026", centered=True),
        b.details(t, img, "Event details", [
            b.Detail("calendar", "Dates", f"{weekday(5, 14)} 14 and {on(5, 15, with_year=True)}"),
            b.Detail("house", "Venue", "Riverside Congress Centre, Lisbon"),
            b.Detail("ticket", "Early bird", "€390 instead of €560, until 31 January"),
        ], cta="Register now"),
        b.stats(t, [b.Figure("40", "speakers"), b.Figure("12", "workshops"), b.Figure("1,200", "attendees")], "Summit at a glance"),
        b.quote(t, "The most useful two days of my year. I came back with a plan, not just a notebook.", "Priya Raman, Head of Product, Corvid"),
        b.footer(t, "Northwind Events", "You are receiving this e-mail because you attended a Northwind event."),
    ]


def webinar(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Ledgerly", "book", "Accounting for small businesses"),
        b.hero_split(t, img, scene(("video_call", 14, 80, 1.25), seed=15, size=(280, 340)),
                     "A laptop showing a live video call with the host and two guests",
                     "Free webinar: closing your books in one day",
                     "Month-end doesn't have to take a week. Our senior accountant shows the checklist, the automations and "
                     "the three reports that cut her clients' close time from five days to one.",
                     "Reserve my spot", eyebrow="Live online · 45 minutes"),
        b.details(t, img, None, [
            b.Detail("calendar", "When", f"{on(2, 11)}, 16:00 CET"),
            b.Detail("laptop", "Where", "Online. The link arrives after you sign up"),
            b.Detail("microphone", "Host", "Elena Marquez, chartered accountant"),
        ]),
        b.checklist(t, img, "You will learn", [
            "The month-end checklist we give every new client",
            "How to reconcile bank feeds automatically",
            "Which three reports your advisor really wants"]),
        b.cta(t, "Can't make it live?", "Sign up anyway and we'll send you the recording and the checklist the next day.", "Reserve my spot"),
        b.footer(t, "Ledgerly", "You are receiving this e-mail because you subscribed to Ledgerly events."),
    ]


def quarterly_report(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Fernway Capital", "tree", "Investor letter"),
        b.hero(t, img, scene(("chart", 110, 50, 1.05), ("globe", 330, 60, 0.95), seed=16),
               "A rising bar chart and a globe", "Our third quarter in review",
               "Revenue grew 18% year on year, we opened our first office in Singapore, and our fund returned 6.4% net. "
               "Here are the highlights; the full letter is on our investor site.", "Read the full letter", eyebrow="Q3 2026"),
        b.stats(t, [b.Figure("+18%", "revenue, year on year"), b.Figure("6.4%", "net fund return"), b.Figure("94%", "client retention")],
                "The quarter in numbers"),
        b.text(t, "A note from our managing partner",
               "Markets were uneven this quarter, and we chose patience over activity: we made two new investments "
               "and declined eleven. Both new companies are profitable and led by founders we have known for years.",
               "In the coming quarter we will focus on our portfolio companies' expansion into Southeast Asia, "
               "supported by our new Singapore team."),
        b.cta(t, "Join the investor call", f"{on(10, 22)} at 15:00 CET. Questions can be sent in advance.", "Add to calendar"),
        b.footer(t, "Fernway Capital", "You are receiving this e-mail as a registered Fernway investor. Past performance is no guarantee of future results."),
    ]


def welcome(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Brightdesk", "envelope", "Customer support, simplified", centered=True),
        b.hero(t, img, scene(("envelope", 90, 60, 1.0), ("rocket", 270, 40, 0.95), ("star", 430, 60, 0.6), seed=17),
               "An envelope, a rocket and a star", "Welcome aboard, let's get you set up",
               "Your 14-day trial has started. Most teams answer their first ticket in Brightdesk within ten minutes; "
               "here are the three steps that get you there.", "Open my workspace", eyebrow="Welcome", centered=True),
        b.checklist(t, img, "Three steps to your first answer", [
            "<strong>Connect your inbox.</strong> Forward support@ to your Brightdesk address.",
            "<strong>Invite your team.</strong> Everyone gets their own queue and mentions.",
            "<strong>Add saved replies.</strong> Start with our ten most-used templates."]),
        b.cards(t, img, [
            b.CardItem(card("lightbulb", 71), "A light bulb", "Help centre", "Short guides for every feature, with screenshots.", "Browse guides"),
            b.CardItem(card("headset", 72), "A headset for a call with our team", "Live onboarding", "Book a free 30-minute call with our team.", "Book a call"),
        ]),
        b.footer(t, "Brightdesk", "You are receiving this e-mail because you started a Brightdesk trial."),
    ]


def school_newsletter(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Riverside Primary School", "school", "Newsletter · Spring term"),
        b.hero(t, img, scene(("school", 60, 60, 1.0), ("tree", 240, 70, 0.95), ("backpack", 400, 80, 0.85), seed=18),
               "The school building with a tree and a backpack", "Spring term news",
               "What a busy half-term! Year 4 visited the science museum, our choir sang at the town hall, and the "
               "new reading garden is finally open. Here is everything coming up.", eyebrow="Issue 7 · March"),
        b.details(t, img, "Dates for your diary", [
            b.Detail("calendar", on(3, 13), "Book Week dress-up day: come as a favourite character"),
            b.Detail("apple", on(3, 18), "Parent consultations, 15:30&ndash;19:00. Book online"),
            b.Detail("backpack", on(4, 3), "Last day of term, school closes at 13:30"),
        ]),
        b.cards(t, img, [
            b.CardItem(card("bookshelf", 81), "A bookcase full of donated books", "The reading garden",
                       "Thank you to the PTA and to the families who planted, painted and donated books.", "See photos"),
            b.CardItem(card("music_notes", 82), "Music notes", "Choir at the town hall",
                       "Forty-two pupils sang three songs, and the mayor asked for an encore.", "Watch the video"),
        ], "Around the school"),
        b.text(t, "A word from the head teacher",
               "Attendance this term is at 96.8%, our best in five years. Thank you for getting everyone here, on "
               "time and ready to learn. Enjoy the spring sunshine."),
        b.footer(t, "Riverside Primary School", "You are receiving this newsletter as a parent or carer at Riverside Primary."),
    ]


def open_day(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Hillcrest College", "cap", "Sixth form and college", centered=True),
        b.hero(t, img, scene(("cap", 60, 60, 1.0), ("flask", 240, 60, 1.0), ("pencil", 400, 50, 0.9), seed=19),
               "A graduation cap, a laboratory flask and a pencil", "Come to our Open Day",
               "Meet our teachers, try a taster lesson and see the new science labs. Every visitor leaves with a "
               "course guide and an honest answer to every question.", "Book your visit",
               eyebrow=on(11, 7), centered=True),
        b.details(t, img, "Plan your visit", [
            b.Detail("calendar", "When", f"{on(11, 7)}, 10:00&ndash;14:00"),
            b.Detail("school", "Where", "Hillcrest College, main reception, [Street address]"),
            b.Detail("apple", "Taster lessons", "Biology, Design, Psychology and Music, every 30 minutes"),
        ], cta="Book your visit"),
        b.stats(t, [b.Figure("38", "A-level and BTEC courses"), b.Figure("91%", "go on to university or apprenticeships"), b.Figure("1:12", "teacher to student")]),
        b.footer(t, "Hillcrest College", "You are receiving this e-mail because you requested information from Hillcrest College."),
    ]


def course_launch(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Studio Lingo", "book", "Language courses online"),
        b.hero_split(t, img, scene(("video_call", 40, 40, 1.0), ("book", 20, 190, 0.6), ("globe", 160, 196, 0.5),
                                   seed=20, size=(280, 340)),
                     "A laptop showing an online lesson with a teacher, a phrasebook and a globe",
                     "Italian for Travellers is open",
                     "Six weeks, fifteen minutes a day, and you'll order, ask directions and chat with your host in Italian. "
                     "Enrol before Friday and save 25%.", "Enrol now", eyebrow="New course"),
        b.checklist(t, img, "What's inside", [
            "36 short video lessons with native speakers from Rome, Naples and Milan",
            "Daily speaking practice with instant pronunciation feedback",
            "A printable phrasebook for the situations travellers meet most"]),
        b.quote(t, "I went from nothing to a real conversation with my landlady in Bologna. The daily lessons just fit.",
                "Hannah, Italian for Travellers beta"),
        b.cta(t, "€59 instead of €79 until Friday", "Lifetime access, a certificate of completion and a 30-day money-back guarantee.", "Enrol now"),
        b.footer(t, "Studio Lingo", "You are receiving this e-mail because you have a Studio Lingo account."),
    ]


def summer_camp(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Camp Tall Pines", "tree", "Summer day camp, ages 7–13", centered=True),
        b.hero(t, img, scene(("tent", 40, 60, 1.0), ("campfire", 230, 90, 0.85), ("canoe", 380, 80, 1.0), seed=21),
               "A tent, a campfire and a canoe on the lake", "Summer camp registration is open",
               "Canoeing, campfire songs, a science lab in the woods and plenty of time to just be outside. "
               "Places for July fill fast: early registration closes on 30 April.", "Register now",
               eyebrow="Summer 2026", centered=True),
        b.cards(t, img, [
            b.CardItem(card("tent", 91), "A tent for a night under canvas", "Outdoor week", "Hiking, shelter building and a night under canvas for ages 10+.", "Details"),
            b.CardItem(card("robot", 92), "A small robot built by campers", "Makers week", "Woodwork, robots and a rocket launch on Friday.", "Details"),
        ], "Choose your weeks"),
        b.details(t, img, "Good to know", [
            b.Detail("calendar", "Dates", "Six weeks from 6 July to 14 August, Monday to Friday"),
            b.Detail("sun", "Hours", "9:00&ndash;16:00, early drop-off from 8:00"),
            b.Detail("ticket", "Price", "€245 per week, siblings save 10%"),
        ]),
        b.footer(t, "Camp Tall Pines", "You are receiving this e-mail because your family attended Camp Tall Pines."),
    ]


def library_week(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Oakfield Public Library", "book", "What's on"),
        b.hero(t, img, scene(("bookshelf", 80, 60, 1.1), ("book", 340, 90, 0.95), seed=22),
               "A bookcase full of books and an open book", "Library Week: something for everyone",
               "Author talks, a repair café, coding club for teens and story time in three languages. Everything is "
               "free, and most events need no booking.", "See all events", eyebrow="20–26 April"),
        b.details(t, img, "Highlights", [
            b.Detail("microphone", "Tuesday 18:30", "Author talk with novelist Amira Haddad"),
            b.Detail("laptop", "Wednesday 16:00", "Coding club for ages 12&ndash;16, laptops provided"),
            b.Detail("book", "Saturday 10:30", "Story time in English, Spanish and Polish"),
        ]),
        b.text(t, "New this month",
               "You can now borrow e-books and audiobooks with your library card, on any phone or tablet. "
               "Ask at the desk and we'll help you set it up in five minutes."),
        b.footer(t, "Oakfield Public Library", "You are receiving this e-mail because you are an Oakfield library member."),
    ]


TEMPLATES: list[Template] = [
    Template("Product Update", BUSINESS, "New in Tasklane: timelines, faster search and a dark theme",
             "Three of your most requested features ship today.", "Tasklane <news@tasklane.example>", "Tasklane", "rocket", product_update, date=sent(3, 3, "15:00")),
    Template("Conference Invitation", BUSINESS, "You're invited: Northwind Summit, Lisbon, 14–15 May",
             "Early-bird tickets are 30% off until 31 January.", "Northwind Summit <hello@northwind.example>", "Northwind", "microphone",
             conference, opening=dict(hero_style="headline-first"), palette=dict(bg="#ffe4d6", bg2="#ffc2a6", main="#ef6f3c", dark="#1b2845", accent="#3a86ff", shadow="#e6a58a"), date=sent(1, 12, "09:00")),
    Template("Webinar Invitation", BUSINESS, "Free webinar: closing your books in one day",
             "Live on 11 February, with the checklist we give every client.", "Ledgerly <events@ledgerly.example>", "Ledgerly", "book",
             webinar, opening=dict(header_style="light"), palette=dict(bg="#d9f2ee", bg2="#aee0d8", main="#0f8b8d", dark="#143642", accent="#ec9a29", shadow="#8fcfc6"), date=sent(1, 27, "10:00")),
    Template("Quarterly Report", BUSINESS, "Fernway Capital: our third quarter in review",
             "Revenue up 18%, a new office in Singapore and a 6.4% net return.", "Fernway Capital <investors@fernway.example>", "Fernway",
             "tree", quarterly_report, opening=dict(header_style="light", hero_style="headline-first"), palette=dict(bg="#e3e7ee", bg2="#c2cad8", main="#1f3a5f", dark="#0b1a2e", accent="#c9a227"), date=sent(10, 8, "07:00")),
    Template("Welcome Aboard", BUSINESS, "Welcome to Brightdesk: three steps to your first answer",
             "Your 14-day trial has started. Here's how to get going.", "Brightdesk <welcome@brightdesk.example>", "Brightdesk",
             "envelope", welcome, palette=dict(bg="#ece4ff", bg2="#d3c2ff", main="#7048e8", dark="#2b1b5a", accent="#20c997"), date=sent(4, 14, "09:00")),
    Template("School Newsletter", EDUCATION, "Riverside Primary: spring term news",
             "Book Week, parent consultations and the new reading garden.", "Riverside Primary <office@riverside.example>",
             "Riverside Primary", "school", school_newsletter, date=sent(3, 2, "15:30")),
    Template("Open Day", EDUCATION, "Come to the Hillcrest College Open Day", f"{on(11, 7)}: taster lessons, new labs and every question answered.",
             "Hillcrest College <admissions@hillcrest.example>", "Hillcrest College", "cap", open_day,
             opening=dict(header_style="band", hero_style="headline-first"),
             palette=dict(bg="#dde8f7", bg2="#b9cdee", main="#274c9b", dark="#132a55", accent="#f2b705"), date=sent(10, 19, "09:00")),
    Template("Online Course Launch", EDUCATION, "Italian for Travellers is open: save 25% this week",
             "Six weeks, fifteen minutes a day. Enrol before Friday.", "Studio Lingo <ciao@studiolingo.example>", "Studio Lingo", "book",
             course_launch, palette=dict(bg="#ffe8d9", bg2="#ffc9a8", main="#e76f51", dark="#264653", accent="#2a9d8f", leaf="#2a9d8f"), date=sent(5, 11, "07:00")),
    Template("Summer Camp", EDUCATION, "Camp Tall Pines: summer registration is open",
             "Canoeing, campfires and a science lab in the woods. Early registration closes 30 April.",
             "Camp Tall Pines <office@tallpines.example>", "Camp Tall Pines", "tree", summer_camp, opening=dict(header_style="band"),
             palette=dict(bg="#d9f0f7", bg2="#a9dcec", main="#2d6a4f", leaf="#40916c", accent="#ffb703", shadow="#86c5d8"), date=sent(3, 16, "09:00")),
    Template("Library Week", EDUCATION, "Library Week at Oakfield: free events for everyone",
             "Author talks, coding club and story time in three languages.", "Oakfield Library <events@oakfieldlibrary.example>",
             "Oakfield Library", "book", library_week, opening=dict(hero_style="headline-first"),
             palette=dict(bg="#f3e6f5", bg2="#dcc0e3", main="#7b3f8c", dark="#3b1f45", accent="#f4a259", leaf="#5c9e6e"), date=sent(4, 13, "09:00")),
]
