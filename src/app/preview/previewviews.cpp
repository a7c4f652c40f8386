#include "previewviews.h"

#include "core/platform/settingsstore.h"

#include <algorithm>
#include <array>
#include <utility>

namespace PreviewViews {

namespace {

// One stored part of the view: its key and the texts of its values, the
// default first.
template <typename T, size_t N> struct Part
{
    SettingKeys::Key key;
    std::array<std::pair<T, const char*>, N> texts;

    T read() const
    {
        const QString text = modSettings::ReadSetting(key);
        for (const auto& [value, name] : texts) {
            if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return value;
        }
        return texts.front().first;
    }

    void write(T previous, T value) const
    {
        if (previous == value)
            return;
        for (const auto& [candidate, name] : texts) {
            if (candidate == value)
                modSettings::WriteSetting(key, QString::fromLatin1(name));
        }
    }
};

using RecipientView::Colours;

constexpr Part<Width, 2> WidthPart{SettingKeys::ViewWidth,
                                   {{{Width::Desktop, "Desktop"}, {Width::Phone, "Phone"}}}};
constexpr Part<Colours, 3> ColoursPart{
    SettingKeys::ViewColours,
    {{{Colours::Light, "Light"}, {Colours::Dark, "Dark"}, {Colours::Inverted, "Inverted"}}}};
constexpr Part<bool, 2> ImagesPart{SettingKeys::ViewImages,
                                   {{{false, "Shown"}, {true, "Blocked"}}}};
constexpr Part<Content, 3> ContentPart{SettingKeys::ViewContent,
                                       {{{Content::Page, "Page"},
                                         {Content::PlainText, "PlainText"},
                                         {Content::InboxLine, "InboxLine"}}}};

} // namespace

PanePlace panePlace(const View& view, const QRect& desktop, int frameWidth)
{
    if (!view.isPhoneWide())
        return {desktop};
    if (frameWidth >= PhoneWidth)
        return {QRect((frameWidth - PhoneWidth) / 2, desktop.y(), PhoneWidth, desktop.height())};
    const int width = std::max(frameWidth, 1);
    return {QRect(0, desktop.y(), width, desktop.height()), qreal(width) / PhoneWidth};
}

View readSetting()
{
    View view;
    view.width = WidthPart.read();
    view.colours = ColoursPart.read();
    view.imagesBlocked = ImagesPart.read();
    view.content = ContentPart.read();
    return view;
}

void writeSetting(const View& previous, const View& view)
{
    WidthPart.write(previous.width, view.width);
    ColoursPart.write(previous.colours, view.colours);
    ImagesPart.write(previous.imagesBlocked, view.imagesBlocked);
    ContentPart.write(previous.content, view.content);
}

StoredView::StoredView(QObject* parent) : QObject(parent), m_view(readSetting()), m_written(m_view)
{
    m_delay.setSingleShot(true);
    m_delay.setInterval(500);
    connect(&m_delay, &QTimer::timeout, this, &StoredView::flush);
}

StoredView::~StoredView()
{
    flush();
}

void StoredView::store(const View& view)
{
    m_view = view;
    m_delay.start();
}

void StoredView::flush()
{
    m_delay.stop();
    writeSetting(m_written, m_view);
    m_written = m_view;
}

QByteArray pageFor(const View& view, const QString& name, const QByteArray& message,
                   const QByteArray& html)
{
    switch (view.content) {
    case Content::PlainText:
        return RecipientView::plainTextPage(name, RecipientView::readPlainText(message));
    case Content::InboxLine:
        return RecipientView::inboxPage(RecipientView::readInboxLine(message, html));
    case Content::Page:
        break;
    }
    return RecipientView::pageForView(html, view.colours, view.imagesBlocked,
                                      view.width == Width::Phone);
}

} // namespace PreviewViews
