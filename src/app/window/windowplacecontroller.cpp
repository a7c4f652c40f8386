#include "windowplacecontroller.h"

#include "core/platform/settingsstore.h"
#include "core/platform/workspace.h"
#include "core/window/layoutmodel.h"
#include "windowplace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QWidget>
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
    const LayoutModel::TwipSize minimum = LayoutModel::minimumScale();
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
    const Result<QString> folder = modGetDirs::ensureWorkspaceFolder(QStringLiteral("windows"));
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

WindowPlaceController::WindowPlaceController(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window)
{
    place();
    window->installEventFilter(this);
}

bool WindowPlaceController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            keepNormalPlace();
            break;
        case QEvent::Show:
            watchScreen();
            break;
        case QEvent::WindowStateChange:
            stateChanged();
            break;
        case QEvent::Close:
            remember();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

WindowPlaceController::~WindowPlaceController() = default;

void WindowPlaceController::place()
{
    const QSize minimum = layoutMinimum();
    const QSize design(pixels(LayoutModel::DesignScaleWidth),
                       pixels(LayoutModel::DesignScaleHeight));
    QList<QRect> available;
    for (const QScreen* each : QGuiApplication::screens())
        available << each->availableGeometry();
    const QRect home =
        m_window->screen() ? m_window->screen()->availableGeometry() : QRect(QPoint(), design);
    const std::optional<QRect> remembered = rememberedPlace();
    QRect place = WindowPlace::place(remembered, design, minimum, available, home);
    const QRect area = WindowPlace::areaHolding(place, available, home);
    // A second copy must not hide the first one exactly.
    place =
        steppedAside(place, takeWindowSlot(&m_windowSlot), area, minimum.boundedTo(area.size()));
    fitMinimumTo(area);
    m_window->setGeometry(place);
    m_normalPlaces = {place};
    // A screen too small for the layout gets all of it, the title bar on
    // screen, rather than a window that starts above its top edge.
    const bool tooSmall = area.width() < minimum.width() || area.height() < minimum.height();
    if (tooSmall || readNumber(SettingKeys::WindowMaximized).value_or(0) != 0)
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

// A screen smaller than the layout's minimum still shows the whole window;
// the controls may then overlap.
void WindowPlaceController::fitMinimumTo(const QRect& area)
{
    m_window->setMinimumSize(layoutMinimum().boundedTo(area.size()));
}

void WindowPlaceController::watchScreen()
{
    if (m_screenWatched || !m_window->windowHandle())
        return;
    m_screenWatched = true;
    connect(m_window->windowHandle(), &QWindow::screenChanged, this, [this](QScreen* now) {
        if (now)
            fitMinimumTo(now->availableGeometry());
    });
}

void WindowPlaceController::remember() const
{
    // A maximized or minimized window comes back to the place it had before.
    const bool normal = !(m_window->windowState() &
                          (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    // The desktop may maximize the window without the toolkit's knowing its
    // place before; the window kept that place itself.
    QRect place = normal ? m_window->geometry() : m_window->normalGeometry();
    if (!normal && (!place.isValid() || place == m_window->geometry()))
        place = m_normalPlaces.value(m_normalPlaces.size() - 1);
    const auto write = [](const SettingKeys::Key& key, int value) {
        modSettings::WriteSetting(key, QString::number(value));
    };
    write(SettingKeys::WindowMaximized, m_window->isMaximized() ? 1 : 0);
    if (!place.isValid())
        return;
    write(SettingKeys::WindowLeft, place.left());
    write(SettingKeys::WindowTop, place.top());
    write(SettingKeys::WindowWidth, place.width());
    write(SettingKeys::WindowHeight, place.height());
}

void WindowPlaceController::keepNormalPlace()
{
    const bool normal = !(m_window->windowState() &
                          (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (m_window->isVisible() && normal &&
        m_normalPlaces.value(m_normalPlaces.size() - 1) != m_window->geometry()) {
        m_normalPlaces.append(m_window->geometry());
        if (m_normalPlaces.size() > 4)
            m_normalPlaces.removeFirst();
    }
}

void WindowPlaceController::stateChanged()
{
    // A desktop that maximizes the window resizes and moves it before the
    // toolkit hears of the new state: those places were never normal ones.
    if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        while (m_normalPlaces.size() > 1 &&
               (m_normalPlaces.last().size() == m_window->size() ||
                m_normalPlaces.last().topLeft() == m_window->geometry().topLeft()))
            m_normalPlaces.removeLast();
    }
}
