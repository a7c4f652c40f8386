#pragma once

#include "core/gallery/library/templatemessage.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reading the readable source of one template for the library build. Every
// fault is appended to `failures` as "path: reason".
namespace LibraryBuild {

// A folder holding headers.txt, message.html, message.txt and images/: the
// message it describes, or nullopt when any part of it is faulty.
std::optional<TemplateMessage::Source> readSource(const QString& folder, QStringList* failures);

} // namespace LibraryBuild
