#pragma once

#include <QString>

#include <array>
#include <optional>

// The main window's geometry in twips, kept apart from the widgets so the
// arithmetic can be checked exactly. Widgets are placed from it afterwards.
namespace LayoutModel {

// Qt 6 lays widgets out in device-independent pixels of 1/96 inch.
inline constexpr float TwipsPerPixel = 15.0f;

// The designed client area of the main window.
inline constexpr float DesignScaleWidth = 19755.0f;
inline constexpr float DesignScaleHeight = 10125.0f;

struct TwipRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Every control of the main window that has a place. Arrays keep the
// control-array indices; shpTitle[0] exists only to keep indices 1 and 2.
struct Form1Geometry
{
    std::array<TwipRect, 5> cmdButton;
    std::array<TwipRect, 3> lblTitle;
    std::array<TwipRect, 3> shpTitle;
    TwipRect picSplitter;
    TwipRect cboCategory;
    TwipRect Picture1;
    TwipRect WebBrowser1; // relative to Picture1
    TwipRect Picture2;
    TwipRect WebBrowser2; // relative to Picture2
    TwipRect Shape1;
    TwipRect Shape2;
    TwipRect imgLogo;

    static Form1Geometry design();
};

// Places every movable control for the client size and the splitter's current
// left edge. A step that would give a negative width or height is refused and
// the control keeps its previous value; later steps read whatever is current.
void PaintUI(Form1Geometry& g, float scaleWidth, float scaleHeight, float px = TwipsPerPixel,
             float py = TwipsPerPixel);

// Splitter positions are whole pixels from 251 to 899.
inline constexpr int MinSplitPixels = 251;
inline constexpr int MaxSplitPixels = 899;
inline constexpr int DefaultSplitPixels = 450;

bool isSplitAccepted(int pixels);

struct TwipSize
{
    float width = 0;
    float height = 0;
    bool operator==(const TwipSize&) const = default;
};

// The smallest client size at which PaintUI keeps every control apart from the
// others and inside the window, wherever the splitter stands in its range:
// below it the preview's title would run under the export column's, or the
// "More" button over the one above it.
TwipSize minimumScale(const Form1Geometry& design = Form1Geometry::design(),
                      float px = TwipsPerPixel);

// The leading number of a text: blanks skipped, optional sign, digits, an
// optional fraction; reading stops at the first other character. Empty or
// non-numeric text gives 0.
double leadingNumber(const QString& text);

// Nearest whole number, a half going to the even neighbour.
long long roundHalfEven(double value);

// The stored "Split" text as a position: in range it is kept, otherwise 450.
int splitFromSetting(const QString& text);

// The pointer's column in whole pixels during a drag: the bar's left edge plus
// the pointer's offset on the bar, both in twips.
long long dragColumn(float splitterLeft, float pointerX, float px = TwipsPerPixel);

// The text stored on release: the bar's left edge in pixels.
QString splitSettingText(float splitterLeft, float px = TwipsPerPixel);

} // namespace LayoutModel
