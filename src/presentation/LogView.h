#pragma once

#include <QAbstractScrollArea>

namespace brixel {

// A read-only traffic log. (Placeholder until the log view lands.)
class LogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);
};

} // namespace brixel
