#include "core/gallery/check/sendcheck.h"

#include "core/gallery/check/mailprogramlint.h"
#include "core/gallery/check/placeholderlinks.h"
#include "core/gallery/check/spamcheck.h"
#include "core/html/htmlscan.h"
#include "core/mime/mimecomponent.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace SendCheck {

namespace {

// Gmail cuts a message whose HTML is larger than about 102 KB and shows the
// rest only behind a link.
constexpr qsizetype GmailClipBytes = 102 * 1024;
constexpr qsizetype GmailNearBytes = 90 * 1024;
// Pictures of a newsletter loading over a phone's connection.
constexpr qint64 ImageWeightWarning = 1024 * 1024;
constexpr qint64 ImageWeightProblem = 5 * 1024 * 1024;

QString kilobytes(qint64 bytes)
{
    return QString::number(double(bytes) / 1024.0, 'f', bytes < 10 * 1024 ? 1 : 0);
}

// Element positions as the view finds them: per tag name, counted in page
// order, with lines counted as the scan goes so a long page stays linear.
class Places
{
public:
    explicit Places(const QByteArray& html) : m_html(html) {}
    Locator at(const Html::HtmlTag& tag)
    {
        for (; m_lineAt < tag.begin && m_lineAt < m_html.size(); ++m_lineAt) {
            if (m_html[m_lineAt] == '\n')
                ++m_line;
        }
        const QString name = QString::fromLatin1(tag.name);
        return {name, m_counts[name]++, m_line};
    }

private:
    const QByteArray& m_html;
    QHash<QString, int> m_counts;
    qsizetype m_lineAt = 0;
    int m_line = 1;
};

struct Element
{
    Html::HtmlTag tag;
    Locator where;
};

// The elements of a page, up to `limit`; `cut` when there were more.
std::vector<Element> elementsOf(const QByteArray& html, int limit, bool* cut)
{
    std::vector<Element> elements;
    Places places(html);
    *cut = false;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.name.startsWith('!') || *cut)
            return;
        if (int(elements.size()) >= limit) {
            *cut = true;
            return;
        }
        elements.push_back({tag, places.at(tag)});
    });
    return elements;
}

void add(Report& report, Section section, Severity severity, Kind kind, const QString& text,
         const Locator& where = {})
{
    report.findings.append({section, severity, kind, text, where});
}

// ---- Mail programs

void checkMailPrograms(Report& report, const QByteArray& html)
{
    const MailProgramLint::Report lint = MailProgramLint::lint(html);
    auto placeOf = [](const MailProgramLint::Place& place) {
        return Locator{place.tag, place.index, place.line};
    };
    for (const MailProgramLint::Finding& finding : lint.unsupported)
        add(report, Section::MailPrograms, Severity::Problem, Kind::UnsupportedFeature,
            QCoreApplication::translate("SendCheck", "%1 is not supported by %2.")
                .arg(finding.feature, finding.programs.join(", ")),
            placeOf(finding.place));
    for (const MailProgramLint::Finding& finding : lint.noData)
        add(report, Section::MailPrograms, Severity::Warning, Kind::FeatureWithoutData,
            QCoreApplication::translate("SendCheck", "Nothing is known of %1 in %2: try it there.")
                .arg(finding.feature, finding.programs.join(", ")),
            placeOf(finding.place));
    for (const MailProgramLint::Finding& finding : lint.excused)
        add(report, Section::MailPrograms, Severity::Note, Kind::ExcusedFeature,
            QCoreApplication::translate(
                "SendCheck",
                "%1 is not supported by %2, and the template does without it there: %3")
                .arg(finding.feature, finding.programs.join(", "), finding.reason),
            placeOf(finding.place));
}

// ---- Spam

// SpamAssassin's tests of how a message travelled: a message that has not
// been sent yet fails them, and the sending program or server passes them.
bool isTransportRule(const QString& name)
{
    static const QStringList rules{
        QStringLiteral("MISSING_MID"),        QStringLiteral("MISSING_HEADERS"),
        QStringLiteral("NO_RECEIVED"),        QStringLiteral("NO_RELAYS"),
        QStringLiteral("MISSING_DATE"),       QStringLiteral("MISSING_FROM"),
        QStringLiteral("TO_NO_BRKTS_MSFT"),   QStringLiteral("MISSING_TO"),
        QStringLiteral("DKIM_ADSP_NXDOMAIN"), QStringLiteral("UNPARSEABLE_RELAY")};
    return rules.contains(name);
}

