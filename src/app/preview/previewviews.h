#pragma once

#include "core/views/recipientview.h"
#include "core/views/viewcss.h"

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

// How the preview shows a template: as it is, or as one group of its
// recipients will see it. The choice is the user's and outlives the session.
namespace PreviewViews {

enum class Width { Desktop, Phone };

// What takes the pane: the page itself, or in its place the message's plain
// text or the line a mail list shows of it.
enum class Content { Page, PlainText, InboxLine };

struct View
{
    Width width = Width::Desktop;
    RecipientView::Colours colours = RecipientView::Colours::Light;
    bool imagesBlocked = false;
    Content content = Content::Page;

    bool operator==(const View&) const = default;

    // The pane is a phone's width: the page and the plain text follow the
    // width; the inbox line draws both widths itself.
    bool isPhoneWide() const { return width == Width::Phone && content != Content::InboxLine; }
    // Colours and pictures belong to the page; the other contents have neither.
    bool showsPage() const { return content == Content::Page; }
};

// The width of the pane in the Phone view, in CSS pixels: a common phone's,
// the one its media queries are read for.
inline constexpr int PhoneWidth = ViewCss::PhoneDeviceWidth;

// Where the preview pane lies in its frame and how far it is zoomed.
struct PanePlace
{
    QRect rect;
    qreal zoom = 1;
};

// The pane's place in its frame `frameWidth` pixels wide, given its place
// `desktop` in the Desktop view: a phone's width, centred. In a frame
// narrower than that the pane fills the frame, zoomed out so that the page
// is still laid out at the phone's width.
PanePlace panePlace(const View& view, const QRect& desktop, int frameWidth);

// The stored view (SettingKeys::ViewWidth and the others); a missing or
// unknown value gives that part of the default view.
View readSetting();

// Stores the parts of `view` that differ from `previous`, so that a switch
// costs one write.
void writeSetting(const View& previous, const View& view);

// The choice kept for the next start. A switch is stored a moment after it
// was made, once the preview is on its way: a settings write costs as much as
// drawing the view, and a quick series of switches is stored once. What is
// still pending is stored when this goes.
class StoredView : public QObject
{
public:
    // Reads the stored view.
    explicit StoredView(QObject* parent = nullptr);
    ~StoredView() override;

    const View& view() const { return m_view; }
    void store(const View& view);

private:
    void flush();

    View m_view;
    View m_written;
    QTimer m_delay;
};

// The page the pane shows for the template `name` in `view`: `html` is the
// staged page of `message`, the decoded message.
QByteArray pageFor(const View& view, const QString& name, const QByteArray& message,
                   const QByteArray& html);

} // namespace PreviewViews
