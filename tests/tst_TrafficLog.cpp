// The log's text without any widget: newest-first lines, the line-length and size
// bounds, and the pieces a line is made of.
#include "presentation/LogGlyphs.h"
#include "presentation/LogLineText.h"
#include "presentation/TrafficLog.h"
#include "support/TestMain.h"

#include <QTest>

using namespace brixel;

namespace {

QByteArrayList Lines(const TrafficLog& log) {
    QByteArrayList lines;
    for (int i = 0; i < log.lineCount(); ++i)
        lines << log.line(i);
    return lines;
}

// A line whose bytes tell which line it is and where in it each byte stands.
QByteArray Numbered(int n, int length) {
    QByteArray text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        text[i] = char((n * 7 + i) % 251);
    return text;
}

} // namespace

class TestTrafficLog : public QObject {
    Q_OBJECT
private slots:
    void newestLineOnTop();
    void keepsEveryByte();
    void longLineGoesOnInNewLines();
    void dropsOldestLinesPastCapacity();
    void dropsOldestLinesPastLineLimit();
    void clearKeepsSequenceGrowing();
    void manyBlocksRoundTrip();
    void timestampPrefix_data();
    void timestampPrefix();
    void joinPrefix_data();
    void joinPrefix();
    void removeLineFeeds_data();
    void removeLineFeeds();
    void gapIsWholeMillisecondsEitherWay();
    void displayMarks();
};

void TestTrafficLog::newestLineOnTop() {
    TrafficLog log;
    QCOMPARE(log.lineCount(), 0);
    QCOMPARE(log.text(), QByteArray());
    log.appendToTop("first"); // an empty log gets its first line
    log.startLine("second");
    log.appendToTop(" more");
    log.startLine("");
    QCOMPARE(Lines(log), (QByteArrayList{"", "second more", "first"}));
    QCOMPARE(log.text(), QByteArray("\r\nsecond more\r\nfirst"));
    QCOMPARE(log.size(), qint64(16));
    QCOMPARE(log.newestSeq() - log.oldestSeq() + 1, qint64(3));
    QCOMPARE(log.lineBySeq(log.oldestSeq()), QByteArray("first"));
}

void TestTrafficLog::keepsEveryByte() {
    TrafficLog log;
    const QByteArray odd("A\0B\r\xFF\x80", 6);
    log.startLine(odd);
    log.appendToTop(QByteArray(1, '\0'));
    QCOMPARE(log.line(0), odd + QByteArray(1, '\0'));
    QCOMPARE(log.text(), odd + QByteArray(1, '\0'));
}

void TestTrafficLog::longLineGoesOnInNewLines() {
    TrafficLog log(1000, 10);
    log.startLine("0123456");
    log.appendToTop("789"); // exactly full: no new line yet
    QCOMPARE(Lines(log), (QByteArrayList{"0123456789"}));
    log.appendToTop("abcdefghijklmnopqrstuvw");
    QCOMPARE(Lines(log), (QByteArrayList{"uvw", "klmnopqrst", "abcdefghij", "0123456789"}));
    log.startLine("0123456789ABC"); // a new line too long for one line
    QCOMPARE(log.line(0), QByteArray("ABC"));
    QCOMPARE(log.line(1), QByteArray("0123456789"));
    QCOMPARE(log.line(2), QByteArray("uvw"));

    // The default bound.
    TrafficLog big;
    QCOMPARE(big.maxLineLength(), qsizetype(4096));
    for (int i = 0; i < 1000; ++i)
        big.appendToTop("0123456789");
    QCOMPARE(big.lineCount(), 3);
    QCOMPARE(big.lineLength(2), qsizetype(4096));
    QCOMPARE(big.lineLength(1), qsizetype(4096));
    QCOMPARE(big.lineLength(0), qsizetype(10000 - 8192));
}

void TestTrafficLog::dropsOldestLinesPastCapacity() {
    TrafficLog log(100, 10);
    for (int n = 0; n < 30; ++n)
        log.startLine(Numbered(n, 10));
    QCOMPARE(log.lineCount(), 10);
    QCOMPARE(log.size(), qint64(100));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(log.line(i), Numbered(29 - i, 10));
    // Growing the top line pushes the oldest out as well.
    log.appendToTop("x");
    QCOMPARE(log.lineCount(), 10);
    QCOMPARE(log.line(9), Numbered(21, 10));
    QCOMPARE(log.line(0), QByteArray("x"));
    QVERIFY(log.size() <= log.capacity());
    QCOMPARE(log.text().count("\r\n"), 9);
    QCOMPARE(TrafficLog().capacity(), qint64(64) << 20);
}

void TestTrafficLog::dropsOldestLinesPastLineLimit() {
    TrafficLog log(1000, 100, 3);
    for (const char* text : {"a", "b", "c", "d", "e"})
        log.startLine(text);
    QCOMPARE(Lines(log), (QByteArrayList{"e", "d", "c"}));
    QCOMPARE(log.size(), qint64(3));
}

