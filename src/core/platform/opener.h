#pragma once

#include <QString>

namespace Module1 {

// The one place the vendor's host is named.
inline constexpr char VendorHost[] = "www.quillery.example";

// Opens a URL or file with the desktop's opener. Returns true when it failed.
bool OpenDocument(const QString& document, const QString& folder);

// "http://" + VendorHost + "/services/tredirect.php?key=" + keyWord.
QString GetRedirectUrl(const QString& keyWord);

void OpenHomePage();

} // namespace Module1
