#pragma once

#include <QUrl>

namespace brixel {

// The product's web pages. Their addresses are set in one place, the build's
// cmake/WebAddresses.cmake.
QUrl WebsiteUrl();
QUrl HelpUrl();
QUrl ProductUrl();

// Asks the desktop to show the page in the user's browser. Whether that works is
// the desktop's business: a failure is ignored and the program goes on.
void OpenWebPage(const QUrl& url);

} // namespace brixel
