"""The generator's own refusals: a look two senders share, a drawing repeated
across the library, a sender's colours that cannot be read, headings that
skip a level, and theme colours whose role cannot be marked.

    python3 -B -m unittest discover -s library/generator
"""

from __future__ import annotations

import dataclasses
import os
import sys
import tempfile
import unittest
from unittest import mock

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from quillery_generator import blocks, brandmarks, svgart, themes  # noqa: E402
from quillery_generator import sources as generate  # noqa: E402
from quillery_generator.art import Icon, Logo, Picture  # noqa: E402
from quillery_generator.template import Template, card, scene  # noqa: E402


def sent_by(brand, name="A template"):
    return Template(name, themes.RETAIL, "Subject", "Preheader", f"{brand} <a@b.example>", brand, "bag",
                    lambda t, img: [])


class Brands(unittest.TestCase):
    def test_senders_are_told_apart_by_their_colours(self):
        cases = [
            # (senders, refused)
            (["Harbour & Pine", "Voltline", "Maple Row", "Kettle & Co.", "Bloom Beauty"], False),
            (["Harbour & Pine", "Harbour & Pine"], False),  # one sender may send many
            (["An unbranded shop", "Another unbranded shop"], True),  # both fall back to the category
        ]
        for senders, refused in cases:
            with self.subTest(senders=senders):
                templates = [sent_by(s, f"T{i}") for i, s in enumerate(senders)]
                if refused:
                    with self.assertRaisesRegex(ValueError, "Another unbranded shop has the band and buttons of "
                                                            "An unbranded shop"):
                        generate.check_brands(templates)
                else:
                    generate.check_brands(templates)

    def test_the_opening_is_the_templates_own(self):
        tpl = Template("T", themes.RETAIL, "S", "P", "Voltline <a@b.example>", "Voltline", "laptop",
                       lambda t, img: [], opening=dict(header_style="light", hero_style="headline-first"))
        self.assertEqual((tpl.theme.header_style, tpl.theme.hero_style), ("light", "headline-first"))
        self.assertEqual(sent_by("Voltline").theme.header_style, themes.RETAIL.header_style)
        # The sender brings colours only: type, shape and dark mode stay the category's.
        self.assertEqual((tpl.theme.font, tpl.theme.radius, tpl.theme.dark_page),
                         (themes.RETAIL.font, themes.RETAIL.radius, themes.RETAIL.dark_page))

    def test_unreadable_brand_colours_are_refused(self):
        cases = [
            ("white on a pale button", dict(accent="#ffd23f"), "#ffffff on #ffd23f"),
            ("a pale heading", dict(heading="#9a9a9a"), "#9a9a9a on #ffffff"),
            ("a dark-mode heading too dark", dict(dark_heading="#3a3a3a"), "#3a3a3a on #1f2132"),
        ]
        for what, colours, pair in cases:
            with self.subTest(what), mock.patch.dict(themes.BRANDS, {"Pale": colours}):
                with self.assertRaisesRegex(ValueError, rf"Retail \(Pale\): {pair}"):
                    themes.branded(themes.RETAIL, "Pale")


class Themes(unittest.TestCase):
    def test_a_checked_theme_cannot_change_afterwards(self):
        with self.assertRaises(dataclasses.FrozenInstanceError):
            themes.RETAIL.text = "#ffffff"  # type: ignore[misc]

    def test_every_way_to_a_theme_checks_its_colours(self):
        cases = [
            ("made directly", lambda: dataclasses.replace(themes.RETAIL, name="Pale", muted="#cccccc"),
             "theme Pale: #cccccc on #ffffff"),
            ("a sender's colours", lambda: themes.branded(themes.RETAIL, "Voltline", header_style="light"), None),
            ("an opening of its own", lambda: dataclasses.replace(themes.FOOD, on_band="#3b2a20"),
             "theme Food and Drink: #3b2a20 on #3b2a20"),
        ]
        for what, make, refusal in cases:
            with self.subTest(what):
                if refusal:
                    with self.assertRaisesRegex(ValueError, refusal):
                        make()
                else:
                    make()


