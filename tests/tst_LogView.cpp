// The log view: wrapping, scrolling by line with a steady view, coalesced
// repaints, mouse selection and copying.
#include "presentation/LogGlyphs.h"
#include "presentation/LogView.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace brixel;

namespace {

// A shown view 400 x 300 with 24-pixel rows (18 points at 96 dpi).
struct ShownView {
    QWidget host;
    LogView* view = new LogView(&host);
    ShownView() {
        view->setGeometry(0, 0, 400, 300);
        view->setLinePitch(18);
        host.resize(400, 300);
        host.show();
    }
    void addLines(int from, int to) {
        for (int n = from; n < to; ++n)
            view->startLine("line " + QByteArray::number(n));
    }
};

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void Drag(QWidget* viewport, QPoint from, QPoint to) {
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

} // namespace

class TestLogView : public QObject {
    Q_OBJECT
private slots:
    void wrapsLongLinesAtTheViewWidth();
    void rowsHaveTheFixedPitch();
    void scrollBarCountsLinesAndViewStaysSteady();
    void wheelAndKeysScroll();
    void repaintIsCoalesced();
    void mouseSelectionAndCopy();
    void selectAllCopiesWholeLog();
    void zeroBytesShowAsColouredMarks();
    void selectionStaysWithItsTextAsLinesArrive();
    void newLineMovesCaretToNewestLine();
    void droppedLinesLeaveViewAndSelectionValid();
};

void TestLogView::wrapsLongLinesAtTheViewWidth() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.view->startLine(QByteArray(1000, 'x')); // no spaces: wraps anywhere
    s.view->startLine("short");
    QCOMPARE(s.view->rowsOfLine(0), 1);
    const int narrowRows = s.view->rowsOfLine(1);
    QVERIFY(narrowRows > 5);
    QCOMPARE(s.view->horizontalScrollBar()->maximum(), 0);
    QVERIFY(s.view->horizontalScrollBar()->isVisible());
    QVERIFY(s.view->verticalScrollBar()->isVisible());
    s.view->resize(800, 300);
    QVERIFY(s.view->rowsOfLine(1) < narrowRows);

    // A line taller than the view is scrolled through row by row.
    s.view->scrollToLine(1);
    s.view->scrollByRows(2);
    QCOMPARE(s.view->firstVisibleLine(), 1);
    QTest::mouseClick(s.view->viewport(), Qt::LeftButton, {}, QPoint(1, 5));
    QCOMPARE(s.view->caretLine(), 1);
    QVERIFY(s.view->caretColumn() > 0); // the click landed on the line's third row
}

void TestLogView::rowsHaveTheFixedPitch() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.addLines(0, 4);
    QCOMPARE(s.view->linePitchPixels(), 24.0);
    for (auto [y, line] : {std::pair{2, 0}, {23, 0}, {25, 1}, {47, 1}, {49, 2}, {71, 2}, {73, 3}}) {
        QTest::mouseClick(s.view->viewport(), Qt::LeftButton, {}, QPoint(5, y));
        QCOMPARE(s.view->caretLine(), line);
    }
}

void TestLogView::scrollBarCountsLinesAndViewStaysSteady() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    QScrollBar* bar = s.view->verticalScrollBar();
    s.addLines(0, 50);
    QTRY_COMPARE(bar->maximum(), 49);
    QCOMPARE(s.view->firstVisibleLine(), 0);

    // At the top, the view follows the newest line.
    s.addLines(50, 53);
    QTRY_COMPARE(bar->maximum(), 52);
    QCOMPARE(s.view->firstVisibleLine(), 0);
    QCOMPARE(bar->value(), 0);

    // Scrolled away, the same lines stay in view as new ones arrive on top.
    bar->setValue(10);
    QCOMPARE(s.view->firstVisibleLine(), 10);
    const QByteArray shown = s.view->line(10);
    s.addLines(53, 58);
    QTRY_COMPARE(bar->maximum(), 57);
    QCOMPARE(s.view->firstVisibleLine(), 15);
    QCOMPARE(s.view->line(15), shown);
    QCOMPARE(bar->value(), 15);

    bar->setValue(0);
    s.addLines(58, 60);
    QTRY_COMPARE(bar->maximum(), 59);
    QCOMPARE(s.view->firstVisibleLine(), 0);
}

void TestLogView::wheelAndKeysScroll() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.addLines(0, 100);
    QWidget* viewport = s.view->viewport();
    const QPoint at(50, 50);
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewport, &down);
    QCOMPARE(s.view->firstVisibleLine(), QApplication::wheelScrollLines());

    s.view->setFocus();
    QTest::keyClick(s.view, Qt::Key_Home);
    QCOMPARE(s.view->firstVisibleLine(), 0);
    QTest::keyClick(s.view, Qt::Key_Down);
    QCOMPARE(s.view->firstVisibleLine(), 1);
    QTest::keyClick(s.view, Qt::Key_PageDown);
    QCOMPARE(s.view->firstVisibleLine(), 1 + s.view->viewport()->height() / 24);
    QTest::keyClick(s.view, Qt::Key_End);
    QCOMPARE(s.view->firstVisibleLine(), 99);
    QTest::keyClick(s.view, Qt::Key_Down); // nothing below the oldest line
    QCOMPARE(s.view->firstVisibleLine(), 99);
    QTest::keyClick(s.view, Qt::Key_Up);
    QCOMPARE(s.view->firstVisibleLine(), 98);
}

