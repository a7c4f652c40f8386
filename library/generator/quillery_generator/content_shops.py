"""Retail and Food and Drink templates."""

from __future__ import annotations

from . import blocks as b
from .art import AddImage
from .calendar_dates import on, sent, weekday
from .template import Template, card, scene
from .theme import Theme
from .themes import FOOD, RETAIL


def summer_sale(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Harbour & Pine", "bag", "Clothing and outdoor gear"),
        b.hero(t, img, scene(("sun", 30, 20, 0.9), ("bag", 210, 70, 1.0, -6), ("sneaker", 380, 110, 0.85),
                             ("tag", 470, 20, 0.55, 15), seed=3),
               "The sun, a shopping bag, a trail shoe and a price tag",
               "Summer Sale: up to 40% off",
               "Long days call for light layers. For one week only, take up to 40% off linen shirts, "
               "trail shoes and everything you need for the beach, the hills and the evenings in between.",
               "Shop the sale", eyebrow="Ends Sunday at midnight"),
        b.products(t, img, [
            b.Product(card("shirt", 2), "An orange linen shirt", "Linen Camp Shirt", "€39", "€65", "Add to bag"),
            b.Product(card("sneaker", 4), "A trail running shoe", "Ridge Trail Runner", "€84", "€120", "Add to bag"),
            b.Product(card("watch", 5), "A field watch with a canvas strap", "Tidewater Field Watch", "€95", "€135", "Add to bag"),
            b.Product(card("bag", 6), "A waxed canvas tote bag", "Waxed Canvas Tote", "€42", "€60", "Add to bag"),
        ], "Our most-loved pieces, now on sale"),
        b.coupon(t, "Take an extra 10% off at checkout", "SUNNY10",
                 "Valid on sale items until Sunday 23:59. One use per customer."),
        b.checklist(t, img, "Why shop with us", [
            "<strong>Free delivery</strong> on orders over €50, in 2&ndash;3 working days",
            "<strong>Free returns</strong> for 60 days, even on sale items",
            "<strong>Repairs for life</strong> on every bag and jacket we make"]),
        b.footer(t, "Harbour & Pine", "You are receiving this e-mail because you joined the Harbour & Pine list."),
    ]


def black_friday(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Voltline Electronics", "laptop", "Gadgets that last", centered=True),
        b.hero_split(t, img, scene(("laptop", 40, 16, 1.0), ("watch", 24, 196, 0.62), ("gift", 140, 200, 0.6),
                                   seed=8, size=(280, 340)),
                     "A slim laptop, a smartwatch and a wrapped gift on a dark backdrop",
                     "Black Friday starts tonight",
                     "Our biggest price cuts of the year: laptops, headphones and smart home kits at up to 50% off, "
                     f"while stocks last. Members shop first, from 20:00 tonight; everyone else from 07:00 on {weekday(11, 27)}.",
                     "See every deal", eyebrow="Friday to Monday only"),
        b.products(t, img, [
            b.Product(card("laptop", 11), "The Aero 14, a slim silver laptop", "Aero 14 Laptop", "€749", "€1,099", "Get the deal"),
            b.Product(card("watch", 12), "The Pulse 3, a smartwatch with a grey strap", "Pulse 3 Smartwatch", "€129", "€229", "Get the deal"),
        ], "Doorbusters"),
        b.details(t, img, "Deal hours", [
            b.Detail("calendar", "When", f"{on(11, 27)}, 07:00 &ndash; {on(11, 30)}, 23:59"),
            b.Detail("gift", "Members", f"Early access from {on(11, 26)}, 20:00, with your member login"),
            b.Detail("bag", "Delivery", "Free next-day delivery on every order over €30"),
        ]),
        b.coupon(t, "Stack it: extra €20 off orders over €200", "BLACK20",
                 f"Enter the code at checkout. Valid until {on(11, 30)}, 23:59."),
        b.footer(t, "Voltline Electronics", "You are receiving this e-mail because you have a Voltline account."),
    ]


