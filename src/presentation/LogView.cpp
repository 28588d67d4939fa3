#include "presentation/LogView.h"

#include "presentation/LogGlyphs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace brixel {

namespace {
constexpr int kMargin = 3;   // pixels left and right of the text
constexpr int kFrameMs = 16; // the view catches up with new text at most this often
} // namespace

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    updateLayoutStyle();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // Lines wrap at the view's width, so there is never anything to scroll sideways.
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setSingleStep(1);
    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &LogView::flush);
}

LogView::~LogView() = default;

// ---- Content ----------------------------------------------------------------

void LogView::clear() {
    log_.clear();
    layouts_.clear();
    follow_ = true;
    topRow_ = 0;
    anchor_ = caret_ = Position{log_.oldestSeq(), 0};
    selecting_ = false;
    contentChanged();
}

void LogView::startLine(const QByteArray& text) {
    log_.startLine(text);
    contentChanged();
}

void LogView::appendToTopLine(const QByteArray& text) {
    log_.appendToTop(text);
    contentChanged();
}

void LogView::setBounds(qint64 capacity, qsizetype maxLineLength, qsizetype maxLines) {
    log_.setBounds(capacity, maxLineLength, maxLines);
    clear();
}

// Appends only mark the view dirty; flush() brings scroll bar and picture up to
// date, at most once per frame.
void LogView::contentChanged() {
    if (flushTimer_.isActive())
        return;
    const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : kFrameMs;
    flushTimer_.start(int(std::max<qint64>(0, kFrameMs - since)));
}

void LogView::flush() {
    sinceFlush_.restart();
    normalizeTop();
    syncScrollBar();
    viewport()->update();
}

// ---- Caret and selection ----------------------------------------------------

void LogView::moveCaretToStart() {
    if (hasSelection())
        return;
    anchor_ = caret_ = Position{log_.newestSeq(), 0};
    contentChanged();
}

int LogView::caretLine() const {
    return log_.indexOfSeq(clamped(caret_).seq);
}

qsizetype LogView::caretColumn() const {
    return clamped(caret_).col;
}

bool LogView::hasSelection() const {
    return log_.lineCount() > 0 && !(clamped(anchor_) == clamped(caret_));
}

QByteArray LogView::selectedText() const {
    if (!hasSelection())
        return {};
    Position a = clamped(anchor_);
    Position b = clamped(caret_);
    if (before(b, a))
        std::swap(a, b);
    QByteArray out;
    for (qint64 seq = a.seq; seq >= b.seq; --seq) {
        const QByteArray whole = log_.lineBySeq(seq);
        const qsizetype from = seq == a.seq ? a.col : 0;
        const qsizetype to = seq == b.seq ? b.col : whole.size();
        out += whole.mid(from, to - from);
        if (seq != b.seq)
            out += "\r\n";
    }
    return out;
}

void LogView::selectAll() {
    if (log_.lineCount() == 0)
        return;
    anchor_ = Position{log_.newestSeq(), 0};
    caret_ = Position{log_.oldestSeq(), log_.lineLengthBySeq(log_.oldestSeq())};
    viewport()->update();
}

void LogView::copy() const {
    if (hasSelection())
        QGuiApplication::clipboard()->setText(QString::fromLatin1(selectedText()));
}

// A position in a line that is gone lies below the oldest line: its end.
LogView::Position LogView::clamped(Position p) const {
    if (log_.lineCount() == 0)
        return Position{log_.oldestSeq(), 0};
    if (p.seq < log_.oldestSeq())
        return Position{log_.oldestSeq(), log_.lineLengthBySeq(log_.oldestSeq())};
    if (p.seq > log_.newestSeq())
        return Position{log_.newestSeq(), 0};
    p.col = std::clamp<qsizetype>(p.col, 0, log_.lineLengthBySeq(p.seq));
    return p;
}

// Whether `a` comes before `b` reading the view from the top.
bool LogView::before(Position a, Position b) const {
    return a.seq > b.seq || (a.seq == b.seq && a.col < b.col);
}

// ---- Line pitch -------------------------------------------------------------

void LogView::setLinePitch(qreal points) {
    pitchPoints_ = std::max<qreal>(points, 0);
    updateLayoutStyle();
    viewport()->update();
}