// However fast text arrives, the view paints at most about once per frame.
void TestLogView::repaintIsCoalesced() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    PaintCounter counter;
    s.view->viewport()->installEventFilter(&counter);
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < 5000; ++i) {
        if (i % 50 == 0)
            s.view->startLine("line");
        s.view->appendToTopLine(" chunk");
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(counter.paints > 0);
    const qint64 frames = elapsed.elapsed() / 16;
    QVERIFY2(counter.paints <= frames + 2,
             qPrintable(QStringLiteral("%1 paints in %2 frames").arg(counter.paints).arg(frames)));
}

void TestLogView::mouseSelectionAndCopy() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.view->startLine("first line");
    s.view->startLine("second line");
    QWidget* viewport = s.view->viewport();

    Drag(viewport, QPoint(1, 12), QPoint(390, 36));
    QVERIFY(s.view->hasSelection());
    QCOMPARE(s.view->selectedText(), QByteArray("second line\r\nfirst line"));
    s.view->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(s.view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("second line\r\nfirst line"));

    // Dragging upwards selects the same way; Shift+click extends.
    Drag(viewport, QPoint(390, 36), QPoint(390, 12));
    QCOMPARE(s.view->selectedText(), QByteArray("\r\nfirst line"));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(1, 12));
    QCOMPARE(s.view->selectedText(), QByteArray("second line\r\nfirst line"));

    // A double click takes the word under the mouse.
    const QFontMetrics fm(s.view->font());
    QTest::mouseDClick(viewport, Qt::LeftButton, {},
                       QPoint(3 + fm.horizontalAdvance(QStringLiteral("second li")), 12));
    QCOMPARE(s.view->selectedText(), QByteArray("line"));

    // A plain click leaves nothing selected.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, 30));
    QVERIFY(!s.view->hasSelection());
}

void TestLogView::selectAllCopiesWholeLog() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.view->startLine(QByteArray("A\0B\xE9", 4));
    s.view->startLine("top");
    s.view->setFocus();
    QTest::keyClick(s.view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(s.view->selectedText(), s.view->text());
    QCOMPARE(s.view->text(), QByteArray("top\r\nA\0B\xE9", 9));
    s.view->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(s.view->text()));
    QVERIFY(!s.view->grab().isNull()); // the zero byte is painted as a mark
}

// A byte without a glyph leaves a visible mark in the mark colour; the same
// character received as itself is drawn in the text colour.
void TestLogView::zeroBytesShowAsColouredMarks() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    const QColor mark = s.view->palette().color(QPalette::Link);
    auto markPixels = [&] {
        const QImage image = s.view->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == mark;
        return count;
    };
    QCOMPARE(markPixels(), 0);
    const QChar glyph = LogGlyph(0, s.view->markStyle());
    s.view->startLine(QByteArray(1, char(glyph.unicode() < 0x100 ? glyph.unicode() : 'A')));
    QCOMPARE(markPixels(), 0);
    s.view->startLine(QByteArray(8, '\0'));
    QVERIFY(markPixels() > 8);
    QCOMPARE(s.view->line(0), QByteArray(8, '\0'));
}

void TestLogView::selectionStaysWithItsTextAsLinesArrive() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.addLines(0, 3); // "line 2" on top
    Drag(s.view->viewport(), QPoint(1, 12), QPoint(390, 12));
    QCOMPARE(s.view->selectedText(), QByteArray("line 2"));
    s.view->startLine("line 3");
    s.view->moveCaretToStart(); // a held selection is not taken away
    s.view->appendToTopLine(" more");
    QCOMPARE(s.view->selectedText(), QByteArray("line 2"));
    QCOMPARE(s.view->caretLine(), 1);
}

void TestLogView::newLineMovesCaretToNewestLine() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.addLines(0, 3);
    QTest::mouseClick(s.view->viewport(), Qt::LeftButton, {}, QPoint(30, 60));
    QCOMPARE(s.view->caretLine(), 2);
    QVERIFY(s.view->caretColumn() > 0);
    s.view->startLine("new");
    s.view->moveCaretToStart();
    QCOMPARE(s.view->caretLine(), 0);
    QCOMPARE(s.view->caretColumn(), qsizetype(0));
}

void TestLogView::droppedLinesLeaveViewAndSelectionValid() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    s.view->setBounds(100, 10);
    for (int n = 0; n < 30; ++n)
        s.view->startLine(QByteArray(9, char('a' + n % 26)) + char(n));
    s.view->scrollToLine(8);
    s.view->selectAll();
    for (int n = 0; n < 25; ++n)
        s.view->startLine("0123456789");
    QCOMPARE(s.view->lineCount(), 10);
    QTRY_COMPARE(s.view->verticalScrollBar()->maximum(), 9);
    QCOMPARE(s.view->firstVisibleLine(), 9);        // the lines it showed are gone: the oldest held
    QCOMPARE(s.view->selectedText(), QByteArray()); // so is everything that was selected
    QVERIFY(!s.view->grab().isNull());

    s.view->clear();
    QCOMPARE(s.view->lineCount(), 0);
    QCOMPARE(s.view->text(), QByteArray());
    QVERIFY(!s.view->hasSelection());
    QTRY_COMPARE(s.view->verticalScrollBar()->maximum(), 0);
    QVERIFY(!s.view->grab().isNull());
}

BRIXEL_TEST_MAIN(TestLogView)
#include "tst_LogView.moc"