QString spamRuleWords(const SpamCheck::Rule& rule)
{
    if (isTransportRule(rule.name))
        return QCoreApplication::translate(
                   "SendCheck",
                   "%1 (%2 points): %3. Your mailing program or server adds what it misses "
                   "when it sends the message.")
            .arg(rule.name, QString::number(rule.points, 'f', 1), rule.description);
    if (rule.name.startsWith(QLatin1String("HTML_IMAGE")) ||
        rule.name.startsWith(QLatin1String("HTML_SHORT")))
        return QCoreApplication::translate(
                   "SendCheck",
                   "%1 (%2 points): %3. Filters distrust messages that are mostly pictures; "
                   "give the pictures some words around them.")
            .arg(rule.name, QString::number(rule.points, 'f', 1), rule.description);
    return QCoreApplication::translate("SendCheck", "%1 (%2 points): %3.")
        .arg(rule.name, QString::number(rule.points, 'f', 1), rule.description);
}

void checkSpam(Report& report, const QByteArray& message, const Options& options)
{
    if (!options.spam) {
        report.notChecked.append(
            {Section::Spam,
             QCoreApplication::translate("SendCheck", "The spam check was not asked for.")});
        return;
    }
    const QString program =
        options.spamProgram.isEmpty() ? SpamCheck::findProgram() : options.spamProgram;
    if (program.isEmpty()) {
        report.notChecked.append(
            {Section::Spam,
             QCoreApplication::translate(
                 "SendCheck",
                 "SpamAssassin is not installed, so the message was not scored. Install it "
                 "with \"sudo apt install spamassassin\" (or scripts/install-deps).")});
        return;
    }
    const SpamCheck::Result result = SpamCheck::run(message, program, options.spamSeconds);
    if (!result.score) {
        report.notChecked.append(
            {Section::Spam,
             QCoreApplication::translate("SendCheck", "The spam check did not finish: %1.")
                 .arg(result.notChecked)});
        return;
    }
    report.spamScore = result.score;
    report.spamThreshold = result.required;
    double transport = 0;
    for (const SpamCheck::Rule& rule : result.rules)
        transport += isTransportRule(rule.name) ? std::max(rule.points, 0.0) : 0;
    // What the template itself scores, without what sending settles.
    const double own = *result.score - transport;
    const Severity severity = own >= result.required         ? Severity::Problem
                              : own >= result.required / 2.0 ? Severity::Warning
                                                             : Severity::Note;
    QString text =
        QCoreApplication::translate(
            "SendCheck", "SpamAssassin scores the message %1 points; filters commonly take %2 or "
                         "more for spam.")
            .arg(QString::number(*result.score, 'f', 1), QString::number(result.required, 'f', 1));
    if (transport > 0)
        text += QLatin1Char(' ') + QCoreApplication::translate(
                                       "SendCheck", "%1 of them are for headers that sending adds.")
                                       .arg(QString::number(transport, 'f', 1));
    add(report, Section::Spam, severity, Kind::SpamScore, text);
    for (const SpamCheck::Rule& rule : result.rules) {
        if (rule.points <= 0)
            continue;
        const Severity ruleSeverity =
            isTransportRule(rule.name) || rule.points < 1.0 ? Severity::Note : Severity::Warning;
        add(report, Section::Spam, ruleSeverity, Kind::SpamRule, spamRuleWords(rule));
    }
}

// ---- Accessibility

bool hasRightToLeftText(const QString& text)
{
    for (const QChar c : text) {
        const QChar::Direction direction = c.direction();
        if (direction == QChar::DirR || direction == QChar::DirAL)
            return true;
    }
    return false;
}

// Link words that say nothing once read out of their sentence, as a screen
// reader's list of links reads them.
bool isVagueLinkText(const QString& words)
{
    static const QStringList vague{
        QStringLiteral("click here"),  QStringLiteral("here"),      QStringLiteral("click"),
        QStringLiteral("read more"),   QStringLiteral("more"),      QStringLiteral("learn more"),
        QStringLiteral("link"),        QStringLiteral("this link"), QStringLiteral("this"),
        QStringLiteral("go"),          QStringLiteral("details"),   QStringLiteral("more info"),
        QStringLiteral("click here!"), QStringLiteral("tap here")};
    QString plain = words.toLower().simplified();
    while (!plain.isEmpty() && (plain.back().isPunct() || plain.back().isSymbol()))
        plain.chop(1);
    return vague.contains(plain);
}