void TestTrafficLog::clearKeepsSequenceGrowing() {
    TrafficLog log;
    log.startLine("a");
    log.startLine("b");
    const qint64 newest = log.newestSeq();
    log.clear();
    QCOMPARE(log.lineCount(), 0);
    QCOMPARE(log.size(), qint64(0));
    QCOMPARE(log.text(), QByteArray());
    log.appendToTop("c");
    QCOMPARE(Lines(log), (QByteArrayList{"c"}));
    QVERIFY(log.newestSeq() > newest);
}

// Lines that cross the storage's blocks and are dropped through them read back intact.
void TestTrafficLog::manyBlocksRoundTrip() {
    TrafficLog log(1 << 20, 5000);
    for (int n = 0; n < 2000; ++n) {
        log.startLine(Numbered(n, 1000 + n % 3000));
        QVERIFY(log.size() <= log.capacity());
    }
    int n = 1999;
    for (int i = 0; i < log.lineCount(); ++i, --n)
        QCOMPARE(log.line(i), Numbered(n, 1000 + n % 3000));
    QVERIFY(log.size() > (1 << 20) - 4000);
    QVERIFY(log.memoryBytes() < log.size() + 3 * 65536);
}

void TestTrafficLog::timestampPrefix_data() {
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("example") << QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 42))
                             << QByteArray("2024-03-05 14:07:09.042    ->    ");
    QTest::newRow("midnight") << QDateTime(QDate(2024, 1, 1), QTime(0, 0))
                              << QByteArray("2024-01-01 00:00:00.000    ->    ");
    QTest::newRow("last ms of year") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))
                                     << QByteArray("1999-12-31 23:59:59.999    ->    ");
}

void TestTrafficLog::timestampPrefix() {
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, expected);
    QCOMPARE(FormatTimestampPrefix(time), expected);
    QCOMPARE(expected.size(), 33);
}

void TestTrafficLog::joinPrefix_data() {
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("both") << QByteArray("P ") << QByteArray("text") << QByteArray("P text");
    QTest::newRow("no prefix") << QByteArray() << QByteArray("text") << QByteArray("text");
    QTest::newRow("no text") << QByteArray("P") << QByteArray() << QByteArray("P");
    QTest::newRow("neither") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("zero bytes kept")
        << QByteArray("P") << QByteArray("A\0B", 3) << QByteArray("PA\0B", 4);
}

void TestTrafficLog::joinPrefix() {
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(JoinPrefix(prefix, text), expected);
}

void TestTrafficLog::removeLineFeeds_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("CR LF") << QByteArray("A\r\nB") << QByteArray("A\rB");
    QTest::newRow("only LF") << QByteArray("\n\n\n") << QByteArray();
    QTest::newRow("none") << QByteArray("A\0B", 3) << QByteArray("A\0B", 3);
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestTrafficLog::removeLineFeeds() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(RemoveLineFeeds(text), expected);
}

void TestTrafficLog::gapIsWholeMillisecondsEitherWay() {
    const QDateTime t(QDate(2024, 3, 5), QTime(23, 59, 59, 900));
    QCOMPARE(LogGapMs(t, t), qint64(0));
    QCOMPARE(LogGapMs(t, t.addMSecs(200)), qint64(200));
    QCOMPARE(LogGapMs(t.addMSecs(200), t), qint64(200)); // a clock set back
    QCOMPARE(LogGapMs(t, t.addDays(30)), qint64(30) * 86400000);
}

void TestTrafficLog::displayMarks() {
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    for (MarkStyle style : {MarkStyle::ControlPictures, MarkStyle::Letters}) {
        const QString shown = ToDisplayText(all, style);
        QCOMPARE(shown.size(), 256); // one character per byte
        for (int b = 0; b < 256; ++b) {
            const QChar c = shown.at(b);
            QVERIFY2(c.isPrint(), qPrintable(QString::number(b, 16)));
            // A byte with a glyph of its own shows as itself; the others are marked.
            QCOMPARE(c == QChar(b), !IsMarkedByte(quint8(b)));
        }
    }
    const QString pictures = ToDisplayText(QByteArray("\0\r\x7F\x85", 4));
    QCOMPARE(pictures, QString(QChar(0x2400)) + QChar(0x240D) + QChar(0x2421) + QChar(0xFFFD));
    const QString letters = ToDisplayText(QByteArray("\0\r\x7F\x85", 4), MarkStyle::Letters);
    QCOMPARE(letters, QStringLiteral("@M?E"));
    QCOMPARE(ToDisplayText("A\xE9\xAD"), QString(QChar(u'A')) + QChar(0xE9) + QChar(u'-'));
}

BRIXEL_TEST_MAIN(TestTrafficLog)
#include "tst_TrafficLog.moc"
