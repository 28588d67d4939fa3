#include "app/ToolButton.h"

namespace brixel {

ToolButton::ToolButton(const QString& caption, const QPixmap& picture, QWidget* parent)
    : QToolButton(parent) {
    setText(caption);
    setAccessibleName(caption);
    setIcon(QIcon(picture));
    setIconSize(QSize(32, 32));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setCheckable(true);
    setFixedSize(91, 52);
    setFocusPolicy(Qt::TabFocus);
    setAutoRaise(true);
    // Small enough that the longest caption fits the button's width.
    QFont f = font();
    f.setPointSizeF(qMin(f.pointSizeF(), 8.0));
    f.setStretch(QFont::SemiCondensed);
    setFont(f);
}

} // namespace brixel
