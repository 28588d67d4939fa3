// Typed text to bytes in the four TX formats, and the two normalisers the send
// buttons apply first.
#include "presentation/TxEncoding.h"
#include "support/TestMain.h"

#include <QTest>

using namespace brixel;

namespace {
constexpr qint32 kString = 0, kBinary = 1, kDecimal = 2, kHex = 3;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
} // namespace

class TestTxEncoding : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void normalize_data();
    void normalize();
    void sizeStaysWithinBound();
};

void TestTxEncoding::encode_data() {
    QTest::addColumn<qint32>("format");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("addCr");
    QTest::addColumn<bool>("addLf");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("error");

    const QString noError;
    const QString binaryError = BinaryFormatErrorText();
    const QString decimalError = DecimalFormatErrorText();
    const QString rangeError = DecimalRangeErrorText();
    QCOMPARE(binaryError,
             QStringLiteral("Message is not in Binary Format. Example: 10001000 10001000"));
    QCOMPARE(decimalError,
             QStringLiteral("Message is not in Decimal Format. Example: 11 22 33 255"));
    QCOMPARE(rangeError, QStringLiteral("The maximum decimal value is 255. Example: 11 22 33 255"));

    auto row = [](const char* name, qint32 format, const QByteArray& text, bool cr, bool lf,
                  const QByteArray& expected, const QString& error) {
        QTest::newRow(name) << format << text << cr << lf << expected << error;
    };
    // Decimal fields end at each space; an empty field is a zero byte.
    row("dec 11 22 33", kDecimal, "11 22 33", false, false, bytes({11, 22, 33}), noError);
    row("dec two spaces", kDecimal, "11  22", false, false, bytes({11, 0, 22}), noError);
    row("dec trailing space", kDecimal, "1 ", false, false, bytes({1}), noError);
    row("dec leading space", kDecimal, " 1", false, false, bytes({0, 1}), noError);
    row("dec one space", kDecimal, " ", false, false, bytes({0}), noError);
    row("dec empty", kDecimal, "", false, false, QByteArray(), noError);
    row("dec -1", kDecimal, "-1", false, false, bytes({255}), noError);
    row("dec $41", kDecimal, "$41", false, false, bytes({65}), noError);
    row("dec 0 and 255", kDecimal, "0 255", false, false, bytes({0, 255}), noError);
    row("dec ff", kDecimal, "ff", false, false, QByteArray(), decimalError);
    row("dec 256", kDecimal, "256", false, false, QByteArray(), rangeError);
    row("dec 65536", kDecimal, "65536", false, false, QByteArray(), rangeError);
    row("dec tab inside field", kDecimal, "1\t2", false, false, QByteArray(), decimalError);
    row("dec stops at first bad field", kDecimal, "1 2 x 3", true, true, QByteArray(),
        decimalError);
    row("dec bad field, no line end", kDecimal, "300", true, true, QByteArray(), rangeError);
    // Hex fields as the send buttons hand them over: normalised pairs.
    row("hex 0A BC DE", kHex, "0A BC DE ", false, false, bytes({10, 188, 222}), noError);
    row("hex 01 23", kHex, "01 23 ", false, false, bytes({1, 35}), noError);
    row("hex FF", kHex, "FF ", false, false, bytes({255}), noError);
    row("hex G1", kHex, "G1 ", false, false, QByteArray(), decimalError);
    row("hex sign refused", kHex, "-1", false, false, QByteArray(), decimalError);
    row("hex above 255", kHex, "100", false, false, QByteArray(), rangeError);
    row("hex 8 digits as a pattern", kHex, "FFFFFFFF", false, false, bytes({255}), noError);
    // Binary: most significant bit first, unfinished last byte dropped.
    row("bin 136 136", kBinary, " 10001000 10001000", false, false, bytes({136, 136}), noError);
    row("bin 101 padded", kBinary, " 00000101", false, false, bytes({5}), noError);
    row("bin unfinished byte dropped", kBinary, "111111110101", false, false, bytes({255}),
        noError);
    row("bin 12", kBinary, " 00000012", false, false, QByteArray(), binaryError);
    row("bin x", kBinary, "0000000x", false, false, QByteArray(), binaryError);
    row("bin $", kBinary, "$", false, false, QByteArray(), binaryError);
    // String: the bytes as typed, zero and high bytes included.
    row("string AT", kString, "AT", false, false, "AT", noError);
    row("string raw bytes", kString, QByteArray("a\0\xff", 3), false, false,
        QByteArray("a\0\xff", 3), noError);
    // CR, then LF, after any result that is not an error, empty text included.
    row("string AT crlf", kString, "AT", true, true, "AT\r\n", noError);
    row("string empty crlf", kString, "", true, true, "\r\n", noError);
    row("string empty", kString, "", false, false, QByteArray(), noError);
    row("dec cr only", kDecimal, "65", true, false, "A\r", noError);
    row("dec lf only", kDecimal, "65", false, true, "A\n", noError);
    row("dec empty crlf", kDecimal, "", true, true, "\r\n", noError);
    row("hex empty crlf", kHex, "", true, true, "\r\n", noError);
    row("bin empty crlf", kBinary, "", true, true, "\r\n", noError);
    row("bin crlf", kBinary, " 01000001", true, true, "A\r\n", noError);
    row("bin error, no line end", kBinary, "2", true, true, QByteArray(), binaryError);
    // A format outside 0..3 sends nothing and refuses nothing.
    row("format 9", 9, "65", true, true, QByteArray(), noError);
    row("format -1", -1, "AT", true, true, QByteArray(), noError);
}

