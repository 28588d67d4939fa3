#include "presentation/TrafficLog.h"

#include <algorithm>
#include <cstring>

namespace brixel {

namespace {
constexpr qint64 kBlockSize = qint64(1) << 16;
} // namespace

TrafficLog::TrafficLog(qint64 capacity, qsizetype maxLineLength, qsizetype maxLines) {
    setBounds(capacity, maxLineLength, maxLines);
}

void TrafficLog::setBounds(qint64 capacity, qsizetype maxLineLength, qsizetype maxLines) {
    clear();
    // A line never outgrows the whole log, so the top line always fits.
    capacity_ = std::max<qint64>(capacity, 1);
    maxLineLength_ = std::clamp<qsizetype>(maxLineLength, 1, qsizetype(capacity_));
    maxLines_ = std::max<qsizetype>(maxLines, 1);
}

TrafficLog::~TrafficLog() = default;

QByteArray TrafficLog::line(int i) const {
    return lineBySeq(newestSeq() - i);
}

qsizetype TrafficLog::lineLength(int i) const {
    return lineLengthBySeq(newestSeq() - i);
}

qsizetype TrafficLog::lineLengthBySeq(qint64 seq) const {
    if (seq < firstSeq_ || seq > newestSeq())
        return 0;
    const size_t k = size_t(seq - firstSeq_);
    const qint64 from = starts_[k];
    const qint64 to = k + 1 < starts_.size() ? starts_[k + 1] : end_;
    return qsizetype(to - from);
}

QByteArray TrafficLog::lineBySeq(qint64 seq) const {
    if (seq < firstSeq_ || seq > newestSeq())
        return {};
    const size_t k = size_t(seq - firstSeq_);
    const qint64 from = starts_[k];
    const qint64 to = k + 1 < starts_.size() ? starts_[k + 1] : end_;
    QByteArray out(qsizetype(to - from), Qt::Uninitialized);
    copyBytes(from, to, out.data());
    return out;
}

QByteArray TrafficLog::text() const {
    if (starts_.empty())
        return {};
    QByteArray out(qsizetype(size() + 2 * qint64(starts_.size() - 1)), Qt::Uninitialized);
    char* p = out.data();
    qint64 to = end_;
    for (size_t k = starts_.size(); k-- > 0;) {
        const qint64 from = starts_[k];
        copyBytes(from, to, p);
        p += to - from;
        if (k > 0) {
            *p++ = '\r';
            *p++ = '\n';
        }
        to = from;
    }
    return out;
}

void TrafficLog::startLine(const QByteArray& text) {
    pushLineStart();
    write(text.constData(), text.size());
}

void TrafficLog::appendToTop(const QByteArray& text) {
    if (starts_.empty())
        pushLineStart();
    write(text.constData(), text.size());
}

void TrafficLog::clear() {
    firstSeq_ += qint64(starts_.size());
    std::deque<qint64>().swap(starts_);
    blocks_.clear();
    spare_.reset();
    begin_ = end_;
    blockBase_ = end_;
}

qint64 TrafficLog::memoryBytes() const {
    const qint64 blocks = qint64(blocks_.size()) + (spare_ ? 1 : 0);
    // std::deque keeps its elements in nodes of 512 bytes.
    const qint64 indexNodes = (qint64(starts_.size()) * qint64(sizeof(qint64)) + 511) / 512;
    return blocks * kBlockSize + indexNodes * 512;
}

void TrafficLog::pushLineStart() {
    starts_.push_back(end_);
    while (qsizetype(starts_.size()) > maxLines_)
        dropOldest();
}

void TrafficLog::write(const char* data, qsizetype n) {
    while (n > 0) {
        qsizetype room = maxLineLength_ - qsizetype(end_ - starts_.back());
        if (room <= 0) {
            // The line is full: the text goes on in a new line of the same group.
            pushLineStart();
            room = maxLineLength_;
        }
        const qsizetype take = std::min(n, room);
        qsizetype left = take;
        while (left > 0) {
            const qint64 offset = end_ - blockBase_;
            const size_t block = size_t(offset / kBlockSize);
            if (block == blocks_.size())
                blocks_.push_back(spare_ ? std::move(spare_)
                                         : std::make_unique<char[]>(kBlockSize));
            const qint64 inBlock = offset % kBlockSize;
            const qsizetype part = qsizetype(std::min<qint64>(left, kBlockSize - inBlock));
            std::memcpy(blocks_[block].get() + inBlock, data, size_t(part));
            data += part;
            left -= part;
            end_ += part;
        }
        n -= take;
        while (size() > capacity_ && starts_.size() > 1)
            dropOldest();
    }
}

void TrafficLog::copyBytes(qint64 from, qint64 to, char* out) const {
    while (from < to) {
        const qint64 offset = from - blockBase_;
        const qint64 inBlock = offset % kBlockSize;
        const qint64 part = std::min(to - from, kBlockSize - inBlock);
        std::memcpy(out, blocks_[size_t(offset / kBlockSize)].get() + inBlock, size_t(part));
        out += part;
        from += part;
    }
}

void TrafficLog::dropOldest() {
    starts_.pop_front();
    ++firstSeq_;
    begin_ = starts_.empty() ? end_ : starts_.front();
    releaseBlocksBefore(begin_);
}

void TrafficLog::releaseBlocksBefore(qint64 pos) {
    while (!blocks_.empty() && pos - blockBase_ >= kBlockSize) {
        if (!spare_)
            spare_ = std::move(blocks_.front());
        blocks_.pop_front();
        blockBase_ += kBlockSize;
    }
}

} // namespace brixel