QString linkWordsNotChecked(int count)
{
    return QCoreApplication::translate(
        "SendCheck", "The words of %n links past the first 2000 were not checked.", nullptr, count);
}

int headingLevel(const QByteArray& name)
{
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6' ? name[1] - '0'
                                                                                  : 0;
}

bool isDecorative(const QByteArray& html, const Html::HtmlTag& image)
{
    const QByteArray role = image.attribute(html, "role").toLower();
    if (role == "presentation" || role == "none" ||
        image.attribute(html, "aria-hidden").toLower() == "true")
        return true;
    // Spacers: a pixel or two in one direction.
    const QByteArray width = image.attribute(html, "width");
    const QByteArray height = image.attribute(html, "height");
    return (!width.isNull() && width.toInt() > 0 && width.toInt() <= 2) ||
           (!height.isNull() && height.toInt() > 0 && height.toInt() <= 2);
}

void checkAccessibility(Report& report, const QByteArray& html,
                        const std::vector<Element>& elements, const QByteArray& message)
{
    const Section section = Section::Accessibility;
    const auto root = std::find_if(elements.begin(), elements.end(),
                                   [](const Element& e) { return e.tag.name == "html"; });
    const QByteArray lang =
        root == elements.end() ? QByteArray() : root->tag.attribute(html, "lang").trimmed();
    if (lang.isEmpty())
        add(report, section, Severity::Warning, Kind::NoLanguage,
            QCoreApplication::translate(
                "SendCheck",
                "The page does not say its language (lang on <html>): screen readers may read it "
                "in the wrong voice."),
            root == elements.end() ? Locator{} : root->where);
    const bool anyDirection = std::any_of(elements.begin(), elements.end(), [&](const Element& e) {
        return !e.tag.attribute(html, "dir").isNull();
    });
    if (!anyDirection && hasRightToLeftText(QString::fromUtf8(html)))
        add(report, section, Severity::Warning, Kind::NoDirection,
            QCoreApplication::translate(
                "SendCheck",
                "The page holds right-to-left text but no dir attribute: set dir=\"rtl\" where it "
                "is, so that it reads and aligns the right way."),
            root == elements.end() ? Locator{} : root->where);

    int previousHeading = 0;
    int linksLooked = 0;
    for (qsizetype i = 0; i < qsizetype(elements.size()); ++i) {
        const Html::HtmlTag& tag = elements[i].tag;
        const Locator& where = elements[i].where;
        if (tag.name == "img") {
            const QByteArray alt = tag.attribute(html, "alt");
            const bool decorative = isDecorative(html, tag);
            if (alt.isNull() && !decorative)
                add(report, section, Severity::Problem, Kind::MissingAlt,
                    QCoreApplication::translate(
                        "SendCheck",
                        "A picture has no alt text: screen readers and mail programs that block "
                        "pictures show nothing (or its file name) in its place. Give it words, or "
                        "alt=\"\" when it is only decoration."),
                    where);
            else if (alt.isNull())
                add(report, section, Severity::Warning, Kind::MissingAlt,
                    QCoreApplication::translate(
                        "SendCheck",
                        "A decorative picture has no alt attribute: give it alt=\"\", so that "
                        "screen readers pass over it."),
                    where);
            else if (decorative && !alt.trimmed().isEmpty())
                add(report, section, Severity::Warning, Kind::DecorativeAlt,
                    QCoreApplication::translate(
                        "SendCheck",
                        "A decorative picture has alt text (\"%1\"): screen readers read it out. "
                        "Give it alt=\"\".")
                        .arg(QString::fromUtf8(alt).simplified()),
                    where);
        } else if (tag.name == "table") {
            const QByteArray role = tag.attribute(html, "role").toLower().trimmed();
            if (role != "presentation" && role != "none") {
                // A table with header cells before the next table holds data.
                bool headers = false;
                for (qsizetype j = i + 1; j < qsizetype(elements.size()); ++j) {
                    const QByteArray& name = elements[j].tag.name;
                    if (name == "table")
                        break;
                    if (name == "th" || name == "caption") {
                        headers = true;
                        break;
                    }
                }
                if (!headers)
                    add(report, section, Severity::Warning, Kind::LayoutTable,
                        QCoreApplication::translate(
                            "SendCheck",
                            "A layout table is not marked role=\"presentation\": screen readers "
                            "announce its rows and columns."),
                        where);
            }
        } else if (const int level = headingLevel(tag.name)) {
            if (previousHeading == 0 && level > 2)
                add(report, section, Severity::Warning, Kind::HeadingOrder,
                    QCoreApplication::translate(
                        "SendCheck",
                        "The first heading is <h%1>: start with <h1> or <h2>, so that the "
                        "outline a screen reader offers begins at the top.")
                        .arg(level),
                    where);
            else if (previousHeading > 0 && level > previousHeading + 1)
                add(report, section, Severity::Warning, Kind::HeadingOrder,
                    QCoreApplication::translate("SendCheck",
                                                "<h%1> follows <h%2>: a heading level is skipped.")
                        .arg(level)
                        .arg(previousHeading),
                    where);
            previousHeading = level;
        } else if ((tag.name == "a" || tag.name == "area") &&
                   !tag.attribute(html, "href").isNull()) {
            if (++linksLooked > 2000)
                continue;
            const QString words = PlaceholderLinks::linkText(html, tag);
            const QString label = QString::fromUtf8(tag.attribute(html, "aria-label")).simplified();
            if (words.isEmpty() && label.isEmpty())
                add(report, section, Severity::Problem, Kind::EmptyLinkText,
                    QCoreApplication::translate(
                        "SendCheck",
                        "A link has no words (nor alt text on its picture): a screen reader "
                        "announces only \"link\"."),
                    where);
            else if (label.isEmpty() && isVagueLinkText(words))
                add(report, section, Severity::Warning, Kind::VagueLinkText,
                    QCoreApplication::translate(
                        "SendCheck",
                        "The link \"%1\" makes no sense read on its own, as screen readers list "
                        "links: say where it leads.")
                        .arg(words),
                    where);
        }
    }
    if (linksLooked > 2000)
        report.notChecked.append({section, linkWordsNotChecked(linksLooked - 2000)});

    const std::optional<MimeComponent::PlainText> plain =
        MimeComponent::readPlainText(message, 64 * 1024);
    if (!plain || plain->text.trimmed().isEmpty())
        add(report, section, Severity::Warning, Kind::NoPlainText,
            QCoreApplication::translate(
                "SendCheck",
                "The message has no plain-text part: readers who take mail as text, and some "
                "filters, get nothing readable."));
}

