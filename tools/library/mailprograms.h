#pragma once

#include "core/gallery/librarycheck.h"

#include <QString>
#include <QStringList>

// What the mail programs we support make of a library's templates: the
// features of a template's HTML that some of them lack. A finding is a problem
// of the library, as much as a page the gallery could not show.
namespace MailPrograms {

struct Report
{
    // "TEMPLATE: in mail programs: FEATURE is not supported by A, B", and a
    // checker that failed on the templates (stopped, crashed), under its path.
    LibraryCheck::Problems findings;
    // A check that could not run at all, one line each: what is missing and
    // what installs it. The templates are then neither passed nor failed.
    QStringList notChecked;
};

// The template files in the library's templates/ folder that the gallery
// would open, in file name order.
QStringList TemplatePaths(const QString& libraryFolder);

// Lints the HTML of each template, as its recipients' mail programs get it,
// with the linter in `linterFolder` (lint.mjs and its node_modules) run by
// Node from PATH, a few Node processes for all of them. A template that does
// not decode is left out: the library check reports it.
Report LintTemplates(const QStringList& templatePaths, const QString& linterFolder);

// Every check of the report, with the tools installed beside this program.
Report Check(const QStringList& templatePaths);

} // namespace MailPrograms
