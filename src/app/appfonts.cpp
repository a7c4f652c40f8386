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
    const char* const files[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                 "/usr/share/wine/fonts/tahomabd.ttf"};
    for (const char* file : files) {
        if (!QFile::exists(file))
            continue;
        const int id = QFontDatabase::addApplicationFont(file);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (family().isEmpty() && !families.isEmpty())
            family() = families.first();
    }
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
