// The two logs of the real window: line grouping by the RX timeout, timestamps,
// Clear, the timeout field and the line pitch, driven with a clock moved by hand.
#include "app/SpinField.h"
#include "app/TForm1.h"
#include "presentation/ByteRendering.h"
#include "presentation/LogView.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace brixel;

namespace {

const QDateTime kStart(QDate(2024, 3, 5), QTime(14, 7, 9, 0));

// A clock that stands still until a test moves it.
struct HandClock {
    QDateTime now = kStart;
    ClockFn fn() {
        return [this] { return now; };
    }
    void at(int msFromStart) { now = kStart.addMSecs(msFromStart); }
};

QByteArrayList Lines(const LogView* log) {
    QByteArrayList lines;
    for (int i = 0; i < log->lineCount(); ++i)
        lines << log->line(i);
    return lines;
}

QByteArray Stamp(int msFromStart) {
    return kStart.addMSecs(msFromStart)
               .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
               .toLatin1() +
           "    ->    ";
}

struct Chunk {
    int atMs;
    QByteArray text;
};

} // namespace

class TestTrafficLogGrouping : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void gapRule_data();
    void gapRule();
    void helloWorldNext();
    void logsAreGroupedIndependently();
    void firstChunkAfterClearStartsLine();
    void lineFeedsAndZeroBytes();
    void showTimestampTakesEffectAtOnce();
    void growingTopLineStaysBounded();
    void timeoutField_data();
    void timeoutField();
    void closingWhileTypingTimeout();
    void lineSpacing();

private:
    std::unique_ptr<WorkingDir> dir_;
    HandClock clock_;
    std::unique_ptr<TForm1> form_;
};

