#pragma once

#include <QWidget>

// A status line that no one sees: what the window says to assistive tools
// when something changes away from the focus (the template previewed by a
// key, the category shown, the view, a search's count). The text becomes the
// line's name, and the change is reported as a status change and an alert,
// which screen readers read out without the focus moving. It takes no room
// and no stop of the keyboard's walk.
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget* parent);

    void say(const QString& text);
    const QString& lastSaid() const { return m_text; }

private:
    QString m_text;
};
