#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>

// Which features of a template's HTML the major mail programs lack, as the
// template linter (library/lint/lint.mjs) finds them, from the table compiled
// into the program: the gallery checks a template without Node.
namespace MailProgramLint {

// Where a feature is first used: an element, or the <style> element whose
// sheet uses it. `index` counts the elements of that name before it in the
// page, so that a view finds it as document.getElementsByTagName(tag)[index].
struct Place
{
    QString tag;
    int index = -1;
    int line = 0;
};

struct Finding
{
    QString feature;      // as the linter names it: "display:flex"
    QString url;          // its page on caniemail.com
    QStringList programs; // readable names, in the order of the table
    QString reason;       // for an excused feature: why the templates keep it
    Place place;
};

struct Report
{
    QList<Finding> unsupported; // not excused
    QList<Finding> excused;     // kept on purpose (library/lint/exceptions.txt)
    // Features the data says nothing about for some programs; the Node
    // linter gives up on such a page, we name the programs instead.
    QList<Finding> noData;
};

// Feature title -> one bit per MailProgramTable::Clients entry, before the
// exceptions: what lint.mjs's unsupported() returns for the same page.
struct Raw
{
    QMap<QString, std::uint32_t> unsupported;
    QMap<QString, std::uint32_t> noData;
    QMap<QString, Place> places;
};
Raw lintRaw(const QByteArray& html);

// The findings of one page, with the exceptions applied as lint.mjs applies them.
Report lint(const QByteArray& html);

} // namespace MailProgramLint
