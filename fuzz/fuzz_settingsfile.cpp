// Arbitrary bytes as a settings file, and the same bytes as UTF-16 for a group,
// a name and a value to store in it: parsing must never crash, and whatever was
// stored must parse back to exactly the same value.
#include "core/platform/settingsfile.h"

#include <cstdio>
#include <cstdlib>

using namespace SettingsFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto parsed = Document::parse(bytes);

    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    const qsizetype third = text.size() / 3;
    const QString name = text.first(third);
    QStringList group;
    for (const QString& level : text.sliced(third, third).split(u'\\')) {
        if (!level.isEmpty())
            group.append(level);
    }
    StoredValue value;
    value.kind = size % 2 ? Kind::String : Kind::MultiString;
    value.text = text.sliced(2 * third);

    Document document = parsed ? *parsed : *Document::parse(QByteArray());
    document.set(group, name, value);
    const auto again = Document::parse(document.serialize());
    if (!again) {
        std::fprintf(stderr, "written file does not parse: %s\n",
                     qPrintable(again.status().message()));
        std::abort();
    }
    const auto found = again->find(group, name);
    if (!found || found->kind != value.kind || found->text != value.text) {
        std::fprintf(stderr, "stored value did not come back\n");
        std::abort();
    }
    return 0;
}
