"""A template as the generator sees it: headers, look, and a list of blocks."""


class Template:
    def __init__(self, name, theme, subject, preheader, sender, brand, mark, build, palette=None, date=None):
        self.name = name
        self.theme = theme
        self.subject = subject
        self.preheader = preheader
        self.sender = sender
        self.brand = brand
        self.mark = mark
        self.build = build
        self.palette = dict(theme.art, **(palette or {}))
        self.date = date or "Mon, 02 Mar 2026 09:00:00 +0000"


def scene(*objects, seed=1):
    return ("scene", list(objects), seed)


def card(obj, seed=1):
    return ("card", obj, seed)