qreal LogView::linePitchPixels() const {
    if (pitchPoints_ > 0)
        return pitchPoints_ * logicalDpiY() / 72.0;
    return fontMetrics().lineSpacing();
}

// ---- Layout -----------------------------------------------------------------

// Lines are laid out at the viewport's width with the fixed pitch; any change of
// those lays them out afresh.
void LogView::updateLayoutStyle() {
    LogLineLayouts::Style style;
    style.font = font();
    style.pitch = linePitchPixels();
    style.width = std::max(1, viewport()->width() - 2 * kMargin);
    style.markColor = palette().color(QPalette::Link);
    layouts_.setStyle(style, viewport());
}

LogLineLayouts::Line& LogView::laidOut(qint64 seq) {
    return layouts_.line(log_, seq);
}

int LogView::rowsOfLine(int i) {
    if (i < 0 || i >= log_.lineCount())
        return 0;
    return laidOut(log_.newestSeq() - i).rows;
}

// ---- Scrolling --------------------------------------------------------------

qint64 LogView::topSeq() const {
    if (follow_ || log_.lineCount() == 0)
        return log_.newestSeq();
    return std::clamp(topSeq_, log_.oldestSeq(), log_.newestSeq());
}

void LogView::normalizeTop() {
    if (follow_ || log_.lineCount() == 0) {
        follow_ = true;
        topRow_ = 0;
        return;
    }
    if (topSeq_ < log_.oldestSeq()) {
        topSeq_ = log_.oldestSeq();
        topRow_ = 0;
    }
}

void LogView::setTop(qint64 seq, int row) {
    topSeq_ = seq;
    topRow_ = std::max(row, 0);
    follow_ = seq >= log_.newestSeq() && topRow_ == 0;
    syncScrollBar();
    viewport()->update();
}

int LogView::firstVisibleLine() const {
    return log_.indexOfSeq(topSeq());
}

void LogView::scrollToLine(int i) {
    if (log_.lineCount() == 0)
        return;
    i = std::clamp(i, 0, log_.lineCount() - 1);
    setTop(log_.newestSeq() - i, 0);
}

void LogView::scrollByRows(int rows) {
    if (log_.lineCount() == 0 || rows == 0)
        return;
    normalizeTop();
    qint64 seq = topSeq();
    int row = topRow_ + rows;
    if (rows > 0) {
        for (int inLine = laidOut(seq).rows; row >= inLine; inLine = laidOut(seq).rows) {
            if (seq == log_.oldestSeq()) {
                row = inLine - 1;
                break;
            }
            row -= inLine;
            --seq;
        }
    } else {
        while (row < 0) {
            if (seq == log_.newestSeq()) {
                row = 0;
                break;
            }
            ++seq;
            row += laidOut(seq).rows;
        }
    }
    setTop(seq, row);
}

int LogView::visibleRows() const {
    return std::max(1, int(viewport()->height() / linePitchPixels()));
}

// The scroll bar counts lines: its value is the index of the line on top.
void LogView::syncScrollBar() {
    syncing_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, log_.lineCount() - 1));
    bar->setPageStep(visibleRows());
    bar->setValue(firstVisibleLine());
    syncing_ = false;
}

void LogView::scrollContentsBy(int, int) {
    if (syncing_)
        return;
    const int value = verticalScrollBar()->value();
    if (log_.lineCount() > 0)
        setTop(log_.newestSeq() - value, 0);
}

// ---- Painting ---------------------------------------------------------------

