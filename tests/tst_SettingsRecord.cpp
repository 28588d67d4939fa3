// TCP.SET at byte level: the default file, the restore at start-up, Save.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "persist/SettingsRecord.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ModalWatcher.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace brixel;

namespace {

constexpr int kSize = 184;

void put32(QByteArray& record, int offset, qint32 value) {
    for (int i = 0; i < 4; ++i)
        record[offset + i] = char(quint32(value) >> (8 * i));
}

qint32 get32(const QByteArray& record, int offset) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(quint8(record[offset + i])) << (8 * i);
    return qint32(v);
}

// A valid record written by hand: host, port 5000, Client, serial off, String
// formats, timestamps on, every other byte 0.
QByteArray handRecord(const QByteArray& host = "localhost") {
    QByteArray r(kSize, '\0');
    r.replace(0, host.size(), host);
    put32(r, 64, 5000);
    put32(r, 68, 1);
    r[168] = 1;
    return r;
}

} // namespace

class TestSettingsRecord : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesDefaultFile();
    void existingFileIsLeftAlone();
    void defaultFileThatCannotBeWrittenIsSkipped();
    void fieldCopies_data();
    void fieldCopies();
    void saveAndRestoreRoundTrip();
    void bytesWithoutMeaningAreWrittenBack();
    void socketModeIsKeptWithinItems_data();
    void socketModeIsKeptWithinItems();
    void comPortOnKeepsItsValue();
    void formatsOutsideRangeReadAsString_data();
    void formatsOutsideRangeReadAsString();
    void portTextSavesParseIntValue_data();
    void portTextSavesParseIntValue();
    void hostLengths_data();
    void hostLengths();
    void hostWithoutZeroByteReadsWholeField();
    void shortFileIsAppliedAsFarAsItGoes();
    void unreadableFileReportsCannotOpen();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
};

void TestSettingsRecord::firstStartWritesDefaultFile() {
    WorkingDir dir;
    TForm1 form; // creation writes the file, before any show
    const QByteArray bytes = ReadFileBytes(dir.file(QStringLiteral("TCP.SET")));
    QCOMPARE(bytes.size(), kSize);

    QByteArray expected(kSize, '\0');
    expected.replace(0, 9, "localhost");
    expected[64] = char(0x88); // 5000, little-endian
    expected[65] = char(0x13);
    expected[68] = 1; // Client
    expected[168] = 1;
    for (int i = 0; i < kSize; ++i)
        QVERIFY2(bytes[i] == expected[i], qPrintable(QStringLiteral("offset %1").arg(i)));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(DefaultSettingsRecord().bytes.data()), kSize),
             expected);

    form.show();
    QCOMPARE(form.txbHost->text(), QStringLiteral("localhost"));
    QCOMPARE(form.txbPort->text(), QStringLiteral("5000"));
    QCOMPARE(form.grpTCPSocketType->itemIndex(), 1);
    QCOMPARE(form.comPortOn, quint8(0));
    QVERIFY(form.btnComPortOff->isDown());
    QVERIFY(!form.btnComPortOn->isDown());
    QCOMPARE(form.showTimestamp, quint8(1));
    QVERIFY(form.chkShowDateTime->isChecked());
    QCOMPARE(form.txFormat, 0);
    QCOMPARE(form.rxFormat, 0);
}

void TestSettingsRecord::existingFileIsLeftAlone() {
    WorkingDir dir;
    const QByteArray mine = handRecord("mine.example").left(100);
    WriteFileBytes(dir.file(QStringLiteral("TCP.SET")), mine);
    TForm1 form;
    QCOMPARE(ReadFileBytes(dir.file(QStringLiteral("TCP.SET"))), mine);
}

void TestSettingsRecord::defaultFileThatCannotBeWrittenIsSkipped() {
    WorkingDir dir;
    ModalWatcher watcher;
    std::unique_ptr<TForm1> form;
    {
        FileSizeLimit limit(100);
        form = std::make_unique<TForm1>();
    }
    QVERIFY(!QFile::exists(dir.file(QStringLiteral("TCP.SET"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    form->show();
    QCOMPARE(form->grpTCPSocketType->itemIndex(), 0); // Off, as start-up sets it
    QCOMPARE(form->txbHost->text(), QStringLiteral("localhost"));
    QCOMPARE(watcher.seen().size(), 0);
}

void TestSettingsRecord::fieldCopies_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QByteArray>("readBack");
    const QByteArray tail("ABCDEFGH");
    QTest::newRow("short text keeps tail")
        << tail << QByteArray("xy") << 6 << QByteArray("xy\0DEFGH", 8) << QByteArray("xy");
    QTest::newRow("cut to n") << tail << QByteArray("123456789") << 3 << QByteArray("123\0EFGH", 8)
                              << QByteArray("123");
    QTest::newRow("zero byte always fits") << tail << QByteArray("123456789") << 60
                                           << QByteArray("1234567\0", 8) << QByteArray("1234567");
    QTest::newRow("empty text") << tail << QByteArray() << 5 << QByteArray("\0BCDEFGH", 8)
                                << QByteArray();
}

void TestSettingsRecord::fieldCopies() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, text);
    QFETCH(int, n);
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, readBack);
    std::array<quint8, 8> field{};
    std::copy(before.begin(), before.end(), field.begin());
    CopyTextToField(text, field, n);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(field.data()), 8), after);
    QCOMPARE(FieldToText(field, 8), readBack);
    // Reading stops at n characters, and at the field's end without a zero byte.
    const std::array<quint8, 4> full{'a', 'b', 'c', 'd'};
    QCOMPARE(FieldToText(full, 2), QByteArray("ab"));
    QCOMPARE(FieldToText(full, 64), QByteArray("abcd"));
}

