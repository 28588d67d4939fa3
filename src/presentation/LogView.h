#pragma once

#include "presentation/LogLineLayouts.h"
#include "presentation/TrafficLog.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

namespace brixel {

// A read-only traffic log on screen: newest line on top, long lines wrapped at the
// view's width, a fixed line pitch, text selectable with the mouse and copied with
// Ctrl+C or the context menu.
//
// It stays fast however much it holds: the text lives in a TrafficLog (bounded,
// bytes), the vertical scroll bar counts lines rather than pixels, and painting
// lays out only the lines in sight. Adding text only marks the view dirty; the
// view catches up at most once per frame. A reader who has scrolled away from the
// top keeps the same lines in view while new ones arrive above them.
class LogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);
    ~LogView() override;

    // ---- Content (line 0 = the newest, top line) -----------------------------
    QByteArray text() const { return log_.text(); } // newest first, CR LF between lines
    int lineCount() const { return log_.lineCount(); }
    QByteArray line(int i) const { return log_.line(i); }
    void clear();
    void startLine(const QByteArray& text);
    void appendToTopLine(const QByteArray& text);
    const TrafficLog& log() const { return log_; }
    // Empties the log and gives it new bounds.
    void setBounds(qint64 capacity, qsizetype maxLineLength = TrafficLog::kDefaultMaxLineLength,
                   qsizetype maxLines = TrafficLog::kDefaultMaxLines);

    // ---- Caret and selection -------------------------------------------------
    // The caret goes to the start of the newest line; a selection the reader holds
    // is kept (and the caret with it), so text can be copied out of a live log.
    void moveCaretToStart();
    int caretLine() const;
    qsizetype caretColumn() const;
    bool hasSelection() const;
    QByteArray selectedText() const; // as stored, lines joined by CR LF
    void selectAll();
    void copy() const; // the selection to the clipboard as plain text

    // ---- Line pitch ----------------------------------------------------------
    // Every wrapped row takes exactly this height; 0 means the font's own spacing.
    void setLinePitch(qreal points);
    qreal linePitch() const { return pitchPoints_; }
    qreal linePitchPixels() const;

    // ---- Scrolling -----------------------------------------------------------
    int firstVisibleLine() const; // index of the line at the top of the view
    void scrollToLine(int i);
    void scrollByRows(int rows); // positive: towards older lines
    int rowsOfLine(int i);       // wrapped rows the line takes at the current width
    // How bytes without a glyph are shown: control pictures where the font has them.
    MarkStyle markStyle() const { return layouts_.markStyle(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Position {
        qint64 seq = 0;
        qsizetype col = 0;
        bool operator==(const Position&) const = default;
    };
    void contentChanged();
    void flush();
    void normalizeTop();
    qint64 topSeq() const;
    void setTop(qint64 seq, int row);
    void syncScrollBar();
    int visibleRows() const;
    void updateLayoutStyle();
    LogLineLayouts::Line& laidOut(qint64 seq);
    Position clamped(Position p) const;
    bool before(Position a, Position b) const;
    Position positionAt(QPointF point);

    TrafficLog log_;
    qreal pitchPoints_ = 0;

    // The view: the line at the top (by sequence number) and how many of its
    // wrapped rows are scrolled past. While following, the newest line is on top.
    bool follow_ = true;
    qint64 topSeq_ = 0;
    int topRow_ = 0;
    bool syncing_ = false;
    int wheelRemainder_ = 0;

    Position anchor_;
    Position caret_;
    bool selecting_ = false;

    LogLineLayouts layouts_;
    quint64 paintCount_ = 0;

    QTimer flushTimer_;
    QElapsedTimer sinceFlush_;
};

} // namespace brixel
