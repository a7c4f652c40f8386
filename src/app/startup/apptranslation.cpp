#include "apptranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

AppTranslation::AppTranslation(const QStringList& uiLanguages)
{
    if (!QCoreApplication::instance())
        return;
    for (const QString& language : uiLanguages) {
        const QLocale locale(language);
        // A user who would rather read English than any language further down
        // the list gets the window as it is written.
        if (locale.language() == QLocale::English)
            return;
        // A tag the locale data does not know falls to "C"; the next one may fit.
        if (locale.language() == QLocale::C)
            continue;
        auto program = std::make_unique<QTranslator>();
        if (!program->load(locale, QStringLiteral("quillery"), QStringLiteral("_"),
                           QStringLiteral(":/i18n")))
            continue;
        QCoreApplication::installTranslator(program.get());
        m_program = std::move(program);
        m_language = locale.name();
        // Qt's dialogs in the same language, so that no window mixes two.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            m_qt = std::move(qt);
        }
        return;
    }
}

AppTranslation::~AppTranslation()
{
    if (!QCoreApplication::instance())
        return;
    if (m_qt)
        QCoreApplication::removeTranslator(m_qt.get());
    if (m_program)
        QCoreApplication::removeTranslator(m_program.get());
}
