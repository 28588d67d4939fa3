// The TCP endpoint's handlers: connect, disconnect, the role selector and the
// socket events.
#include "app/TForm1.h"

#include "app/MessageBoxes.h"
#include "app/SelectorGroup.h"
#include "app/ToolButton.h"
#include "link/FlowControl.h"
#include "presentation/ParseInt.h"

#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>

namespace brixel {

namespace {

enum SocketMode { kOff = 0, kClient = 1, kServer = 2 };
constexpr int kListenBacklog = 5;

// The connect action's failure: every step that fails ends the action with
// "Connection Error".
struct ConnectFailed {};

quint16 PortFromText(const QString& text) {
    qint32 value = 0;
    if (!ParseInt(text, value))
        throw ConnectFailed{};
    return quint16(value); // the port's low 16 bits, as typed
}

// Settings every socket of the bridge gets: small replies go out at once, and a
// socket holds at most one source buffer of unread data, so a reader that
// pauses leaves the rest in the kernel and the TCP window holds the sender back.
void PrepareSocket(QTcpSocket* socket) {
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->setReadBufferSize(kSourceBufferBytes);
}

} // namespace

void TForm1::WireTcpSockets() {
    PrepareSocket(ClientSocket1);
    connect(ClientSocket1, &QTcpSocket::connected, this, [this] {
        PrepareSocket(ClientSocket1);
        ClientSocket1Connect();
    });
    connect(ClientSocket1, &QTcpSocket::disconnected, this, &TForm1::ClientSocket1Disconnect);
    connect(ClientSocket1, &QTcpSocket::errorOccurred, this, &TForm1::ClientSocket1Error);
    connect(ClientSocket1, &QTcpSocket::readyRead, this, &TForm1::ClientSocket1Read);
    connect(ClientSocket1, &QTcpSocket::bytesWritten, this, &TForm1::ResumeSerialSource);
    connect(ServerSocket1, &QTcpServer::newConnection, this, &TForm1::AcceptServerConnections);
}

void TForm1::btnConnectClick() {
    if (tcpConnected) {
        btnConnect->setDown(true);
        return;
    }
    try {
        const int mode = grpTCPSocketType->itemIndex();
        if (mode == kClient) {
            const QString host = txbHost->text();
            const quint16 port = PortFromText(txbPort->text());
            if (ClientSocket1->state() == QAbstractSocket::UnconnectedState) {
                ClientSocket1->connectToHost(host, port, QIODevice::ReadWrite,
                                             QAbstractSocket::IPv4Protocol);
            } else if (host != ClientSocket1->peerName() || port != ClientSocket1->peerPort()) {
                // An attempt or a link is under way to another address.
                throw ConnectFailed{};
            }
            CloseComPort();
        } else if (mode == kServer) {
            CloseClient();
            qint32 value = 0;
            if (!ParseInt(txbPort->text(), value))
                throw ConnectFailed{};
            txbPort->setText(QString::number(value));
            const quint16 port = quint16(value);
            if (ServerSocket1->isListening()) {
                if (ServerSocket1->serverPort() != port)
                    throw ConnectFailed{}; // still listening on the old port
            } else {
                ServerSocket1->setListenBacklogSize(kListenBacklog);
                if (!ServerSocket1->listen(QHostAddress::AnyIPv4, port))
                    throw ConnectFailed{};
            }
            CloseComPort();
        } else {
            // Off: a serial-only monitor. The port is opened whatever comPortOn says.
            CloseClient();
            CloseServer();
            if (!OpenComPort())
                throw ConnectFailed{};
        }
        if (comPortOn && !OpenComPort())
            throw ConnectFailed{};
    } catch (const ConnectFailed&) {
        ShowPlainMessage(this, QStringLiteral("Connection Error"));
    }
}

void TForm1::btnDisconnectClick() {
    CloseClient();
    CloseComPort();
    CloseServer();
    imgConnectionStatus->setPixmap(bmpTcpOff);
    serverClientConnected = 0;
    tcpConnected = 0;
    // Nothing is connected now; the button must not go on showing a link.
    btnConnect->setDown(false);
}

void TForm1::grpTCPSocketTypeClick() {
    btnConnect->setText(grpTCPSocketType->itemIndex() == kServer ? QStringLiteral("TCP Listen")
                                                                 : QStringLiteral("TCP Connect"));
    btnConnect->setAccessibleName(btnConnect->text());
}

void TForm1::ClientSocket1Connect() {
    setStatusPanelText(0, QStringLiteral("Connected to Server"));
    imgConnectionStatus->setPixmap(bmpTcpOn);
    btnConnect->setDown(true);
    tcpConnected = 1;
}

void TForm1::ClientSocket1Disconnect() {
    setStatusPanelText(0, QStringLiteral("Disconnected from Server"));
    imgConnectionStatus->setPixmap(bmpTcpOff);
    btnConnect->setDown(false);
    tcpConnected = 0;
    // The serial port may have been held back for this connection.
    QMetaObject::invokeMethod(this, &TForm1::ResumeSerialSource, Qt::QueuedConnection);
}

void TForm1::ClientSocket1Error() {
    // Client errors are never reported in a box. A name that cannot be resolved
    // ends the attempt like a close; a refused or timed-out attempt changes
    // nothing; an error on an established link (a reset) ends it like a close.
    switch (ClientSocket1->error()) {
    case QAbstractSocket::HostNotFoundError:
        ClientSocket1->abort();
        ClientSocket1Disconnect();
        break;
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::SocketTimeoutError:
        if (ClientSocket1->state() != QAbstractSocket::ConnectedState)
            ClientSocket1->abort();
        break;
    default:
        // A reset or any other failure on the link: what the peer sent before it
        // is forwarded, then abort() (which drops what is left unread) emits
        // disconnected(), which runs the disconnect handler.
        if (ClientSocket1->state() == QAbstractSocket::ConnectedState) {
            ForwardTcpRx(ClientSocket1, true);
            ClientSocket1->abort();
        }
        break;
    }
}

void TForm1::AcceptServerConnections() {
    while (QTcpSocket* connection = ServerSocket1->nextPendingConnection()) {
        PrepareSocket(connection);
        serverConnections.append(connection);
        connect(connection, &QTcpSocket::readyRead, this,
                [this, connection] { ServerSocket1ClientRead(connection); });
        connect(connection, &QTcpSocket::bytesWritten, this, &TForm1::ResumeSerialSource);
        connect(connection, &QTcpSocket::disconnected, this,
                [this, connection] { ServerSocket1ClientDisconnect(connection); });
        // An error on an accepted connection (a reset, a failed send) ends that
        // connection through the disconnect path, after what the peer sent before
        // it has been forwarded; no box in the middle of a session.
        connect(connection, &QTcpSocket::errorOccurred, this, [this, connection] {
            if (connection->state() != QAbstractSocket::UnconnectedState) {
                ForwardTcpRx(connection, true);
                connection->abort();
            }
        });
        ServerSocket1ClientConnect(connection);
    }
}

void TForm1::ServerSocket1ClientConnect(QTcpSocket*) {
    setStatusPanelText(0, QStringLiteral("Client Connected"));
    imgConnectionStatus->setPixmap(bmpTcpOn);
    serverClientConnected = 1;
    btnConnect->setDown(true);
    tcpConnected = 1;
}

void TForm1::ServerSocket1ClientDisconnect(QTcpSocket* connection) {
    if (!serverConnections.removeOne(connection))
        return; // already ended
    connection->deleteLater();
    // The serial port may have been held back for this connection.
    QMetaObject::invokeMethod(this, &TForm1::ResumeSerialSource, Qt::QueuedConnection);
    // With other accepted clients still connected the link stays up: serial data
    // goes on to the oldest of them.
    if (!serverConnections.isEmpty())
        return;
    setStatusPanelText(0, QStringLiteral("Client Disconnected"));
    imgConnectionStatus->setPixmap(bmpTcpOff);
    serverClientConnected = 0;
    btnConnect->setDown(ClientSocket1->state() == QAbstractSocket::ConnectedState);
    tcpConnected = ClientSocket1->state() == QAbstractSocket::ConnectedState;
}

void TForm1::CloseClient() {
    // A connected client's close runs the disconnect handler; an attempt that
    // has not completed is cancelled.
    if (ClientSocket1->state() != QAbstractSocket::UnconnectedState)
        ClientSocket1->abort();
}

void TForm1::CloseServer() {
    ServerSocket1->close();
    // Each accepted connection ends through the client-disconnect path, so the
    // display never shows a link that is gone.
    const QList<QTcpSocket*> connections = serverConnections;
    for (QTcpSocket* connection : connections) {
        if (connection->state() != QAbstractSocket::UnconnectedState)
            connection->abort();                   // emits disconnected: the handler runs
        ServerSocket1ClientDisconnect(connection); // no effect when it already ran
    }
}

} // namespace brixel