// ---- Size and pictures

// The width a picture is shown at, in CSS pixels: its width attribute, or a
// width in px in its style. Zero when neither says.
int shownWidth(const QByteArray& html, const Html::HtmlTag& image)
{
    static const QRegularExpression styleWidth(
        QStringLiteral(R"((?:^|;)\s*(?:max-)?width\s*:\s*([0-9.]+)px)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match =
        styleWidth.match(QString::fromUtf8(image.attribute(html, "style")));
    if (match.hasMatch())
        return int(match.captured(1).toDouble());
    const QByteArray width = image.attribute(html, "width").trimmed();
    return width.endsWith('%') ? 0 : width.toInt();
}

void checkSize(Report& report, qsizetype htmlBytes, const QString& pageFolder,
               const QByteArray& page, const std::vector<Element>& elements, int maxImages)
{
    // The pictures as the HTML part places them: the page written for the
    // preview keeps their order, not always their lines.
    std::vector<Locator> pictures;
    for (const Element& element : elements) {
        if (element.tag.name == "img")
            pictures.push_back(element.where);
    }
    const Section section = Section::Size;
    if (htmlBytes > GmailClipBytes)
        add(report, section, Severity::Problem, Kind::HtmlSize,
            QCoreApplication::translate(
                "SendCheck",
                "The HTML is %1 KB: Gmail cuts messages over about 102 KB and hides the rest, "
                "with the unsubscribe link, behind \"View entire message\".")
                .arg(kilobytes(htmlBytes)));
    else if (htmlBytes > GmailNearBytes)
        add(report, section, Severity::Warning, Kind::HtmlSize,
            QCoreApplication::translate(
                "SendCheck",
                "The HTML is %1 KB, close to the about 102 KB over which Gmail cuts a message: "
                "your mailing program's tracking links may push it over.")
                .arg(kilobytes(htmlBytes)));
    else if (htmlBytes > 0)
        add(report, section, Severity::Note, Kind::HtmlSize,
            QCoreApplication::translate(
                "SendCheck",
                "The HTML is %1 KB, well below the about 102 KB over which Gmail cuts a message.")
                .arg(kilobytes(htmlBytes)));
    if (pageFolder.isEmpty())
        return;

    qint64 weight = 0;
    int remote = 0;
    int images = 0;
    QSet<QString> weighed;
    Places places(page);
    Html::scanHtml(page, [&](const Html::HtmlTag& tag) {
        if (tag.name.startsWith('!'))
            return;
        Locator where = places.at(tag);
        if (tag.name != "img" || ++images > maxImages)
            return;
        if (where.index < int(pictures.size()))
            where = pictures[where.index];
        const QString source = QString::fromUtf8(tag.attribute(page, "src")).trimmed();
        const QUrl url(source);
        if (!url.scheme().isEmpty() && url.scheme().size() > 1) {
            remote += url.scheme().startsWith(QLatin1String("http")) ? 1 : 0;
            return;
        }
        const QString relative = QUrl::fromPercentEncoding(source.toUtf8());
        if (relative.isEmpty() || relative.contains(QLatin1String("..")))
            return;
        const QFileInfo file(QDir(pageFolder).filePath(relative));
        if (!file.isFile())
            return;
        if (!weighed.contains(file.absoluteFilePath())) {
            weighed.insert(file.absoluteFilePath());
            weight += file.size();
        }
        QImageReader reader(file.absoluteFilePath());
        const QSize natural = reader.size();
        const int shown = shownWidth(page, tag);
        const bool vector = reader.format() == "svg" || reader.format() == "svgz";
        if (!natural.isValid() || shown <= 0 || vector)
            return;
        if (natural.width() >= shown * 4 && file.size() > 100 * 1024)
            add(report, section, Severity::Warning, Kind::OversizedImage,
                QCoreApplication::translate(
                    "SendCheck",
                    "A picture of %1 px (%2 KB) is shown %3 px wide: scaled to %4 px it would "
                    "load much faster and look as sharp.")
                    .arg(natural.width())
                    .arg(kilobytes(file.size()))
                    .arg(shown)
                    .arg(shown * 2),
                where);
        else if (natural.width() < shown)
            add(report, section, Severity::Warning, Kind::BlurryImage,
                QCoreApplication::translate(
                    "SendCheck",
                    "A picture of %1 px is shown %2 px wide: it is blurred on every screen. Use "
                    "one of %3 px.")
                    .arg(natural.width())
                    .arg(shown)
                    .arg(shown * 2),
                where);
        else if (natural.width() < shown * 2)
            add(report, section, Severity::Note, Kind::BlurryImage,
                QCoreApplication::translate(
                    "SendCheck",
                    "A picture of %1 px is shown %2 px wide: it looks soft on sharp (2x) screens, "
                    "which want %3 px.")
                    .arg(natural.width())
                    .arg(shown)
                    .arg(shown * 2),
                where);
    });
    if (weight > ImageWeightProblem)
        add(report, section, Severity::Problem, Kind::ImageWeight,
            QCoreApplication::translate(
                "SendCheck",
                "The pictures weigh %1 KB together: on a phone's connection the message opens "
                "slowly, and some mail programs drop large messages.")
                .arg(kilobytes(weight)));
    else if (weight > ImageWeightWarning)
        add(report, section, Severity::Warning, Kind::ImageWeight,
            QCoreApplication::translate(
                "SendCheck",
                "The pictures weigh %1 KB together: more than 1 MB is slow on a phone's "
                "connection.")
                .arg(kilobytes(weight)));
    else
        add(report, section, Severity::Note, Kind::ImageWeight,
            QCoreApplication::translate("SendCheck", "The pictures weigh %1 KB together.")
                .arg(kilobytes(weight)));
    if (remote > 0)
        add(report, section, Severity::Note, Kind::RemoteImages,
            QCoreApplication::translate("SendCheck",
                                        "%n pictures load from the web; they are not weighed here.",
                                        nullptr, remote));
    if (images > maxImages)
        report.notChecked.append(
            {section, QCoreApplication::translate(
                          "SendCheck", "%n pictures past the first %1 were not looked at.", nullptr,
                          images - maxImages)
                          .arg(maxImages)});
}

// ---- Links

void checkLinks(Report& report, const QByteArray& html, const std::vector<Element>& elements,
                int maxLinks)
{
    int count = 0;
    for (const Element& element : elements) {
        const Html::HtmlTag& tag = element.tag;
        if (tag.name != "a" && tag.name != "area")
            continue;
        const QByteArray href = tag.attribute(html, "href");
        if (href.isNull())
            continue;
        if (++count > maxLinks)
            continue;
        LinkEntry link{QString::fromUtf8(href).trimmed(), PlaceholderLinks::linkText(html, tag),
                       false, element.where};
        link.placeholder = PlaceholderLinks::isPlaceholder(link.url);
        report.links.append(link);
        if (link.placeholder)
            add(report, Section::Links, Severity::Warning, Kind::PlaceholderLink,
                link.text.isEmpty()
                    ? QCoreApplication::translate(
                          "SendCheck", "Replace %1 with your own address before sending.")
                          .arg(link.url)
                    : QCoreApplication::translate(
                          "SendCheck",
                          "Replace %1 (\u201c%2\u201d) with your own address before sending.")
                          .arg(link.url, link.text),
                element.where);
    }
    if (count > maxLinks)
        report.notChecked.append(
            {Section::Links,
             QCoreApplication::translate("SendCheck",
                                         "%n links past the first %1 were not listed or checked.",
                                         nullptr, count - maxLinks)
                 .arg(maxLinks)});
}

Verdict verdictOf(const QList<Finding>& findings)
{
    Verdict verdict = Verdict::Passes;
    for (const Finding& finding : findings) {
        if (finding.severity == Severity::Problem)
            return Verdict::Problems;
        if (finding.severity == Severity::Warning)
            verdict = Verdict::Warnings;
    }
    return verdict;
}

} // namespace

QList<Finding> Report::findingsOf(Section section) const
{
    QList<Finding> out;
    for (const Finding& finding : findings) {
        if (finding.section == section)
            out.append(finding);
    }
    return out;
}

Verdict Report::verdict(Section section) const
{
    return verdictOf(findingsOf(section));
}

Verdict Report::verdict() const
{
    return verdictOf(findings);
}

bool Report::complete(Section section) const
{
    return std::none_of(notChecked.begin(), notChecked.end(),
                        [&](const Gap& gap) { return gap.section == section; });
}

bool Report::complete() const
{
    return notChecked.isEmpty();
}

Report check(const QByteArray& message, const Options& options)
{
    Report report;
    report.subject = MimeComponent::readListHeaders(message).subject;
    const MimeComponent::TextParts parts = MimeComponent::readTextParts(message);
    QByteArray html;
    for (const MimeComponent::TextPart& part : parts.parts) {
        if (part.type == "text/html") {
            html = part.content;
            break;
        }
    }
    const bool tooLarge = html.size() > options.maxHtmlBytes;
    if (html.isEmpty() || tooLarge) {
        const QString why =
            html.isEmpty()
                ? QCoreApplication::translate("SendCheck", "The message has no HTML part.")
                : QCoreApplication::translate(
                      "SendCheck", "The HTML is %1 KB, more than the %2 KB this check reads.")
                      .arg(kilobytes(html.size()), kilobytes(options.maxHtmlBytes));
        for (const Section section :
             {Section::MailPrograms, Section::Accessibility, Section::Links})
            report.notChecked.append({section, why});
    }
    const QByteArray checked = tooLarge ? QByteArray() : html;

    // The page as the preview shows it, with its pictures as files, for the
    // pictures' weights and sizes.
    QTemporaryDir pageFolder;
    QByteArray page;
    if (!checked.isEmpty() && pageFolder.isValid()) {
        MimeComponent mime;
        if (mime.LoadEmlData(message))
            page = mime.saveHtmlToSubfolderUtf8(pageFolder.path(), QStringLiteral("page"));
    }

    bool cut = false;
    const std::vector<Element> elements = elementsOf(checked, options.maxElements, &cut);
    if (cut)
        for (const Section section : {Section::Accessibility, Section::Links})
            report.notChecked.append(
                {section, QCoreApplication::translate(
                              "SendCheck", "Only the first %1 elements of the page were checked.")
                              .arg(options.maxElements)});

    if (!checked.isEmpty()) {
        checkMailPrograms(report, checked);
        checkAccessibility(report, checked, elements, message);
        checkLinks(report, checked, elements, options.maxLinks);
    }
    checkSize(report, html.size(),
              page.isEmpty() ? QString() : pageFolder.filePath(QStringLiteral("page")), page,
              elements, options.maxImages);
    checkSpam(report, message, options);
    // Sections in a fixed order, each finding by severity, worst first.
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const Finding& a, const Finding& b) {
                         if (a.section != b.section)
                             return a.section < b.section;
                         return a.severity > b.severity;
                     });
    return report;
}

