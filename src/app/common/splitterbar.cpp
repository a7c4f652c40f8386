#include "splitterbar.h"

#include "core/window/layoutmodel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("SplitterBar") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Splitter);
    return nullptr;
}

} // namespace

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setCursor(Qt::SizeHorCursor);
    setFocusPolicy(Qt::ClickFocus);
}

void SplitterBar::mousePressEvent(QMouseEvent*)
{
    emit MouseDown();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton)
        emit MouseMove(float(event->position().x()) * LayoutModel::TwipsPerPixel);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event)
{
    // Only the release of the last held button ends the drag.
    if (event->buttons() == Qt::NoButton)
        emit MouseUp();
}

void SplitterBar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    emit GotFocus();
}

void SplitterBar::paintEvent(QPaintEvent*)
{
    // White like the window, with a faint grip so the bar can be found.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
    const qreal cx = width() / 2.0;
    const qreal cy = height() / 2.0;
    for (int i = -2; i <= 2; ++i)
        painter.drawEllipse(QPointF(cx, cy + i * 7), 1.6, 1.6);
}
