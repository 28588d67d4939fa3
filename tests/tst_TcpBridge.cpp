// The TCP endpoint and the bridge end to end: the real window against real TCP
// peers on 127.0.0.1 and a pseudo-terminal playing the serial device.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/SerialSettings.h"
#include "presentation/LogView.h"
#include "support/ModalWatcher.h"
#include "support/PtyPair.h"
#include "support/TcpPeer.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

using namespace brixel;

namespace {

enum Mode { kOff = 0, kClient = 1, kServer = 2 };

} // namespace

class TestTcpBridge : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clientModeBridgesBothWays();
    void serverModeWithTwoClients();
    void offModeIsASerialOnlyMonitor();
    void loneBlankIsForwardedNotLogged();
    void portTexts_data();
    void portTexts();
    void connectionErrors();
    void connectWhileConnectedOnlyKeepsButtonDown();
    void peerResetEndsClientLink();
    void disconnectLeavesNothingShownAsUp();
    void roleSelectorSetsCaption();

private:
    void selectMode(int mode) { form_->grpTCPSocketType->setItemIndex(mode); }
    QString box(int i) const { return watcher_->seen().value(i).text; }

    std::unique_ptr<WorkingDir> dir_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModalWatcher> watcher_;
    std::unique_ptr<PtyPair> pty_;
};

void TestTcpBridge::init() {
    dir_ = std::make_unique<WorkingDir>();
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->showTimestamp = 0;
    watcher_ = std::make_unique<ModalWatcher>();
    pty_ = std::make_unique<PtyPair>();
    QVERIFY(pty_->isOpen());
    form_->comSettings.port = pty_->slavePath();
}

void TestTcpBridge::cleanup() {
    form_.reset();
    watcher_.reset();
    pty_.reset();
    dir_.reset();
}

void TestTcpBridge::clientModeBridgesBothWays() {
    QTcpServer peerServer;
    QVERIFY(peerServer.listen(QHostAddress::LocalHost, 0));
    selectMode(kClient);
    form_->txbHost->setText(QStringLiteral("127.0.0.1"));
    form_->txbPort->setText(QString::number(peerServer.serverPort()));
    form_->btnComPortOn->click();
    QVERIFY(form_->ComPort1->isOpen());
    form_->btnConnect->click();
    QVERIFY(peerServer.waitForNewConnection(5000));
    QTcpSocket* peer = peerServer.nextPendingConnection();
    QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Connected to Server"));
    QCOMPARE(form_->tcpConnected, 1);
    QVERIFY(form_->btnConnect->isDown());
    QCOMPARE(form_->imgConnectionStatus->pixmap().toImage(), form_->bmpTcpOn.toImage());
    // The connect closed and reopened the serial port, as comPortOn asks.
    QVERIFY(form_->ComPort1->isOpen());

    const QByteArray toSerial("A\0B\r\n\xff", 6);
    peer->write(toSerial);
    QCOMPARE(pty_->readMaster(toSerial.size()), toSerial);
    QTRY_COMPARE(form_->redtTCPIPMsg->text(), QByteArray("A\0B\r\xff", 5));

    form_->rdIncomingFormat->setItemIndex(3);
    QVERIFY(pty_->writeMaster(QByteArray("\x01\x02", 2)));
    QCOMPARE(ReadPeer(peer, 2), QByteArray("\x01\x02", 2));
    QTRY_COMPARE(form_->redtComPortMsg->text(), QByteArray("01 02 "));

    peer->close();
    QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Disconnected from Server"));
    QCOMPARE(form_->tcpConnected, 0);
    QVERIFY(!form_->btnConnect->isDown());
    QCOMPARE(form_->imgConnectionStatus->pixmap().toImage(), form_->bmpTcpOff.toImage());
}

