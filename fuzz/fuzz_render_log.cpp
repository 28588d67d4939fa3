// Received chunks rendered in an RX format and added to a traffic log with small
// bounds, the way the bridge feeds its logs: line feeds taken out, each chunk onto
// the top line or starting a new line (with or without a prefix), now and then a
// Clear. The first byte picks the format, the next three the log's bounds; then
// each chunk is one control byte (what to do, and the chunk's length) followed by
// its bytes.
//
// Checked: the rendering's length per format (String n, Binary 9n, Decimal 2n to
// 4n, Hex 3n) and that it reads back as the chunk; the log never passes its
// bounds; and its text, line by line, is what a plain list of lines kept by the
// same rules holds.
#include "FuzzCheck.h"
#include "presentation/ByteRendering.h"
#include "presentation/LogLineText.h"
#include "presentation/TrafficLog.h"

#include <QByteArray>
#include <QList>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <deque>

using namespace brixel;

namespace {

constexpr qint32 kFormats[] = {0, 1, 2, 3, -1, 4, 255, INT_MIN};

void checkRendering(const QByteArray& chunk, qint32 format, const QByteArray& text) {
    const qsizetype n = chunk.size();
    switch (format) {
    case 0:
        FUZZ_CHECK(text == chunk, "String is the chunk");
        break;
    case 1: {
        FUZZ_CHECK(text.size() == 9 * n, "Binary is 9n");
        for (qsizetype i = 0; i < n; ++i)
            FUZZ_CHECK(text.mid(9 * i, 9) == ByteToBinaryText(quint8(chunk[i])) + ' ',
                       "Binary reads back");
        break;
    }
    case 2: {
        FUZZ_CHECK(text.size() >= 2 * n && text.size() <= 4 * n, "Decimal is 2n..4n");
        const QList<QByteArray> fields = text.split(' ');
        FUZZ_CHECK(fields.size() == n + 1 && fields.back().isEmpty(), "a blank after each");
        for (qsizetype i = 0; i < n; ++i)
            FUZZ_CHECK(fields[i] == QByteArray::number(quint8(chunk[i])), "Decimal reads back");
        break;
    }
    case 3:
        FUZZ_CHECK(text.size() == 3 * n, "Hex is 3n");
        FUZZ_CHECK(QByteArray::fromHex(text) == chunk, "Hex reads back");
        FUZZ_CHECK(text.toUpper() == text, "upper-case digits");
        break;
    default:
        FUZZ_CHECK(text.isEmpty(), "an unknown format shows nothing");
        break;
    }
}

// The log as a plain list of lines, oldest first, kept by the documented rules.
class ModelLog {
public:
    ModelLog(qint64 capacity, qsizetype maxLineLength, qsizetype maxLines)
        : capacity_(std::max<qint64>(capacity, 1)),
          maxLineLength_(std::clamp<qsizetype>(maxLineLength, 1, qsizetype(capacity_))),
          maxLines_(std::max<qsizetype>(maxLines, 1)) {}

    void startLine(const QByteArray& text) {
        pushLine();
        write(text);
    }
    void appendToTop(const QByteArray& text) {
        if (lines_.empty())
            pushLine();
        write(text);
    }
    void clear() {
        firstSeq_ += qint64(lines_.size());
        lines_.clear();
        size_ = 0;
    }
    const std::deque<QByteArray>& lines() const { return lines_; }
    qint64 size() const { return size_; }
    qint64 firstSeq() const { return firstSeq_; }

private:
    void pushLine() {
        lines_.emplace_back();
        while (qsizetype(lines_.size()) > maxLines_)
            dropOldest();
    }
    void write(QByteArray text) {
        while (!text.isEmpty()) {
            if (lines_.back().size() >= maxLineLength_)
                pushLine();
            const qsizetype take = std::min(text.size(), maxLineLength_ - lines_.back().size());
            lines_.back() += text.left(take);
            size_ += take;
            text.remove(0, take);
            while (size_ > capacity_ && lines_.size() > 1)
                dropOldest();
        }
    }
    void dropOldest() {
        size_ -= lines_.front().size();
        lines_.pop_front();
        ++firstSeq_;
    }

    qint64 capacity_;
    qsizetype maxLineLength_;
    qsizetype maxLines_;
    std::deque<QByteArray> lines_;
    qint64 size_ = 0;
    qint64 firstSeq_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const qint32 format = kFormats[data[0] & 7];
    const qint64 capacity = qint64(data[1]) * 8; // 0 is kept as 1
    const qsizetype maxLineLength = data[2] % 80;
    const qsizetype maxLines = data[3] % 24;
    TrafficLog log(capacity, maxLineLength, maxLines);
    ModelLog model(capacity, maxLineLength, maxLines);
    const QByteArray prefix = FormatTimestampPrefix(QDateTime::fromMSecsSinceEpoch(0));

    size_t pos = 4;
    while (pos < size) {
        const uint8_t control = data[pos++];
        const size_t length = std::min<size_t>(control & 0x3f, size - pos);
        const QByteArray chunk(reinterpret_cast<const char*>(data + pos), qsizetype(length));
        pos += length;

        const QByteArray rendered = RenderRxChunk(chunk, format);
        checkRendering(chunk, format, rendered);
        const QByteArray text = RemoveLineFeeds(rendered);
        switch (control >> 6) {
        case 0:
            log.appendToTop(text);
            model.appendToTop(text);
            break;
        case 1:
            log.startLine(text);
            model.startLine(text);
            break;
        case 2:
            log.startLine(JoinPrefix(prefix, text));
            model.startLine(JoinPrefix(prefix, text));
            break;
        default:
            log.clear();
            model.clear();
            break;
        }
        FUZZ_CHECK(log.size() <= log.capacity(), "within capacity");
        FUZZ_CHECK(log.lineCount() <= log.maxLines(), "within the line count");
        FUZZ_CHECK(log.size() == model.size(), "characters held");
        FUZZ_CHECK(log.lineCount() == int(model.lines().size()), "lines held");
        FUZZ_CHECK(log.oldestSeq() == model.firstSeq(), "sequence numbers");
        if (log.lineCount() > 0)
            FUZZ_CHECK(log.lineLength(0) <= log.maxLineLength(), "top line within its length");
    }

    QByteArray expected;
    const auto& lines = model.lines();
    for (size_t k = lines.size(); k-- > 0;) {
        const int i = int(lines.size() - 1 - k);
        FUZZ_CHECK(log.line(i) == lines[k], "each line");
        FUZZ_CHECK(log.lineBySeq(model.firstSeq() + qint64(k)) == lines[k], "each line by seq");
        expected += lines[k];
        if (k > 0)
            expected += "\r\n";
    }
    FUZZ_CHECK(log.text() == expected, "the whole text");
    FUZZ_CHECK(log.line(log.lineCount()).isEmpty() && log.line(-1).isEmpty(), "outside is empty");
    return 0;
}
