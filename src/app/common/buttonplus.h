#pragma once

#include <QPixmap>
#include <QWidget>

// A flat command button: a face in its background colour with a picture and a
// caption in white. It keeps no hover state of its own; the window changes
// BackColor on the enter and leave events, and every event carries the
// button's index in its window's button array. Assistive tools see a push
// button named by its accessible name (by default its caption) that they can
// press. A window that lets a button keep the keyboard focus gives it a focus
// policy; the button then wears a frame while it has the focus.
class ButtonPlus : public QWidget
{
    Q_OBJECT

public:
    enum class Face {
        PictureAboveCaption, // the command buttons: picture centred, caption at the bottom
        PictureBesideCaption // the title button: small picture left, caption centred
    };

    ButtonPlus(int index, QWidget* parent = nullptr);

    int index() const { return m_index; }

    // 0x00BBGGRR; reads back exactly the value last written.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // An SVG resource drawn at size × size pixels.
    void setPicture(const QString& svgPath, int size);
    void setFace(Face face);
    void setFramed(bool framed);

    static QColor fromColorValue(quint32 color);

    // What a click does, for keyboard and assistive tools: the same Click as
    // a press and release of the mouse.
    void click();
    // How the button took the keyboard focus last: by Tab, or by a click.
    Qt::FocusReason focusReason() const { return m_focusReason; }

signals:
    void Click(int index);
    void MouseEnter(int index);
    void MouseLeave(int index);
    void GotFocus(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Space presses as the mouse does, on release; Enter presses at once.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void renderPicture();

    int m_index;
    quint32 m_backColor = 0x00808080;
    QString m_caption;
    QString m_picturePath;
    int m_pictureSize = 0;
    QPixmap m_picture;
    Face m_face = Face::PictureAboveCaption;
    bool m_framed = false;
    bool m_pressed = false;
    bool m_spaceDown = false;
    Qt::FocusReason m_focusReason = Qt::OtherFocusReason;
};
