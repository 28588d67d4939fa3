// The traffic logs: rendering format, line grouping, timestamps, Clear and the
// RX timeout field.
#include "app/TForm1.h"

#include "presentation/LogView.h"

namespace brixel {

void TForm1::rdIncomingFormatClick() {}
void TForm1::AppendLogText(LogView*, const QByteArray&) {}
void TForm1::StartLogLine(LogView*, const QByteArray&) {}
QByteArray TForm1::TimestampPrefix() const {
    return {};
}
void TForm1::SetLogLineSpacing(LogView*, double) {}
void TForm1::spnTimeoutChange() {}
void TForm1::btnResetTimeoutClick() {}
void TForm1::btnClearMsgClick() {}
void TForm1::chkShowDateTimeClick() {}

} // namespace brixel
