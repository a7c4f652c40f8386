#pragma once

#include "core/gallery/check/librarycheck.h"

#include <QString>
#include <QStringList>

// What the mail programs we support make of a library's templates: the
// features of a template's HTML that some of them lack. A finding is a problem
// of the library, as much as a page the gallery could not show.
namespace MailPrograms {

// A check that did not run, or not to the end. The templates are then
// neither passed nor failed by it.
struct NotChecked
{
    QString why;     // "the mail programs cannot be checked: Node.js is missing ..."
    QString verdict; // "the mail programs were not checked"
};

struct Report
{
    // "TEMPLATE: in mail programs: FEATURE is not supported by A, B",
    // "TEMPLATE: in Outlook for Windows (model): FAULT", in template order,
    // and a linter that failed on the templates (stopped, crashed), under
    // its path.
    LibraryCheck::Problems findings;
    // One line per check that could not run: what is missing or what
    // happened, and what installs it.
    QList<NotChecked> notChecked;
};

// The template files in the library's templates/ folder that the gallery
// would open, in file name order.
QStringList TemplatePaths(const QString& libraryFolder);

// Lints the HTML of each template, as its recipients' mail programs get it,
// with the linter in `linterFolder` (lint.mjs and its node_modules) run by
// Node from PATH, a few Node processes for all of them. A template that does
// not decode is left out: the library check reports it.
Report LintTemplates(const QStringList& templatePaths, const QString& linterFolder);

// Lays each template out as the Outlook model shows it, with the renderer at
// `renderer` (quillery-thumbnails outlook), a few runs for all of them, each
// bounded in time. A template that does not decode is left out, as above.
Report OutlookTemplates(const QStringList& templatePaths, const QString& renderer);

// Every check of the report, with the tools installed beside this program.
Report Check(const QStringList& templatePaths);

} // namespace MailPrograms
