// Build-time tool: draws an SVG picture into a square PNG file, with the same
// renderer the program uses for its in-window pictures, so the desktop's icon
// and the picture in the window look alike at every size.
//
//   brixel_render_icon <picture.svg> <size> <out.png>
//
// Returns 0 when the PNG was written; otherwise prints why and returns 1.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "brixel_render_icon: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return Fail(QStringLiteral("usage: brixel_render_icon <picture.svg> <size> <out.png>"));
    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[2]).toInt(&ok);
    const QString pngPath = QString::fromLocal8Bit(argv[3]);
    if (!ok || size < 1 || size > 4096)
        return Fail(QStringLiteral("the size must be a number from 1 to 4096"));

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return Fail(QStringLiteral("cannot read the picture %1").arg(svgPath));

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!image.save(pngPath, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(pngPath));
    return 0;
}
