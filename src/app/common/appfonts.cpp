#include "appfonts.h"

#include <QFile>
#include <QFontDatabase>

#include <cmath>

namespace AppFonts {

namespace {

QString& family()
{
    static QString name;
    return name;
}

} // namespace

void ensureLoaded()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Only the regular face: the window uses no other.
    const QString file = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (!QFile::exists(file))
        return;
    const QStringList families =
        QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(file));
    if (!families.isEmpty())
        family() = families.first();
}

QFont tahoma(qreal points)
{
    ensureLoaded();
    QFont font(family().isEmpty() ? QStringLiteral("sans-serif") : family());
    if (family().isEmpty())
        font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
    return font;
}

} // namespace AppFonts
