// The traffic logs: rendering format, line grouping, timestamps, Clear and the
// RX timeout field.
#include "app/TForm1.h"

#include "app/SelectorGroup.h"
#include "app/SpinField.h"
#include "presentation/LogLineText.h"
#include "presentation/LogView.h"

#include <QCheckBox>
#include <QRegularExpression>
#include <cmath>

namespace brixel {

namespace {
constexpr qint32 kDefaultTimeoutMs = 200;
constexpr qint32 kLongestTimeoutMs = 10000;
} // namespace

void TForm1::rdIncomingFormatClick() {
    rxFormat = rdIncomingFormat->itemIndex();
}

// Adds one received chunk's display text to `log`. Within rxTimeoutMs of the
// previous append to the same log it goes onto the top line; after a longer pause
// (or into an empty log) it starts a new line. Each log keeps its own time.
void TForm1::AppendLogText(LogView* log, const QByteArray& text) {
    if (!log)
        return;
    const QDateTime now = clock_();
    const QByteArray kept = RemoveLineFeeds(text);
    QDateTime& last = log == redtComPortMsg ? lastComLogTime : lastTcpLogTime;
    if (LogGapMs(last, now) > rxTimeoutMs || log->lineCount() == 0)
        StartLogLine(log, kept);
    else
        log->appendToTopLine(kept);
    last = now;
}

void TForm1::StartLogLine(LogView* log, const QByteArray& text) {
    const QByteArray prefix = showTimestamp ? TimestampPrefix() : QByteArray();
    log->startLine(JoinPrefix(prefix, text));
    log->moveCaretToStart();
}

QByteArray TForm1::TimestampPrefix() const {
    return FormatTimestampPrefix(clock_());
}

// A fixed line pitch of 240 x factor twips (18 points for 1.5), whatever the font.
void TForm1::SetLogLineSpacing(LogView* log, double factor) {
    if (!log || !(factor > 0.0))
        return;
    const double twips = std::min(std::trunc(240.0 * factor), 1.0e6);
    log->setLinePitch(twips / 20.0);
}

void TForm1::spnTimeoutChange() {
    const QString text = spnTimeout->cleanText();
    if (text.isEmpty())
        return;
    // The field lets any signed whole number be typed; a lone sign reads as 0.
    static const QRegularExpression wholeNumber(QStringLiteral("^\\s*([+-]?)([0-9]+)\\s*$"));
    const QRegularExpressionMatch match = wholeNumber.match(text);
    qint64 value = 0;
    if (match.hasMatch()) {
        bool ok = false;
        value = match.captured(2).toLongLong(&ok);
        if (!ok)
            value = kLongestTimeoutMs + 1; // too many digits: far too long anyway
        if (match.captured(1) == QLatin1String("-"))
            value = -value;
    }
    if (value < 0)
        value = kDefaultTimeoutMs;
    if (value > kLongestTimeoutMs)
        value = kLongestTimeoutMs;
    rxTimeoutMs = qint32(value);
}

void TForm1::btnResetTimeoutClick() {
    spnTimeout->setValue(kDefaultTimeoutMs);
    rxTimeoutMs = kDefaultTimeoutMs;
}

// The last-append times stay: with both logs empty, the next chunk of each starts
// a new line whatever the gap.
void TForm1::btnClearMsgClick() {
    redtComPortMsg->clear();
    redtTCPIPMsg->clear();
}

void TForm1::chkShowDateTimeClick() {
    showTimestamp = chkShowDateTime->isChecked() ? 1 : 0;
}

} // namespace brixel
