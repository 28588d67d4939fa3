#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace brixel {
class TForm1;
}

// Reads from a peer socket until `count` bytes arrived or time ran out, running
// the event loop meanwhile. Returns what arrived.
QByteArray ReadPeer(QTcpSocket* peer, qsizetype count, int timeoutMs = 5000);

// Whatever arrives within a short while: for checking that nothing was sent.
QByteArray SettlePeer(QTcpSocket* peer);

// A TCP server of the test's own on 127.0.0.1 and the connection it accepted
// from the window's client socket.
struct ClientPeer {
    std::unique_ptr<QTcpServer> server;
    QTcpSocket* socket = nullptr;
};

// Puts the window in Client mode, points it at a new peer server and presses
// "TCP Connect". Returns the peer once the window shows the link up, else a
// peer without socket.
ClientPeer ConnectWindowAsClient(brixel::TForm1& form);
