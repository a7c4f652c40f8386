// Feeds arbitrary bytes to the MIME component as a message and checks what
// must hold for every input: no crash, nothing written outside the images
// folder, a page in valid UTF-8 that declares it once, that refers to no
// local file, does not refresh, and nests no deeper than the engine is given.
#include "core/html/htmlnesting.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimecharset.h"
#include "core/mime/mimecomponent.h"
#include "core/mime/mimereferences.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Visits every reference the page still makes, as the component reads them.
class ReferenceCheck : public Mime::ReferenceResolver
{
public:
    QByteArray replacement(const QByteArray& url) override
    {
        const QByteArray cleaned = Html::cleanUrl(url);
        require(!Html::isFileUrl(cleaned), "no file: reference");
        if (QUrl(QString::fromUtf8(cleaned)).isRelative())
            require(!Html::leavesPageFolder(cleaned), "no reference out of the page's folder");
        return QByteArray();
    }
    bool isLocal(const QByteArray& url) override
    {
        replacement(url);
        return false;
    }
    void setDocumentBase(const QByteArray&) override { require(false, "no <base href>"); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir root;
    require(root.isValid(), "temporary folder");
    const QString folder = root.filePath(QStringLiteral("out"));
    QDir().mkpath(folder);

    MimeComponent mime;
    mime.LoadEmlData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Both ways the gallery saves, alternating with the input so both are exercised.
    const bool toSubfolder = size % 2 == 1;
    const QByteArray page = toSubfolder
                                ? mime.saveHtmlToSubfolderUtf8(folder, QStringLiteral("msg"))
                                : mime.saveHtmlAndImagesUtf8(folder, QStringLiteral("page_files"));

    require(QString::fromUtf8(page).toUtf8() == page, "page is valid UTF-8");
    if (!page.isEmpty()) {
        // Counted as the browser reads tags: text in comments or scripts that
        // merely looks like a meta tag does not count.
        int declarations = 0;
        for (const Html::HtmlTag& tag : Html::findTags(page, {"meta"})) {
            if (!Mime::declaredMetaCharset(page.mid(tag.begin, tag.end - tag.begin)).isNull())
                ++declarations;
        }
        require(declarations == 1, "one charset declaration");
        require(Mime::declaredMetaCharset(page) == "utf-8", "the declaration says utf-8");

        ReferenceCheck check;
        Mime::rewriteReferences(page, check);
        for (const Html::HtmlTag& tag : Html::findTags(page, {"meta"})) {
            const QByteArray equiv = tag.attribute(page, "http-equiv").trimmed();
            require(equiv.compare("refresh", Qt::CaseInsensitive) != 0, "no refresh");
        }
        require(HtmlNesting::depth(page) <= HtmlNesting::MaxDepth, "nesting within bounds");
    }
    QDirIterator it(root.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString entry = QDir(root.path()).relativeFilePath(path);
        require(entry == QLatin1String("out") || entry.startsWith(QLatin1String("out/msg")) ||
                    entry.startsWith(QLatin1String("out/page_files")),
                "nothing outside the images folder");
        // Pages and style sheets beside the page are loaded as it is.
        QFile file(path);
        const bool isHtml = path.endsWith(QLatin1String(".html"));
        const bool isCss = path.endsWith(QLatin1String(".css"));
        if ((isHtml || isCss) && file.open(QIODevice::ReadOnly)) {
            ReferenceCheck check;
            bool changed = false;
            if (isHtml)
                Mime::rewriteReferences(file.readAll(), check);
            else
                Mime::rewriteCss(file.readAll(), check, &changed);
        }
    }
    QDir(folder).removeRecursively();
    return 0;
}
