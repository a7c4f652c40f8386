#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QLockFile;
class QWidget;

// Where the window opens and what it remembers of its place: the place the
// user left it in, fitted to today's screens and stepped aside from the
// windows of other running copies, and the size below which the layout's
// controls would overlap, following the window from screen to screen.
class WindowPlaceController : public QObject
{
    Q_OBJECT

public:
    // Places `window` and follows its moves from then on; the place is
    // stored when it closes.
    WindowPlaceController(QWidget* window, QObject* parent = nullptr);
    ~WindowPlaceController() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepNormalPlace();
    // The minimum follows the window to another screen.
    void watchScreen();
    void stateChanged();
    void remember() const;
    void place();
    void fitMinimumTo(const QRect& area);

    QWidget* m_window;
    bool m_screenWatched = false;
    QList<QRect> m_normalPlaces;             // the last places the window had in the normal state
    std::unique_ptr<QLockFile> m_windowSlot; // which of the running copies' windows this is
};