void addFindings(Report& report, const QList<Finding>& findings)
{
    report.findings += findings;
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const Finding& a, const Finding& b) {
                         if (a.section != b.section)
                             return a.section < b.section;
                         return a.severity > b.severity;
                     });
}

double contrastRatio(const QColor& text, const QColor& background)
{
    auto luminance = [](const QColor& colour) {
        auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
               0.0722 * channel(rgb.blueF());
    };
    const double a = luminance(text);
    const double b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::optional<Finding> contrastFinding(const QColor& text, const QColor& background, double fontPx,
                                       bool bold, const Locator& where)
{
    const bool large = fontPx >= 24.0 || (bold && fontPx >= 18.66);
    const double needed = large ? 3.0 : 4.5;
    const double ratio = contrastRatio(text, background);
    if (ratio >= needed)
        return std::nullopt;
    return Finding{
        Section::Accessibility, Severity::Problem, Kind::LowContrast,
        QCoreApplication::translate(
            "SendCheck",
            "Text in %1 on %2 has a contrast of %3:1; text of this size needs %4:1 to be "
            "read easily.")
            .arg(text.name(), background.name(), QString::number(ratio, 'f', 1),
                 QString::number(needed, 'f', 1)),
        where};
}

std::optional<Finding> smallTextFinding(double fontPx, const Locator& where)
{
    if (fontPx >= 14.0)
        return std::nullopt;
    return Finding{Section::Accessibility, Severity::Warning, Kind::SmallText,
                   QCoreApplication::translate(
                       "SendCheck", "Text of %1 px on a phone is hard to read; use at least 14 px.")
                       .arg(QString::number(fontPx, 'g', 3)),
                   where};
}

QString sectionTitle(Section section)
{
    switch (section) {
    case Section::MailPrograms:
        return QCoreApplication::translate("SendCheck", "Mail programs");
    case Section::Spam:
        return QCoreApplication::translate("SendCheck", "Spam");
    case Section::Accessibility:
        return QCoreApplication::translate("SendCheck", "Accessibility");
    case Section::Size:
        return QCoreApplication::translate("SendCheck", "Size and pictures");
    case Section::Links:
        return QCoreApplication::translate("SendCheck", "Links");
    }
    return {};
}

QString sectionName(Section section)
{
    static const char* const names[] = {"mail-programs", "spam", "accessibility", "size", "links"};
    return QString::fromLatin1(names[int(section)]);
}

QString kindName(Kind kind)
{
    static const char* const names[] = {"unsupported-feature",
                                        "excused-feature",
                                        "feature-without-data",
                                        "outlook-model",
                                        "spam-score",
                                        "spam-rule",
                                        "no-language",
                                        "no-direction",
                                        "missing-alt",
                                        "decorative-alt",
                                        "layout-table",
                                        "heading-order",
                                        "vague-link-text",
                                        "empty-link-text",
                                        "no-plain-text",
                                        "low-contrast",
                                        "small-text",
                                        "html-size",
                                        "image-weight",
                                        "oversized-image",
                                        "blurry-image",
                                        "remote-images",
                                        "link",
                                        "placeholder-link",
                                        "link-answer"};
    static_assert(std::size(names) == int(Kind::LinkAnswer) + 1);
    return QString::fromLatin1(names[int(kind)]);
}

QString severityName(Severity severity)
{
    static const char* const names[] = {"note", "warning", "problem"};
    return QString::fromLatin1(names[int(severity)]);
}

QString verdictName(Verdict verdict)
{
    static const char* const names[] = {"passes", "warnings", "problems"};
    return QString::fromLatin1(names[int(verdict)]);
}

namespace {

QString verdictWords(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Passes:
        return QCoreApplication::translate("SendCheck", "passes");
    case Verdict::Warnings:
        return QCoreApplication::translate("SendCheck", "warnings");
    case Verdict::Problems:
        return QCoreApplication::translate("SendCheck", "problems");
    }
    return {};
}

QString severityWords(Severity severity)
{
    switch (severity) {
    case Severity::Note:
        return QCoreApplication::translate("SendCheck", "note");
    case Severity::Warning:
        return QCoreApplication::translate("SendCheck", "warning");
    case Severity::Problem:
        return QCoreApplication::translate("SendCheck", "problem");
    }
    return {};
}

} // namespace