class Drawings(unittest.TestCase):
    def test_the_registry_holds_the_drawings_and_nothing_else(self):
        for name in ("cup", "house", "house_garden", "yoga_mat"):
            with self.subTest(name):
                self.assertIs(svgart.OBJECTS[name], getattr(svgart, name))
        for name in ("rect", "circle", "ellipse", "path", "group", "blob", "_window", "scene", "card", "icon",
                     "logo", "draw", "drawing"):
            with self.subTest(name):
                self.assertNotIn(name, svgart.OBJECTS)

    def test_a_drawing_is_registered_once(self):
        with mock.patch.dict(svgart.OBJECTS):
            def cup(p):
                return ""
            with self.assertRaisesRegex(ValueError, "two drawings are named 'cup'"):
                svgart.drawing(cup)

    def test_a_picture_of_an_unknown_object_is_refused(self):
        cases = {
            "scene": scene(("unicorn", 0, 0, 1)),
            "card": card("unicorn"),
            "icon": Icon("unicorn"),
            "logo": Logo("unicorn"),
        }
        for what, art in cases.items():
            with self.subTest(what):
                with self.assertRaisesRegex(ValueError, "no drawing is named 'unicorn'"):
                    svgart.draw(themes.RETAIL.art, art)

    def test_a_picture_reads_as_its_path_and_knows_its_size(self):
        picture = Picture.of("images/hero.png", svgart.draw(themes.RETAIL.art, card("bag")))
        self.assertEqual((f'src="{picture}"', picture.width, picture.height), ('src="images/hero.png"', 280, 180))
        with self.assertRaisesRegex(ValueError, "images/x.png: the drawing has no width and height"):
            Picture.of("images/x.png", "<svg></svg>")


class Pictures(unittest.TestCase):
    def test_a_drawing_is_the_main_picture_of_two_templates_at_most(self):
        mic = scene(("microphone", 0, 0, 1), ("ticket", 200, 0, 1))
        cases = [
            # (pictures per template, refused drawing or None)
            ({"A": [mic], "B": [card("microphone")]}, None),
            ({"A": [mic, card("microphone")], "B": [mic]}, None),  # counted per template, not per use
            ({"A": [mic], "B": [card("microphone")], "C": [scene(("microphone", 0, 0, 1))]}, "microphone"),
            ({"A": [mic], "B": [mic], "C": [Icon("microphone", 48), Logo("microphone", 44)]}, None),
        ]
        for arts, refused in cases:
            with self.subTest(templates=sorted(arts), refused=refused):
                pictures = {name: set().union(*(generate.pictured_objects(a) for a in art))
                            for name, art in arts.items()}
                if refused:
                    with self.assertRaisesRegex(ValueError,
                                                rf"'{refused}' is a main picture in 3 templates \(A, B, C\)"):
                        generate.check_reuse(pictures)
                else:
                    generate.check_reuse(pictures)

    def test_a_portrait_scene_has_the_size_asked_for(self):
        art = scene(("house_garden", 0, 0, 1), size=(280, 340))
        svg = generate.render_art(themes.REAL_ESTATE.art, art)
        self.assertIn('width="280" height="340" viewBox="0 0 280 340"', svg)


