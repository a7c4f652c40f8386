#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Mime {

// Decodes base64 the lenient way mail needs: line breaks and any other
// character outside the alphabet are skipped, '=' ends a group, and a group
// cut short still yields the bytes it holds.
QByteArray decodeBase64(QByteArrayView encoded);

} // namespace Mime