void LogView::paintEvent(QPaintEvent* event) {
    updateLayoutStyle(); // the screen, and with it the pitch in pixels, may have changed
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().base());
    painter.setPen(palette().text().color());
    normalizeTop();
    ++paintCount_;
    if (log_.lineCount() == 0)
        return;

    Position selFrom = clamped(anchor_);
    Position selTo = clamped(caret_);
    if (before(selTo, selFrom))
        std::swap(selFrom, selTo);
    const bool selection = !(selFrom == selTo);
    const Position caret = clamped(caret_);

    const qreal pitch = linePitchPixels();
    const qreal bottom = viewport()->height();
    const QRectF clip(event->rect());
    qreal y = -topRow_ * pitch;
    for (qint64 seq = topSeq(); seq >= log_.oldestSeq() && y < bottom; --seq) {
        LogLineLayouts::Line& line = laidOut(seq);
        line.used = paintCount_;
        QList<QTextLayout::FormatRange> ranges;
        if (selection && seq <= selFrom.seq && seq >= selTo.seq) {
            QTextLayout::FormatRange range;
            range.start = int(seq == selFrom.seq ? selFrom.col : 0);
            range.length = int((seq == selTo.seq ? selTo.col : line.length) - range.start);
            range.format.setBackground(palette().highlight());
            range.format.setForeground(palette().highlightedText());
            ranges.append(range);
        }
        const QPointF origin(kMargin, y);
        line.layout->draw(&painter, origin, ranges, clip);
        if (!selection && hasFocus() && caret.seq == seq)
            line.layout->drawCursor(&painter, origin, int(caret.col));
        y += line.rows * pitch;
    }

    // Keep the lines in sight laid out; forget the others once there are many.
    layouts_.trim(paintCount_);
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateLayoutStyle();
    syncScrollBar();
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        updateLayoutStyle();
        viewport()->update();
    }
}

// The caret shows while the view has the keyboard focus.
void LogView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// ---- Mouse and keyboard -----------------------------------------------------

LogView::Position LogView::positionAt(QPointF point) {
    if (log_.lineCount() == 0)
        return Position{log_.oldestSeq(), 0};
    const qreal pitch = linePitchPixels();
    qreal y = -topRow_ * pitch;
    for (qint64 seq = topSeq();; --seq) {
        LogLineLayouts::Line& line = laidOut(seq);
        const qreal lineBottom = y + line.rows * pitch;
        if (point.y() < lineBottom || seq == log_.oldestSeq()) {
            if (point.y() >= lineBottom)
                return Position{seq, line.length};
            const int row = std::clamp(int(std::floor((point.y() - y) / pitch)), 0, line.rows - 1);
            const QTextLine textLine = line.layout->lineAt(row);
            const qsizetype col = textLine.isValid() ? textLine.xToCursor(point.x() - kMargin) : 0;
            return Position{seq, col};
        }
        y = lineBottom;
    }
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    normalizeTop();
    const Position p = positionAt(event->position());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor_ = p;
    caret_ = p;
    selecting_ = true;
    viewport()->update();
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !(event->buttons() & Qt::LeftButton))
        return;
    // Dragging past an edge scrolls the view a row at a time.
    if (event->position().y() < 0)
        scrollByRows(-1);
    else if (event->position().y() >= viewport()->height())
        scrollByRows(1);
    caret_ = positionAt(event->position());
    viewport()->update();
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        selecting_ = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

// A double click selects the run of characters between spaces under the mouse.
void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || log_.lineCount() == 0)
        return;
    const Position p = clamped(positionAt(event->position()));
    const QByteArray text = log_.lineBySeq(p.seq);
    qsizetype from = p.col;
    qsizetype to = p.col;
    while (from > 0 && text.at(from - 1) != ' ')
        --from;
    while (to < text.size() && text.at(to) != ' ')
        ++to;
    anchor_ = Position{p.seq, from};
    caret_ = Position{p.seq, to};
    selecting_ = false;
    viewport()->update();
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        scrollByRows(-1);
        return;
    case Qt::Key_Down:
        scrollByRows(1);
        return;
    case Qt::Key_PageUp:
        scrollByRows(-visibleRows());
        return;
    case Qt::Key_PageDown:
        scrollByRows(visibleRows());
        return;
    case Qt::Key_Home:
        scrollToLine(0);
        return;
    case Qt::Key_End:
        scrollToLine(log_.lineCount() - 1);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void LogView::wheelEvent(QWheelEvent* event) {
    // 120 units are one notch; a notch scrolls the desktop's number of rows.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches != 0)
        scrollByRows(-notches * QApplication::wheelScrollLines());
    event->accept();
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(QStringLiteral("Copy"), this, &LogView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction* allAction = menu.addAction(QStringLiteral("Select All"), this, &LogView::selectAll);
    allAction->setShortcut(QKeySequence::SelectAll);
    allAction->setEnabled(log_.lineCount() > 0);
    menu.exec(event->globalPos());
}

} // namespace brixel
