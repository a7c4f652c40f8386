#pragma once

#include <QByteArray>
#include <QString>

// The pages the panes show when there is no template page to show, and the
// notice over a page that could be shown only in part.
namespace PreviewPages {

// A short page with a headline and a detail, both shown as plain text.
QString messagePage(const QString& title, const QString& detail);

// Why the template `name` (possibly empty) cannot be previewed.
QString noticePage(const QString& name, const QString& reason);

// `page` with a notice saying `problem` at the top of its body, so the user
// knows that what the preview shows is not the whole template.
QByteArray withProblemNotice(const QByteArray& page, const QString& problem);

} // namespace PreviewPages
