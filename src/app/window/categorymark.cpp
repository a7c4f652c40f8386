#include "categorymark.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

CategoryMark::CategoryMark(QWebEngineView* pane) : QObject(pane), m_pane(pane)
{
    QFile script(QStringLiteral(":/quillery/categorymark.js"));
    if (script.open(QIODevice::ReadOnly))
        m_function = QString::fromUtf8(script.readAll());
    // A page that has just loaded knows nothing of the mark yet.
    connect(pane->page(), &QWebEnginePage::loadFinished, this, &CategoryMark::apply);
}

void CategoryMark::setTemplate(const QString& name)
{
    m_name = name;
    apply();
}

void CategoryMark::holdTemplate(const QString& name)
{
    m_name = name;
    m_held = true;
}

void CategoryMark::applyHeld()
{
    if (m_held)
        apply();
}

void CategoryMark::apply()
{
    m_held = false;
    // A template name is untrusted: it goes in as a JSON string, so quotes,
    // backslashes or "</script>" in it stay text.
    const QByteArray arguments =
        QJsonDocument(QJsonArray{m_name, tr("Previewed")}).toJson(QJsonDocument::Compact);
    m_pane->page()->runJavaScript(m_function + QStringLiteral(".apply(null, ") +
                                      QString::fromUtf8(arguments) + QLatin1Char(')'),
                                  QWebEngineScript::ApplicationWorld);
}
