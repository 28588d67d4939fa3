#pragma once

#include <QApplication>

namespace brixel {

// The application object. An exception that escapes an event handler is shown in
// the error box and the program goes on with the next event.
class BrixelApplication : public QApplication {
    Q_OBJECT
public:
    BrixelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace brixel
