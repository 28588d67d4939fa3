#include "app/ImageList.h"

#include <QPainter>
#include <QSvgRenderer>

namespace brixel {

namespace {
struct Picture {
    int index;
    const char* file;
};
// Index -> picture: TCP connected / not connected, port settings, save, serial
// open / closed, web site, help, the application's own picture.
constexpr Picture kPictures[] = {
    {0, ":/resources/icons/tcp-on.svg"},   {1, ":/resources/icons/tcp-off.svg"},
    {2, ":/resources/icons/settings.svg"}, {5, ":/resources/icons/save.svg"},
    {6, ":/resources/icons/com-on.svg"},   {7, ":/resources/icons/com-off.svg"},
    {10, ":/resources/icons/website.svg"}, {11, ":/resources/icons/help.svg"},
    {12, ":/resources/icons/brixel.svg"},
};

QPixmap render(const char* file) {
    QSvgRenderer renderer{QString::fromLatin1(file)};
    QPixmap pm(ImageList::kSize, ImageList::kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    renderer.render(&p, QRectF(0, 0, ImageList::kSize, ImageList::kSize));
    return pm;
}
} // namespace

ImageList::ImageList() {
    for (const Picture& pic : kPictures)
        pictures_.insert(pic.index, render(pic.file));
}

} // namespace brixel
