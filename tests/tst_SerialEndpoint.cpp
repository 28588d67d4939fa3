// The serial endpoint on real pseudo-terminals: Com-Port On/Off, the port's open
// and close events, bytes both ways, the port that vanishes while open, the
// setup dialog and comport.ini at start-up.
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/ComPortIni.h"
#include "support/FileBytes.h"
#include "support/ModalWatcher.h"
#include "support/PtyPair.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <termios.h>

using namespace brixel;
using namespace Qt::Literals::StringLiterals;

namespace {

// The line settings the program gave the pseudo-terminal, as the device sees them.
termios lineSettings(const PtyPair& pty) {
    termios t{};
    tcgetattr(pty.masterFd(), &t);
    return t;
}

QString on(const PtyPair& pty) {
    return pty.slavePath() + QStringLiteral(" On");
}

QString off(const PtyPair& pty) {
    return pty.slavePath() + QStringLiteral(" Off");
}

// What a test reads from the setup dialog before answering it.
struct DialogView {
    QString title, group;
    QMap<QString, QStringList> items;
    QMap<QString, QString> current, labels;
    bool okIsDefault = false;
};

// Answers the next setup dialog: records what it shows, sets the Port text and
// any lists given, then presses the button named `button`.
void answerSetup(ModalWatcher& watcher, DialogView* view, const QString& port,
                 QMap<QString, QString> choices, const char* button) {
    watcher.onNextModal([=](QWidget* dialog) {
        if (view) {
            view->title = dialog->windowTitle();
            if (auto* group = dialog->findChild<QGroupBox*>(QStringLiteral("grpSettings")))
                view->group = group->title();
            for (QComboBox* box : dialog->findChildren<QComboBox*>()) {
                QStringList items;
                for (int i = 0; i < box->count(); ++i)
                    items << box->itemText(i);
                view->items[box->objectName()] = items;
                view->current[box->objectName()] = box->currentText();
            }
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->buddy())
                    view->labels[label->buddy()->objectName()] = label->text();
            }
            if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("btnOK")))
                view->okIsDefault = ok->isDefault();
        }
        if (!port.isEmpty())
            dialog->findChild<QComboBox*>(QStringLiteral("cbPort"))->setEditText(port);
        for (auto it = choices.cbegin(); it != choices.cend(); ++it) {
            auto* box = dialog->findChild<QComboBox*>(it.key());
            box->setCurrentIndex(box->findText(it.value()));
        }
        dialog->findChild<QPushButton*>(QLatin1String(button))->click();
    });
}

} // namespace

class TestSerialEndpoint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void onAndOffButtons();
    void bytesBothWays();
    void failedOpenLeavesBothReleased();
    void restoredWishDoesNotOpen();
    void openAndCloseOperations();
    void vanishedPortIsClosedQuietly();
    void destroyingWindowWithPortOpen();
    void setupDialogContentAndCancel();
    void setupOkWithNewNameReopens();
    void setupOkOnOpenPortAppliesAtOnce();
    void setupNewNameThatCannotOpen();
    void setupWithoutPorts();
    void setupFileCannotBeWritten();
    void startUpLoadsComportIni();
    void startUpWithUnreadableComportIni();

private:
    std::unique_ptr<WorkingDir> dir_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModalWatcher> watcher_;
    std::unique_ptr<PtyPair> pty_;
    QString iniPath() const { return dir_->file(QStringLiteral("comport.ini")); }
    void showForm();
};

void TestSerialEndpoint::init() {
    dir_ = std::make_unique<WorkingDir>();
    pty_ = std::make_unique<PtyPair>();
    QVERIFY(pty_->isOpen());
}

void TestSerialEndpoint::showForm() {
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->comSettings.port = pty_->slavePath();
    const QString path = pty_->slavePath();
    form_->comPortLister = [path] {
        return QStringList{QStringLiteral("ttyS1"), path, QStringLiteral("COM2"),
                           QStringLiteral("COM10")};
    };
    watcher_ = std::make_unique<ModalWatcher>();
}

void TestSerialEndpoint::cleanup() {
    watcher_.reset();
    form_.reset();
    pty_.reset();
    dir_.reset();
}

