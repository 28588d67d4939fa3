#include "support/TcpPeer.h"

#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>

QByteArray ReadPeer(QTcpSocket* peer, qsizetype count, int timeoutMs) {
    QByteArray out = peer->readAll();
    QDeadlineTimer deadline(timeoutMs);
    while (out.size() < count && !deadline.hasExpired()) {
        peer->waitForReadyRead(20);
        QCoreApplication::processEvents();
        out += peer->readAll();
    }
    return out;
}

QByteArray SettlePeer(QTcpSocket* peer) {
    QTest::qWait(100);
    return peer->readAll();
}

ClientPeer ConnectWindowAsClient(brixel::TForm1& form) {
    ClientPeer peer;
    peer.server = std::make_unique<QTcpServer>();
    if (!peer.server->listen(QHostAddress::LocalHost, 0))
        return peer;
    form.grpTCPSocketType->setItemIndex(1);
    form.txbHost->setText(QStringLiteral("127.0.0.1"));
    form.txbPort->setText(QString::number(peer.server->serverPort()));
    form.btnConnect->click();
    if (!peer.server->waitForNewConnection(5000))
        return peer;
    peer.socket = peer.server->nextPendingConnection();
    QDeadlineTimer deadline(5000);
    while (!form.tcpConnected && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!form.tcpConnected)
        peer.socket = nullptr;
    return peer;
}
