// Damaged files and file systems that refuse to write, with the real window:
// TCP.SET and comport.ini that cannot be read, are empty, cut short, full of
// garbage or without end; an export into a folder that cannot be written and
// onto a full disk. For each: the documented message or state, and nothing that
// was stored before lost.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/SerialSettings.h"
#include "persist/ExportText.h"
#include "presentation/LogView.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ModalWatcher.h"
#include "support/SaveDialog.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

using namespace brixel;

namespace {

enum class Damage { Unreadable, Empty, Truncated, Garbage, Endless };

QByteArray garbage(qsizetype size, quint32 seed) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char& c : out)
        c = char(gen.bounded(256));
    return out;
}

// A record for host "example.org", port 4242, Server, serial on, Hex and Decimal,
// no timestamps.
QByteArray sampleRecord() {
    QByteArray r(184, '\0');
    r.replace(0, 11, "example.org");
    r[64] = char(4242 & 0xff);
    r[65] = char(4242 >> 8);
    r[68] = 2;
    r[72] = 1;
    r[166] = 3;
    r[167] = 2;
    return r;
}

bool canRead(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly);
}

bool runningAsRoot() {
    return ::geteuid() == 0;
}

// What the file's place holds when the file is to be "damaged": its content, or
// for the kinds that content cannot express, a note of what was put there.
QString damageFile(const QString& path, Damage damage, const QByteArray& good, qsizetype cut) {
    switch (damage) {
    case Damage::Unreadable:
        // A file without read permission stops everyone but root; for root a
        // folder in the file's place does.
        if (runningAsRoot()) {
            QDir().mkdir(path);
            return QStringLiteral("a folder");
        }
        WriteFileBytes(path, good);
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        return QStringLiteral("a file without read permission");
    case Damage::Empty:
        WriteFileBytes(path, QByteArray());
        break;
    case Damage::Truncated:
        WriteFileBytes(path, good.left(cut));
        break;
    case Damage::Garbage:
        WriteFileBytes(path, garbage(400, 7));
        break;
    case Damage::Endless:
        // A device that never ends, as a file name may point to by mistake.
        // (Where this user may not read /dev/zero, it is a file that cannot be read.)
        QFile::link(QStringLiteral("/dev/zero"), path);
        return canRead(path) ? QStringLiteral("a link to /dev/zero")
                             : QStringLiteral("a link to /dev/zero, which this user cannot read");
    }
    return QString();
}

