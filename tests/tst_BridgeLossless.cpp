// 64 MiB of random bytes through the bridge each way at once, while each
// receiving end stops reading for a while: every byte arrives, in order, and the
// program's buffers stay within their bounds.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/FlowControl.h"
#include "link/SerialSettings.h"
#include "support/PtyPair.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <unistd.h>

using namespace brixel;

namespace {

constexpr qsizetype kTotal = 64 * 1024 * 1024;
constexpr qsizetype kPiece = 64 * 1024;
constexpr qint64 kPauseStartMs = 300;
constexpr qint64 kPauseEndMs = 1800;

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    gen.fillRange(reinterpret_cast<quint32*>(out.data()), size / 4);
    return out;
}

} // namespace

class TestBridgeLossless : public QObject {
    Q_OBJECT
private slots:
    void everyByteArrivesInOrder();
};

void TestBridgeLossless::everyByteArrivesInOrder() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PtyPair pty;
    QVERIFY(pty.isOpen());
    form.comSettings.port = pty.slavePath();

    QTcpServer peerServer;
    QVERIFY(peerServer.listen(QHostAddress::LocalHost, 0));
    form.grpTCPSocketType->setItemIndex(1);
    form.txbHost->setText(QStringLiteral("127.0.0.1"));
    form.txbPort->setText(QString::number(peerServer.serverPort()));
    form.btnConnect->click();
    QVERIFY(peerServer.waitForNewConnection(5000));
    QTcpSocket* peer = peerServer.nextPendingConnection();
    QTRY_COMPARE(form.tcpConnected, 1);
    QVERIFY(form.OpenComPort());

    const QByteArray toSerial = randomBytes(kTotal, 1);
    const QByteArray toTcp = randomBytes(kTotal, 2);
    QByteArray atSerial, atPeer;
    atSerial.reserve(kTotal);
    atPeer.reserve(kTotal);
    qsizetype sentToSerial = 0, sentToTcp = 0;
    qint64 worstSerialPending = 0, worstTcpPending = 0, worstUnread = 0;

    QElapsedTimer clock;
    clock.start();
    char buf[65536];
    while ((atSerial.size() < kTotal || atPeer.size() < kTotal) && clock.elapsed() < 180000) {
        const qint64 t = clock.elapsed();
        const bool paused = t >= kPauseStartMs && t < kPauseEndMs;
        // The TCP peer sends, keeping its own queue short.
        if (sentToSerial < kTotal && peer->bytesToWrite() < kPiece) {
            const qsizetype n = qMin(kPiece, kTotal - sentToSerial);
            peer->write(toSerial.constData() + sentToSerial, n);
            sentToSerial += n;
        }
        // The device sends as much as the line takes.
        if (sentToTcp < kTotal) {
            const ssize_t n = ::write(pty.masterFd(), toTcp.constData() + sentToTcp,
                                      size_t(qMin(kPiece, kTotal - sentToTcp)));
            if (n > 0)
                sentToTcp += n;
        }
        // Both receiving ends stop reading for a while.
        if (!paused) {
            ssize_t n;
            while ((n = ::read(pty.masterFd(), buf, sizeof buf)) > 0)
                atSerial.append(buf, n);
            atPeer += peer->readAll();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        worstSerialPending = qMax(worstSerialPending, form.ComPort1->bytesToWrite());
        worstTcpPending = qMax(worstTcpPending, form.ClientSocket1->bytesToWrite());
        worstUnread = qMax(worstUnread, qMax(form.ClientSocket1->bytesAvailable(),
                                             form.ComPort1->bytesAvailable()));
    }
    qInfo("forwarded 2 x %lld bytes in %lld ms; worst pending serial %lld, tcp %lld, unread %lld",
          qint64(kTotal), clock.elapsed(), worstSerialPending, worstTcpPending, worstUnread);

    QCOMPARE(atSerial.size(), kTotal);
    QCOMPARE(atPeer.size(), kTotal);
    QVERIFY(atSerial == toSerial);
    QVERIFY(atPeer == toTcp);
    // The program held no more than its bounds while the ends were not reading.
    QVERIFY(worstSerialPending <= kHighWaterBytes + kMaxChunkBytes);
    QVERIFY(worstTcpPending <= kHighWaterBytes + kMaxChunkBytes);
    QVERIFY(worstUnread <= kSourceBufferBytes + kMaxChunkBytes);
}

BRIXEL_TEST_MAIN(TestBridgeLossless)
#include "tst_BridgeLossless.moc"
