#include "core/window/layoutmodel.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace LayoutModel {

namespace {

// The margin, the pane tops and the button column are read from the design
// values of these controls, never from constants, as the window was drawn.
void setWidth(TwipRect& r, float value)
{
    if (value >= 0)
        r.width = value;
}

void setHeight(TwipRect& r, float value)
{
    if (value >= 0)
        r.height = value;
}

void move(TwipRect& r, float left, float top, float width, float height)
{
    if (width < 0 || height < 0)
        return;
    r = {left, top, width, height};
}

// Below the least height the design allows (a small screen at a large
// scale), "More" would climb over the exports: the column's four places then
// share the height there is, first by closing the gaps down to the design's
// gap between two exports, then by shortening the buttons alike. At every height that fits, the
// places are the design's.
void fitCommandColumn(Form1Geometry& g, float bottom)
{
    const Form1Geometry d = Form1Geometry::design();
    for (int i = 0; i < 3; ++i) {
        g.cmdButton[i].top = d.cmdButton[i].top;
        g.cmdButton[i].height = d.cmdButton[i].height;
    }
    g.cmdButton[3].height = d.cmdButton[3].height;
    const float lowest = d.cmdButton[2].top + d.cmdButton[2].height;
    if (g.cmdButton[3].top >= lowest)
        return;
    const float top = d.cmdButton[0].top;
    const float room = bottom - top;
    if (room <= 0)
        return;
    const int count = 4;
    // Buttons of one colour that touch read as one: the design's gap stays.
    const float leastGap = d.cmdButton[1].top - d.cmdButton[0].top - d.cmdButton[0].height;
    const float height = std::min(d.cmdButton[0].height, (room - (count - 1) * leastGap) / count);
    if (height <= 0)
        return;
    const float gap = (room - count * height) / (count - 1);
    for (int i = 0; i < count; ++i) {
        g.cmdButton[i].top = top + i * (height + gap);
        g.cmdButton[i].height = height;
    }
}

} // namespace

Form1Geometry Form1Geometry::design()
{
    Form1Geometry g;
    g.cmdButton[4] = {240, 240, 14295, 495};
    g.picSplitter = {5640, 840, 240, 7335};
    g.lblTitle[0] = {240, 900, 2340, 330};
    g.cboCategory = {240, 960, 5412, 450};
    g.shpTitle[1] = {5880, 960, 6495, 495};
    g.lblTitle[1] = {5880, 990, 1020, 330};
    g.shpTitle[2] = {12600, 960, 1935, 495};
    g.lblTitle[2] = {12600, 990, 870, 330};
    g.Picture1 = {240, 1680, 5412, 6492};
    g.WebBrowser1 = {-30, -30, 5412, 5892};
    g.Picture2 = {5880, 1680, 6492, 6492};
    g.WebBrowser2 = {-30, -30, 6612, 5892};
    g.Shape1 = {120, 720, 5655, 7575};
    g.Shape2 = {6360, 720, 5655, 7575};
    g.cmdButton[0] = {12600, 1680, 1935, 1815};
    g.cmdButton[1] = {12600, 3600, 1935, 1815};
    g.cmdButton[2] = {12600, 5520, 1935, 1815};
    g.cmdButton[3] = {12600, 8640, 1935, 1815};
    g.imgLogo = {14760, 1440, 720, 705};
    return g;
}

