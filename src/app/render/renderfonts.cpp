#include "renderfonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace RenderFonts {

QString besideProgram()
{
    // Read before the application object exists, which would otherwise say
    // where the program lies; through links, the program's real folder.
    const QFileInfo program(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    return program.dir().filePath(QLatin1String(ConfigName));
}

QStringList missing(const QString& config)
{
    QFile file(config);
    if (!file.open(QIODevice::ReadOnly))
        return {config};
    QStringList absent;
    QXmlStreamReader xml(&file);
    bool any = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"dir")
            continue;
        const QString folder = xml.readElementText().trimmed();
        any = true;
        if (!QFileInfo(folder).isDir())
            absent << folder;
    }
    // A configuration that names no folder would draw with no font at all.
    if (xml.hasError() || !any)
        return {config};
    return absent;
}

QStringList use(const QString& config)
{
    QStringList absent = missing(config);
    if (absent.isEmpty())
        qputenv("FONTCONFIG_FILE", QFile::encodeName(QFileInfo(config).absoluteFilePath()));
    return absent;
}

} // namespace RenderFonts
