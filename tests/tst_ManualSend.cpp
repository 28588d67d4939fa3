// Manual send through the real window: the bytes reach a real TCP peer and a
// pseudo-terminal, the fields are rewritten as the formats ask, and the boxes
// say what went wrong.
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

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

using namespace brixel;

namespace {

enum Format { kString = 0, kBinary = 1, kDecimal = 2, kHex = 3 };

} // namespace

class TestManualSend : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tcpSend_data();
    void tcpSend();
    void enterSendsFromTcpFieldOnly();
    void formatErrorsAndMissingTarget();
    void clientConnectionComesFirst();
    void serialSend();

private:
    void connectClient();

    std::unique_ptr<WorkingDir> dir_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModalWatcher> watcher_;
    std::unique_ptr<PtyPair> pty_;
    ClientPeer client_;
    QTcpSocket* peer_ = nullptr;
};

void TestManualSend::init() {
    dir_ = std::make_unique<WorkingDir>();
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    watcher_ = std::make_unique<ModalWatcher>();
    pty_ = std::make_unique<PtyPair>();
    form_->comSettings.port = pty_->slavePath();
}

void TestManualSend::cleanup() {
    form_.reset();
    client_ = {};
    peer_ = nullptr;
    watcher_.reset();
    pty_.reset();
    dir_.reset();
}

void TestManualSend::connectClient() {
    client_ = ConnectWindowAsClient(*form_);
    peer_ = client_.socket;
    QVERIFY(peer_);
}

void TestManualSend::tcpSend_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("fieldAfter");
    QTest::newRow("string crlf") << int(kString) << true << QStringLiteral("AT")
                                 << QByteArray("AT\r\n") << QStringLiteral("AT");
    QTest::newRow("string plain") << int(kString) << false << QStringLiteral("AT")
                                  << QByteArray("AT") << QStringLiteral("AT");
    QTest::newRow("hex pairs") << int(kHex) << false << QStringLiteral("1 2 3")
                               << QByteArray("\x01\x23") << QStringLiteral("01 23 ");
    QTest::newRow("binary padded") << int(kBinary) << false << QStringLiteral("101")
                                   << QByteArray("\x05") << QStringLiteral(" 00000101");
    QTest::newRow("decimal as typed")
        << int(kDecimal) << true << QStringLiteral("11  22") << QByteArray("\x0b\x00\x16\r\n", 5)
        << QStringLiteral("11  22");
    QTest::newRow("empty hex crlf")
        << int(kHex) << true << QString() << QByteArray("\r\n") << QString();
    QTest::newRow("empty decimal")
        << int(kDecimal) << false << QString() << QByteArray() << QString();
    QTest::newRow("empty string") << int(kString) << false << QString() << QByteArray()
                                  << QString();
}

void TestManualSend::tcpSend() {
    QFETCH(int, format);
    QFETCH(bool, crlf);
    QFETCH(QString, typed);
    QFETCH(QByteArray, sent);
    QFETCH(QString, fieldAfter);
    connectClient();
    QVERIFY(form_->OpenComPort());
    form_->rdSendFormat->setItemIndex(format);
    QCOMPARE(form_->txFormat, format);
    form_->chkCarriageReturn->setChecked(crlf);
    form_->chkNewLine->setChecked(crlf);
    form_->txbSendMessage->setText(typed);
    form_->btnTCPSendMessage->click();
    if (sent.isEmpty())
        QCOMPARE(SettlePeer(peer_), QByteArray());
    else
        QCOMPARE(ReadPeer(peer_, sent.size()), sent);
    QCOMPARE(form_->txbSendMessage->text(), fieldAfter);
    QCOMPARE(watcher_->seen().size(), 0);
    // Sent bytes are neither logged nor forwarded to the serial side.
    QCOMPARE(form_->redtTCPIPMsg->lineCount(), 0);
    QCOMPARE(form_->redtComPortMsg->lineCount(), 0);
    QCOMPARE(pty_->drainMaster(), QByteArray());
}

void TestManualSend::enterSendsFromTcpFieldOnly() {
    connectClient();
    QVERIFY(form_->OpenComPort());
    form_->txbSendMessage->setText(QStringLiteral("ping"));
    form_->txbSendMessage->setFocus();
    QTest::keyClick(form_->txbSendMessage, Qt::Key_Return);
    QCOMPARE(ReadPeer(peer_, 6), QByteArray("ping\r\n"));
    QCOMPARE(form_->txbSendMessage->selectedText(), QStringLiteral("ping"));

    form_->txbCom->setText(QStringLiteral("pong"));
    form_->txbCom->setFocus();
    QTest::keyClick(form_->txbCom, Qt::Key_Return);
    QTest::qWait(100);
    QCOMPARE(pty_->drainMaster(), QByteArray());
    QCOMPARE(SettlePeer(peer_), QByteArray());
}

