// The TCP endpoint's handlers: connect, disconnect, the role selector and the
// socket events.
#include "app/TForm1.h"

namespace brixel {

void TForm1::btnConnectClick() {}
void TForm1::btnDisconnectClick() {}
void TForm1::grpTCPSocketTypeClick() {}
void TForm1::ClientSocket1Connect() {}
void TForm1::ClientSocket1Disconnect() {}
void TForm1::ClientSocket1Error() {}
void TForm1::ServerSocket1ClientConnect(QTcpSocket*) {}
void TForm1::ServerSocket1ClientDisconnect(QTcpSocket*) {}

} // namespace brixel
