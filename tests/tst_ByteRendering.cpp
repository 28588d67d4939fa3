// Received bytes as display text in the four RX formats, and the RX Format selector.
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "presentation/ByteRendering.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QRadioButton>
#include <QTest>

using namespace brixel;

namespace {
constexpr qint32 String = 0, Binary = 1, Decimal = 2, Hex = 3;
} // namespace

class TestByteRendering : public QObject {
    Q_OBJECT
private slots:
    void renderChunk_data();
    void renderChunk();
    void longChunkLengths_data();
    void longChunkLengths();
    void byteToBinaryText_data();
    void byteToBinaryText();
    void everyByteInEveryFormat();
    void formatSelectorSetsRxFormat();
};

void TestByteRendering::renderChunk_data() {
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<qint32>("format");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray example("\x41\x0D\xFF", 3);
    QTest::newRow("example String") << example << String << example;
    QTest::newRow("example Binary")
        << example << Binary << QByteArray("01000001 00001101 11111111 ");
    QTest::newRow("example Decimal") << example << Decimal << QByteArray("65 13 255 ");
    QTest::newRow("example Hex") << example << Hex << QByteArray("41 0D FF ");

    const QByteArray zero(1, '\0');
    QTest::newRow("zero String") << zero << String << zero;
    QTest::newRow("zero Binary") << zero << Binary << QByteArray("00000000 ");
    QTest::newRow("zero Decimal") << zero << Decimal << QByteArray("0 ");
    QTest::newRow("zero Hex") << zero << Hex << QByteArray("00 ");
    // Bytes after a zero byte are kept.
    QTest::newRow("A zero B String") << QByteArray("A\0B", 3) << String << QByteArray("A\0B", 3);

    QTest::newRow("0x80 String") << QByteArray("\x80") << String << QByteArray("\x80");
    QTest::newRow("0x80 Binary") << QByteArray("\x80") << Binary << QByteArray("10000000 ");
    QTest::newRow("0x80 Decimal") << QByteArray("\x80") << Decimal << QByteArray("128 ");
    QTest::newRow("0x80 Hex") << QByteArray("\x80") << Hex << QByteArray("80 ");
    QTest::newRow("0xFF Decimal") << QByteArray("\xFF") << Decimal << QByteArray("255 ");
    QTest::newRow("0xFF Hex") << QByteArray("\xFF") << Hex << QByteArray("FF ");
    QTest::newRow("0x0A String") << QByteArray("\n") << String << QByteArray("\n");
    QTest::newRow("0x0A Decimal") << QByteArray("\n") << Decimal << QByteArray("10 ");
    QTest::newRow("0x0A Hex") << QByteArray("\n") << Hex << QByteArray("0A ");
    QTest::newRow("space String") << QByteArray(" ") << String << QByteArray(" ");
    QTest::newRow("decimal widths")
        << QByteArray("\x09\x63\x64", 3) << Decimal << QByteArray("9 99 100 ");

    for (qint32 format : {String, Binary, Decimal, Hex})
        QTest::addRow("empty chunk, format %d", format) << QByteArray() << format << QByteArray();
    for (qint32 format : {4, 7, 127, -1, -128})
        QTest::addRow("format %d renders nothing", format) << example << format << QByteArray();
}

void TestByteRendering::renderChunk() {
    QFETCH(QByteArray, chunk);
    QFETCH(qint32, format);
    QFETCH(QByteArray, expected);
    QCOMPARE(RenderRxChunk(chunk, format), expected);
    QCOMPARE(RenderRxChunk(reinterpret_cast<const quint8*>(chunk.constData()), qint32(chunk.size()),
                           format),
             expected);
}

void TestByteRendering::longChunkLengths_data() {
    QTest::addColumn<qint32>("format");
    QTest::addColumn<int>("length");
    QTest::newRow("String") << String << 1000;
    QTest::newRow("Binary") << Binary << 9000;
    // 0..255 repeated: 10 one-digit, 90 two-digit and 156 three-digit values per 256.
    QTest::newRow("Decimal") << Decimal
                             << 3 * (10 * 2 + 90 * 3 + 156 * 4) + (10 * 2 + 90 * 3 + 132 * 4);
    QTest::newRow("Hex") << Hex << 3000;
}

void TestByteRendering::longChunkLengths() {
    QFETCH(qint32, format);
    QFETCH(int, length);
    QByteArray chunk(1000, Qt::Uninitialized);
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char(i % 256);
    QCOMPARE(RenderRxChunk(chunk, format).size(), length);
}

void TestByteRendering::byteToBinaryText_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("0x00") << 0x00 << QByteArray("00000000");
    QTest::newRow("0x01") << 0x01 << QByteArray("00000001");
    QTest::newRow("0x41") << 0x41 << QByteArray("01000001");
    QTest::newRow("0x80") << 0x80 << QByteArray("10000000");
    QTest::newRow("0xFF") << 0xFF << QByteArray("11111111");
}

void TestByteRendering::byteToBinaryText() {
    QFETCH(int, byte);
    QFETCH(QByteArray, expected);
    QCOMPARE(ByteToBinaryText(quint8(byte)), expected);
}

// Each byte on its own and all 256 in one chunk read back to the same values.
void TestByteRendering::everyByteInEveryFormat() {
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    QCOMPARE(RenderRxChunk(all, String), all);

    for (qint32 format : {Binary, Decimal, Hex}) {
        const QList<QByteArray> pieces = RenderRxChunk(all, format).split(' ');
        QCOMPARE(pieces.size(), 257); // a space after every byte, the last one too
        QVERIFY(pieces.last().isEmpty());
        for (int b = 0; b < 256; ++b) {
            const int base = format == Binary ? 2 : format == Decimal ? 10 : 16;
            bool ok = false;
            QCOMPARE(pieces[b].toInt(&ok, base), b);
            QVERIFY(ok);
            QCOMPARE(RenderRxChunk(all.mid(b, 1), format), pieces[b] + ' ');
        }
    }
}

void TestByteRendering::formatSelectorSetsRxFormat() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QByteArray chunk("\x0A\x80", 2);
    auto pick = [&form](int item) {
        QRadioButton* b = form.rdIncomingFormat->button(item);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    };

    pick(3);
    QCOMPARE(form.rxFormat, Hex);
    QCOMPARE(RenderRxChunk(chunk, form.rxFormat), QByteArray("0A 80 "));
    pick(2);
    QCOMPARE(form.rxFormat, Decimal);
    QCOMPARE(RenderRxChunk(chunk, form.rxFormat), QByteArray("10 128 "));

    // A value that only a settings file can bring renders nothing until an item is picked.
    form.rxFormat = 7;
    QCOMPARE(RenderRxChunk(chunk, form.rxFormat), QByteArray());
    pick(1);
    QCOMPARE(form.rxFormat, Binary);
    QCOMPARE(RenderRxChunk(chunk, form.rxFormat), QByteArray("00001010 10000000 "));
}

BRIXEL_TEST_MAIN(TestByteRendering)
#include "tst_ByteRendering.moc"
