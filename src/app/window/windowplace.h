#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include <optional>

// Where the main window opens, from what was remembered and the screens there
// are now. Rectangles are client areas in device-independent pixels.
namespace WindowPlace {

// The place to open on. A remembered place is trusted only as far as the
// screens allow: it goes to the screen that holds most of it, at least
// `minimum` large and wholly inside that screen's area; one that lies off
// every screen keeps its size and opens in the middle of `home`. With nothing
// remembered the window takes `design`, as far as `home` has room for it.
// `available` holds the areas of all screens, `home` that of the screen the
// window opens on.
QRect place(const std::optional<QRect>& remembered, const QSize& design, const QSize& minimum,
            const QList<QRect>& available, const QRect& home);

// The area among `available` that holds most of `rect`, or `fallback` when
// none holds any of it.
QRect areaHolding(const QRect& rect, const QList<QRect>& available, const QRect& fallback);

// `rect` made small enough for `area` and moved into it.
QRect fitInside(QRect rect, const QRect& area);

} // namespace WindowPlace
