#pragma once

#include "presentation/LogGlyphs.h"

#include <QColor>
#include <QFont>
#include <QTextLayout>
#include <memory>
#include <unordered_map>

class QPaintDevice;

namespace brixel {

class TrafficLog;

// The lines of a log laid out for painting: wrapped at a width, one row per line
// pitch, bytes without a glyph marked in a colour of their own. Only lines that
// are asked for are laid out, and a line is laid out again only when its length
// has changed (only the newest line ever grows).
class LogLineLayouts {
public:
    struct Style {
        QFont font;
        qreal pitch = 16;  // pixels from one row to the next
        qreal width = 100; // pixels available to a row
        QColor markColor;
        bool operator==(const Style&) const = default;
    };
    struct Line {
        qsizetype length = -1;
        int rows = 1;
        quint64 used = 0;
        std::unique_ptr<QTextLayout> layout;
    };

    LogLineLayouts();
    ~LogLineLayouts();

    // A new style forgets every laid-out line.
    void setStyle(const Style& style, QPaintDevice* device);
    const Style& style() const { return style_; }
    MarkStyle markStyle() const { return markStyle_; }

    Line& line(const TrafficLog& log, qint64 seq);
    void clear() { lines_.clear(); }
    // Forgets the lines not used since `mark` once more than a few are kept.
    void trim(quint64 mark);

private:
    Style style_;
    MarkStyle markStyle_ = MarkStyle::ControlPictures;
    QPaintDevice* device_ = nullptr;
    std::unordered_map<qint64, Line> lines_;
};

} // namespace brixel
