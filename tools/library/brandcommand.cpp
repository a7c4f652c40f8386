#include "command.h"

#include "core/brand/brandapply.h"
#include "core/brand/brandstore.h"
#include "core/export/templateexport.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr char Usage[] =
    "quillery-library: usage: quillery-library brand apply TEMPLATE --brand NAME "
    "[--out FILE] [--brands FOLDER]\n";

// A library file is scrambled; a message is taken as it is.
Result<QByteArray> readTemplate(const QString& path)
{
    const Result<QByteArray> bytes = FileIo::readSmallFile(path, MimeComponent::MaxMessageSize);
    if (!bytes)
        return bytes.status();
    if (!path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
        return *bytes;
    const Result<QByteArray> message = Module1::unpackTemplate(*bytes);
    if (!message)
        return Status::failure(path + QLatin1String(": ") + message.status().message());
    return *message;
}

// By file name first, then by the name the user gave it, ignoring case.
const BrandKit* findBrand(const QList<BrandKit>& brands, const QString& name)
{
    for (const BrandKit& brand : brands)
        if (brand.id == name)
            return &brand;
    for (const BrandKit& brand : brands)
        if (brand.name.compare(name, Qt::CaseInsensitive) == 0)
            return &brand;
    return nullptr;
}

} // namespace

// Writes the template in a brand: an .htm/.html target gets the page and its
// images folder as the HTML export writes them, any other target the
// message; without --out the message goes to standard output.
int runBrand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList rest = arguments;
    if (rest.isEmpty() || rest.takeFirst() != QLatin1String("apply")) {
        err << Usage;
        return ExitUsage;
    }
    QString templatePath, brandName, target, folder = BrandStore::defaultFolder();
    while (!rest.isEmpty()) {
        const QString argument = rest.takeFirst();
        QString* option = argument == QLatin1String("--brand")    ? &brandName
                          : argument == QLatin1String("--out")    ? &target
                          : argument == QLatin1String("--brands") ? &folder
                                                                  : nullptr;
        if (option) {
            if (rest.isEmpty()) {
                err << Usage;
                return ExitUsage;
            }
            *option = rest.takeFirst();
        } else if (templatePath.isEmpty() && !argument.startsWith(QLatin1String("--"))) {
            templatePath = argument;
        } else {
            err << Usage;
            return ExitUsage;
        }
    }
    if (templatePath.isEmpty() || brandName.isEmpty()) {
        err << Usage;
        return ExitUsage;
    }

    const BrandStore::Loaded loaded = BrandStore(folder).load();
    const BrandKit* brand = findBrand(loaded.brands, brandName);
    if (!brand) {
        err << "quillery-library: no brand \"" << brandName << "\" in " << folder << '\n';
        for (const QString& problem : loaded.problems)
            err << "quillery-library: " << problem << '\n';
        return ExitFailure;
    }
    const Result<QByteArray> message = readTemplate(templatePath);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(*message, *brand);
    if (!branded) {
        err << "quillery-library: " << templatePath << ": " << branded.status().message() << '\n';
        return ExitFailure;
    }
    if (branded->message == *message)
        err << "quillery-library: warning: " << templatePath
            << ": the template has no brand slots; it is written as it is\n";
    for (const QString& adjustment : branded->adjustments)
        err << "quillery-library: note: " << adjustment << '\n';

    if (target.isEmpty()) {
        out.flush();
        QFile stdoutFile;
        if (!stdoutFile.open(stdout, QIODevice::WriteOnly) ||
            stdoutFile.write(branded->message) != branded->message.size()) {
            err << "quillery-library: the message could not be written to standard output\n";
            return ExitFailure;
        }
        return ExitOk;
    }
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(target));
    const QString suffix = QFileInfo(path).suffix().toLower();
    const Status written =
        suffix == QLatin1String("htm") || suffix == QLatin1String("html")
            ? TemplateExport::exportHtmlMessageTo(branded->message, path, templatePath)
            : FileIo::writeAtomically(path, branded->message);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
