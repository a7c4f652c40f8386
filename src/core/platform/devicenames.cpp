#include "core/platform/devicenames.h"

#include <QStringList>

namespace DeviceNames {

bool isDeviceName(const QString& stem)
{
    static const QStringList devices{QStringLiteral("con"),    QStringLiteral("prn"),
                                     QStringLiteral("aux"),    QStringLiteral("nul"),
                                     QStringLiteral("clock$"), QStringLiteral("conin$"),
                                     QStringLiteral("conout$")};
    const QString lower = stem.trimmed().toLower();
    if (devices.contains(lower))
        return true;
    return lower.size() == 4 &&
           (lower.startsWith(QLatin1String("com")) || lower.startsWith(QLatin1String("lpt"))) &&
           (lower[3].isDigit() || lower[3] == QChar(0xB9) || lower[3] == QChar(0xB2) ||
            lower[3] == QChar(0xB3));
}

} // namespace DeviceNames