void TestTxEncoding::encode() {
    QFETCH(qint32, format);
    QFETCH(QByteArray, text);
    QFETCH(bool, addCr);
    QFETCH(bool, addLf);
    QFETCH(QByteArray, expected);
    QFETCH(QString, error);
    const TxEncodeResult result = EncodeTxText(text, format, addCr, addLf);
    QCOMPARE(result.bytes, expected);
    QCOMPARE(result.error, error);
}

void TestTxEncoding::normalize_data() {
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QByteArray>("binary");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("spaces only") << QByteArray("   ") << QByteArray() << QByteArray();
    QTest::newRow("0ABCDE") << QByteArray("0ABCDE") << QByteArray("0A BC DE ")
                            << QByteArray(" 000ABCDE");
    QTest::newRow("a bc de") << QByteArray("a bc de") << QByteArray("0A BC DE ")
                             << QByteArray(" 000ABCDE");
    QTest::newRow("1 2 3") << QByteArray("1 2 3") << QByteArray("01 23 ")
                           << QByteArray(" 00000123");
    QTest::newRow("ff") << QByteArray("ff") << QByteArray("FF ") << QByteArray(" 000000FF");
    QTest::newRow("g1") << QByteArray("g1") << QByteArray("G1 ") << QByteArray(" 000000G1");
    QTest::newRow("101") << QByteArray("101") << QByteArray("01 01 ") << QByteArray(" 00000101");
    QTest::newRow("two groups") << QByteArray("10001000 10001000")
                                << QByteArray("10 00 10 00 10 00 10 00 ")
                                << QByteArray(" 10001000 10001000");
    QTest::newRow("nine digits") << QByteArray("110001000") << QByteArray("01 10 00 10 00 ")
                                 << QByteArray(" 00000001 10001000");
    // Tabs are not spaces: they stay for the encoder to refuse.
    QTest::newRow("tab") << QByteArray("1\t2") << QByteArray("01 \t2 ") << QByteArray(" 000001\t2");
}

void TestTxEncoding::normalize() {
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, hex);
    QFETCH(QByteArray, binary);
    QCOMPARE(NormalizeHexText(typed), hex);
    QCOMPARE(NormalizeBinaryText(typed), binary);
}

// A buffer of the text's length plus two (Decimal, Hex) or a byte per eight
// characters plus two (Binary) holds every result.
void TestTxEncoding::sizeStaysWithinBound() {
    const QByteArray texts[] = {"", " ", "     ", "1 1 1 1", " 1", "1", "11111111", "1111111"};
    for (const QByteArray& text : texts) {
        QVERIFY(EncodeTxText(text, kDecimal, true, true).bytes.size() <= text.size() + 2);
        QVERIFY(EncodeTxText(text, kHex, true, true).bytes.size() <= text.size() + 2);
        QVERIFY(EncodeTxText(text, kBinary, true, true).bytes.size() <= text.size() / 8 + 2);
    }
}

BRIXEL_TEST_MAIN(TestTxEncoding)
#include "tst_TxEncoding.moc"
