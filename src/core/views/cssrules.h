#pragma once

#include <QByteArrayView>

#include <functional>

// The top-level style rules of a style sheet, read forgivingly: comments and
// strings hide nothing, an unterminated block runs to the end, and at-rules
// (@media, @font-face, ...) are passed over with everything inside them.
namespace CssRules {

// Visits each rule with its selector list (comments before it left out) and
// the declarations inside its braces.
void forEachRule(
    QByteArrayView css,
    const std::function<void(QByteArrayView selectors, QByteArrayView declarations)>& visit);

} // namespace CssRules