void TestSerialEndpoint::onAndOffButtons() {
    showForm();
    TForm1& f = *form_;
    QVERIFY(!f.ComPort1->isOpen());

    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());
    QCOMPARE(f.comPortOn, quint8(1));
    QVERIFY(f.btnComPortOn->isDown());
    QVERIFY(!f.btnComPortOff->isDown());
    QCOMPARE(f.statusPanelText(1), on(*pty_));
    QCOMPARE(f.imgComStatus->pixmap().toImage(), f.bmpComOn.toImage());

    // Design settings reach the device: 115200 baud, one stop bit, no flow control.
    // (A pseudo-terminal always reads 8 bits without parity, whatever is set.)
    const termios t = lineSettings(*pty_);
    QCOMPARE(cfgetospeed(&t), speed_t(B115200));
    QCOMPARE(t.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));

    // A second press keeps everything as it is.
    f.setStatusPanelText(1, QStringLiteral("marker"));
    f.btnComPortOn->click();
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    QVERIFY(f.ComPort1->isOpen());

    f.btnComPortOff->click();
    QVERIFY(!f.ComPort1->isOpen());
    QCOMPARE(f.comPortOn, quint8(0));
    QVERIFY(!f.btnComPortOn->isDown());
    QVERIFY(f.btnComPortOff->isDown());
    QCOMPARE(f.statusPanelText(1), off(*pty_));
    QCOMPARE(f.imgComStatus->pixmap().toImage(), f.bmpComOff.toImage());

    // Off on a closed port raises no event.
    f.setStatusPanelText(1, QStringLiteral("marker"));
    f.btnComPortOff->click();
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    QVERIFY(watcher_->seen().isEmpty());
}

void TestSerialEndpoint::bytesBothWays() {
    showForm();
    TForm1& f = *form_;
    // The test reads the port itself here, in place of the bridge.
    disconnect(f.ComPort1, &QSerialPort::readyRead, &f, &TForm1::ComPort1RxChar);
    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());

    const QByteArray out("\x00\x01hello\r\n\xff\x7f", 11);
    QCOMPARE(f.ComPort1->write(out), qint64(out.size()));
    QCOMPARE(pty_->readMaster(out.size()), out);

    QByteArray in(4096, Qt::Uninitialized);
    for (int i = 0; i < in.size(); ++i)
        in[i] = char(i * 7);
    QVERIFY(pty_->writeMaster(in));
    QByteArray received;
    QTRY_VERIFY((received += f.ComPort1->readAll()).size() >= in.size());
    QCOMPARE(received, in);
}

void TestSerialEndpoint::failedOpenLeavesBothReleased() {
    showForm();
    TForm1& f = *form_;
    f.comSettings.port = dir_->file(QStringLiteral("no-such-tty"));
    f.btnComPortOff->setDown(true);
    f.btnComPortOn->click();
    QVERIFY(!f.ComPort1->isOpen());
    QCOMPARE(f.comPortOn, quint8(0));
    QVERIFY(!f.btnComPortOn->isDown());
    QVERIFY(!f.btnComPortOff->isDown());
    QCOMPARE(f.statusPanelText(1), QStringLiteral("Com Port Off"));
    QCOMPARE(f.imgComStatus->pixmap().toImage(), f.bmpComOff.toImage());
    QVERIFY(watcher_->seen().isEmpty());

    // The next press tries again.
    f.comSettings.port = pty_->slavePath();
    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());
    QCOMPARE(f.statusPanelText(1), on(*pty_));
}

void TestSerialEndpoint::restoredWishDoesNotOpen() {
    showForm();
    TForm1& f = *form_;
    f.comPortOn = 1; // as restored from TCP.SET
    f.btnComPortOn->setDown(true);
    f.btnComPortOn->click();
    QVERIFY(!f.ComPort1->isOpen());
    QVERIFY(f.btnComPortOn->isDown());
    QCOMPARE(f.statusPanelText(1), QStringLiteral("Com Port Off"));
    // The TCP connect opens it.
    QVERIFY(f.OpenComPort());
    QCOMPARE(f.statusPanelText(1), on(*pty_));
    QCOMPARE(f.comPortOn, quint8(1));
}

