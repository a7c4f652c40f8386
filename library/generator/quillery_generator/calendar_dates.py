"""One calendar for every date the templates print.

Texts name days as "Friday 27 November"; written by hand, the weekday drifts
from the date as soon as a year changes. Every such day is made here from the
library's year, and `check_weekdays` refuses a template whose words still
disagree with the calendar of its Date header.
"""

from __future__ import annotations

import datetime
import re

YEAR = 2026

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]
WEEKDAYS = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"]


def date(month: int, day: int, year: int = YEAR) -> datetime.date:
    return datetime.date(year, month, day)


def weekday(month: int, day: int, year: int = YEAR) -> str:
    """"Friday" for 27 November."""
    return WEEKDAYS[date(month, day, year).weekday()]


def on(month: int, day: int, year: int = YEAR, with_year: bool = False) -> str:
    """"Friday 27 November", or "Friday 27 November 2026"."""
    text = f"{weekday(month, day, year)} {day} {MONTHS[month - 1]}"
    return f"{text} {year}" if with_year else text


def sent(month: int, day: int, time: str = "09:00", year: int = YEAR) -> str:
    """The Date header of a message sent then, in UTC."""
    d = date(month, day, year)
    hours, minutes = time.split(":")
    return (f"{WEEKDAYS[d.weekday()][:3]}, {d.day:02d} {MONTHS[d.month - 1][:3]} {d.year} "
            f"{int(hours):02d}:{int(minutes):02d}:00 +0000")


_DAY = re.compile(r"\b(" + "|".join(WEEKDAYS) + r"),? (\d{1,2})"
                  r"((?:,? (?:and|to|&ndash;|–) (?:" + "|".join(WEEKDAYS) + r") \d{1,2})*) "
                  r"(" + "|".join(MONTHS) + r")(?: (\d{4}))?")
_MORE = re.compile(r"(" + "|".join(WEEKDAYS) + r") (\d{1,2})")


def _sent_date(header: str) -> datetime.date:
    return datetime.datetime.strptime(header, "%a, %d %b %Y %H:%M:%S %z").date()


def check_weekdays(name: str, header: str, text: str) -> None:
    """Raises when `text` names a day whose weekday is not that date's.

    A date without a year is the next one on or after the sending day, as a
    reader takes it.
    """
    sent_on = _sent_date(header)
    for match in _DAY.finditer(text):
        month = MONTHS.index(match.group(4)) + 1
        days = [(match.group(1), int(match.group(2)))]
        days += [(w, int(d)) for w, d in _MORE.findall(match.group(3))]
        for written, day in days:
            if match.group(5):
                year = int(match.group(5))
            else:
                year = sent_on.year if date(month, day, sent_on.year) >= sent_on else sent_on.year + 1
            actual = weekday(month, day, year)
            if actual != written:
                raise ValueError(f"{name}: \"{match.group(0)}\" but {day} {MONTHS[month - 1]} {year} "
                                 f"is a {actual}")