// A small tmpfs mounted for the life of the object, where the test may mount.
class ScratchMount {
public:
    ScratchMount(const QString& path, const char* options) : path_(QFile::encodeName(path)) {
        if (::mount("tmpfs", path_.constData(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                    options) == 0)
            mounted_ = true;
        else
            why_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~ScratchMount() {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return mounted_; }
    QString why() const { return why_; }
    bool makeReadOnly() {
        return ::mount(nullptr, path_.constData(), nullptr,
                       MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) == 0;
    }

private:
    QByteArray path_;
    bool mounted_ = false;
    QString why_;
};

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestFaultsFiles : public QObject {
    Q_OBJECT
private slots:
    void damagedSettingsRecord_data();
    void damagedSettingsRecord();
    void damagedComPortIni_data();
    void damagedComPortIni();
    void exportIntoFolderThatCannotBeWritten();
    void exportOntoFullDisk();

private:
    // One row for every kind of damage.
    static void addDamageRows();
    // A window with both logs holding text, and the text they hold.
    struct Logged {
        QByteArray tcp, com;
    };
    Logged fillLogs(TForm1& form, qsizetype bytes);
    void exportExpectingFailure(TForm1& form, ModalWatcher& watcher, const QString& folder);
};

void TestFaultsFiles::addDamageRows() {
    QTest::addColumn<Damage>("damage");
    QTest::newRow("cannot be read") << Damage::Unreadable;
    QTest::newRow("empty") << Damage::Empty;
    QTest::newRow("cut short") << Damage::Truncated;
    QTest::newRow("garbage") << Damage::Garbage;
    QTest::newRow("without end") << Damage::Endless;
}

void TestFaultsFiles::damagedSettingsRecord_data() {
    addDamageRows();
}

void TestFaultsFiles::damagedSettingsRecord() {
    QFETCH(Damage, damage);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    const QString note = damageFile(path, damage, sampleRecord(), 70); // port whole, mode not
    if (!note.isEmpty())
        qInfo("TCP.SET is %s", qPrintable(note));
    const QFileInfo before(path);
    const QByteArray bytesBefore = before.isFile() ? ReadFileBytes(path) : QByteArray();

    ModalWatcher watcher;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    if (damage == Damage::Unreadable || (damage == Damage::Endless && !canRead(path))) {
        QTRY_COMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen().front().objectName, QStringLiteral("errorBox"));
        QCOMPARE(watcher.seen().front().text, QStringLiteral("Cannot open file %1.").arg(path));
    } else {
        QCOMPARE(watcher.seen().size(), 0);
    }
    // The window comes up whole, with every selector on an item it has.
    QCOMPARE(form.statusPanelText(0), QStringLiteral("No Connection"));
    QCOMPARE(form.statusPanelText(1), QStringLiteral("Com Port Off"));
    QVERIFY(form.grpTCPSocketType->itemIndex() >= -1 && form.grpTCPSocketType->itemIndex() <= 2);
    QCOMPARE(form.rdSendFormat->itemIndex(), form.txFormat);
    QCOMPARE(form.rdIncomingFormat->itemIndex(), form.rxFormat);
    QVERIFY(form.txFormat >= 0 && form.txFormat <= 3);
    QVERIFY(form.rxFormat >= 0 && form.rxFormat <= 3);

    switch (damage) {
    case Damage::Unreadable:
    case Damage::Empty:
        // Nothing restored: the design values and the start-up steps stand.
        QCOMPARE(form.txbHost->text(), QStringLiteral("localhost"));
        QCOMPARE(form.txbPort->text(), QStringLiteral("5000"));
        QCOMPARE(form.grpTCPSocketType->itemIndex(), 0);
        QCOMPARE(form.comPortOn, quint8(0));
        break;
    case Damage::Truncated:
        // Fields the file holds whole are restored; the socket mode is not.
        QCOMPARE(form.txbHost->text(), QStringLiteral("example.org"));
        QCOMPARE(form.txbPort->text(), QStringLiteral("4242"));
        QCOMPARE(form.grpTCPSocketType->itemIndex(), 0);
        break;
    case Damage::Endless:
        if (!canRead(path))
            break; // as a file that cannot be read
        // The first 184 bytes, all zero.
        QCOMPARE(form.txbHost->text(), QString());
        QCOMPARE(form.txbPort->text(), QStringLiteral("0"));
        QCOMPARE(form.showTimestamp, quint8(0));
        break;
    case Damage::Garbage:
        break;
    }

    // Start-up wrote nothing over what was there.
    const QFileInfo after(path);
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    if (before.isFile() && !before.isSymLink())
        QCOMPARE(ReadFileBytes(path), bytesBefore);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestFaultsFiles::damagedComPortIni_data() {
    addDamageRows();
}

void TestFaultsFiles::damagedComPortIni() {
    QFETCH(Damage, damage);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("comport.ini"));
    WriteFileBytes(dir.file(QStringLiteral("TCP.SET")), sampleRecord());
    const QByteArray good = "[ComPort1]\r\nPort=/dev/ttyUSB7\r\nBaudRate=9600\r\nStopBits=2\r\n";
    const QString note = damageFile(path, damage, good, good.indexOf("StopBits") + 5);
    if (!note.isEmpty())
        qInfo("comport.ini is %s", qPrintable(note));
    const QFileInfo before(path);
    const QByteArray bytesBefore = before.isFile() ? ReadFileBytes(path) : QByteArray();

    ModalWatcher watcher;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const bool refused = damage == Damage::Unreadable || damage == Damage::Endless;
    if (refused) {
        // Reported, and the rest of the restore is skipped: TCP.SET is not read.
        QTRY_COMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen().front().objectName, QStringLiteral("errorBox"));
        QVERIFY(
            watcher.seen().front().text.startsWith(QStringLiteral("Cannot read %1: ").arg(path)));
        QCOMPARE(form.comSettings, SerialSettings());
        QCOMPARE(form.txbHost->text(), QStringLiteral("localhost"));
    } else {
        QCOMPARE(watcher.seen().size(), 0);
        QCOMPARE(form.txbHost->text(), QStringLiteral("example.org"));
        const SerialSettings& s = form.comSettings;
        QVERIFY(!ChoiceLabel(kBaudRateChoices, s.baudRate).isEmpty());
        QVERIFY(!ChoiceLabel(kStopBitsChoices, s.stopBits).isEmpty());
        QVERIFY(!ChoiceLabel(kDataBitsChoices, s.dataBits).isEmpty());
        QVERIFY(!ChoiceLabel(kParityChoices, s.parity).isEmpty());
        QVERIFY(s.customBaudRate > 0);
    }
    if (damage == Damage::Empty)
        QCOMPARE(form.comSettings, SerialSettings());
    if (damage == Damage::Truncated) {
        QCOMPARE(form.comSettings.port, QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(form.comSettings.baudRate, 9600);
        QCOMPARE(form.comSettings.stopBits, QSerialPort::OneStop); // "StopB" is no key
    }
    QVERIFY(!form.ComPort1->isOpen());

    // A file that cannot be read is not replaced when the settings are written.
    if (refused) {
        watcher.clear();
        form.comPortLister = [] { return QStringList{QStringLiteral("ttyS0")}; };
        watcher.onNextModal([](QWidget* dialog) {
            dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        form.btnSetup->click();
        QCOMPARE(watcher.pending(), 0);
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen().front().text, QStringLiteral("There is no Com Port"));
    }
    const QFileInfo after(path);
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    if (before.isFile() && !before.isSymLink())
        QCOMPARE(ReadFileBytes(path), bytesBefore);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TestFaultsFiles::Logged TestFaultsFiles::fillLogs(TForm1& form, qsizetype bytes) {
    form.showTimestamp = 0;
    form.AppendLogText(form.redtTCPIPMsg, QByteArray(bytes, 't'));
    form.AppendLogText(form.redtComPortMsg, QByteArray(bytes, 'c'));
    return {form.redtTCPIPMsg->text(), form.redtComPortMsg->text()};
}

// Exports into `folder` over an existing "old.txt", expecting "File Save Error!"
// with the old file, the folder and the logs as they were.
void TestFaultsFiles::exportExpectingFailure(TForm1& form, ModalWatcher& watcher,
                                             const QString& folder) {
    const Logged logs{form.redtTCPIPMsg->text(), form.redtComPortMsg->text()};
    const QString target = QDir(folder).filePath(QStringLiteral("old.txt"));
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ChooseSaveFile(watcher, target);
    watcher.answerBox(QMessageBox::Yes); // overwrite
    watcher.answerBox(QMessageBox::Ok);
    form.Export1->trigger();
    QCOMPARE(watcher.pending(), 0);
    QCOMPARE(watcher.seen().size(), 2);
    QCOMPARE(watcher.seen()[1].title, QStringLiteral("Brixel"));
    QCOMPARE(watcher.seen()[1].text, QStringLiteral("File Save Error!"));
    QCOMPARE(ReadFileBytes(target), QByteArray("old export"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
    QCOMPARE(form.redtTCPIPMsg->text(), logs.tcp);
    QCOMPARE(form.redtComPortMsg->text(), logs.com);
}

void TestFaultsFiles::exportIntoFolderThatCannotBeWritten() {
    WorkingDir dir;
    const QString folder = dir.file(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(folder));
    std::unique_ptr<ScratchMount> mount;
    if (runningAsRoot()) {
        // Root writes into any folder; a file system mounted read-only stops it.
        mount = std::make_unique<ScratchMount>(folder, "size=64k,mode=0755");
        if (!mount->mounted())
            QSKIP(qPrintable(QStringLiteral("running as root, and mounting a read-only file system "
                                            "for the test is not permitted here (%1)")
                                 .arg(mount->why())));
        WriteFileBytes(QDir(folder).filePath(QStringLiteral("old.txt")), "old export");
        QVERIFY(mount->makeReadOnly());
        qInfo("the folder is a read-only tmpfs");
    } else {
        WriteFileBytes(QDir(folder).filePath(QStringLiteral("old.txt")), "old export");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        qInfo("the folder has no write permission");
    }

    ModalWatcher watcher;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    fillLogs(form, 1000);
    exportExpectingFailure(form, watcher, folder);

    if (!mount)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
}

void TestFaultsFiles::exportOntoFullDisk() {
    WorkingDir dir;
    const QString folder = dir.file(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(folder));
    // The logs hold more than the disk has room for.
    constexpr qsizetype kLogBytes = 256 * 1024;
    std::unique_ptr<ScratchMount> mount;
    std::unique_ptr<FileSizeLimit> limit;
    if (runningAsRoot())
        mount = std::make_unique<ScratchMount>(folder, "size=64k,mode=0755");
    if (mount && mount->mounted()) {
        qInfo("the disk is a 64 KiB tmpfs");
    } else {
        qInfo("no tmpfs for the test (%s); a file size limit stands in for the full disk",
              mount ? qPrintable(
                          QStringLiteral("mounting is not permitted here: %1").arg(mount->why()))
                    : "mounting needs root");
        mount.reset();
    }
    WriteFileBytes(QDir(folder).filePath(QStringLiteral("old.txt")), "old export");

    ModalWatcher watcher;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const Logged logs = fillLogs(form, kLogBytes);
    if (!mount)
        limit = std::make_unique<FileSizeLimit>(64 * 1024);
    exportExpectingFailure(form, watcher, folder);
    limit.reset();

    // With room again, the same export goes through and holds both logs whole.
    if (mount) {
        mount.reset();
        WriteFileBytes(QDir(folder).filePath(QStringLiteral("old.txt")), "old export");
    }
    watcher.clear();
    ChooseSaveFile(watcher, QDir(folder).filePath(QStringLiteral("old.txt")));
    watcher.answerBox(QMessageBox::Yes);
    form.Export1->trigger();
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(ReadFileBytes(QDir(folder).filePath(QStringLiteral("old.txt"))),
             BuildExportText(logs.tcp, logs.com));
}

BRIXEL_TEST_MAIN(TestFaultsFiles)
#include "tst_FaultsFiles.moc"