void TestSettingsRecord::saveAndRestoreRoundTrip() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    {
        TForm1 form;
        form.show();
        form.txbHost->setText(QStringLiteral("raspberrypi.local"));
        form.txbPort->setText(QStringLiteral("1234"));
        form.grpTCPSocketType->setItemIndex(2);
        form.comPortOn = 1;
        form.showTimestamp = 0;
        form.txFormat = 3;
        form.rxFormat = 2;
        form.btnSave->click();
    }
    const QByteArray bytes = ReadFileBytes(path);
    QCOMPARE(bytes.size(), kSize);
    QCOMPARE(bytes.left(18), QByteArray("raspberrypi.local\0", 18));
    QCOMPARE(get32(bytes, 64), 1234);
    QCOMPARE(get32(bytes, 68), 2);
    QCOMPARE(bytes[72], char(1));
    QCOMPARE(bytes[166], char(3));
    QCOMPARE(bytes[167], char(2));
    QCOMPARE(bytes[168], char(0));

    TForm1 form;
    form.show();
    QCOMPARE(form.txbHost->text(), QStringLiteral("raspberrypi.local"));
    QCOMPARE(form.txbPort->text(), QStringLiteral("1234"));
    QCOMPARE(form.grpTCPSocketType->itemIndex(), 2);
    QCOMPARE(form.comPortOn, quint8(1));
    QVERIFY(form.btnComPortOn->isDown());
    QVERIFY(!form.btnComPortOff->isDown());
    QCOMPARE(form.showTimestamp, quint8(0));
    QVERIFY(!form.chkShowDateTime->isChecked());
    QCOMPARE(form.txFormat, 3);
    QCOMPARE(form.rdSendFormat->itemIndex(), 3);
    QCOMPARE(form.rxFormat, 2);
    QCOMPARE(form.rdIncomingFormat->itemIndex(), 2);
    // Saving again without a change writes the same bytes.
    form.btnSave->click();
    QCOMPARE(ReadFileBytes(path), bytes);
}

void TestSettingsRecord::bytesWithoutMeaningAreWrittenBack() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    // Every byte non-zero where the record allows it, the host's tail included.
    QByteArray original(kSize, '\0');
    for (int i = 0; i < kSize; ++i)
        original[i] = char(0x80 | (i * 37 + 11));
    original.replace(0, 4, QByteArray("abc\0", 4));
    put32(original, 64, 5000);
    put32(original, 68, 1);
    original[72] = 0;
    original[166] = 1;
    original[167] = 3;
    original[168] = 1;
    WriteFileBytes(path, original);

    TForm1 form;
    form.show();
    QCOMPARE(form.txbHost->text(), QStringLiteral("abc"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(form.reservedValue.data()), 8),
             original.mid(176, 8));
    form.btnSave->click();
    QCOMPARE(ReadFileBytes(path), original);

    // A changed field changes only its own bytes.
    form.txbHost->setText(QStringLiteral("a"));
    form.txbPort->setText(QStringLiteral("7"));
    form.btnSave->click();
    QByteArray expected = original;
    expected[1] = '\0';
    put32(expected, 64, 7);
    QCOMPARE(ReadFileBytes(path), expected);
}

void TestSettingsRecord::socketModeIsKeptWithinItems_data() {
    QTest::addColumn<qint32>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("7 is Server") << 7 << 2;
    QTest::newRow("2 Server") << 2 << 2;
    QTest::newRow("0 Off") << 0 << 0;
    QTest::newRow("-1 nothing") << -1 << -1;
    QTest::newRow("-5 nothing") << -5 << -1;
    QTest::newRow("smallest int") << qint32(-2147483647 - 1) << -1;
}

