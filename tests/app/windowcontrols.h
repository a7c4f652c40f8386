#pragma once

// Reaches a window's controls the way a user's tools do, by their object
// names, so the windows keep their members to themselves.

#include <QString>
#include <QTest>
#include <QWidget>

template <class Control = QWidget> Control* control(const QWidget& window, const QString& name)
{
    auto* found = window.findChild<Control*>(name);
    if (!found)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
    return found;
}

template <class Control = QWidget> Control* control(const QWidget* window, const QString& name)
{
    return control<Control>(*window, name);
}

// An element of a control array, named with its index: cmdButton0, lblTitle1.
template <class Control = QWidget>
Control* control(const QWidget& window, const QString& name, int index)
{
    return control<Control>(window, name + QString::number(index));
}

template <class Control = QWidget>
Control* control(const QWidget* window, const QString& name, int index)
{
    return control<Control>(*window, name, index);
}
