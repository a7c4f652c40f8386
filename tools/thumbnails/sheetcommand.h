#pragma once

#include "contactsheet.h"

#include <QString>

// quillery-thumbnails sheet LIBRARY_FOLDER WIDTH OUT.png [COLUMNS]: every
// template of the library drawn by `render` at WIDTH, tiled into one PNG.
// 0 when every template was drawn, 1 when one was not (its tile says why) or
// the sheet cannot be written, 2 on wrong arguments.
int sheetCommand(const QString& library, const QString& width, const QString& out,
                 const QString& columns, const ContactSheet::RenderFunction& render);

// The templates as the preview draws them.
ContactSheet::RenderFunction previewRender();