void PaintUI(Form1Geometry& g, float sw, float sh, float px, float py)
{
    const float m = g.Picture1.left;
    setHeight(g.picSplitter, sh - g.picSplitter.top - m);
    setWidth(g.Picture1, g.picSplitter.left - m - px);
    setHeight(g.Picture1, sh - g.Picture1.top - m);
    setWidth(g.cboCategory, g.Picture1.width);
    g.Picture2.left = g.picSplitter.left + g.picSplitter.width + px;
    setHeight(g.Picture2, sh - g.Picture2.top - m);
    setWidth(g.Picture2, sw - g.cmdButton[0].width - g.Picture2.left - m - m);
    g.shpTitle[1].left = g.Picture2.left;
    setWidth(g.shpTitle[1], g.Picture2.width);
    setHeight(g.shpTitle[1], g.cboCategory.height);
    g.lblTitle[1].left = g.shpTitle[1].left;
    g.cmdButton[0].left = sw - g.cmdButton[0].width - m;
    g.cmdButton[1].left = g.cmdButton[0].left;
    g.cmdButton[2].left = g.cmdButton[0].left;
    g.cmdButton[3].left = g.cmdButton[0].left;
    g.cmdButton[3].top = sh - m - g.cmdButton[3].height;
    fitCommandColumn(g, sh - m);
    setWidth(g.cmdButton[4], sw - 2 * g.cmdButton[4].left);
    g.shpTitle[2].left = g.cmdButton[0].left;
    setHeight(g.shpTitle[2], g.cboCategory.height);
    g.lblTitle[2].left = g.shpTitle[2].left;
    // The browsers overhang their frames by two pixels so that the frame clips
    // the engine's own border away.
    move(g.WebBrowser1, -2 * px, -2 * py, g.Picture1.width + 4 * px, g.Picture1.height + 4 * py);
    move(g.WebBrowser2, -2 * px, -2 * py, g.Picture2.width + 4 * px, g.Picture2.height + 4 * py);
    move(g.Shape1, g.Picture1.left - px, g.Picture1.top - py, g.Picture1.width + 2 * px,
         g.Picture1.height + 2 * py);
    move(g.Shape2, g.Picture2.left - px, g.Picture2.top - py, g.Picture2.width + 2 * px,
         g.Picture2.height + 2 * py);
}

TwipSize minimumScale(const Form1Geometry& g, float px)
{
    const float m = g.Picture1.left;
    // With the splitter at its rightmost place the preview keeps room for its
    // title only, which would otherwise run under the export column's.
    const float previewLeft = float(MaxSplitPixels) * px + g.picSplitter.width + px;
    const float width = previewLeft + g.lblTitle[1].width + m + g.cmdButton[0].width + m;
    // "More" sits on the bottom margin, under the lowest of the export buttons.
    float exportBottom = g.Picture1.top;
    for (int i = 0; i < 3; ++i)
        exportBottom = std::max(exportBottom, g.cmdButton[i].top + g.cmdButton[i].height);
    const float height = exportBottom + g.cmdButton[3].height + m;
    return {width, height};
}

bool isSplitAccepted(int pixels)
{
    return pixels >= MinSplitPixels && pixels <= MaxSplitPixels;
}

double leadingNumber(const QString& text)
{
    QString number;
    bool seenDigit = false;
    bool seenPoint = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if ((c == u'+' || c == u'-') && number.isEmpty()) {
            number += c;
        } else if (c >= u'0' && c <= u'9') {
            number += c;
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            number += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

long long roundHalfEven(double value)
{
    // Callers only pass values they have bounded; the rounding mode is the
    // default one, which rounds halves to even.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return static_cast<long long>(rounded);
}

int splitFromSetting(const QString& text)
{
    const double value = leadingNumber(text);
    // Out of range long before a conversion to an integer could overflow.
    if (!(value > MinSplitPixels - 2 && value < MaxSplitPixels + 2))
        return DefaultSplitPixels;
    const long long pixels = roundHalfEven(value);
    return isSplitAccepted(int(pixels)) ? int(pixels) : DefaultSplitPixels;
}

long long dragColumn(float splitterLeft, float pointerX, float px)
{
    const double column = double((splitterLeft + pointerX) / px);
    if (!std::isfinite(column) || std::fabs(column) > 1e15)
        return -1;
    return roundHalfEven(column);
}

QString splitSettingText(float splitterLeft, float px)
{
    return QString::number(double(splitterLeft / px), 'g', 10);
}

} // namespace LayoutModel
