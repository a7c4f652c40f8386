#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

QAccessibleInterface* statusFactory(const QString&, QObject* object)
{
    if (auto* announcer = qobject_cast<Announcer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::StatusBar);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(statusFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Shown, or assistive tools would take it for gone, but of no size.
    setGeometry(0, 0, 0, 0);
}

void Announcer::say(const QString& text)
{
    m_text = text;
    // Reported as a change of name; the same words twice are news too (the
    // same count for a new query), and go out again as the alert.
    setAccessibleName(text);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
