#pragma once

// The finished preview page of a library template, written once into a
// folder of its own: what the bare engine loads for comparison.

#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QString>

inline QString writeFinishedPage(const QString& appFolder, const QString& name,
                                 const QString& folder)
{
    const QString msg = folder + QStringLiteral("/msg");
    QDir().mkpath(msg);
    const auto staged =
        TemplateStaging::stageTemplate(appFolder, name, msg, QStringLiteral("msg.html"));
    return staged ? staged->page : QString();
}

// The first two templates of the first category, as the gallery opens.
inline QStringList firstTemplates(const QString& appFolder)
{
    const QStringList categories = TemplateLibrary::categoryNames(appFolder);
    if (categories.isEmpty())
        return {};
    const QString page = TemplateLibrary::categoryPagePath(appFolder, categories.first());
    const auto text = FileIo::readAll(page);
    QStringList names;
    if (!text)
        return names;
    // Links in page order: href="#Name".
    const QString html = QString::fromUtf8(*text);
    qsizetype at = 0;
    while (names.size() < 2 && (at = html.indexOf(QStringLiteral("href=\"#"), at)) >= 0) {
        at += 7;
        const qsizetype end = html.indexOf(QLatin1Char('"'), at);
        const QString name = html.mid(at, end - at);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}