void TestTcpBridge::serverModeWithTwoClients() {
    selectMode(kServer);
    form_->txbPort->setText(QStringLiteral("0"));
    form_->btnConnect->click();
    QCOMPARE(watcher_->seen().size(), 0);
    QVERIFY(form_->ServerSocket1->isListening());
    QCOMPARE(form_->ServerSocket1->serverAddress(), QHostAddress(QHostAddress::AnyIPv4));
    const quint16 port = form_->ServerSocket1->serverPort();
    QVERIFY(form_->OpenComPort());

    QTcpSocket first, second;
    first.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(form_->serverConnections.size(), 1);
    second.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(form_->serverConnections.size(), 2);
    QCOMPARE(form_->statusPanelText(0), QStringLiteral("Client Connected"));
    QCOMPARE(form_->serverClientConnected, 1);

    // Serial data goes to the client that connected first; both clients' data
    // reaches the serial port.
    QVERIFY(pty_->writeMaster("one"));
    QCOMPARE(ReadPeer(&first, 3), QByteArray("one"));
    second.write("from-second");
    QCOMPARE(pty_->readMaster(11), QByteArray("from-second"));
    first.write("from-first");
    QCOMPARE(pty_->readMaster(10), QByteArray("from-first"));

    // The first leaves: the link stays up and serial data goes on to the second.
    first.close();
    QTRY_COMPARE(form_->serverConnections.size(), 1);
    QCOMPARE(form_->serverClientConnected, 1);
    QCOMPARE(form_->tcpConnected, 1);
    QVERIFY(form_->btnConnect->isDown());
    QCOMPARE(form_->imgConnectionStatus->pixmap().toImage(), form_->bmpTcpOn.toImage());
    QVERIFY(pty_->writeMaster("two"));
    QCOMPARE(ReadPeer(&second, 3), QByteArray("two"));

    second.close();
    QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Client Disconnected"));
    QCOMPARE(form_->serverClientConnected, 0);
    QCOMPARE(form_->tcpConnected, 0);
    QVERIFY(!form_->btnConnect->isDown());
    QVERIFY(form_->ServerSocket1->isListening());
}

void TestTcpBridge::offModeIsASerialOnlyMonitor() {
    selectMode(kOff);
    QCOMPARE(form_->comPortOn, 0);
    form_->btnConnect->click();
    QVERIFY(form_->ComPort1->isOpen());
    QCOMPARE(form_->comPortOn, 0);
    QVERIFY(pty_->writeMaster("monitor"));
    QTRY_COMPARE(form_->redtComPortMsg->text(), QByteArray("monitor"));
    form_->btnDisconnect->click();
    QVERIFY(!form_->ComPort1->isOpen());
}

void TestTcpBridge::loneBlankIsForwardedNotLogged() {
    const ClientPeer client = ConnectWindowAsClient(*form_);
    QTcpSocket* peer = client.socket;
    QVERIFY(peer);
    QVERIFY(form_->OpenComPort());

    QVERIFY(pty_->writeMaster(" "));
    QCOMPARE(ReadPeer(peer, 1), QByteArray(" "));
    QCOMPARE(form_->redtComPortMsg->lineCount(), 0);

    form_->rdIncomingFormat->setItemIndex(3);
    QVERIFY(pty_->writeMaster(" "));
    QCOMPARE(ReadPeer(peer, 1), QByteArray(" "));
    QTRY_COMPARE(form_->redtComPortMsg->text(), QByteArray("20 "));
}

void TestTcpBridge::portTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("listens");
    QTest::addColumn<QString>("fieldAfter");
    QTest::addColumn<int>("port");
    QTcpServer probe; // a port that is free now
    QVERIFY(probe.listen(QHostAddress::AnyIPv4, 0));
    const int free = probe.serverPort();
    probe.close();
    const QString decimal = QString::number(free);
    QTest::newRow("hex") << QStringLiteral("0x%1").arg(free, 0, 16) << true << decimal << free;
    QTest::newRow("dollar") << QStringLiteral("$%1").arg(free, 0, 16).toUpper() << true << decimal
                            << free;
    QTest::newRow("leading blank") << QStringLiteral(" ") + decimal << true << decimal << free;
    QTest::newRow("low 16 bits") << QString::number(free + 65536) << true
                                 << QString::number(free + 65536) << free;
    QTest::newRow("trailing blank")
        << decimal + QStringLiteral(" ") << false << decimal + QStringLiteral(" ") << 0;
    QTest::newRow("empty") << QString() << false << QString() << 0;
}

