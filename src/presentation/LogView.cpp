#include "presentation/LogView.h"

namespace brixel {

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont f = font();
    f.setBold(true);
    setFont(f);
}

} // namespace brixel
