// Faults on the two links while the bridge is busy, with the real window, real
// TCP peers on 127.0.0.1 and pseudo-terminals: the serial device vanishing, the
// TCP peer resetting or closing with data still on its way, a server port that is
// taken, a serial port held by another process. For each: the state the program
// is documented to show, no box where none belongs, and no byte that reached the
// program lost from the logs or from the side that is still there.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/FlowControl.h"
#include "presentation/LogView.h"
#include "support/ModalWatcher.h"
#include "support/PtyPair.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace brixel;

namespace {

enum Mode { kOff = 0, kClient = 1, kServer = 2 };
enum class Peer { Client, Accepted };

constexpr qsizetype kPiece = 64 * 1024;
// More than the program and the kernel hold between the two ends, so that a
// sender is still sending when a fault strikes.
constexpr qsizetype kStreamBytes = 16 * 1024 * 1024;

// A seeded stream without line feeds: the logs drop those, so a log's lines,
// oldest first and without timestamps, give the stream back byte for byte.
QByteArray streamBytes(qsizetype size, quint32 seed) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(out.data()), size / 4);
    return out.replace('\n', 'n');
}

// What a log holds, oldest line first, as one run of bytes.
QByteArray logStream(const LogView* log) {
    QByteArray out;
    out.reserve(log->log().size());
    for (int i = log->lineCount() - 1; i >= 0; --i)
        out += log->line(i);
    return out;
}

qint64 logged(const LogView* log) {
    return log->log().size();
}

// The two ends of the bridge as the test plays them: a TCP peer and the serial
// device. Each sends its whole stream as fast as the bridge takes it and reads
// what arrives, unless told to hold off.
struct Ends {
    QTcpSocket* peer = nullptr;
    PtyPair* device = nullptr;
    QByteArray toSerial = streamBytes(kStreamBytes, 1);
    QByteArray toTcp = streamBytes(kStreamBytes, 2);
    qsizetype sentToSerial = 0, sentToTcp = 0;
    QByteArray atSerial, atPeer;
    bool deviceReads = true, peerReads = true;

    void step() {
        if (peer && peer->state() == QAbstractSocket::ConnectedState &&
            sentToSerial < toSerial.size() && peer->bytesToWrite() < kPiece) {
            const qsizetype n = qMin(kPiece, toSerial.size() - sentToSerial);
            peer->write(toSerial.constData() + sentToSerial, n);
            sentToSerial += n;
        }
        if (device && device->isOpen() && sentToTcp < toTcp.size()) {
            const ssize_t n = ::write(device->masterFd(), toTcp.constData() + sentToTcp,
                                      size_t(qMin(kPiece, toTcp.size() - sentToTcp)));
            if (n > 0)
                sentToTcp += n;
        }
        if (device && deviceReads)
            atSerial += device->drainMaster();
        if (peer && peerReads)
            atPeer += peer->readAll();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }

    template <typename Done> bool runUntil(Done done, int timeoutMs = 60000) {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            step();
        }
        return true;
    }
};

// The port a listener of another program holds, bound without address reuse.
class PortHolder {
public:
    explicit PortHolder(quint32 address) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(address);
        socklen_t len = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd_, 1) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        port_ = ntohs(a.sin_port);
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;
    quint16 port() const { return port_; }
    void release() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};

constexpr char kHoldPortVariable[] = "BRIXEL_TEST_HOLD_SERIAL_PORT";

// Run as the other process: opens the serial port as any Qt program does (lock
// file, exclusive use), says "held", and keeps it until its input closes.
int holdSerialPort(int argc, char** argv, const char* port) {
    QCoreApplication app(argc, argv);
    QSerialPort serial;
    serial.setPortName(QString::fromLocal8Bit(port));
    if (!serial.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "cannot hold %s: %s\n", port, qPrintable(serial.errorString()));
        return 2;
    }
    std::puts("held");
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(Peer)

class TestFaultsLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void serialVanishesWhileBothWaysAreHeldUp();
    void peerResetsWhileBothWaysAreHeldUp_data();
    void peerResetsWhileBothWaysAreHeldUp();
    void peerClosesWithDataStillOnItsWay_data();
    void peerClosesWithDataStillOnItsWay();
    void serverPortInUse_data();
    void serverPortInUse();
    void serialPortHeldByAnotherProcess();

