#include "core/platform/settingsstore.h"
#include "core/window/layoutmodel.h"
#include "form1.h"
#include "windowplace.h"

#include "core/platform/workspace.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <optional>

namespace {

int pixels(float twips)
{
    return int(std::lround(twips / LayoutModel::TwipsPerPixel));
}

std::optional<int> readNumber(const SettingKeys::Key& key)
{
    bool ok = false;
    const int value = modSettings::ReadSetting(key).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// All four numbers or none: a place pieced together from defaults is no
// place the user chose.
std::optional<QRect> rememberedPlace()
{
    const auto left = readNumber(SettingKeys::WindowLeft);
    const auto top = readNumber(SettingKeys::WindowTop);
    const auto width = readNumber(SettingKeys::WindowWidth);
    const auto height = readNumber(SettingKeys::WindowHeight);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return QRect(*left, *top, *width, *height);
}

QSize layoutMinimum()
{
    const LayoutModel::TwipSize minimum = LayoutModel::MinimumScale();
    return QSize(pixels(minimum.width), pixels(minimum.height));
}

// How far each further copy's window steps down and right, so that the title
// bars of all of them can be seen.
constexpr int CopyStep = 32;
constexpr int MostSlots = 8;

// The lowest number no other running copy holds: 0 for the first copy. The
// lock is held while the window lives and given up by a copy that ends, even
// one that crashed.
int takeWindowSlot(std::unique_ptr<QLockFile>* held)
{
    const Result<QString> folder = modGetDirs::EnsureWorkspaceFolder(QStringLiteral("windows"));
    if (!folder)
        return 0;
    for (int slot = 0; slot < MostSlots; ++slot) {
        auto lock =
            std::make_unique<QLockFile>(*folder + QStringLiteral("/window-%1.lock").arg(slot));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            *held = std::move(lock);
            return slot;
        }
    }
    return 0;
}

// `place` stepped aside by `slot` steps, still inside `area`: smaller rather
// than over the first copy's title bar, unless that would go below `minimum`.
QRect steppedAside(const QRect& place, int slot, const QRect& area, const QSize& minimum)
{
    if (slot == 0)
        return place;
    QRect moved = place.translated(slot * CopyStep, slot * CopyStep);
    moved.setRight(std::min(moved.right(), area.right()));
    moved.setBottom(std::min(moved.bottom(), area.bottom()));
    if (moved.width() < minimum.width() || moved.height() < minimum.height())
        return WindowPlace::fitInside(place.translated(slot * CopyStep, slot * CopyStep), area);
    return moved;
}

} // namespace

void Form1::placeWindow()
{
    const QSize minimum = layoutMinimum();
    const QSize design(pixels(LayoutModel::DesignScaleWidth),
                       pixels(LayoutModel::DesignScaleHeight));
    QList<QRect> available;
    for (const QScreen* each : QGuiApplication::screens())
        available << each->availableGeometry();
    const QRect home = screen() ? screen()->availableGeometry() : QRect(QPoint(), design);
    const std::optional<QRect> remembered = rememberedPlace();
    QRect place = WindowPlace::place(remembered, design, minimum, available, home);
    const QRect area = WindowPlace::areaHolding(place, available, home);
    // A second copy must not hide the first one exactly.
    place =
        steppedAside(place, takeWindowSlot(&m_windowSlot), area, minimum.boundedTo(area.size()));
    fitMinimumTo(area);
    setGeometry(place);
    m_normalPlaces = {place};
    // A screen too small for the layout gets all of it, the title bar on
    // screen, rather than a window that starts above its top edge.
    const bool tooSmall = area.width() < minimum.width() || area.height() < minimum.height();
    if (tooSmall || readNumber(SettingKeys::WindowMaximized).value_or(0) != 0)
        setWindowState(windowState() | Qt::WindowMaximized);
}

// A screen smaller than the layout's minimum still shows the whole window;
// the controls may then overlap.
void Form1::fitMinimumTo(const QRect& area)
{
    setMinimumSize(layoutMinimum().boundedTo(area.size()));
}

void Form1::watchScreen()
{
    if (m_screenWatched || !windowHandle())
        return;
    m_screenWatched = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen* now) {
        if (now)
            fitMinimumTo(now->availableGeometry());
    });
}

void Form1::rememberPlace() const
{
    // A maximized or minimized window comes back to the place it had before.
    const bool normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    // The desktop may maximize the window without the toolkit's knowing its
    // place before; the window kept that place itself.
    QRect place = normal ? geometry() : normalGeometry();
    if (!normal && (!place.isValid() || place == geometry()))
        place = m_normalPlaces.value(m_normalPlaces.size() - 1);
    const auto write = [](const SettingKeys::Key& key, int value) {
        modSettings::WriteSetting(key, QString::number(value));
    };
    write(SettingKeys::WindowMaximized, isMaximized() ? 1 : 0);
    if (!place.isValid())
        return;
    write(SettingKeys::WindowLeft, place.left());
    write(SettingKeys::WindowTop, place.top());
    write(SettingKeys::WindowWidth, place.width());
    write(SettingKeys::WindowHeight, place.height());
}

void Form1::keepNormalPlace()
{
    const bool normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (isVisible() && normal && m_normalPlaces.value(m_normalPlaces.size() - 1) != geometry()) {
        m_normalPlaces.append(geometry());
        if (m_normalPlaces.size() > 4)
            m_normalPlaces.removeFirst();
    }
}

void Form1::windowStateChanged()
{
    // A desktop that maximizes the window resizes and moves it before the
    // toolkit hears of the new state: those places were never normal ones.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        while (m_normalPlaces.size() > 1 &&
               (m_normalPlaces.last().size() == size() ||
                m_normalPlaces.last().topLeft() == geometry().topLeft()))
            m_normalPlaces.removeLast();
    }
}

void Form1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    keepNormalPlace();
}

void Form1::closeEvent(QCloseEvent* event)
{
    rememberPlace();
    QWidget::closeEvent(event);
}

void Form1::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    // The panes set pointers of their own, which a pointer set on the window
    // would not override; the application's override does, for this window
    // and whatever it opens meanwhile.
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
