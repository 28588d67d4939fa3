#include "about/WebLinks.h"

#include <QDesktopServices>

namespace brixel {

QUrl WebsiteUrl() {
    return QUrl(QStringLiteral(BRIXEL_WEBSITE_URL));
}

QUrl HelpUrl() {
    return QUrl(QStringLiteral(BRIXEL_HELP_URL));
}

QUrl ProductUrl() {
    return QUrl(QStringLiteral(BRIXEL_PRODUCT_URL));
}

void OpenWebPage(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace brixel
