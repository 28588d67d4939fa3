#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>
#include <memory>

namespace brixel {

// The text of one traffic log, free of any widget: lines of 8-bit text, newest
// on top, kept as bytes. Every operation costs the same whatever the log holds:
// adding to the top line or starting a line touches only the new text, and the
// log stays within its bounds by dropping its oldest lines.
//
// Bounds: a line holds at most maxLineLength() characters; text past that goes
// on in a new line (without a timestamp: it belongs to the same group). The log
// holds at most capacity() characters and maxLines() lines, dropping its oldest
// lines first when either is passed.
//
// Lines have sequence numbers that only grow, so a view can keep track of a line
// while newer ones arrive on top and older ones are dropped below it.
class TrafficLog {
public:
    static constexpr qsizetype kDefaultMaxLineLength = 4096;
    static constexpr qint64 kDefaultCapacity = qint64(64) << 20; // 64 MiB of text
    static constexpr qsizetype kDefaultMaxLines = qsizetype(1) << 21;

    explicit TrafficLog(qint64 capacity = kDefaultCapacity,
                        qsizetype maxLineLength = kDefaultMaxLineLength,
                        qsizetype maxLines = kDefaultMaxLines);
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    // ---- Reading, line 0 = the newest (top) line ------------------------------
    int lineCount() const { return int(starts_.size()); }
    QByteArray line(int i) const;
    qsizetype lineLength(int i) const;
    // The whole log: lines newest first, joined by CR LF, as stored (zero bytes too).
    QByteArray text() const;
    qint64 size() const { return end_ - begin_; } // characters held

    // ---- Sequence numbers ----------------------------------------------------
    // Oldest and newest line held; when empty, newestSeq() == oldestSeq() - 1.
    qint64 oldestSeq() const { return firstSeq_; }
    qint64 newestSeq() const { return firstSeq_ + qint64(starts_.size()) - 1; }
    int indexOfSeq(qint64 seq) const { return int(newestSeq() - seq); }
    QByteArray lineBySeq(qint64 seq) const;
    qsizetype lineLengthBySeq(qint64 seq) const;

    // ---- Writing -------------------------------------------------------------
    void startLine(const QByteArray& text);   // a new top line
    void appendToTop(const QByteArray& text); // onto the top line (a new one when empty)
    void clear();

    // ---- Bounds --------------------------------------------------------------
    // Empties the log and gives it new bounds.
    void setBounds(qint64 capacity, qsizetype maxLineLength, qsizetype maxLines);
    qint64 capacity() const { return capacity_; }
    qsizetype maxLineLength() const { return maxLineLength_; }
    qsizetype maxLines() const { return maxLines_; }
    // Bytes of memory the text and the line index take, for measuring.
    qint64 memoryBytes() const;

private:
    void pushLineStart();
    void write(const char* data, qsizetype n); // onto the top line, splitting at the limit
    void copyBytes(qint64 from, qint64 to, char* out) const;
    void dropOldest();
    void releaseBlocksBefore(qint64 pos);

    qint64 capacity_ = kDefaultCapacity;
    qsizetype maxLineLength_ = kDefaultMaxLineLength;
    qsizetype maxLines_ = kDefaultMaxLines;

    // Text: a run of bytes at absolute positions begin_..end_, kept in fixed-size
    // blocks; blocks_.front() starts at blockBase_.
    std::deque<std::unique_ptr<char[]>> blocks_;
    std::unique_ptr<char[]> spare_; // one freed block, reused before allocating
    qint64 blockBase_ = 0;
    qint64 begin_ = 0;
    qint64 end_ = 0;

    std::deque<qint64> starts_; // absolute start of each line, oldest first
    qint64 firstSeq_ = 0;       // sequence number of starts_.front()
};

} // namespace brixel
