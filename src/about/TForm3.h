#pragma once

#include <QWidget>

namespace brixel {

// The About window. (Placeholder until the About window lands.)
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace brixel
