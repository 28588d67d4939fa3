// The shared conversion of typed text to an integer.
#include "presentation/ParseInt.h"
#include "support/TestMain.h"

#include <QTest>

using namespace brixel;

class TestParseInt : public QObject {
    Q_OBJECT
private slots:
    void cases_data();
    void cases();
};

void TestParseInt::cases_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("value");

    auto row = [](const char* text, bool valid, qint32 value) {
        QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << valid << value;
    };
    // Decimal
    row("0", true, 0);
    row("5000", true, 5000);
    row("  42", true, 42);
    row("+7", true, 7);
    row("-12", true, -12);
    row("-0", true, 0);
    row("007", true, 7);
    row("2147483647", true, 2147483647);
    row("-2147483648", true, qint32(-2147483647 - 1));
    row("00000000002147483647", true, 2147483647);
    // Hexadecimal, every marker
    row("$1388", true, 5000);
    row("0x1388", true, 5000);
    row("0X1388", true, 5000);
    row("x10", true, 16);
    row("X10", true, 16);
    row("  $ff", true, 255);
    row("$7FFFFFFF", true, 2147483647);
    row("$80000000", true, qint32(-2147483647 - 1));
    row("$FFFFFFFF", true, -1);
    row("$000000001", true, 1);
    row("0x00000000FFFFFFFF", true, -1);

    // Invalid: the digits read before the first misfit, without sign, or 0
    row("", false, 0);
    row("   ", false, 0);
    row("abc", false, 0);
    row("5000x", false, 5000);
    row("5000 ", false, 5000);
    row("-12a", false, 12);
    row("12a34", false, 12);
    row("+", false, 0);
    row("-", false, 0);
    row("--1", false, 0);
    row(" - 1", false, 0);
    row("1 2", false, 1);
    row("\t1", false, 0);
    row("-$1", false, 0);
    row("+$1", false, 0);
    row("$", false, 0);
    row("0x", false, 0);
    row("$-1", false, 0);
    row("$12G", false, 0x12);
    row("0x1 ", false, 1);
    row("00x10", false, 0);
    // Too large: the digit that leaves the range is the first misfit
    row("2147483648", false, 214748364);
    row("99999999999", false, 999999999);
    row("-2147483649", false, 214748364);
    row("-2147483648x", false, 214748364);
    row("$100000000", false, 0x10000000);
    row("$FFFFFFFFF", false, -1);
    row("$123456789", false, 0x12345678);
    // Only the ASCII digits count
    QTest::addRow("arabic-indic digit") << QString::fromUtf8("\u0661") << false << 0;
    QTest::addRow("fullwidth digit") << QString::fromUtf8("7\uFF17") << false << 7;
}

void TestParseInt::cases() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint32, value);
    qint32 written = 777; // must be overwritten either way
    QCOMPARE(ParseInt(text, written), valid);
    QCOMPARE(written, value);
}

BRIXEL_TEST_MAIN(TestParseInt)
#include "tst_ParseInt.moc"
