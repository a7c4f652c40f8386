#pragma once

#include "core/platform/status.h"

#include <QString>

// Outlook for Windows lays mail out with a word processor's engine. The model
// turns a page into what that engine makes of it, so that an ordinary browser
// engine can show it: conditional comments for Outlook switched on, those
// hidden from it taken out, its document settings and @media blocks dropped,
// and every inline style cut to what it honours. It knows the documented gaps
// of that engine, not every quirk: a model of Outlook, not Outlook.
namespace OutlookModel {

// The page as Outlook for Windows reads it. Fails, saying why, only on a
// style sheet whose @media block never ends. Any other input gives a page,
// in time linear in its size.
Result<QString> outlookView(const QString& page);

} // namespace OutlookModel