void TestSerialEndpoint::openAndCloseOperations() {
    showForm();
    TForm1& f = *form_;
    QVERIFY(f.OpenComPort());
    f.setStatusPanelText(1, QStringLiteral("marker"));
    QVERIFY(f.OpenComPort()); // already open: no effect, no event
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    f.CloseComPort();
    QCOMPARE(f.statusPanelText(1), off(*pty_));
    f.setStatusPanelText(1, QStringLiteral("marker"));
    f.CloseComPort(); // already closed: no effect, no event
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    QCOMPARE(f.comPortOn, quint8(0)); // opening by the operations leaves the wish alone

    f.comSettings.port = dir_->file(QStringLiteral("no-such-tty"));
    QVERIFY(!f.OpenComPort());
    QVERIFY(!f.ComPort1->isOpen());
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    QVERIFY(watcher_->seen().isEmpty());
}

void TestSerialEndpoint::vanishedPortIsClosedQuietly() {
    showForm();
    TForm1& f = *form_;
    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());

    pty_->closeMaster(); // the device goes away
    QTRY_COMPARE(f.statusPanelText(1), off(*pty_));
    QVERIFY(!f.ComPort1->isOpen());
    QCOMPARE(f.imgComStatus->pixmap().toImage(), f.bmpComOff.toImage());
    // The user's wish stands; the buttons keep showing it.
    QCOMPARE(f.comPortOn, quint8(1));
    QVERIFY(f.btnComPortOn->isDown());
    QVERIFY(!f.btnComPortOff->isDown());
    QVERIFY(watcher_->seen().isEmpty());

    // A device under the same wish opens again with the next connect, or with
    // Off and On.
    PtyPair next;
    f.comSettings.port = next.slavePath();
    QVERIFY(f.OpenComPort());
    QCOMPARE(f.statusPanelText(1), on(next));
    f.btnComPortOff->click();
    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());
    QVERIFY(f.ComPort1->write("ok") == 2);
    QCOMPARE(next.readMaster(2), QByteArray("ok"));
}

void TestSerialEndpoint::destroyingWindowWithPortOpen() {
    showForm();
    form_->btnComPortOn->click();
    QVERIFY(form_->ComPort1->isOpen());
    QPointer<QSerialPort> port = form_->ComPort1;
    form_.reset(); // closes the port; its before-close handling finds the window going
    QVERIFY(port.isNull());
    // The device is free again for another program.
    QSerialPort other;
    other.setPortName(pty_->slavePath());
    QVERIFY(other.open(QIODevice::ReadWrite));
}