QString toText(const Report& report, const QString& name)
{
    QString out;
    out += name;
    if (!report.subject.isEmpty())
        out += QStringLiteral(": \u201c%1\u201d").arg(report.subject);
    out += QLatin1Char('\n');
    for (const Section section : AllSections) {
        // A section that found nothing because it did not run has no verdict.
        const bool ran = report.complete(section) || !report.findingsOf(section).isEmpty();
        out += sectionTitle(section) + QStringLiteral(": ") +
               (ran ? verdictWords(report.verdict(section))
                    : QCoreApplication::translate("SendCheck", "not checked"));
        if (section == Section::Spam && report.spamScore)
            out += QStringLiteral(" (%1)").arg(
                QCoreApplication::translate("SendCheck", "%1 of %2 points")
                    .arg(QString::number(*report.spamScore, 'f', 1),
                         QString::number(report.spamThreshold, 'f', 1)));
        if (ran && !report.complete(section))
            out += QStringLiteral("; ") +
                   QCoreApplication::translate("SendCheck", "not everything was checked");
        out += QLatin1Char('\n');
        for (const Finding& finding : report.findingsOf(section)) {
            out += QStringLiteral("    ") + severityWords(finding.severity) + QStringLiteral(": ") +
                   finding.text;
            if (finding.where.isValid())
                out += QStringLiteral(" (") +
                       QCoreApplication::translate("SendCheck", "<%1> %2, HTML line %3")
                           .arg(finding.where.tag)
                           .arg(finding.where.index + 1)
                           .arg(finding.where.line) +
                       QLatin1Char(')');
            out += QLatin1Char('\n');
        }
        for (const Gap& gap : report.notChecked) {
            if (gap.section == section)
                out += QStringLiteral("    ") +
                       QCoreApplication::translate("SendCheck", "not checked") +
                       QStringLiteral(": ") + gap.what + QLatin1Char('\n');
        }
        if (section == Section::Links) {
            for (const LinkEntry& link : report.links) {
                out += QStringLiteral("    ") + QCoreApplication::translate("SendCheck", "link") +
                       QStringLiteral(": ") + link.url;
                if (!link.text.isEmpty())
                    out += QStringLiteral(" (\u201c%1\u201d)").arg(link.text);
                out += QLatin1Char('\n');
            }
        }
    }
    out +=
        QCoreApplication::translate("SendCheck", "Verdict: %1").arg(verdictWords(report.verdict()));
    if (!report.complete())
        out += QStringLiteral("; ") +
               QCoreApplication::translate("SendCheck", "not everything was checked");
    out += QLatin1Char('\n');
    return out;
}

