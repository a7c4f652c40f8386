#pragma once

#include <QByteArray>
#include <QStringList>

namespace Mime {

class Message;
class OutputFolder;

// The page a mail program would show for `message`, as UTF-8 with a matching
// <meta charset>. The parts it refers to are written into `output` (when
// given) and the references point at them through `urlPrefix` ("" or
// "folder/", percent-encoded). What could not be done is added to `problems`.
QByteArray buildPage(const Message& message, OutputFolder* output, const QByteArray& urlPrefix,
                     QStringList* problems);

} // namespace Mime
