#include "previewviews.h"

#include "core/platform/settingsstore.h"

#include <algorithm>
#include <array>
#include <utility>

namespace PreviewViews {

namespace {

const QString Section = QStringLiteral("Main");

// One stored part of the view: its value name and the texts of its values,
// the default first.
template <typename T, size_t N> struct Part
{
    const char* valueName;
    std::array<std::pair<T, const char*>, N> texts;

    T read(const QString& application) const
    {
        const QString text =
            modSettings::ReadSetting(application, Section, QString::fromLatin1(valueName));
        for (const auto& [value, name] : texts) {
            if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return value;
        }
        return texts.front().first;
    }

    void write(const QString& application, T previous, T value) const
    {
        if (previous == value)
            return;
        for (const auto& [candidate, name] : texts) {
            if (candidate == value)
                modSettings::WriteSetting(application, Section, QString::fromLatin1(valueName),
                                          QString::fromLatin1(name));
        }
    }
};

using RecipientView::Colours;

constexpr Part<Width, 2> WidthPart{"ViewWidth",
                                   {{{Width::Desktop, "Desktop"}, {Width::Phone, "Phone"}}}};
constexpr Part<Colours, 3> ColoursPart{
    "ViewColours",
    {{{Colours::Light, "Light"}, {Colours::Dark, "Dark"}, {Colours::Inverted, "Inverted"}}}};
constexpr Part<bool, 2> ImagesPart{"ViewImages", {{{false, "Shown"}, {true, "Blocked"}}}};
constexpr Part<Content, 3> ContentPart{"ViewContent",
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

View readSetting(const QString& application)
{
    View view;
    view.width = WidthPart.read(application);
    view.colours = ColoursPart.read(application);
    view.imagesBlocked = ImagesPart.read(application);
    view.content = ContentPart.read(application);
    return view;
}

void writeSetting(const QString& application, const View& previous, const View& view)
{
    WidthPart.write(application, previous.width, view.width);
    ColoursPart.write(application, previous.colours, view.colours);
    ImagesPart.write(application, previous.imagesBlocked, view.imagesBlocked);
    ContentPart.write(application, previous.content, view.content);
}

StoredView::StoredView(const QString& application, QObject* parent)
    : QObject(parent), m_application(application), m_view(readSetting(application)),
      m_written(m_view)
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
    writeSetting(m_application, m_written, m_view);
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