void TestTrafficLogGrouping::init() {
    dir_ = std::make_unique<WorkingDir>();
    clock_.at(0);
    form_ = std::make_unique<TForm1>(clock_.fn());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestTrafficLogGrouping::cleanup() {
    form_.reset();
    dir_.reset();
}

void TestTrafficLogGrouping::gapRule_data() {
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QList<Chunk>>("chunks");
    QTest::addColumn<QByteArrayList>("expected");
    // The first chunk comes in the same millisecond as start-up and still starts a line.
    QTest::newRow("150, 350 continue; 551 starts a line")
        << 200 << QList<Chunk>{{0, "a"}, {150, "b"}, {350, "c"}, {551, "d"}}
        << QByteArrayList{"d", "abc"};
    QTest::newRow("gap equal to the timeout continues")
        << 200 << QList<Chunk>{{0, "a"}, {200, "b"}, {401, "c"}} << QByteArrayList{"c", "ab"};
    QTest::newRow("timeout 0: only the same millisecond continues")
        << 0 << QList<Chunk>{{5, "a"}, {5, "b"}, {6, "c"}} << QByteArrayList{"c", "ab"};
    QTest::newRow("clock set back counts as a gap")
        << 200 << QList<Chunk>{{1000, "a"}, {700, "b"}, {600, "c"}} << QByteArrayList{"bc", "a"};
    QTest::newRow("longest timeout")
        << 10000 << QList<Chunk>{{0, "a"}, {10000, "b"}, {20001, "c"}} << QByteArrayList{"c", "ab"};
    QTest::newRow("empty chunks move the time on")
        << 200 << QList<Chunk>{{0, "a"}, {150, ""}, {300, ""}, {450, "b"}} << QByteArrayList{"ab"};
}

void TestTrafficLogGrouping::gapRule() {
    QFETCH(int, timeoutMs);
    QFETCH(QList<Chunk>, chunks);
    QFETCH(QByteArrayList, expected);
    form_->spnTimeout->setValue(timeoutMs);
    QCOMPARE(form_->rxTimeoutMs, timeoutMs);
    form_->chkShowDateTime->click(); // off: the lines show only what arrived
    for (const Chunk& c : chunks) {
        clock_.at(c.atMs);
        form_->AppendLogText(form_->redtTCPIPMsg, c.text);
    }
    QCOMPARE(Lines(form_->redtTCPIPMsg), expected);
    QCOMPARE(form_->lastTcpLogTime, kStart.addMSecs(chunks.last().atMs));
    QCOMPARE(form_->redtComPortMsg->lineCount(), 0);
}

void TestTrafficLogGrouping::helloWorldNext() {
    for (const Chunk& c : {Chunk{0, "Hello"}, Chunk{100, " World"}, Chunk{1000, "Next"}}) {
        clock_.at(c.atMs);
        form_->AppendLogText(form_->redtTCPIPMsg, RenderRxChunk(c.text, form_->rxFormat));
    }
    QCOMPARE(Lines(form_->redtTCPIPMsg),
             (QByteArrayList{"2024-03-05 14:07:10.000    ->    Next",
                             "2024-03-05 14:07:09.000    ->    Hello World"}));
    QCOMPARE(form_->redtTCPIPMsg->text(),
             QByteArray("2024-03-05 14:07:10.000    ->    Next\r\n"
                        "2024-03-05 14:07:09.000    ->    Hello World"));
    // The caret stands at the start of the newest line.
    QCOMPARE(form_->redtTCPIPMsg->caretLine(), 0);
    QCOMPARE(form_->redtTCPIPMsg->caretColumn(), qsizetype(0));
}

void TestTrafficLogGrouping::logsAreGroupedIndependently() {
    LogView* tcp = form_->redtTCPIPMsg;
    LogView* com = form_->redtComPortMsg;
    form_->chkShowDateTime->click();
    clock_.at(0);
    form_->AppendLogText(tcp, "t1");
    clock_.at(150);
    form_->AppendLogText(com, "c1");
    clock_.at(300); // 300 ms after the TCP log's last chunk, 150 after the COM log's
    form_->AppendLogText(tcp, "t2");
    clock_.at(320);
    form_->AppendLogText(com, "c2");
    clock_.at(450);
    form_->AppendLogText(tcp, "t3");
    QCOMPARE(Lines(tcp), (QByteArrayList{"t2t3", "t1"}));
    QCOMPARE(Lines(com), (QByteArrayList{"c1c2"}));
    QCOMPARE(form_->lastComLogTime, kStart.addMSecs(320));
    QCOMPARE(form_->lastTcpLogTime, kStart.addMSecs(450));
}

void TestTrafficLogGrouping::firstChunkAfterClearStartsLine() {
    form_->AppendLogText(form_->redtTCPIPMsg, "old");
    form_->AppendLogText(form_->redtComPortMsg, "old");
    clock_.at(50);
    QTest::mouseClick(form_->btnClearMsg, Qt::LeftButton);
    QCOMPARE(form_->redtTCPIPMsg->lineCount(), 0);
    QCOMPARE(form_->redtComPortMsg->lineCount(), 0);
    QCOMPARE(form_->redtTCPIPMsg->text(), QByteArray());
    QCOMPARE(form_->lastTcpLogTime, kStart); // Clear leaves the times alone

    clock_.at(100);
    form_->AppendLogText(form_->redtTCPIPMsg, "new");
    clock_.at(150);
    form_->AppendLogText(form_->redtTCPIPMsg, "er");
    QCOMPARE(Lines(form_->redtTCPIPMsg), (QByteArrayList{Stamp(100) + "newer"}));
    form_->AppendLogText(form_->redtComPortMsg, "com");
    QCOMPARE(Lines(form_->redtComPortMsg), (QByteArrayList{Stamp(150) + "com"}));
}

void TestTrafficLogGrouping::lineFeedsAndZeroBytes() {
    LogView* log = form_->redtComPortMsg;
    form_->AppendLogText(log, "0");
    clock_.at(1000);
    form_->AppendLogText(log, "A\r\nB");
    clock_.at(1150);
    form_->AppendLogText(log, "\n"); // nothing to show, but the time moves on
    clock_.at(1300);
    form_->AppendLogText(log, QByteArray("C\0D", 3)); // the whole chunk, zero byte included
    clock_.at(2000);
    form_->AppendLogText(log, "\n\n");
    QCOMPARE(Lines(log), (QByteArrayList{Stamp(2000), Stamp(1000) + QByteArray("A\rBC\0D", 6),
                                         Stamp(0) + "0"}));

    form_->chkShowDateTime->click();
    clock_.at(3000);
    form_->AppendLogText(log, "\n");
    QCOMPARE(log->line(0), QByteArray());
    QCOMPARE(log->lineCount(), 4);
}

void TestTrafficLogGrouping::showTimestampTakesEffectAtOnce() {
    LogView* log = form_->redtTCPIPMsg;
    QVERIFY(form_->showTimestamp);
    form_->AppendLogText(log, "one");
    QTest::mouseClick(form_->chkShowDateTime, Qt::LeftButton);
    QCOMPARE(form_->showTimestamp, quint8(0));
    clock_.at(1000);
    form_->AppendLogText(log, "two");
    QTest::mouseClick(form_->chkShowDateTime, Qt::LeftButton);
    QCOMPARE(form_->showTimestamp, quint8(1));
    clock_.at(1100);
    form_->AppendLogText(log, " more"); // a continued line gets no second stamp
    clock_.at(2000);
    form_->AppendLogText(log, "three");
    QCOMPARE(Lines(log), (QByteArrayList{Stamp(2000) + "three", "two more", Stamp(0) + "one"}));
    QCOMPARE(form_->TimestampPrefix(), Stamp(2000));
}

// Chunks that keep coming within the timeout fill one line after another, at most
// 4096 characters each, and lose nothing.
void TestTrafficLogGrouping::growingTopLineStaysBounded() {
    LogView* log = form_->redtTCPIPMsg;
    QByteArray sent;
    for (int i = 0; i < 2000; ++i) {
        clock_.at(i * 100);
        const QByteArray chunk = QByteArray::number(i) + ' ';
        form_->AppendLogText(log, chunk);
        sent += chunk;
    }
    QByteArray held;
    for (int i = log->lineCount() - 1; i >= 0; --i) {
        QVERIFY(log->line(i).size() <= 4096);
        held += log->line(i);
    }
    QCOMPARE(held, Stamp(0) + sent);
    QCOMPARE(log->lineCount(), int((held.size() + 4095) / 4096));
    QVERIFY(!log->line(log->lineCount() - 2).startsWith("2024")); // no stamp on a continuation
}

void TestTrafficLogGrouping::timeoutField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("whileTyping");
    QTest::addColumn<QString>("fieldAfterLeaving");
    QTest::addColumn<int>("afterLeaving");
    QTest::newRow("in range") << "1234" << 1234 << "1234" << 1234;
    QTest::newRow("zero") << "0" << 0 << "0" << 0;
    QTest::newRow("above 10000") << "20000" << 10000 << "20000" << 10000;
    QTest::newRow("above the field") << "70000" << 10000 << "60000" << 10000;
    QTest::newRow("negative") << "-5" << 200 << "0" << 0;
    QTest::newRow("lone sign") << "-" << 0 << "0" << 0;
}

