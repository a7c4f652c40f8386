#include "windowplace.h"

#include <algorithm>

namespace WindowPlace {

namespace {

qint64 overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

QRect centred(const QSize& size, const QRect& area)
{
    QRect rect(QPoint(), size);
    rect.moveCenter(area.center());
    return rect;
}

} // namespace

QRect areaHolding(const QRect& rect, const QList<QRect>& available, const QRect& fallback)
{
    QRect best = fallback;
    qint64 most = 0;
    for (const QRect& area : available) {
        const qint64 held = overlap(rect, area);
        if (held > most) {
            most = held;
            best = area;
        }
    }
    return best;
}

QRect fitInside(QRect rect, const QRect& area)
{
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.left() + area.width() - rect.width()));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.top() + area.height() - rect.height()));
    return rect;
}

QRect place(const std::optional<QRect>& remembered, const QSize& design, const QSize& minimum,
            const QList<QRect>& available, const QRect& home)
{
    if (!remembered || !remembered->isValid())
        return fitInside(centred(design, home), home);
    QRect rect = *remembered;
    rect.setSize(rect.size().expandedTo(minimum));
    const QRect area = areaHolding(*remembered, available, QRect());
    if (area.isNull())
        return fitInside(centred(rect.size(), home), home);
    return fitInside(rect, area);
}

} // namespace WindowPlace
