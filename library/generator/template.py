"""A template as the generator sees it: headers, look, and a list of blocks."""

from themes import branded


class Template:
    """`opening` picks the header and hero layout of this one message (see themes.branded)."""

    def __init__(self, name, theme, subject, preheader, sender, brand, mark, build, palette=None, date=None,
                 opening=None):
        self.name = name
        self.category = theme
        # The sender's own colours over the category's type and dark-mode colours.
        self.theme = branded(theme, brand, **(opening or {}))
        self.subject = subject
        self.preheader = preheader
        self.sender = sender
        self.brand = brand
        self.mark = mark
        self.build = build
        self.palette = dict(theme.art, **(palette or {}))
        # The logo is the sender's, the same in every message it sends.
        self.logo_palette = dict(self.palette, main=self.theme.accent, dark=self.theme.band)
        self.date = date or "Mon, 02 Mar 2026 09:00:00 +0000"


def scene(*objects, seed=1, size=None):
    """A banner of drawn objects; size=(width, height) for a picture that is not a 600 x 300 banner."""
    return ("scene", list(objects), seed) + ((dict(width=size[0], height=size[1]),) if size else ())


def card(obj, seed=1):
    return ("card", obj, seed)
