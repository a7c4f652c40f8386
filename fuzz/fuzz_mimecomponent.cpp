// Feeds arbitrary bytes to the MIME component as a message and checks what
// must hold for every input: no crash, nothing written outside the images
// folder, a page in valid UTF-8 that declares it once.
#include "mimecharset.h"
#include "mimecomponent.h"
#include "mimehtmlscan.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

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
                                ? mime.SaveHtmlToSubfolderUtf8(folder, QStringLiteral("msg"))
                                : mime.SaveHtmlAndImagesUtf8(folder, QStringLiteral("page_files"));

    require(QString::fromUtf8(page).toUtf8() == page, "page is valid UTF-8");
    if (!page.isEmpty()) {
        // Counted as the browser reads tags: text in comments or scripts that
        // merely looks like a meta tag does not count.
        int declarations = 0;
        for (const Mime::HtmlTag& tag : Mime::findTags(page, {"meta"})) {
            if (!Mime::declaredMetaCharset(page.mid(tag.begin, tag.end - tag.begin)).isNull())
                ++declarations;
        }
        require(declarations == 1, "one charset declaration");
        require(Mime::declaredMetaCharset(page) == "utf-8", "the declaration says utf-8");
    }
    QDirIterator it(root.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = QDir(root.path()).relativeFilePath(it.next());
        require(entry == QLatin1String("out") || entry.startsWith(QLatin1String("out/msg")) ||
                    entry.startsWith(QLatin1String("out/page_files")),
                "nothing outside the images folder");
    }
    QDir(folder).removeRecursively();
    return 0;
}