def new_arrivals(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Maple Row", "shirt", "Everyday clothing, made slowly"),
        b.hero(t, img, scene(("shirt", 60, 60, 1.0, -4), ("sweater", 220, 56, 1.05), ("backpack", 390, 60, 1.0), seed=5),
               "A rust overshirt, a cable-knit jumper and a canvas backpack",
               "New season, new arrivals",
               "Heavier cottons, softer wool and colours borrowed from the first cold mornings. "
               "Meet the autumn collection, designed in our studio and made in small batches.",
               "Explore the collection", eyebrow="Autumn collection"),
        b.cards(t, img, [
            b.CardItem(card("shirt", 21), "A rust-coloured overshirt", "The Overshirt",
                       "Brushed cotton twill with deep pockets. Wear it as a light jacket until October.", "Shop overshirts"),
            b.CardItem(card("backpack", 22), "A canvas backpack", "Day Pack 18",
                       "Recycled canvas, a padded laptop sleeve and a lifetime guarantee.", "Shop bags"),
        ], "Made for the weather"),
        b.quote(t, "The overshirt I bought three autumns ago is still the first thing I reach for.", "Nadia, customer since 2021"),
        b.cta(t, "Free alterations in every store", "Bring any piece back within 30 days and we hem, take in or let out, at no cost.",
              "Find a store"),
        b.footer(t, "Maple Row", "You are receiving this e-mail because you subscribed at maplerow.example."),
    ]


def back_in_stock(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Kettle & Co.", "cup", "Kitchenware", centered=True),
        b.hero_split(t, img, scene(("cup", 50, 30, 0.95), ("bowl", 40, 160, 1.0), seed=9, size=(280, 340)),
                     "The Stoneware Breakfast Set: a glazed mug above a breakfast bowl", "It's back in stock",
                     "The Stoneware Breakfast Set sold out in four days last time. We fired a new batch, and "
                     "because you asked to be told, you hear about it first.",
                     "Reserve yours", eyebrow="You asked, we listened"),
        b.products(t, img, [
            b.Product(card("cup", 31), "A glazed stoneware mug", "Stoneware Mug, set of 2", "€28", None, "Add to basket"),
            b.Product(card("bowl", 32), "A stoneware breakfast bowl", "Breakfast Bowl, set of 2", "€34", None, "Add to basket"),
        ]),
        b.quote(t, "Heavy enough to feel special, light enough for every morning. I bought a second set for my sister.",
                "★★★★★ Review by Tomasz K."),
        b.text(t, "Made by hand in small batches",
               "Each piece is thrown, glazed and fired by our partner studio, so no two glazes are quite the same. "
               "Dishwasher safe, microwave safe, and covered by our two-year guarantee."),
        b.footer(t, "Kettle & Co.", "You are receiving this e-mail because you asked for a back-in-stock alert."),
    ]


def rewards_club(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Bloom Beauty", "star", "Rewards Club", centered=True),
        b.hero(t, img, scene(("perfume", 70, 60, 1.0), ("gift", 220, 60, 1.0), ("lipstick", 380, 70, 0.95), seed=12),
               "A bottle of perfume, a wrapped gift and a lipstick", "You have 1,250 points to spend",
               "That's enough for a full-size treat of your choice. Your points are yours to keep until "
               "31 December, and this month every purchase earns double.",
               "Use my points", eyebrow="Your rewards summary", centered=True),
        b.stats(t, [b.Figure("1,250", "points available"), b.Figure("Gold", "your member tier"), b.Figure("2×", "points this month")]),
        b.checklist(t, img, "Your Gold benefits", [
            "Free shipping on every order, no minimum",
            "A birthday gift and double points during your birthday month",
            "First access to limited editions and member-only events"]),
        b.cta(t, "Invite a friend, both earn 500", "Share your personal link: when a friend places a first order, you both get 500 points.",
              "Share my link"),
        b.footer(t, "Bloom Beauty", "You are receiving this e-mail because you are a Rewards Club member."),
    ]


