#pragma once

#include <QWidget>

// The bar between the two panes. It reports the pointer in twips relative to
// its own left edge; Qt keeps delivering moves to it while a button is held,
// also when the pointer has left it.
class SplitterBar : public QWidget
{
    Q_OBJECT

public:
    explicit SplitterBar(QWidget* parent = nullptr);

signals:
    void MouseDown();
    void MouseMove(float x);
    void MouseUp();
    void GotFocus();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
