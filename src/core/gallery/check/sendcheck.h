#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <optional>

// The check of one template before it is sent, as its recipients will get
// it: what their mail programs lack, how a spam filter scores it, what keeps
// it from a screen reader, its size and pictures, and its links. A report is
// plain data, so that the window, the command line and scripts show the same.
namespace SendCheck {

enum class Section { MailPrograms, Spam, Accessibility, Size, Links };
inline constexpr Section AllSections[] = {Section::MailPrograms, Section::Spam,
                                          Section::Accessibility, Section::Size, Section::Links};

// A note changes no verdict; a warning is worth a look; a problem is what
// recipients will suffer from.
enum class Severity { Note, Warning, Problem };

enum class Verdict { Passes, Warnings, Problems };

// What a finding is about, for scripts and for the view that draws it. Their
// names (kindName) are stable: --json gives them.
enum class Kind {
    // Mail programs
    UnsupportedFeature, // a feature some of them lack
    ExcusedFeature,     // one the shipped templates keep on purpose
    FeatureWithoutData, // the data says nothing about some programs
    OutlookModel,       // what the Outlook model breaks
    // Spam
    SpamScore,
    SpamRule,
    // Accessibility
    NoLanguage,
    NoDirection,
    MissingAlt,
    DecorativeAlt,
    LayoutTable,
    HeadingOrder,
    VagueLinkText,
    EmptyLinkText,
    NoPlainText,
    LowContrast, // from rendered styles: the engine's side finds these
    SmallText,   // likewise, text under 14 px on a phone
    // Size and pictures
    HtmlSize,
    ImageWeight,
    OversizedImage,
    BlurryImage,
    RemoteImages,
    // Links
    Link,
    PlaceholderLink,
    LinkAnswer, // what an address answered when the links were checked
};

// The element a finding is about, for the view to scroll to and outline:
// the `index`-th element named `tag` in the page as the preview shows it
// (document.getElementsByTagName(tag)[index]), and its line in the HTML part.
// No element (index -1) for a finding about the whole message.
struct Locator
{
    QString tag;
    int index = -1;
    int line = 0;
    bool isValid() const { return index >= 0; }
    bool operator==(const Locator&) const = default;
};

struct Finding
{
    Section section;
    Severity severity;
    Kind kind;
    QString text; // plain words, one sentence or two
    Locator where;
};

// A link of the template, in page order.
struct LinkEntry
{
    QString url;  // as written, character references resolved
    QString text; // the words the reader clicks
    bool placeholder = false;
    Locator where;
};

// A check, or part of one, that did not run: the section then neither passes
// nor fails on it.
struct Gap
{
    Section section;
    QString what; // "The spam check did not run: ..."
};

struct Report
{
    QString subject;
    QList<Finding> findings;
    QList<LinkEntry> links;
    QList<Gap> notChecked;
    std::optional<double> spamScore;
    double spamThreshold = 5.0;

    Verdict verdict(Section section) const;
    Verdict verdict() const;
    bool complete(Section section) const;
    bool complete() const;
    QList<Finding> findingsOf(Section section) const;
};

// How far the checks go; a hostile template stops at these, and the report
// says what was left out.
struct Options
{
    // SpamAssassin, found on PATH when empty; no spam check when `spam` is off.
    bool spam = true;
    QString spamProgram;
    int spamSeconds = 60;
    qsizetype maxHtmlBytes = 8 * 1024 * 1024;
    int maxElements = 100000;
    int maxLinks = 2000;
    int maxImages = 500;
};

// Checks the message a template decodes to, as "> eml" writes it. Blocks
// while SpamAssassin runs (up to spamSeconds): a window calls it off its
// own thread.
Report check(const QByteArray& message, const Options& options = {});

// The sections' and kinds' names as the reports give them.
QString sectionTitle(Section section);
QString sectionName(Section section); // stable, for --json: "mail-programs", ...
QString kindName(Kind kind);          // stable, for --json: "missing-alt", ...
QString severityName(Severity severity);
QString verdictName(Verdict verdict);

// The report as text for people, and as JSON for scripts.
QString toText(const Report& report, const QString& name);
QByteArray toJson(const Report& report, const QString& name);

// The contrast ratio of two colours (1 to 21), and the finding the view adds
// for text of that colour on that background at that size, when it is too
// faint to read: under 4.5:1, or 3:1 for large text (24 px, or 18.66 px bold).
double contrastRatio(const QColor& text, const QColor& background);
std::optional<Finding> contrastFinding(const QColor& text, const QColor& background, double fontPx,
                                       bool bold, const Locator& where);
// Likewise for text smaller than 14 px as a phone shows it.
std::optional<Finding> smallTextFinding(double fontPx, const Locator& where);

// Adds what the engine found to a report made by check().
void addFindings(Report& report, const QList<Finding>& findings);

} // namespace SendCheck
