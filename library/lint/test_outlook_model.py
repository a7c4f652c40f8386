"""The Outlook model must drop what the Word engine ignores and nothing else,
or the render test would pass templates that fall apart in Outlook."""

import os
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from outlook_model import outlook_view, restyle  # noqa: E402


class ConditionalComments(unittest.TestCase):
    CASES = [
        ("for Outlook", "<p>a</p><!--[if mso]><table><tr><td><![endif]-->b", "<p>a</p><table><tr><td>b"),
        ("mso or IE", "<!--[if mso | IE]><td width=\"270\"><![endif]-->", "<td width=\"270\">"),
        ("Outlook 2007 on", "<!--[if gte mso 9]>x<![endif]-->", "x"),
        ("hidden from Outlook", "a<!--[if !mso]><!--><div>web only</div><!--<![endif]-->b", "ab"),
        ("Internet Explorer only", "a<!--[if IE]>x<![endif]-->b", "ab"),
        ("not for Outlook", "a<!--[if !mso]>x<![endif]-->b", "ab"),
        ("an ordinary comment stays", "a<!-- note -->b", "a<!-- note -->b"),
        ("document settings", "<!--[if mso]><xml><o:OfficeDocumentSettings><o:PixelsPerInch>96"
                              "</o:PixelsPerInch></o:OfficeDocumentSettings></xml><![endif]-->", ""),
    ]

    def test_cases(self):
        for name, page, expected in self.CASES:
            with self.subTest(name):
                self.assertEqual(outlook_view(page), expected)


class Styles(unittest.TestCase):
    CASES = [
        ("inline-block column", "div", "display:inline-block;width:100%;max-width:270px;vertical-align:top;",
         "width:100%;vertical-align:top"),
        ("padding on a div", "div", "padding:12px 16px;text-align:left", "text-align:left"),
        ("padding on a cell", "td", "padding:12px 16px;text-align:left", "padding:12px 16px;text-align:left"),
        ("button link", "a", "display:inline-block;padding:14px 28px;color:#fff;border-radius:8px",
         "color:#fff"),
        ("button cell", "td", "padding:2px;border-radius:8px;background-color:#c00;mso-padding-alt:14px 28px;",
         "background-color:#c00;padding:14px 28px"),
        ("background pictures", "td", "background-image:url(a.png);background:#fff url(b.png);color:#000",
         "color:#000"),
        ("plain background", "td", "background:#ffffff", "background:#ffffff"),
        ("fluid image", "img", "display:block;width:100%;max-width:600px;height:auto;border:0",
         "display:block;border:0"),
        ("hidden preheader", "div", "display:none;max-height:0;overflow:hidden;opacity:0;mso-hide:all",
         "display:none;display:none"),
        ("block span", "span", "display:block;font-size:13px", "font-size:13px"),
        ("hidden span", "span", "display:none", "display:none"),
        ("margin on a span", "span", "margin:4px;color:red", "color:red"),
        ("centring margin", "table", "margin:8px auto 0", "margin:8px 0 0"),
        ("margin on a cell stays", "p", "margin:0 0 16px;line-height:26px", "margin:0 0 16px;line-height:26px"),
    ]

    def test_cases(self):
        for name, tag, style, expected in self.CASES:
            with self.subTest(name):
                self.assertEqual(restyle(tag, style), expected)

    def test_page(self):
        page = ('<style>\n.a { color: red; }\n@media (max-width: 480px) { .b { padding: 0; } }\n'
                '@media (prefers-color-scheme: dark) { .c { color: #fff; } .d { color: #000; } }\n</style>'
                '<div class="q-col" style="display:inline-block;max-width:270px;"><img src="x.png" width="238" '
                'height="153" style="width:100%;height:auto;"></div>')
        self.assertEqual(outlook_view(page),
                         '<style>\n.a { color: red; }\n\n\n</style>'
                         '<div class="q-col" style=""><img src="x.png" width="238" height="153" style=""></div>')

    def test_unbalanced_media_block(self):
        with self.assertRaisesRegex(ValueError, "@media block .* has no end"):
            outlook_view("<style>@media screen { .a { color: red; }</style>")


if __name__ == "__main__":
    unittest.main()