void TestManualSend::formatErrorsAndMissingTarget() {
    struct Case {
        Format format;
        const char* typed;
        const char* error;
    };
    const Case cases[] = {
        {kBinary, "12", "Message is not in Binary Format. Example: 10001000 10001000"},
        {kDecimal, "ff", "Message is not in Decimal Format. Example: 11 22 33 255"},
        {kHex, "g1", "Message is not in Decimal Format. Example: 11 22 33 255"},
        {kDecimal, "256", "The maximum decimal value is 255. Example: 11 22 33 255"},
    };
    for (const Case& c : cases) {
        watcher_->clear();
        form_->rdSendFormat->setItemIndex(c.format);
        form_->txbSendMessage->setText(QLatin1String(c.typed));
        form_->btnTCPSendMessage->click();
        // The format error first, then the missing connection.
        QCOMPARE(watcher_->seen().size(), 2);
        QCOMPARE(watcher_->seen()[0].title, QStringLiteral("Format Error"));
        QCOMPARE(watcher_->seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(watcher_->seen()[0].text, QLatin1String(c.error));
        QCOMPARE(watcher_->seen()[1].title, QStringLiteral("Brixel"));
        QCOMPARE(watcher_->seen()[1].text,
                 QStringLiteral("No TCP Connection! Cannot transmit (TX)"));
    }
    // Listening without an accepted client is no connection either.
    watcher_->clear();
    form_->rdSendFormat->setItemIndex(kString);
    form_->grpTCPSocketType->setItemIndex(2);
    form_->txbPort->setText(QStringLiteral("0"));
    form_->btnConnect->click();
    QVERIFY(form_->ServerSocket1->isListening());
    form_->btnTCPSendMessage->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen()[0].text, QStringLiteral("No TCP Connection! Cannot transmit (TX)"));
}

void TestManualSend::clientConnectionComesFirst() {
    // The server listens, the client connects to a peer, and then the server
    // accepts a client of its own.
    form_->grpTCPSocketType->setItemIndex(2);
    form_->txbPort->setText(QStringLiteral("0"));
    form_->btnConnect->click();
    QVERIFY(form_->ServerSocket1->isListening());
    connectClient();
    QTcpSocket accepted;
    accepted.connectToHost(QHostAddress::LocalHost, form_->ServerSocket1->serverPort());
    QTRY_COMPARE(form_->serverConnections.size(), 1);

    form_->txbSendMessage->setText(QStringLiteral("to-peer"));
    form_->btnTCPSendMessage->click();
    QCOMPARE(ReadPeer(peer_, 9), QByteArray("to-peer\r\n"));
    QCOMPARE(SettlePeer(&accepted), QByteArray());

    // Without the client connection, the server's oldest connection is the target.
    peer_->close();
    QTRY_COMPARE(form_->ClientSocket1->state(), QAbstractSocket::UnconnectedState);
    form_->txbSendMessage->setText(QStringLiteral("to-accepted"));
    form_->btnTCPSendMessage->click();
    QCOMPARE(ReadPeer(&accepted, 13), QByteArray("to-accepted\r\n"));
}

void TestManualSend::serialSend() {
    form_->txbCom->setText(QStringLiteral("AT"));
    form_->btnSendCom->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen()[0].text,
             QStringLiteral("Com Port is not connected! Cannot transmit (TX)"));

    QVERIFY(form_->OpenComPort());
    form_->btnSendCom->click();
    QCOMPARE(pty_->readMaster(4), QByteArray("AT\r\n"));
    form_->rdSendFormat->setItemIndex(kHex);
    form_->txbCom->setText(QStringLiteral("a bc de"));
    form_->btnSendCom->click();
    QCOMPARE(pty_->readMaster(5), QByteArray("\x0a\xbc\xde\r\n"));
    QCOMPARE(form_->txbCom->text(), QStringLiteral("a bc de")); // never rewritten
    QCOMPARE(form_->redtComPortMsg->lineCount(), 0);
}

BRIXEL_TEST_MAIN(TestManualSend)
#include "tst_ManualSend.moc"