def cafe_menu(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Café Lumière", "cup", "Coffee, pastries & lunch", centered=True),
        b.hero(t, img, scene(("cup", 100, 70, 0.95), ("croissant", 300, 120, 0.8), ("cake", 440, 90, 0.72), seed=2),
               "A steaming cup of coffee beside a croissant and a slice of cake",
               "Our new spring menu", "Fresh herbs, early rhubarb and a new single-origin espresso from Huila, Colombia. "
               "Here is what is on the counter from Monday.", eyebrow="Served daily from 8:00", centered=True),
        b.menu(t, "On the menu", [
            b.MenuSection("Coffee", [b.Dish("Espresso", "Huila single origin, notes of cherry and cocoa", "€2.40"),
                                     b.Dish("Flat White", "Double ristretto, silky whole or oat milk", "€3.60"),
                                     b.Dish("Iced Rhubarb Soda", "House rhubarb syrup, lime, sparkling water", "€4.20")]),
            b.MenuSection("From the oven", [b.Dish("Butter Croissant", "Laminated over three days", "€2.80"),
                                            b.Dish("Rhubarb Custard Tart", "Vanilla custard, poached rhubarb", "€4.50")]),
            b.MenuSection("Lunch", [b.Dish("Green Herb Frittata", "Peas, mint, feta, leaf salad", "€9.80"),
                                    b.Dish("Roast Carrot Soup", "Cumin, yoghurt, toasted seeds, sourdough", "€7.50")]),
        ], note="Vegan and gluten-free options every day. Ask us about allergens."),
        b.details(t, img, "Visit us", [
            b.Detail("calendar", "Opening hours", "Monday to Friday 8:00&ndash;17:00, weekends 9:00&ndash;16:00"),
            b.Detail("house", "Address", "[Street address], [City]"),
        ], cta="Reserve a table"),
        b.footer(t, "Café Lumière", "You are receiving this e-mail because you signed up at our counter."),
    ]


def bakery_autumn(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Crumb & Hearth Bakery", "croissant", "Baked before sunrise"),
        b.hero(t, img, scene(("loaf", 40, 70, 1.1), ("apple", 260, 90, 0.85), ("croissant", 390, 110, 0.9), seed=4),
               "A sourdough loaf on a board, an apple and a croissant",
               "Autumn at the bakery", "Apples from the Hofmann orchard, spiced pumpkin and the first chestnuts of the year: "
               "our seasonal menu is in the window from Saturday.", "See the full menu", eyebrow="Seasonal menu"),
        b.menu(t, "This season's bakes", [
            b.MenuSection("Bread", [b.Dish("Chestnut Sourdough", "Roasted chestnut flour, 36-hour ferment", "€6.20"),
                                    b.Dish("Pumpkin Seed Rye", "Dense, dark and perfect with soup", "€5.40")]),
            b.MenuSection("Sweet", [b.Dish("Apple Cardamom Bun", "Our cardamom dough, baked apple, brown butter", "€3.40"),
                                    b.Dish("Spiced Pumpkin Loaf", "By the slice or whole, cream cheese glaze", "€3.80 / €18"),
                                    b.Dish("Pear & Hazelnut Galette", "Flaky rye pastry, whole-roasted pears", "€4.60")]),
        ]),
        b.cards(t, img, [
            b.CardItem(card("cake", 41), "A celebration cake", "Celebration cakes",
                       "Order by Wednesday for the weekend. Apple caramel is this season's favourite.", "Order a cake"),
            b.CardItem(card("croissant", 42), "A croissant of laminated dough", "Weekend baking class",
                       "Learn laminated dough with our head baker. Saturdays, 8 places.", "Book a place"),
        ]),
        b.footer(t, "Crumb & Hearth Bakery", "You are receiving this e-mail because you joined our bread club."),
    ]


def wine_tasting(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Vine Street Cellar", "wine", "Wine shop and bar", centered=True),
        b.hero_split(t, img, scene(("wine", 40, 40, 1.1), ("bowl", 110, 200, 0.6), seed=6, size=(280, 340)),
                     "A bottle of white wine and a filled glass beside a bowl of olives",
                     "An evening of Loire whites", "Join winemaker Claire Besson for six wines from the Loire valley, "
                     "from a bright Muscadet to a honeyed Vouvray, with cheese from our friends at the market.",
                     "Book your seat", eyebrow="Tasting evening"),
        b.details(t, img, "The details", [
            b.Detail("calendar", "When", f"{on(10, 15)}, 19:00&ndash;21:30"),
            b.Detail("house", "Where", "Vine Street Cellar, the back room, [Street address]"),
            b.Detail("ticket", "Tickets", "€35 per person, including six wines and a cheese board"),
        ], cta="Book your seat"),
        b.text(t, "About the winemaker",
               "Claire took over her family's eight hectares in 2012 and converted them to organic farming. "
               "Her wines are made with native yeasts and little sulphur: precise, saline and built to age."),
        b.footer(t, "Vine Street Cellar", "You are receiving this e-mail because you subscribed to our tasting list. Please drink responsibly."),
    ]


