#include "presentation/LogGlyphs.h"

#include <array>

namespace brixel {

namespace {

std::array<QChar, 256> MakeGlyphTable() {
    std::array<QChar, 256> table{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x20)
            table[size_t(b)] = QChar(0x2400 + b);
        else if (b == 0x7F)
            table[size_t(b)] = QChar(0x2421);
        else if (b >= 0x80 && b <= 0x9F)
            table[size_t(b)] = QChar(0xFFFD);
        else if (b == 0xAD)
            table[size_t(b)] = QChar(0x2010);
        else
            table[size_t(b)] = QChar(b);
    }
    return table;
}

const std::array<QChar, 256>& GlyphTable() {
    static const std::array<QChar, 256> table = MakeGlyphTable();
    return table;
}

} // namespace

QChar LogGlyph(quint8 byte) {
    return GlyphTable()[byte];
}

QString ToDisplayText(const QByteArray& bytes) {
    const auto& table = GlyphTable();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = table[quint8(c)];
    return text;
}

} // namespace brixel