void TestSettingsRecord::socketModeIsKeptWithinItems() {
    QFETCH(qint32, stored);
    QFETCH(int, shown);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    QByteArray record = handRecord();
    put32(record, 68, stored);
    WriteFileBytes(path, record);
    TForm1 form;
    form.show();
    QCOMPARE(form.grpTCPSocketType->itemIndex(), shown);
    form.btnSave->click();
    QCOMPARE(get32(ReadFileBytes(path), 68), shown);
}

void TestSettingsRecord::comPortOnKeepsItsValue() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    QByteArray record = handRecord();
    record[72] = 2;
    WriteFileBytes(path, record);
    TForm1 form;
    form.show();
    QCOMPARE(form.comPortOn, quint8(2));
    QVERIFY(form.btnComPortOn->isDown());
    QVERIFY(!form.btnComPortOff->isDown());
    form.btnSave->click();
    QCOMPARE(ReadFileBytes(path)[72], char(2));
}

void TestSettingsRecord::formatsOutsideRangeReadAsString_data() {
    QTest::addColumn<int>("txByte");
    QTest::addColumn<int>("rxByte");
    QTest::addColumn<int>("tx");
    QTest::addColumn<int>("rx");
    QTest::newRow("in range") << 3 << 1 << 3 << 1;
    QTest::newRow("9 and 255") << 9 << 255 << 0 << 0;
    QTest::newRow("4 and 128") << 4 << 128 << 0 << 0;
    QTest::newRow("127 and 2") << 127 << 2 << 0 << 2;
}

void TestSettingsRecord::formatsOutsideRangeReadAsString() {
    QFETCH(int, txByte);
    QFETCH(int, rxByte);
    QFETCH(int, tx);
    QFETCH(int, rx);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    QByteArray record = handRecord();
    record[166] = char(txByte);
    record[167] = char(rxByte);
    WriteFileBytes(path, record);
    TForm1 form;
    form.show();
    // State and selector agree, so the TX buttons and the logs do what is shown.
    QCOMPARE(form.txFormat, tx);
    QCOMPARE(form.rdSendFormat->itemIndex(), tx);
    QCOMPARE(form.rxFormat, rx);
    QCOMPARE(form.rdIncomingFormat->itemIndex(), rx);
    form.btnSave->click();
    const QByteArray saved = ReadFileBytes(path);
    QCOMPARE(int(saved[166]), tx);
    QCOMPARE(int(saved[167]), rx);
}

void TestSettingsRecord::portTextSavesParseIntValue_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint32>("stored");
    QTest::newRow("5000x") << QStringLiteral("5000x") << 5000;
    QTest::newRow("abc") << QStringLiteral("abc") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("hex") << QStringLiteral("$1388") << 5000;
    QTest::newRow("negative") << QStringLiteral("-1") << -1;
    QTest::newRow("too large") << QStringLiteral("99999999999") << 999999999;
}

void TestSettingsRecord::portTextSavesParseIntValue() {
    QFETCH(QString, typed);
    QFETCH(qint32, stored);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    {
        TForm1 form;
        form.show();
        form.txbPort->setText(typed);
        form.btnSave->click();
    }
    QCOMPARE(get32(ReadFileBytes(path), 64), stored);
    TForm1 form;
    form.show();
    QCOMPARE(form.txbPort->text(), QString::number(stored));
}

void TestSettingsRecord::hostLengths_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("restored");
    const QString host63 = QStringLiteral("h").repeated(50) + QStringLiteral(".example.org");
    QTest::newRow("15") << QStringLiteral("a23456789012345") << QStringLiteral("a23456789012345");
    QTest::newRow("20") << QStringLiteral("a2345678901234567890")
                        << QStringLiteral("a2345678901234567890");
    QTest::newRow("raspberrypi.local")
        << QStringLiteral("raspberrypi.local") << QStringLiteral("raspberrypi.local");
    QTest::newRow("63") << (host63 + QLatin1Char('x')).left(63)
                        << (host63 + QLatin1Char('x')).left(63);
    QTest::newRow("70 cut to 63") << QStringLiteral("b").repeated(70)
                                  << QStringLiteral("b").repeated(63);
    // A character of several bytes is never split.
    QTest::newRow("multibyte at the cut")
        << QStringLiteral("c").repeated(62) + QChar(0x00E9) << QStringLiteral("c").repeated(62);
}

void TestSettingsRecord::hostLengths() {
    QFETCH(QString, typed);
    QFETCH(QString, restored);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    {
        TForm1 form;
        form.show();
        form.txbHost->setText(typed);
        form.btnSave->click();
    }
    const QByteArray bytes = ReadFileBytes(path);
    const QByteArray hostBytes = restored.toLocal8Bit();
    QCOMPARE(bytes.left(hostBytes.size()), hostBytes);
    QCOMPARE(bytes[hostBytes.size()], '\0');
    // What follows the zero byte is what the default record had there.
    QCOMPARE(bytes.mid(hostBytes.size() + 1, 64 - hostBytes.size() - 1),
             handRecord().mid(hostBytes.size() + 1, 64 - hostBytes.size() - 1));
    TForm1 form;
    form.show();
    QCOMPARE(form.txbHost->text(), restored);
}

