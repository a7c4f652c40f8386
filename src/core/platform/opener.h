#pragma once

#include <QString>

class QUrl;

namespace Module1 {

// The one place the vendor's host is named.
inline constexpr char VendorHost[] = "www.quillery.example";

// Opens a URL or file with the desktop's opener. Returns true when it failed.
bool OpenDocument(const QString& document, const QString& folder);

// Hands a clicked mailto: address to the desktop's mail program; any other
// scheme is refused, so that no page can start a program of its choosing.
// Returns true when it failed.
bool openMailLink(const QUrl& url);

// "http://" + VendorHost + "/services/tredirect.php?key=" + keyWord.
QString GetRedirectUrl(const QString& keyWord);

void OpenHomePage();

} // namespace Module1
