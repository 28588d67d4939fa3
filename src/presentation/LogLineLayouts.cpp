#include "presentation/LogLineLayouts.h"

#include "presentation/TrafficLog.h"

#include <QGlyphRun>
#include <QTextLayout>

namespace brixel {

namespace {

constexpr size_t kKeptLines = 64; // laid-out lines kept beyond those in sight

// Control pictures where some font can draw them, letters elsewhere.
MarkStyle MarkStyleFor(const QFont& font) {
    QTextLayout probe(QString(QChar(0x2400)), font);
    probe.beginLayout();
    probe.createLine();
    probe.endLayout();
    for (const QGlyphRun& run : probe.glyphRuns()) {
        for (quint32 glyph : run.glyphIndexes()) {
            if (glyph == 0)
                return MarkStyle::Letters;
        }
    }
    return MarkStyle::ControlPictures;
}

QList<QTextLayout::FormatRange> MarkRanges(const QByteArray& bytes, const QColor& color) {
    QList<QTextLayout::FormatRange> marks;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (!IsMarkedByte(quint8(bytes[i])))
            continue;
        if (!marks.isEmpty() && marks.last().start + marks.last().length == i) {
            ++marks.last().length;
            continue;
        }
        QTextLayout::FormatRange mark;
        mark.start = int(i);
        mark.length = 1;
        mark.format.setForeground(color);
        marks.append(mark);
    }
    return marks;
}

} // namespace

LogLineLayouts::LogLineLayouts() = default;
LogLineLayouts::~LogLineLayouts() = default;

void LogLineLayouts::setStyle(const Style& style, QPaintDevice* device) {
    if (style == style_ && device == device_)
        return;
    if (!(style.font == style_.font) || !device_)
        markStyle_ = MarkStyleFor(style.font);
    style_ = style;
    device_ = device;
    lines_.clear();
}

LogLineLayouts::Line& LogLineLayouts::line(const TrafficLog& log, qint64 seq) {
    Line& entry = lines_[seq];
    const qsizetype length = log.lineLengthBySeq(seq);
    if (entry.layout && entry.length == length)
        return entry;
    entry.length = length;
    const QByteArray bytes = log.lineBySeq(seq);
    entry.layout =
        std::make_unique<QTextLayout>(ToDisplayText(bytes, markStyle_), style_.font, device_);
    entry.layout->setFormats(MarkRanges(bytes, style_.markColor));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    entry.layout->setTextOption(option);
    entry.layout->setCacheEnabled(true);
    int rows = 0;
    entry.layout->beginLayout();
    for (QTextLine row = entry.layout->createLine(); row.isValid();
         row = entry.layout->createLine()) {
        row.setLineWidth(style_.width);
        // Each row sits in the middle of its fixed pitch.
        row.setPosition(QPointF(0, rows * style_.pitch + (style_.pitch - row.height()) / 2));
        ++rows;
    }
    entry.layout->endLayout();
    entry.rows = std::max(rows, 1);
    return entry;
}

void LogLineLayouts::trim(quint64 mark) {
    if (lines_.size() <= kKeptLines)
        return;
    for (auto it = lines_.begin(); it != lines_.end();)
        it = it->second.used >= mark ? std::next(it) : lines_.erase(it);
}

} // namespace brixel
