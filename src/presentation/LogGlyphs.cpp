#include "presentation/LogGlyphs.h"

#include <array>

namespace brixel {

namespace {

using GlyphTable = std::array<QChar, 256>;

GlyphTable MakeGlyphTable(MarkStyle style) {
    GlyphTable table{};
    const bool pictures = style == MarkStyle::ControlPictures;
    for (int b = 0; b < 256; ++b) {
        QChar c(b);
        if (b < 0x20)
            c = pictures ? QChar(0x2400 + b) : QChar(b + 0x40);
        else if (b == 0x7F)
            c = pictures ? QChar(0x2421) : QChar(u'?');
        else if (b >= 0x80 && b <= 0x9F)
            c = pictures ? QChar(0xFFFD) : QChar(b - 0x40);
        else if (b == 0xAD)
            c = QChar(u'-');
        table[size_t(b)] = c;
    }
    return table;
}

const GlyphTable& Table(MarkStyle style) {
    static const GlyphTable pictures = MakeGlyphTable(MarkStyle::ControlPictures);
    static const GlyphTable letters = MakeGlyphTable(MarkStyle::Letters);
    return style == MarkStyle::ControlPictures ? pictures : letters;
}

} // namespace

bool IsMarkedByte(quint8 byte) {
    return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F) || byte == 0xAD;
}

QChar LogGlyph(quint8 byte, MarkStyle style) {
    return Table(style)[byte];
}

QString ToDisplayText(const QByteArray& bytes, MarkStyle style) {
    const GlyphTable& table = Table(style);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = table[quint8(c)];
    return text;
}

} // namespace brixel
