#include "core/brand/brandcolours.h"

#include <QCoreApplication>

#include <cmath>

namespace BrandColours {

namespace {

const QColor White(0xff, 0xff, 0xff);
// Softer than pure black on a bright band, and still above 15:1 on white.
const QColor NearBlack(0x1a, 0x1a, 0x1a);

double channel(double c)
{
    c /= 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// `weight` of `b` over `a`.
QColor mix(const QColor& a, const QColor& b, double weight)
{
    const auto blend = [&](int x, int y) { return int(std::lround(x + (y - x) * weight)); };
    return QColor(blend(a.red(), b.red()), blend(a.green(), b.green()), blend(a.blue(), b.blue()));
}

// `colour` moved towards `towards` just far enough to read on `background`;
// `towards` itself when nothing nearer does.
QColor readableTowards(const QColor& colour, const QColor& towards, const QColor& background)
{
    for (int step = 0; step <= 20; ++step) {
        const QColor candidate = mix(colour, towards, step / 20.0);
        if (contrast(candidate, background) >= MinContrast)
            return candidate;
    }
    return towards;
}

} // namespace

double luminance(const QColor& colour)
{
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    double la = luminance(a);
    double lb = luminance(b);
    if (la < lb)
        std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

QColor readableOn(const QColor& background)
{
    if (contrast(White, background) >= MinContrast)
        return White;
    if (contrast(NearBlack, background) >= MinContrast)
        return NearBlack;
    // A saturated mid-tone reads with neither white nor near-black; black
    // always reaches 4.5:1 where white does not.
    return QColor(0, 0, 0);
}

QList<std::pair<QString, QString>> textPairs()
{
    return {
        {"text", "panel"},
        {"muted", "panel"},
        {"heading", "panel"},
        {"on-accent", "accent"},
        {"on-band", "band"},
        {"text", "soft"},
        {"muted", "page"},
        {"heading", "soft"},
        {"muted", "soft"},
        {"dark-text", "dark-panel"},
        {"dark-heading", "dark-panel"},
        {"dark-text", "dark-page"},
        {"dark-heading", "dark-page"},
        {"on-band", "dark-band"},
    };
}

Palette derive(const BrandKit& brand)
{
    Palette out;
    auto& r = out.roles;
    const QColor main = brand.main.isValid() ? brand.main : NearBlack;
    const QColor accent = brand.accent.isValid() ? brand.accent : main;
    const QColor page = brand.background.isValid() ? brand.background : White;

    r["page"] = page;
    // The column sits on the page as a lighter sheet; on a dark page it is
    // a shade lighter than the page, not a white slab.
    const bool darkPage = luminance(page) < 0.18;
    r["panel"] = darkPage ? mix(page, White, 0.08) : White;
    const QColor panel = r["panel"];

    QColor text = brand.text.isValid() ? brand.text : readableOn(panel);
    if (contrast(text, panel) < MinContrast || contrast(text, page) < MinContrast) {
        text = readableOn(panel);
        out.adjustments << QCoreApplication::translate(
                               "BrandColours",
                               "The text colour has too little contrast with the page; the "
                               "templates use %1 for text instead.")
                               .arg(text.name());
    }
    r["text"] = text;

    const QColor soft = mix(panel, brand.accent2.isValid() ? brand.accent2 : main, 0.12);
    QColor heading = main;
    if (contrast(heading, panel) < MinContrast || contrast(heading, soft) < MinContrast ||
        contrast(heading, page) < MinContrast) {
        heading = text;
        out.adjustments << QCoreApplication::translate(
            "BrandColours", "The main colour has too little contrast with the page for "
                            "headings and links; they use the text colour instead.");
    }
    r["heading"] = heading;
    r["soft"] = contrast(text, soft) >= MinContrast && contrast(heading, soft) >= MinContrast
                    ? soft
                    : panel;

    QColor muted = text;
    for (const double weight : {0.35, 0.25, 0.15}) {
        const QColor candidate = mix(text, panel, weight);
        if (contrast(candidate, panel) >= MinContrast && contrast(candidate, page) >= MinContrast &&
            contrast(candidate, r["soft"]) >= MinContrast) {
            muted = candidate;
            break;
        }
    }
    r["muted"] = muted;

    r["accent"] = accent;
    r["on-accent"] = readableOn(accent);
    if (r["on-accent"] != White)
        out.adjustments << QCoreApplication::translate(
            "BrandColours", "White text has too little contrast with the accent colour; "
                            "buttons use dark text instead.");
    r["band"] = main;
    r["on-band"] = readableOn(main);
    if (r["on-band"] != White)
        out.adjustments << QCoreApplication::translate(
            "BrandColours", "White text has too little contrast with the main colour; the "
                            "header uses dark text instead.");

    // Dark mode: the brand's hue on near-black, its main colour lightened for
    // headings and links.
    const QColor black(0, 0, 0);
    r["dark-page"] = mix(black, main, 0.10);
    r["dark-panel"] = mix(black, main, 0.18);
    r["dark-text"] = readableTowards(mix(White, main, 0.08), White, r["dark-panel"]);
    QColor darkHeading = readableTowards(main, White, r["dark-panel"]);
    if (contrast(darkHeading, r["dark-page"]) < MinContrast)
        darkHeading = readableTowards(darkHeading, White, r["dark-page"]);
    r["dark-heading"] = darkHeading;
    // The header's text keeps its colour in dark mode, so its band stays the
    // brand's where that text is dark.
    r["dark-band"] =
        r["on-band"] == White ? readableTowards(mix(black, main, 0.35), black, White) : main;
    return out;
}

} // namespace BrandColours