void TestTrafficLogGrouping::timeoutField() {
    QFETCH(QString, typed);
    QFETCH(int, whileTyping);
    QFETCH(QString, fieldAfterLeaving);
    QFETCH(int, afterLeaving);
    SpinField* field = form_->spnTimeout;
    form_->activateWindow();
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QString());
    QCOMPARE(form_->rxTimeoutMs, 200); // an emptied field changes nothing
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), typed);
    QCOMPARE(form_->rxTimeoutMs, whileTyping);
    form_->txbHost->setFocus();
    QTRY_COMPARE(field->text(), fieldAfterLeaving);
    QCOMPARE(form_->rxTimeoutMs, afterLeaving);

    QTest::mouseClick(form_->btnResetTimeout, Qt::LeftButton);
    QCOMPARE(field->text(), QStringLiteral("200"));
    QCOMPARE(field->value(), 200);
    QCOMPARE(form_->rxTimeoutMs, 200);
}

// The field is brought into range as the window goes away; that must not reach
// the half-destroyed window.
void TestTrafficLogGrouping::closingWhileTypingTimeout() {
    form_->activateWindow();
    form_->spnTimeout->setFocus();
    form_->spnTimeout->selectAll();
    QTest::keyClicks(form_->spnTimeout, QStringLiteral("70000"));
    QCOMPARE(form_->rxTimeoutMs, 10000);
    form_.reset();
}

void TestTrafficLogGrouping::lineSpacing() {
    // Both logs get an exact pitch of 18 points (24 pixels at 96 dpi) at creation.
    for (LogView* log : {form_->redtTCPIPMsg, form_->redtComPortMsg}) {
        QCOMPARE(log->linePitch(), 18.0);
        QCOMPARE(log->linePitchPixels(), 24.0);
    }
    LogView* log = form_->redtTCPIPMsg;
    form_->SetLogLineSpacing(log, 0.0);
    QCOMPARE(log->linePitch(), 18.0);
    form_->SetLogLineSpacing(log, -1.0);
    QCOMPARE(log->linePitch(), 18.0);
    form_->SetLogLineSpacing(log, 1.004); // 240.96 twips, truncated to 240
    QCOMPARE(log->linePitch(), 12.0);
    form_->SetLogLineSpacing(log, 0.5); // below single spacing too
    QCOMPARE(log->linePitch(), 6.0);
    QCOMPARE(log->linePitchPixels(), 8.0);
}

BRIXEL_TEST_MAIN(TestTrafficLogGrouping)
#include "tst_TrafficLogGrouping.moc"
