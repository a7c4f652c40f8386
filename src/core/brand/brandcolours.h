#pragma once

#include "core/brand/brandkit.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

// The colours a template's theme gives each role, made from a brand's four or
// five. Every text keeps a contrast of at least MinContrast against what it
// is written on, in light and in dark mode; where the brand's own choice
// falls short, a readable one takes its place and `adjustments` says so.
namespace BrandColours {

inline constexpr double MinContrast = 4.5;

double luminance(const QColor& colour);
double contrast(const QColor& a, const QColor& b);
// White where it reads on `background`, else near-black, else black.
QColor readableOn(const QColor& background);

struct Palette
{
    // Keyed by the roles templates mark: page, panel, text, muted, heading,
    // accent, on-accent, band, on-band, soft, dark-page, dark-panel,
    // dark-text, dark-heading, dark-band.
    QHash<QString, QColor> roles;
    QStringList adjustments; // translated, plain text
};
Palette derive(const BrandKit& brand);

// Pairs of roles (text, background) that a template writes one on the other.
QList<std::pair<QString, QString>> textPairs();

} // namespace BrandColours