def grand_opening(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "Trattoria Nonna Rosa", "bowl", "Fresh pasta, every day"),
        b.hero(t, img, scene(("pasta_plate", 60, 50, 1.15), ("wine", 300, 60, 0.9), ("plant", 430, 60, 1.0), seed=7),
               "A plate of fresh tagliatelle with basil, a bottle of red wine and a basil plant",
               "We are opening our doors", "After eighteen months of building, tasting and testing, our trattoria opens on "
               f"{on(3, 6)}. Come for the opening weekend: the first glass of prosecco is on us.",
               "Reserve for the weekend", eyebrow="Grand opening"),
        b.cards(t, img, [
            b.CardItem(card("pasta_plate", 51), "A plate of fresh tagliatelle with basil and a cherry tomato", "Pasta made each morning",
                       "Tagliatelle, ravioli and pici, rolled by hand in the window from 9:00.", None),
            b.CardItem(card("wine", 52), "A bottle of Italian red wine and a glass", "Wines from small growers",
                       "Thirty wines by the glass, all from family estates we have visited.", None),
        ], "What to expect"),
        b.details(t, img, "Opening weekend", [
            b.Detail("calendar", "When", f"{weekday(3, 6)} 6 to {on(3, 8)}, from 12:00"),
            b.Detail("house", "Where", "[Street address], [City]"),
        ]),
        b.footer(t, "Trattoria Nonna Rosa", "You are receiving this e-mail because you signed up for our opening news."),
    ]


def creme_brulee(t: Theme, img: AddImage) -> list[str]:
    return [
        b.header(t, img, "The Sunday Kitchen", "cake", "A recipe every week"),
        b.hero(t, img, scene(("ramekin", 100, 60, 1.05), ("ramekin", 320, 90, 0.9), seed=10),
               "Two crèmes brûlées in white ramekins, the caramel tops cracked",
               "Crème Brûlée, the easy way", "Five ingredients, no water bath and a crackling sugar top. "
               "This week's recipe takes twenty minutes of work and tastes like a restaurant dessert.",
               "Print the recipe", eyebrow="Recipe of the week"),
        b.checklist(t, img, "For four ramekins", [
            "500 ml double cream", "1 vanilla pod, split (or 2 tsp vanilla paste)",
            "5 egg yolks", "70 g caster sugar, plus 4 tbsp for the tops", "A pinch of salt"]),
        b.text(t, "Method",
               "<strong>1.</strong> Heat the cream with the vanilla until it steams, then leave it to infuse for 10 minutes.",
               "<strong>2.</strong> Whisk the yolks, sugar and salt, pour in the warm cream slowly, and strain into the ramekins.",
               "<strong>3.</strong> Bake at 140 °C for 30&ndash;35 minutes until just set with a wobble. Chill for at least 4 hours.",
               "<strong>4.</strong> Sprinkle with sugar and caramelise with a blowtorch or under a very hot grill."),
        b.quote(t, "The trick is the wobble: take them out when the centre still moves like jelly.", "Marguerite, our pastry chef"),
        b.footer(t, "The Sunday Kitchen", "You are receiving this e-mail because you subscribed to the weekly recipe."),
    ]


