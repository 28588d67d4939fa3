#include "about/TForm3.h"

namespace brixel {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
}

} // namespace brixel
