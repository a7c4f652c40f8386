#include "favourites.h"

#include "core/gallery/library/libraryset.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/platform/settingsstore.h"

#include <QUrl>

namespace {

// As the recent templates are kept: each name percent-encoded, separated by
// spaces, so that any name travels in one value.
QStringList decode(const QString& setting)
{
    QStringList names;
    for (const QString& part : setting.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = QUrl::fromPercentEncoding(part.toUtf8());
        if (TemplateLibrary::isPlainTemplateName(name) && !names.contains(name))
            names.append(name);
    }
    return names;
}

QString encode(const QStringList& names)
{
    QStringList parts;
    for (const QString& name : names)
        parts.append(QString::fromLatin1(QUrl::toPercentEncoding(name)));
    return parts.join(QLatin1Char(' '));
}

} // namespace

Favourites::Favourites(QObject* parent)
    : QObject(parent), m_names(decode(modSettings::ReadSetting(SettingKeys::Favourites)))
{
}

QStringList Favourites::present(const LibrarySet& libraries) const
{
    QStringList names;
    for (const QString& name : m_names) {
        if (libraries.hasTemplate(name))
            names.append(name);
    }
    return names;
}

void Favourites::add(const QString& name)
{
    if (!TemplateLibrary::isPlainTemplateName(name) || m_names.contains(name))
        return;
    m_names.append(name);
    store();
}

void Favourites::remove(const QString& name)
{
    if (m_names.removeAll(name) == 0)
        return;
    store();
}

void Favourites::rename(const QString& oldName, const QString& newName)
{
    const qsizetype at = m_names.indexOf(oldName);
    if (at < 0)
        return;
    // The library keeps every name in its composed form, and so does the list.
    const QString name = newName.normalized(QString::NormalizationForm_C);
    if (m_names.contains(name) || !TemplateLibrary::isPlainTemplateName(name))
        m_names.removeAt(at);
    else
        m_names[at] = name;
    store();
}

void Favourites::store()
{
    modSettings::WriteSetting(SettingKeys::Favourites, encode(m_names));
    emit changed();
}