TEMPLATES: list[Template] = [
    Template("Summer Sale", RETAIL, "Summer Sale: up to 40% off for one week", "Linen, trail shoes and beach bags, plus an extra 10% with SUNNY10.",
             "Harbour & Pine <hello@harbourpine.example>", "Harbour & Pine", "bag", summer_sale,
             palette=dict(main="#ef6c3a", dark="#17403a", leaf="#2a9d8f"), date=sent(6, 22, "08:00")),
    Template("Black Friday", RETAIL, "Black Friday: up to 50% off, members from tonight", "Members shop first. Free next-day delivery on every order over €30.",
             "Voltline Electronics <deals@voltline.example>", "Voltline", "laptop", black_friday, opening=dict(header_style="band"),
             palette=dict(bg="#2b2d42", bg2="#14151f", soft="#3b3e5a", shadow="#0c0d15", main="#ffd23f", light="#f2f2f7", dark="#8d99ae"), date=sent(11, 26, "16:00")),
    Template("New Arrivals", RETAIL, "New arrivals: the autumn collection", "Heavier cottons, softer wool and colours of the first cold mornings.",
             "Maple Row <studio@maplerow.example>", "Maple Row", "shirt", new_arrivals,
             opening=dict(header_style="light", hero_style="headline-first"),
             palette=dict(bg="#f4dcc7", bg2="#e7b98f", main="#b5542d", dark="#3d3a4b", accent="#d9a441"), date=sent(9, 14, "09:00")),
    Template("Back in Stock", RETAIL, "It's back: the Stoneware Breakfast Set", "You asked to hear first. A new batch just came out of the kiln.",
             "Kettle & Co. <shop@kettleco.example>", "Kettle & Co.", "cup", back_in_stock, opening=dict(header_style="light"),
             palette=dict(bg="#dcefe9", bg2="#b5ddd2", main="#2a9d8f", dark="#264653", accent="#e9c46a", shadow="#8dc5b8"), date=sent(4, 21, "10:00")),
    Template("Rewards Club", RETAIL, "You have 1,250 points to spend", "Double points all month, and a Gold birthday gift waiting for you.",
             "Bloom Beauty <club@bloombeauty.example>", "Bloom Beauty", "star", rewards_club,
             palette=dict(bg="#fbe0ea", bg2="#f5b7cc", main="#d6336c", dark="#5a1a3a", accent="#f59f00", shadow="#e89ab3"), date=sent(12, 1, "09:00")),
    Template("Café Menu", FOOD, "Our new spring menu at Café Lumière", "Rhubarb tarts, herb frittata and a new espresso from Colombia.",
             "Café Lumière <bonjour@cafelumiere.example>", "Café Lumière", "cup", cafe_menu, date=sent(3, 24, "07:30")),
    Template("Autumn at the Bakery", FOOD, "Autumn at the bakery: our seasonal menu", "Chestnut sourdough, apple cardamom buns and pumpkin loaf from Saturday.",
             "Crumb & Hearth <bread@crumbhearth.example>", "Crumb & Hearth", "croissant", bakery_autumn,
             opening=dict(header_style="band", hero_style="image-first"),
             palette=dict(bg="#f7dcc0", bg2="#eab47e", main="#b4602b", accent="#d9822b"), date=sent(10, 1, "07:00")),
    Template("Wine Tasting", FOOD, "You're invited: an evening of Loire whites", f"Six wines, one winemaker and a cheese board. {on(10, 15)}.",
             "Vine Street Cellar <cellar@vinestreet.example>", "Vine Street Cellar", "wine", wine_tasting, opening=dict(header_style="band"),
             palette=dict(bg="#eadbe4", bg2="#cfaec2", main="#e3c15a", dark="#3e1f2c", accent="#d4a373", light="#fff7f2", shadow="#b58aa2"), date=sent(9, 28, "17:00")),
    Template("Grand Opening", FOOD, f"We open on {on(3, 6)}", "The first glass of prosecco is on us during the opening weekend.",
             "Trattoria Nonna Rosa <ciao@nonnarosa.example>", "Nonna Rosa", "bowl", grand_opening, opening=dict(hero_style="image-first"),
             palette=dict(bg="#f3e3d0", bg2="#e2bf95", main="#c44536", dark="#283d3b", leaf="#4f772d", accent="#edc16b"), date=sent(2, 23, "11:00")),
    Template("Crème Brûlée Recipe", FOOD, "Recipe of the week: Crème Brûlée, the easy way", "Five ingredients, no water bath, twenty minutes of work.",
             "The Sunday Kitchen <recipes@sundaykitchen.example>", "The Sunday Kitchen", "cake", creme_brulee,
             palette=dict(bg="#fbeccd", bg2="#f2cf8a", main="#d08c2c", accent="#f5d08a", dark="#6b4226"), date=sent(2, 8, "08:00")),
]
