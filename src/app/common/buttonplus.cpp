#include "buttonplus.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// The window's text colour: it stands out from every face colour (the
// category list's orange would all but vanish on green).
const QColor FocusColour(0x40, 0x40, 0x40);

// A caption such as "> html" says little when read aloud, so the window gives
// each button a name of its own; without one, the caption is the name.
class ButtonPlusAccessible : public QAccessibleWidget
{
public:
    explicit ButtonPlusAccessible(ButtonPlus* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            text = button()->Caption();
        return text;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    ButtonPlus* button() const { return static_cast<ButtonPlus*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ButtonPlus") && object && object->isWidgetType())
        return new ButtonPlusAccessible(static_cast<ButtonPlus*>(object));
    return nullptr;
}

} // namespace

ButtonPlus::ButtonPlus(int index, QWidget* parent) : QWidget(parent), m_index(index)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAttribute(Qt::WA_Hover);
    // The window that holds the button chooses whether the keyboard stops here.
    setFocusPolicy(Qt::ClickFocus);
}

QColor ButtonPlus::fromColorValue(quint32 color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

void ButtonPlus::setBackColor(quint32 color)
{
    if (m_backColor == color)
        return;
    m_backColor = color;
    repaint();
}

void ButtonPlus::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void ButtonPlus::click()
{
    if (!isEnabled())
        return;
    emit Click(m_index);
}

void ButtonPlus::setPicture(const QString& svgPath, int size)
{
    m_picturePath = svgPath;
    m_pictureSize = size;
    renderPicture();
    update();
}

void ButtonPlus::setFace(Face face)
{
    m_face = face;
    update();
}

void ButtonPlus::setFramed(bool framed)
{
    m_framed = framed;
    update();
}

void ButtonPlus::renderPicture()
{
    m_picture = QPixmap();
    if (m_picturePath.isEmpty() || m_pictureSize <= 0)
        return;
    QSvgRenderer renderer(m_picturePath);
    if (!renderer.isValid())
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(m_pictureSize, m_pictureSize) * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    m_picture = pixmap;
}

void ButtonPlus::paintEvent(QPaintEvent*)
{
    if (!m_picture.isNull() && m_picture.devicePixelRatio() != devicePixelRatioF())
        renderPicture();
    QPainter painter(this);
    QColor face = fromColorValue(m_backColor);
    const bool pressed = m_pressed || m_spaceDown;
    if (pressed)
        face = face.darker(112);
    if (!isEnabled())
        face = QColor(0xC8, 0xC8, 0xC8);
    painter.fillRect(rect(), face);
    if (m_framed) {
        painter.setPen(QColor(255, 255, 255, 70));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    painter.setPen(Qt::white);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int shift = pressed ? 1 : 0;
    if (m_face == Face::PictureAboveCaption) {
        const int captionHeight = metrics.height();
        // A button shortened to fit a small window keeps its caption readable
        // and leaves the picture out.
        const bool picture = !m_picture.isNull() &&
                             (m_caption.isEmpty() || m_pictureSize + 6 + captionHeight <= height());
        const int gap = !picture || m_caption.isEmpty() ? 0 : 6;
        const int block =
            (picture ? m_pictureSize : 0) + gap + (m_caption.isEmpty() ? 0 : captionHeight);
        int top = (height() - block) / 2 + shift;
        if (picture)
            painter.drawPixmap((width() - m_pictureSize) / 2 + shift, top, m_picture);
        top += (picture ? m_pictureSize : 0) + gap;
        painter.drawText(QRect(shift, top, width(), captionHeight), Qt::AlignHCenter | Qt::AlignTop,
                         m_caption);
    } else {
        const int pictureLeft = 6;
        if (!m_picture.isNull())
            painter.drawPixmap(pictureLeft + shift, (height() - m_pictureSize) / 2 + shift,
                               m_picture);
        painter.drawText(rect().translated(shift, shift), Qt::AlignCenter, m_caption);
    }
    if (hasFocus()) {
        // The faces have no border of their own; a keyboard user still has
        // to see which button Space and Enter press.
        QPen pen(FocusColour, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ButtonPlus::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit MouseEnter(m_index);
}

void ButtonPlus::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_pressed) {
        m_pressed = false;
        update();
    }
    emit MouseLeave(m_index);
}

void ButtonPlus::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    update();
}

void ButtonPlus::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint()))
        emit Click(m_index);
}

void ButtonPlus::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_focusReason = event->reason();
    update();
    emit GotFocus(m_index);
}

void ButtonPlus::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // A Space let go elsewhere presses nothing.
    m_spaceDown = false;
    update();
}

void ButtonPlus::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            m_spaceDown = true;
            update();
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ButtonPlus::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!m_spaceDown)
        return;
    m_spaceDown = false;
    update();
    click();
}
