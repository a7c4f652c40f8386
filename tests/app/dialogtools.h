#pragma once

// Drives the modal dialogs of the window's commands. The dialogs run their
// own event loop, so a test acts from a timer inside it.

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>

// Runs `step` once a visible modal widget of type T is active. The timer dies
// with `context`, so a step that never ran cannot leak into the next test.
template <typename T> void whenShown(QObject* context, std::function<void(T*)> step)
{
    auto* timer = new QTimer(context);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        T* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget || !widget->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        step(widget);
    });
    timer->start();
}

// Chooses `path` in the save dialog (cancels when it is empty), recording what
// the dialog proposed.
inline void chooseInDialog(QObject* context, const QString& path, QString* title = nullptr,
                           QString* proposed = nullptr, QString* folder = nullptr)
{
    whenShown<QFileDialog>(context, [=](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (title)
            *title = dialog->windowTitle();
        if (proposed)
            *proposed = edit->text();
        if (folder)
            *folder = dialog->directory().absolutePath();
        if (path.isEmpty())
            return dialog->reject();
        edit->setText(path);
        auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                return button->click();
        }
    });
}