void TestSerialEndpoint::setupDialogContentAndCancel() {
    showForm();
    TForm1& f = *form_;
    const SerialSettings before = f.comSettings;
    DialogView view;
    answerSetup(*watcher_, &view, u"ttyS1"_s, {{u"cbParity"_s, u"Odd"_s}}, "btnCancel");
    f.btnSetup->click();
    QCOMPARE(watcher_->pending(), 0);

    QCOMPARE(view.title, QStringLiteral("Setup"));
    QCOMPARE(view.group, QStringLiteral(" Settings "));
    QVERIFY(view.okIsDefault);
    const QMap<QString, QString> labels{
        {u"cbPort"_s, u"Port"_s},          {u"cbBaudRate"_s, u"Baud rate"_s},
        {u"cbDataBits"_s, u"Data bits"_s}, {u"cbStopBits"_s, u"Stop bits"_s},
        {u"cbParity"_s, u"Parity"_s},      {u"cbFlowControl"_s, u"Flow control"_s}};
    QCOMPARE(view.labels, labels);
    // Sorted as text, without regard to case.
    QCOMPARE(view.items[u"cbPort"_s],
             (QStringList{pty_->slavePath(), u"COM10"_s, u"COM2"_s, u"ttyS1"_s}));
    QCOMPARE(view.items[u"cbBaudRate"_s],
             (QStringList{u"Custom"_s, u"110"_s, u"300"_s, u"600"_s, u"1200"_s, u"2400"_s,
                          u"4800"_s, u"9600"_s, u"14400"_s, u"19200"_s, u"38400"_s, u"56000"_s,
                          u"57600"_s, u"115200"_s, u"128000"_s, u"256000"_s}));
    QCOMPARE(view.items[u"cbDataBits"_s], (QStringList{u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
    QCOMPARE(view.items[u"cbStopBits"_s], (QStringList{u"1"_s, u"1.5"_s, u"2"_s}));
    QCOMPARE(view.items[u"cbParity"_s],
             (QStringList{u"None"_s, u"Odd"_s, u"Even"_s, u"Mark"_s, u"Space"_s}));
    QCOMPARE(view.items[u"cbFlowControl"_s],
             (QStringList{u"Hardware"_s, u"Software"_s, u"None"_s, u"Custom"_s}));
    const QMap<QString, QString> current{
        {u"cbPort"_s, pty_->slavePath()}, {u"cbBaudRate"_s, u"115200"_s},
        {u"cbDataBits"_s, u"8"_s},        {u"cbStopBits"_s, u"1"_s},
        {u"cbParity"_s, u"None"_s},       {u"cbFlowControl"_s, u"None"_s}};
    QCOMPARE(view.current, current);

    // Cancel changes nothing and still writes the file.
    QCOMPARE(f.comSettings, before);
    QCOMPARE(ReadFileBytes(iniPath()), UpdateComPortIni(QByteArray(), before));
    QVERIFY(watcher_->seen().isEmpty());
}

void TestSerialEndpoint::setupOkWithNewNameReopens() {
    showForm();
    TForm1& f = *form_;
    PtyPair second;
    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());

    answerSetup(*watcher_, nullptr, second.slavePath(),
                {{u"cbBaudRate"_s, u"9600"_s},
                 {u"cbParity"_s, u"Odd"_s},
                 {u"cbFlowControl"_s, u"Software"_s}},
                "btnOK");
    f.btnSetup->click();
    QCOMPARE(watcher_->pending(), 0);
    QVERIFY(watcher_->seen().isEmpty());

    QVERIFY(f.ComPort1->isOpen());
    QCOMPARE(f.statusPanelText(1), on(second));
    QCOMPARE(f.comSettings.port, second.slavePath());
    QCOMPARE(f.comSettings.baudRate, 9600);
    QCOMPARE(f.comSettings.parity, QSerialPort::OddParity);
    const termios t = lineSettings(second);
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));
    QVERIFY(t.c_cflag & PARODD);
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));

    // Bytes now go to the new device only.
    QCOMPARE(f.ComPort1->write("new"), qint64(3));
    QCOMPARE(second.readMaster(3), QByteArray("new"));
    QCOMPARE(pty_->drainMaster(), QByteArray());

    const QByteArray ini = ReadFileBytes(iniPath());
    QVERIFY(ini.contains("Port=" + second.slavePath().toLocal8Bit() + "\r\n"));
    QVERIFY(ini.contains("BaudRate=9600\r\n"));
    QVERIFY(ini.contains("Parity=Odd\r\n"));
    QVERIFY(ini.contains("FlowControl=Software\r\n"));
}