private:
    // Brings the link up with the serial port open and `peer_` connected.
    void connectBridge(Peer kind);
    QString box(int i) const { return watcher_->seen().value(i).text; }
    // Both of the bridge's sources hold all they may: the bridge has stopped
    // taking data from them, and their senders are held back.
    bool bothSourcesFull(const QTcpSocket* connection) const {
        return connection->bytesAvailable() >= kSourceBufferBytes &&
               form_->ComPort1->bytesAvailable() >= kSourceBufferBytes;
    }

    std::unique_ptr<WorkingDir> dir_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModalWatcher> watcher_;
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<QTcpServer> peerServer_;
    std::unique_ptr<QTcpSocket> ownPeer_;
    QTcpSocket* peer_ = nullptr;
};

void TestFaultsLink::init() {
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

void TestFaultsLink::cleanup() {
    form_.reset();
    watcher_.reset();
    ownPeer_.reset();
    peerServer_.reset();
    peer_ = nullptr;
    pty_.reset();
    dir_.reset();
}

void TestFaultsLink::connectBridge(Peer kind) {
    form_->btnComPortOn->click();
    QVERIFY(form_->ComPort1->isOpen());
    if (kind == Peer::Client) {
        peerServer_ = std::make_unique<QTcpServer>();
        QVERIFY(peerServer_->listen(QHostAddress::LocalHost, 0));
        form_->grpTCPSocketType->setItemIndex(kClient);
        form_->txbHost->setText(QStringLiteral("127.0.0.1"));
        form_->txbPort->setText(QString::number(peerServer_->serverPort()));
        form_->btnConnect->click();
        QVERIFY(peerServer_->waitForNewConnection(5000));
        peer_ = peerServer_->nextPendingConnection();
        QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Connected to Server"));
    } else {
        form_->grpTCPSocketType->setItemIndex(kServer);
        form_->txbPort->setText(QStringLiteral("0"));
        form_->btnConnect->click();
        QVERIFY(form_->ServerSocket1->isListening());
        ownPeer_ = std::make_unique<QTcpSocket>();
        ownPeer_->connectToHost(QHostAddress::LocalHost, form_->ServerSocket1->serverPort());
        QVERIFY(ownPeer_->waitForConnected(5000));
        peer_ = ownPeer_.get();
        QTRY_COMPARE(form_->statusPanelText(0), QStringLiteral("Client Connected"));
    }
    QVERIFY(form_->ComPort1->isOpen()); // reopened by the connect, as the wish asks
    // The peer reads no more than this while the test holds it off.
    peer_->setReadBufferSize(kPiece);
    QCOMPARE(watcher_->seen().size(), 0);
}

// The device goes away while neither end reads: the bridge holds data from both
// sides that it has not passed on yet, and both senders are held back.
void TestFaultsLink::serialVanishesWhileBothWaysAreHeldUp() {
    connectBridge(Peer::Client);
    QTcpSocket* connection = form_->ClientSocket1;
    Ends ends;
    ends.peer = peer_;
    ends.device = pty_.get();
    QVERIFY(ends.runUntil([&] { return ends.atSerial.size() > 1000000; }));
    ends.deviceReads = false;
    ends.peerReads = false;
    QVERIFY(ends.runUntil([&] { return bothSourcesFull(connection); }));
    const qint64 heldFromDevice = form_->ComPort1->bytesAvailable();
    const qint64 comLoggedBefore = logged(form_->redtComPortMsg);

    ends.atSerial += pty_->drainMaster();
    pty_->closeMaster();
    QTRY_COMPARE(form_->statusPanelText(1), pty_->slavePath() + QStringLiteral(" Off"));
    QVERIFY(!form_->ComPort1->isOpen());
    QCOMPARE(form_->comPortOn, quint8(1));
    QVERIFY(form_->btnComPortOn->isDown());
    QCOMPARE(form_->statusPanelText(0), QStringLiteral("Connected to Server"));
    QCOMPARE(form_->tcpConnected, quint8(1));

    // What the bridge had taken from the device is logged and reaches the peer.
    QVERIFY(logged(form_->redtComPortMsg) >= comLoggedBefore + heldFromDevice);
    ends.peerReads = true;
    QVERIFY(ends.runUntil([&] { return ends.atPeer.size() >= logged(form_->redtComPortMsg); }));
    QVERIFY(ends.toTcp.startsWith(ends.atPeer));
    QVERIFY(ends.atPeer == logStream(form_->redtComPortMsg));

    // The TCP side goes on: the peer's whole stream is logged, in order.
    QVERIFY2(ends.runUntil([&] { return logged(form_->redtTCPIPMsg) >= kStreamBytes; }),
             qPrintable(QStringLiteral("TCP log stopped at %1 of %2 bytes")
                            .arg(logged(form_->redtTCPIPMsg))
                            .arg(kStreamBytes)));
    QVERIFY(logStream(form_->redtTCPIPMsg) == ends.toSerial);
    QVERIFY(ends.toSerial.startsWith(ends.atSerial));
    QCOMPARE(watcher_->seen().size(), 0);

    // A new device opens under the same wish and carries data both ways.
    PtyPair next;
    form_->comSettings.port = next.slavePath();
    QVERIFY(form_->OpenComPort());
    peer_->write("again");
    QCOMPARE(next.readMaster(5), QByteArray("again"));
    QVERIFY(next.writeMaster("back"));
    QVERIFY(ends.runUntil([&] { return ends.atPeer.endsWith("back"); }, 5000));
}

void TestFaultsLink::peerResetsWhileBothWaysAreHeldUp_data() {
    QTest::addColumn<Peer>("kind");
    QTest::addColumn<QString>("statusAfter");
    QTest::newRow("client connection")
        << Peer::Client << QStringLiteral("Disconnected from Server");
    QTest::newRow("accepted connection") << Peer::Accepted << QStringLiteral("Client Disconnected");
}

// The peer resets its connection while neither end reads: the bridge holds data
// from both sides that it has not passed on yet, and both senders are held back.
void TestFaultsLink::peerResetsWhileBothWaysAreHeldUp() {
    QFETCH(Peer, kind);
    QFETCH(QString, statusAfter);
    connectBridge(kind);
    QTcpSocket* connection =
        kind == Peer::Client ? form_->ClientSocket1 : form_->serverConnections.value(0);
    QVERIFY(connection);
    Ends ends;
    ends.peer = peer_;
    ends.device = pty_.get();
    QVERIFY(ends.runUntil([&] { return ends.atPeer.size() > 1000000; }));
    ends.deviceReads = false;
    ends.peerReads = false;
    QVERIFY(ends.runUntil([&] { return bothSourcesFull(connection); }));
    const qint64 tcpLoggedBefore = logged(form_->redtTCPIPMsg);
    const qint64 heldFromPeer = connection->bytesAvailable();

    // Unread data in the peer makes its close a reset.
    QVERIFY(peer_->bytesAvailable() > 0);
    peer_->abort();
    QTRY_COMPARE(form_->statusPanelText(0), statusAfter);
    QCOMPARE(form_->tcpConnected, quint8(0));
    QVERIFY(!form_->btnConnect->isDown());
    QCOMPARE(watcher_->seen().size(), 0);
    if (kind == Peer::Accepted) {
        QVERIFY(form_->ServerSocket1->isListening());
        QCOMPARE(form_->serverClientConnected, quint8(0));
    }

    // What the bridge had taken from the peer is logged and goes to the device.
    QVERIFY2(logged(form_->redtTCPIPMsg) >= tcpLoggedBefore + heldFromPeer,
             qPrintable(QStringLiteral("logged %1 + held %2, now %3")
                            .arg(tcpLoggedBefore)
                            .arg(heldFromPeer)
                            .arg(logged(form_->redtTCPIPMsg))));
    ends.peer = nullptr;
    ends.deviceReads = true;
    QVERIFY(ends.runUntil([&] { return ends.atSerial.size() >= logged(form_->redtTCPIPMsg); }));
    QVERIFY(ends.toSerial.startsWith(ends.atSerial));
    QVERIFY(ends.atSerial == logStream(form_->redtTCPIPMsg));

    // The serial side goes on: the device's whole stream is logged, in order.
    QVERIFY(form_->ComPort1->isOpen());
    QVERIFY2(ends.runUntil([&] { return logged(form_->redtComPortMsg) >= kStreamBytes; }),
             qPrintable(QStringLiteral("COM log stopped at %1 of %2 bytes")
                            .arg(logged(form_->redtComPortMsg))
                            .arg(kStreamBytes)));
    QVERIFY(logStream(form_->redtComPortMsg) == ends.toTcp);
    QCOMPARE(watcher_->seen().size(), 0);
}

void TestFaultsLink::peerClosesWithDataStillOnItsWay_data() {
    QTest::addColumn<Peer>("kind");
    QTest::addColumn<QString>("statusAfter");
    QTest::newRow("client connection")
        << Peer::Client << QStringLiteral("Disconnected from Server");
    QTest::newRow("accepted connection") << Peer::Accepted << QStringLiteral("Client Disconnected");
}

// The peer sends its stream and closes in good order while the device is not
// reading: the serial port holds all it may, and the end of the stream waits in
// the program when the close arrives. Every byte must reach the device all the
// same, once it reads again.
void TestFaultsLink::peerClosesWithDataStillOnItsWay() {
    QFETCH(Peer, kind);
    QFETCH(QString, statusAfter);
    connectBridge(kind);
    Ends ends;
    ends.peer = peer_;
    ends.device = pty_.get();
    // What the serial port may hold, and half a source buffer more.
    ends.toSerial = streamBytes(kHighWaterBytes + kMaxChunkBytes + kSourceBufferBytes / 2, 3);
    ends.toTcp.clear();
    ends.deviceReads = false;
    peer_->write(ends.toSerial);
    ends.sentToSerial = ends.toSerial.size();
    peer_->disconnectFromHost(); // goes out after the last byte
    QVERIFY(ends.runUntil([&] { return form_->statusPanelText(0) == statusAfter; }));
    QCOMPARE(form_->tcpConnected, quint8(0));

    ends.deviceReads = true;
    QVERIFY2(ends.runUntil([&] { return ends.atSerial.size() >= ends.toSerial.size(); }, 10000),
             qPrintable(QStringLiteral("the device got %1 of %2 bytes")
                            .arg(ends.atSerial.size())
                            .arg(ends.toSerial.size())));
    QVERIFY(ends.atSerial == ends.toSerial);
    QVERIFY(logStream(form_->redtTCPIPMsg) == ends.toSerial);
    QCOMPARE(watcher_->seen().size(), 0);
}

void TestFaultsLink::serverPortInUse_data() {
    QTest::addColumn<quint32>("heldOn");
    QTest::newRow("held on every address") << quint32(INADDR_ANY);
    QTest::newRow("held on the loopback address") << quint32(INADDR_LOOPBACK);
}

// Another program listens on the port already.
void TestFaultsLink::serverPortInUse() {
    QFETCH(quint32, heldOn);
    PortHolder holder(heldOn);
    QVERIFY(holder.port() != 0);
    form_->btnComPortOn->click();
    form_->AppendLogText(form_->redtTCPIPMsg, "kept");
    form_->grpTCPSocketType->setItemIndex(kServer);
    form_->txbPort->setText(QString::number(holder.port()));
    form_->btnConnect->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(box(0), QStringLiteral("Connection Error"));
    QCOMPARE(watcher_->seen().front().title, QStringLiteral("Brixel"));
    QVERIFY(!form_->ServerSocket1->isListening());
    QCOMPARE(form_->statusPanelText(0), QStringLiteral("No Connection"));
    QCOMPARE(form_->tcpConnected, quint8(0));
    QVERIFY(!form_->btnConnect->isDown());
    QCOMPARE(form_->redtTCPIPMsg->text(), QByteArray("kept"));

    // Once the other program lets go, the same press listens.
    holder.release();
    form_->btnConnect->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QVERIFY(form_->ServerSocket1->isListening());
    QCOMPARE(form_->ServerSocket1->serverPort(), holder.port());
    QVERIFY(form_->ComPort1->isOpen());
}

void TestFaultsLink::serialPortHeldByAnotherProcess() {
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kHoldPortVariable), pty_->slavePath());
    other.setProcessEnvironment(env);
    other.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(other.waitForStarted());
    QByteArray said;
    QTRY_VERIFY2((said += other.readAllStandardOutput()).contains("held") ||
                     other.state() == QProcess::NotRunning,
                 "the other process did not report");
    QVERIFY2(other.state() == QProcess::Running, other.readAllStandardError().constData());

    // "Com-Port On" gives up quietly and leaves both buttons released.
    form_->setStatusPanelText(1, QStringLiteral("Com Port Off"));
    form_->btnComPortOn->click();
    QVERIFY(!form_->ComPort1->isOpen());
    QCOMPARE(form_->comPortOn, quint8(0));
    QVERIFY(!form_->btnComPortOn->isDown());
    QVERIFY(!form_->btnComPortOff->isDown());
    QCOMPARE(form_->statusPanelText(1), QStringLiteral("Com Port Off"));
    QCOMPARE(watcher_->seen().size(), 0);

    // The connect in Off mode needs the port: "Connection Error".
    form_->grpTCPSocketType->setItemIndex(kOff);
    form_->btnConnect->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(box(0), QStringLiteral("Connection Error"));
    QVERIFY(!form_->ComPort1->isOpen());

    // The other process still has the port to itself.
    QVERIFY(pty_->writeMaster("still theirs"));
    QCOMPARE(other.state(), QProcess::Running);

    // Once it lets go, the port opens.
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    form_->btnComPortOn->click();
    QVERIFY(form_->ComPort1->isOpen());
    QCOMPARE(form_->statusPanelText(1), pty_->slavePath() + QStringLiteral(" On"));
}

int main(int argc, char** argv) {
    if (const char* port = std::getenv(kHoldPortVariable))
        return holdSerialPort(argc, argv, port);
    brixel::BrixelApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QStandardPaths::setTestModeEnabled(true);
    TestFaultsLink tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_FaultsLink.moc"
