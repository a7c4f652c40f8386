#include "command.h"

#include "core/brand/brandstore.h"
#include "core/gallery/userlibrary/userlibrary.h"

#include <QCoreApplication>

#include <array>

int runUnpack(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runPack(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runCheck(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runBuild(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runPage(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runExport(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runExportService(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runAdd(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runRename(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runRemove(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runRepair(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runSend(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runBrand(const QStringList& arguments, QTextStream& out, QTextStream& err);

namespace {

const std::array commands{
    Command{"unpack",
            "unpack TEMPLATE.dat MESSAGE.eml   decode a library file into a standard message", 2,
            runUnpack},
    Command{"pack", "pack MESSAGE.eml TEMPLATE.dat     scramble a message into a library file", 2,
            runPack},
    Command{"check",
            "check LIBRARY_FOLDER [--no-mail-programs]\n"
            "                                    report every problem of a library folder, and "
            "what the mail\n"
            "                                    programs we support lack of its templates' HTML "
            "(needs Node)\n"
            "                                    and what Outlook for Windows breaks in the "
            "Outlook model (needs\n"
            "                                    quillery-thumbnails beside this tool); "
            "--no-mail-programs skips both\n"
            "check TEMPLATE (--report | --json) [--no-spam] [--no-outlook-model] "
            "[--check-links]\n"
            "                                    the report of one template (.dat) or message "
            "(.eml) before\n"
            "                                    sending: mail programs, spam, accessibility, "
            "size and pictures,\n"
            "                                    links; as text or as JSON. --check-links asks "
            "each web address\n"
            "                                    for its answer, the tool's one use of the network",
            VariableArguments, runCheck},
    Command{"build",
            "build SOURCE_FOLDER LIBRARY_FOLDER  turn readable template sources into the library",
            2, runBuild},
    Command{"page",
            "page MESSAGE.eml FOLDER           write FOLDER/msg.html and the message's images into "
            "FOLDER, as the preview does",
            2, runPage},
    Command{"export",
            "export MESSAGE.eml PAGE.htm       write PAGE.htm and its images folder beside it, as "
            "the HTML export does",
            2, runExport},
    Command{"export-service",
            "export-service MESSAGE.eml ARCHIVE.zip [--service NAME] [--images-at URL]\n"
            "                                    write the zip a mailing service's upload takes, "
            "index.html with\n"
            "                                    the service's merge tags and its images, as the "
            "window's export\n"
            "                                    for a mailing service does",
            VariableArguments, runExportService},
    Command{"add",
            "add FILE [--category NAME] [--name NAME] [--library FOLDER]\n"
            "                                    add a message (.eml) or a page (.htm, .html) "
            "with its images to your own templates",
            VariableArguments, runAdd},
    Command{"rename", "rename OLD NEW [--library FOLDER]  rename one of your own templates",
            VariableArguments, runRename},
    Command{"remove", "remove NAME [--library FOLDER]    remove one of your own templates",
            VariableArguments, runRemove},
    Command{"repair",
            "repair [--library FOLDER]         finish or take back a change of your own "
            "templates that was cut off\n"
            "                                    (add, rename and remove do it first "
            "themselves)",
            VariableArguments, runRepair},
    Command{"send",
            "send TEMPLATE --to ADDRESS... --account NAME [--ca-file FILE] [--timeout SECONDS]\n"
            "                                    send a test of a template (a name of the "
            "library beside this tool,\n"
            "                                    a .dat or an .eml file) through a stored "
            "account; the password comes\n"
            "                                    from the keyring or QUILLERY_SMTP_PASSWORD",
            VariableArguments, runSend},
    Command{"brand",
            "brand apply TEMPLATE --brand NAME [--out FILE] [--brands FOLDER]\n"
            "                                    write a template (.dat or .eml) in one of your "
            "brands: a message,\n"
            "                                    or a page and its images for an .htm/.html FILE",
            VariableArguments, runBrand},
};

void printUsage(QTextStream& stream)
{
    stream << "Usage: quillery-library COMMAND ARGUMENTS\n\nCommands:\n";
    for (const Command& command : commands)
        stream << "  " << command.synopsis << '\n';
    stream << "\nYour own templates live in " << UserLibrary::defaultFolder()
           << " unless --library says otherwise;\nyour brands in " << BrandStore::defaultFolder()
           << " unless --brands says otherwise;\nadd renders the thumbnail with the "
              "quillery-thumbnails program beside this one.\n";
    stream << "\nExit status: 0 on success, 1 on a failure or a problem found, 2 on wrong usage,\n"
              "3 when check found no problem but could not run all of its checks (the\n"
              "mail programs, the Outlook model or SpamAssassin; standard error or the\n"
              "report says why).\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);

    if (arguments.isEmpty()) {
        printUsage(err);
        return ExitUsage;
    }
    if (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")) {
        printUsage(out);
        return ExitOk;
    }
    const QString name = arguments.takeFirst();
    for (const Command& command : commands) {
        if (name != QLatin1String(command.name))
            continue;
        if (command.argumentCount != VariableArguments &&
            arguments.size() != command.argumentCount) {
            err << "quillery-library: usage: quillery-library " << command.synopsis << '\n';
            return ExitUsage;
        }
        return command.run(arguments, out, err);
    }
    err << "quillery-library: unknown command '" << name << "'\n\n";
    printUsage(err);
    return ExitUsage;
}