void TestSerialEndpoint::setupOkOnOpenPortAppliesAtOnce() {
    showForm();
    TForm1& f = *form_;
    f.btnComPortOn->click();
    f.setStatusPanelText(1, QStringLiteral("marker"));
    answerSetup(*watcher_, nullptr, QString(),
                {{u"cbBaudRate"_s, u"19200"_s},
                 {u"cbStopBits"_s, u"2"_s},
                 {u"cbFlowControl"_s, u"Custom"_s}},
                "btnOK");
    f.btnSetup->click();
    QCOMPARE(watcher_->pending(), 0);
    QVERIFY(watcher_->seen().isEmpty());
    // Same name: no close and reopen, the settings take effect on the open port.
    QCOMPARE(f.statusPanelText(1), QStringLiteral("marker"));
    QVERIFY(f.ComPort1->isOpen());
    const termios t = lineSettings(*pty_);
    QCOMPARE(cfgetospeed(&t), speed_t(B19200));
    QVERIFY(t.c_cflag & CSTOPB);
    QCOMPARE(f.comSettings.flowControl, QSerialPort::NoFlowControl); // "Custom" kept it
    QVERIFY(ReadFileBytes(iniPath()).contains("StopBits=2\r\n"));

    // A setting the open device refuses (a pseudo-terminal has no 7-bit mode):
    // reported, the port stays open, the file keeps what it had.
    const QByteArray before = ReadFileBytes(iniPath());
    answerSetup(*watcher_, nullptr, QString(), {{u"cbDataBits"_s, u"7"_s}}, "btnOK");
    f.btnSetup->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen().front().text, QStringLiteral("There is no Com Port"));
    QVERIFY(f.ComPort1->isOpen());
    QCOMPARE(ReadFileBytes(iniPath()), before);
}

void TestSerialEndpoint::setupNewNameThatCannotOpen() {
    showForm();
    TForm1& f = *form_;
    f.btnComPortOn->click();
    const QString missing = dir_->file(QStringLiteral("no-such-tty"));
    answerSetup(*watcher_, nullptr, missing, {}, "btnOK");
    f.btnSetup->click();
    QCOMPARE(watcher_->pending(), 0);

    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen().front().title, QStringLiteral("Brixel"));
    QCOMPARE(watcher_->seen().front().text, QStringLiteral("There is no Com Port"));
    QVERIFY(!f.ComPort1->isOpen());
    // The new name had taken effect before the close.
    QCOMPARE(f.statusPanelText(1), missing + QStringLiteral(" Off"));
    QVERIFY(!QFile::exists(iniPath()));
    QCOMPARE(f.comPortOn, quint8(1));
    QVERIFY(f.btnComPortOn->isDown());
}

void TestSerialEndpoint::setupWithoutPorts() {
    showForm();
    TForm1& f = *form_;
    f.comPortLister = [] { return QStringList(); };
    f.btnSetup->click();
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen().front().text, QStringLiteral("There is no Com Port"));
    QVERIFY(!QFile::exists(iniPath()));
}

void TestSerialEndpoint::setupFileCannotBeWritten() {
    showForm();
    TForm1& f = *form_;
    f.appDir = dir_->file(QStringLiteral("no-such-folder/"));
    answerSetup(*watcher_, nullptr, QString(), {}, "btnCancel");
    f.btnSetup->click();
    QCOMPARE(watcher_->pending(), 0);
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen().front().text, QStringLiteral("There is no Com Port"));
}

void TestSerialEndpoint::startUpLoadsComportIni() {
    {
        QFile ini(iniPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[comport1]\r\nport=" + pty_->slavePath().toLocal8Bit() +
                  "\r\nBaudRate=Custom\r\nCustomBaudRate=4800\r\nParity=odd\r\n");
    }
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    TForm1& f = *form_;
    QCOMPARE(f.comSettings.port, pty_->slavePath());
    QCOMPARE(f.comSettings.effectiveBaudRate(), 4800);
    QCOMPARE(f.comSettings.parity, QSerialPort::OddParity);
    QVERIFY(!f.ComPort1->isOpen()); // nothing opens at start-up
    QCOMPARE(f.statusPanelText(1), QStringLiteral("Com Port Off"));

    f.btnComPortOn->click();
    QVERIFY(f.ComPort1->isOpen());
    const termios t = lineSettings(*pty_);
    QCOMPARE(cfgetospeed(&t), speed_t(B4800));
    QVERIFY(t.c_cflag & PARODD);
}

void TestSerialEndpoint::startUpWithUnreadableComportIni() {
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("comport.ini")));
    ModalWatcher watcher;
    TForm1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().front().objectName, QStringLiteral("errorBox"));
    QVERIFY(watcher.seen().front().text.contains(QStringLiteral("comport.ini")));
    QCOMPARE(f.comSettings, SerialSettings());
}

BRIXEL_TEST_MAIN(TestSerialEndpoint)
#include "tst_SerialEndpoint.moc"
