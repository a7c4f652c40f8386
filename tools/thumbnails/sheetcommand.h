#pragma once

#include "contactsheet.h"

#include <QString>

// quillery-thumbnails sheet [--outlook] LIBRARY_FOLDER WIDTH OUT.png [COLUMNS]:
// every template of the library drawn by `render` at WIDTH, tiled into one
// PNG. A sheet not drawn as the preview draws it says so: `drawnBy`, when
// given, ends every caption. 0 when every template was drawn, 1 when one was
// not (its tile says why) or the sheet cannot be written, 2 on wrong arguments.
int sheetCommand(const QString& library, const QString& width, const QString& out,
                 const QString& columns, const ContactSheet::RenderFunction& render,
                 const QString& drawnBy = QString());

// The templates as the preview draws them.
ContactSheet::RenderFunction previewRender();

// The templates as the Outlook model shows them, as outlook-shot draws them.
ContactSheet::RenderFunction outlookRender();
