#include "app/BrixelApplication.h"

#include "app/BrixelError.h"
#include "app/MessageBoxes.h"

namespace brixel {

BrixelApplication::BrixelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QLatin1String(kApplicationTitle));
    setApplicationVersion(QStringLiteral(BRIXEL_VERSION_TEXT));
    // Lets the desktop match the window to the installed desktop entry and its icon.
    setDesktopFileName(QStringLiteral(BRIXEL_APP_ID));
}

bool BrixelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const BrixelError& e) {
        ShowErrorBox(activeWindow(), e.message());
    } catch (const std::exception& e) {
        ShowErrorBox(activeWindow(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowErrorBox(activeWindow(), QString());
    }
    return false;
}

} // namespace brixel
