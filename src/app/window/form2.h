#pragma once

#include <QDialog>

#include <array>

class ButtonPlus;
class Form1;

// The More panel: "Website", "Reset layout" and a close button, and below
// them the user guide, the keys and the About box, and "Send a test". Every button closes it;
// the main window makes a new one each time.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    explicit Form2(Form1* owner);

    void PaintHoverIn(int index);
    void PaintHoverOut(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdButton_Click(int index);

    // Indices 1 to 3 as designed, 4 to 7 the help row, 8 the send row;
    // there is no button 0.
    std::array<ButtonPlus*, 9> cmdButton{};
    Form1* m_owner;
};
