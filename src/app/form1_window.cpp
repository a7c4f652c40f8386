#include "core/platform/settingsstore.h"
#include "core/window/layoutmodel.h"
#include "form1.h"
#include "windowplace.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <optional>

namespace {

const QString Section = QStringLiteral("Main");
const QString LeftKey = QStringLiteral("WindowLeft");
const QString TopKey = QStringLiteral("WindowTop");
const QString WidthKey = QStringLiteral("WindowWidth");
const QString HeightKey = QStringLiteral("WindowHeight");
const QString MaximizedKey = QStringLiteral("WindowMaximized");

int pixels(float twips)
{
    return int(std::lround(twips / LayoutModel::TwipsPerPixel));
}

std::optional<int> readNumber(const QString& name)
{
    bool ok = false;
    const int value = modSettings::ReadSetting(Form1::SettingsKey, Section, name).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// All four numbers or none: a place pieced together from defaults is no
// place the user chose.
std::optional<QRect> rememberedPlace()
{
    const auto left = readNumber(LeftKey);
    const auto top = readNumber(TopKey);
    const auto width = readNumber(WidthKey);
    const auto height = readNumber(HeightKey);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return QRect(*left, *top, *width, *height);
}

QSize layoutMinimum()
{
    const LayoutModel::TwipSize minimum = LayoutModel::MinimumScale();
    return QSize(pixels(minimum.width), pixels(minimum.height));
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
    const QRect place = WindowPlace::place(remembered, design, minimum, available, home);
    fitMinimumTo(WindowPlace::areaHolding(place, available, home));
    setGeometry(place);
    if (remembered && readNumber(MaximizedKey).value_or(0) != 0)
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
    const QRect place = normal ? geometry() : normalGeometry();
    if (!place.isValid())
        return;
    const auto write = [](const QString& name, int value) {
        modSettings::WriteSetting(SettingsKey, Section, name, QString::number(value));
    };
    write(LeftKey, place.left());
    write(TopKey, place.top());
    write(WidthKey, place.width());
    write(HeightKey, place.height());
    write(MaximizedKey, isMaximized() ? 1 : 0);
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
