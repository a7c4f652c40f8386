#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>

// The program's texts, and Qt's own in its dialogs, in the user's language for
// as long as this object lives. The sources are in English, so an English
// user gets no translation at all. Needs a QCoreApplication.
class AppTranslation
{
public:
    // `uiLanguages` in the user's order of preference, as QLocale::uiLanguages() gives them.
    explicit AppTranslation(const QStringList& uiLanguages);
    ~AppTranslation();
    AppTranslation(const AppTranslation&) = delete;
    AppTranslation& operator=(const AppTranslation&) = delete;

    // The locale name of the translation in use ("de_DE"), empty for English.
    QString language() const { return m_language; }
    bool hasQtTranslation() const { return m_qt != nullptr; }

private:
    std::unique_ptr<QTranslator> m_program;
    std::unique_ptr<QTranslator> m_qt;
    QString m_language;
};