void TestSettingsRecord::hostWithoutZeroByteReadsWholeField() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    WriteFileBytes(path, handRecord(QByteArray(64, 'q')));
    TForm1 form;
    form.show();
    QCOMPARE(form.txbHost->text(), QString(64, QLatin1Char('q')));
    form.btnSave->click();
    QCOMPARE(ReadFileBytes(path).left(64), QByteArray(63, 'q') + '\0');
}

void TestSettingsRecord::shortFileIsAppliedAsFarAsItGoes() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    QByteArray record = handRecord("short.example");
    put32(record, 64, 1234);
    put32(record, 68, 2);
    record[168] = 0;
    WriteFileBytes(path, record.left(70)); // host and port whole, socket mode cut
    ModalWatcher watcher;
    TForm1 form;
    form.show();
    QCOMPARE(watcher.seen().size(), 0);
    QCOMPARE(form.txbHost->text(), QStringLiteral("short.example"));
    QCOMPARE(form.txbPort->text(), QStringLiteral("1234"));
    // The fields the file does not hold keep what start-up set.
    QCOMPARE(form.grpTCPSocketType->itemIndex(), 0);
    QCOMPARE(form.showTimestamp, quint8(1));
    QVERIFY(form.chkShowDateTime->isChecked());
    QCOMPARE(form.txFormat, 0);
    QCOMPARE(form.rdSendFormat->itemIndex(), 0);

    // A save writes the whole record again.
    form.btnSave->click();
    const QByteArray saved = ReadFileBytes(path);
    QCOMPARE(saved.size(), kSize);
    QCOMPARE(get32(saved, 68), 0);
    QCOMPARE(saved[168], char(1));
}

void TestSettingsRecord::unreadableFileReportsCannotOpen() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("TCP.SET"))); // exists, cannot be read
    ModalWatcher watcher;
    watcher.answerBox(QMessageBox::Ok);
    TForm1 form;
    form.show();
    QTRY_COMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().front().title, QStringLiteral("Brixel"));
    QCOMPARE(watcher.seen().front().icon, QMessageBox::Critical);
    QCOMPARE(watcher.seen().front().text, QStringLiteral("Cannot open file %1.").arg(path));
    // Nothing of the file is restored; the earlier start-up steps stand.
    QCOMPARE(form.txbHost->text(), QStringLiteral("localhost"));
    QCOMPARE(form.grpTCPSocketType->itemIndex(), 0);
    QCOMPARE(form.statusPanelText(0), QStringLiteral("No Connection"));
}

void TestSettingsRecord::failedSaveKeepsOldFile_data() {
    QTest::addColumn<bool>("stopHalfWay");
    QTest::newRow("write stops half way") << true;
    QTest::newRow("path is a folder") << false;
}

void TestSettingsRecord::failedSaveKeepsOldFile() {
    QFETCH(bool, stopHalfWay);
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("TCP.SET"));
    TForm1 form; // writes the default file
    form.show();
    const QByteArray before = ReadFileBytes(path);
    QCOMPARE(before.size(), kSize);
    QString target = path;
    if (!stopHalfWay) {
        target = dir.file(QStringLiteral("folder"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        WriteFileBytes(dir.file(QStringLiteral("folder/inside")), "kept");
        form.settingsPath = target;
    }

    form.txbHost->setText(QStringLiteral("changed.example"));
    ModalWatcher watcher;
    watcher.answerBox(QMessageBox::Ok);
    {
        FileSizeLimit limit(100);
        form.btnSave->click();
    }
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().front().title, QStringLiteral("Brixel"));
    QCOMPARE(watcher.seen().front().icon, QMessageBox::Critical);
    QCOMPARE(watcher.seen().front().text, QStringLiteral("Cannot create file %1.").arg(target));

    // The old file is whole and no half-written file is left beside it.
    QCOMPARE(ReadFileBytes(path), before);
    QStringList expectedEntries{QStringLiteral("TCP.SET")};
    if (!stopHalfWay) {
        QCOMPARE(ReadFileBytes(dir.file(QStringLiteral("folder/inside"))), QByteArray("kept"));
        expectedEntries.prepend(QStringLiteral("folder"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             expectedEntries);
    // The window's copy keeps the new values: the next save that works writes them.
    QCOMPARE(FieldToText(form.settingsRecord->host(), 64), QByteArray("changed.example"));
    form.settingsPath = path;
    form.btnSave->click();
    QCOMPARE(ReadFileBytes(path).left(16), QByteArray("changed.example\0", 16));
}

BRIXEL_TEST_MAIN(TestSettingsRecord)
#include "tst_SettingsRecord.moc"