QByteArray toJson(const Report& report, const QString& name)
{
    auto locator = [](const Locator& where) {
        return where.isValid()
                   ? QJsonValue(QJsonObject{
                         {"tag", where.tag}, {"index", where.index}, {"line", where.line}})
                   : QJsonValue(QJsonValue::Null);
    };
    QJsonArray sections;
    for (const Section section : AllSections) {
        QJsonArray findings;
        for (const Finding& finding : report.findingsOf(section))
            findings.append(QJsonObject{{"severity", severityName(finding.severity)},
                                        {"kind", kindName(finding.kind)},
                                        {"text", finding.text},
                                        {"element", locator(finding.where)}});
        QJsonArray gaps;
        for (const Gap& gap : report.notChecked) {
            if (gap.section == section)
                gaps.append(gap.what);
        }
        QJsonObject entry{{"section", sectionName(section)},
                          {"title", sectionTitle(section)},
                          {"verdict", verdictName(report.verdict(section))},
                          {"complete", report.complete(section)},
                          {"findings", findings},
                          {"notChecked", gaps}};
        if (section == Section::Spam && report.spamScore) {
            entry.insert("score", *report.spamScore);
            entry.insert("required", report.spamThreshold);
        }
        if (section == Section::Links) {
            QJsonArray links;
            for (const LinkEntry& link : report.links)
                links.append(QJsonObject{{"url", link.url},
                                         {"text", link.text},
                                         {"placeholder", link.placeholder},
                                         {"element", locator(link.where)}});
            entry.insert("links", links);
        }
        sections.append(entry);
    }
    const QJsonObject root{{"template", name},
                           {"subject", report.subject},
                           {"verdict", verdictName(report.verdict())},
                           {"complete", report.complete()},
                           {"sections", sections}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace SendCheck