class Headings(unittest.TestCase):
    def test_a_heading_never_skips_a_level(self):
        cases = [
            # (levels, refusal or None)
            ([1, 2, 3, 3, 2, 3], None),
            ([1, 2, 1, 2], None),  # going back up any number of levels is fine
            ([], None),
            ([1, 3], "an h3 follows an h1"),
            ([2], "an h2 follows no heading"),
            ([1, 2, 4], "an h4 follows an h2"),
        ]
        for levels, refusal in cases:
            page = "".join(f'<h{n} class="q-heading">x</h{n}>' for n in levels)
            with self.subTest(levels=levels):
                if refusal:
                    with self.assertRaisesRegex(ValueError, f"T: {refusal}"):
                        generate.check_headings("T", page)
                else:
                    generate.check_headings("T", page)

    def test_untitled_rows_of_cards_and_products_keep_the_levels(self):
        # A row without a title of its own follows the opening's h1 directly.
        item = blocks.Product(card("shirt", 2), "A shirt", "Shirt", "€1", None, "Buy")
        card_item = blocks.CardItem(card("shirt", 2), "A shirt", "Shirt", "Words", None)
        rows = {
            "products": lambda t, img: [blocks.hero(t, img, card("bag", 1), "A bag", "Sale", "Words"),
                                        blocks.products(t, img, [item, item])],
            "cards": lambda t, img: [blocks.hero(t, img, card("bag", 1), "A bag", "Sale", "Words"),
                                     blocks.cards(t, img, [card_item, card_item])],
        }
        for what, build in rows.items():
            tpl = Template("T", themes.RETAIL, "S", "P", "Voltline <a@b.example>", "Voltline", "laptop", build)
            with self.subTest(what), tempfile.TemporaryDirectory() as folder:
                generate.build_template(folder, tpl)


class PictureSizes(unittest.TestCase):
    def test_a_picture_says_its_width_in_its_style(self):
        cases = [
            ('<img src="a.png" width="44" height="44" style="display:block;width:44px;height:auto;">', None),
            ('<img src="a.png" width="600" style="width:100%;max-width:600px;">', None),
            ('<img src="a.png" width="44" height="44" style="display:block;border:0;">', "a.png"),
            ('<img src="a.png" width="44" height="44">', "a.png"),
            ('<img src="a.png" style="border-width:0;line-height:20px">', "a.png"),
        ]
        for img, refused in cases:
            with self.subTest(img=img):
                if refused:
                    with self.assertRaisesRegex(ValueError, "T: the picture a.png has no width in its style"):
                        generate.check_image_sizes("T", img)
                else:
                    generate.check_image_sizes("T", img)

    def test_logos_and_icons_say_their_width(self):
        def build(t, img):
            return [blocks.header(t, img, "Voltline", "laptop", "Gadgets"),
                    blocks.hero(t, img, card("bag", 1), "A bag", "Sale", "Words"),
                    blocks.checklist(t, img, "Why", ["One", "Two"])]
        tpl = Template("T", themes.RETAIL, "S", "P", "Voltline <a@b.example>", "Voltline", "laptop", build)
        with tempfile.TemporaryDirectory() as folder:
            generate.build_template(folder, tpl)


if __name__ == "__main__":
    unittest.main()


class BrandMarks(unittest.TestCase):
    theme = themes.RETAIL  # its heading and band share #1d1f33

    def mark(self, build):
        return brandmarks.mark(build(self.theme), build, self.theme)

    def test_a_shared_colour_gets_the_role_of_each_use(self):
        def build(t):
            return (f'<td bgcolor="{t.band}" style="color:{t.on_band}">x</td>'
                    f'<h2 style="color:{t.heading}">y</h2><p style="color:#123456">z</p>')
        marked = self.mark(build)
        self.assertIn('style="color:#ffffff" data-brand-colours="band on-band">', marked)
        self.assertIn('style="color:#1d1f33" data-brand-colours="heading">', marked)
        self.assertNotIn("data-brand-colours", marked.split("<p")[1])

    def test_refusals(self):
        cases = [
            # (what the page does, how the refusal reads)
            (lambda t: f"<!--[if mso]><td bgcolor=\"{t.band}\"><![endif]-->", "inside a comment"),
            (lambda t: "<p>light</p>" if t.band.startswith("#1d") else "<div>dark</div>", "depends on its colours"),
        ]
        for build, refusal in cases:
            with self.subTest(refusal=refusal):
                with self.assertRaisesRegex(ValueError, refusal):
                    self.mark(build)
