"""The generator's own refusals: a look two senders share, a drawing repeated
across the library, and a sender's colours that cannot be read.

    python3 -B -m unittest discover -s library/generator
"""

import os
import sys
import unittest
from unittest import mock

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import generate  # noqa: E402
import themes  # noqa: E402
from template import Template, card, scene  # noqa: E402


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


class Pictures(unittest.TestCase):
    def test_a_drawing_is_the_main_picture_of_two_templates_at_most(self):
        mic = scene(("microphone", 0, 0, 1), ("ticket", 200, 0, 1))
        cases = [
            # (pictures per template, refused drawing or None)
            ({"A": [mic], "B": [card("microphone")]}, None),
            ({"A": [mic, card("microphone")], "B": [mic]}, None),  # counted per template, not per use
            ({"A": [mic], "B": [card("microphone")], "C": [scene(("microphone", 0, 0, 1))]}, "microphone"),
            ({"A": [mic], "B": [mic], "C": [("icon", "microphone", 48), ("logo", "microphone", 44)]}, None),
        ]
        for arts, refused in cases:
            with self.subTest(templates=sorted(arts), refused=refused):
                pictures = {name: set().union(*(generate.pictured_objects(a) for a in art))
                            for name, art in arts.items()}
                if refused:
                    with self.assertRaisesRegex(ValueError, rf"'{refused}' is a main picture in 3 templates \(A, B, C\)"):
                        generate.check_reuse(pictures)
                else:
                    generate.check_reuse(pictures)

    def test_a_portrait_scene_has_the_size_asked_for(self):
        art = scene(("house_garden", 0, 0, 1), size=(280, 340))
        svg = generate.render_art(themes.REAL_ESTATE.art, art)
        self.assertIn('width="280" height="340" viewBox="0 0 280 340"', svg)


if __name__ == "__main__":
    unittest.main()