void TestTcpBridge::portTexts() {
    QFETCH(QString, typed);
    QFETCH(bool, listens);
    QFETCH(QString, fieldAfter);
    QFETCH(int, port);
    selectMode(kServer);
    form_->txbPort->setText(typed);
    form_->btnConnect->click();
    QCOMPARE(form_->ServerSocket1->isListening(), listens);
    QCOMPARE(form_->txbPort->text(), fieldAfter);
    if (listens) {
        QCOMPARE(watcher_->seen().size(), 0);
        QCOMPARE(int(form_->ServerSocket1->serverPort()), port);
    } else {
        QCOMPARE(watcher_->seen().size(), 1);
        QCOMPARE(box(0), QStringLiteral("Connection Error"));
        QCOMPARE(watcher_->seen()[0].title, QStringLiteral("Brixel"));
    }
}

void TestTcpBridge::connectionErrors() {
    // A port text that is not a number, in Client mode.
    selectMode(kClient);
    form_->txbPort->setText(QStringLiteral("abc"));
    form_->btnConnect->click();
    QCOMPARE(box(0), QStringLiteral("Connection Error"));

    // A port already in use, in Server mode.
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::AnyIPv4, 0));
    selectMode(kServer);
    form_->txbPort->setText(QString::number(holder.serverPort()));
    form_->btnConnect->click();
    QCOMPARE(box(1), QStringLiteral("Connection Error"));
    QVERIFY(!form_->ServerSocket1->isListening());

    // A serial port that cannot be opened.
    form_->comSettings.port = dir_->file(QStringLiteral("no-such-port"));
    selectMode(kOff);
    form_->btnConnect->click();
    QCOMPARE(box(2), QStringLiteral("Connection Error"));
    QCOMPARE(watcher_->seen().size(), 3);
}

void TestTcpBridge::connectWhileConnectedOnlyKeepsButtonDown() {
    selectMode(kServer);
    form_->txbPort->setText(QStringLiteral("0"));
    form_->btnConnect->click();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, form_->ServerSocket1->serverPort());
    QTRY_COMPARE(form_->tcpConnected, 1);
    form_->btnConnect->setDown(false);
    form_->txbPort->setText(QStringLiteral("abc"));
    form_->btnConnect->click();
    QVERIFY(form_->btnConnect->isDown());
    QCOMPARE(watcher_->seen().size(), 0);
    QVERIFY(!form_->ComPort1->isOpen());
}

void TestTcpBridge::peerResetEndsClientLink() {
    const ClientPeer client = ConnectWindowAsClient(*form_);
    QTcpSocket* peer = client.socket;
    QVERIFY(peer);
    // Unread data in the peer makes its close a reset.
    form_->ClientSocket1->write("unread");
    QTRY_VERIFY(peer->bytesAvailable() > 0);
    peer->setSocketOption(QAbstractSocket::KeepAliveOption, 0);
    peer->abort();
    QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Disconnected from Server"));
    QCOMPARE(form_->tcpConnected, 0);
    QCOMPARE(watcher_->seen().size(), 0);
}

void TestTcpBridge::disconnectLeavesNothingShownAsUp() {
    selectMode(kServer);
    form_->txbPort->setText(QStringLiteral("0"));
    form_->btnConnect->click();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, form_->ServerSocket1->serverPort());
    QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Client Connected"));
    form_->btnDisconnect->click();
    QVERIFY(!form_->ServerSocket1->isListening());
    QVERIFY(form_->statusPanelText(0) != QStringLiteral("Client Connected"));
    QVERIFY(!form_->btnConnect->isDown());
    QCOMPARE(form_->imgConnectionStatus->pixmap().toImage(), form_->bmpTcpOff.toImage());
    QCOMPARE(form_->tcpConnected, 0);
    QCOMPARE(form_->serverClientConnected, 0);
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

void TestTcpBridge::roleSelectorSetsCaption() {
    const struct {
        int mode;
        const char* caption;
    } cases[] = {{kServer, "TCP Listen"}, {kClient, "TCP Connect"}, {kOff, "TCP Connect"}};
    for (const auto& c : cases) {
        form_->grpTCPSocketType->button(c.mode)->click();
        QCOMPARE(form_->btnConnect->text(), QLatin1String(c.caption));
    }
}

BRIXEL_TEST_MAIN(TestTcpBridge)
#include "tst_TcpBridge.moc"
