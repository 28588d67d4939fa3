// The program's entry: the application object, the main window, the message loop.
#include "about/TForm3.h"
#include "app/BrixelApplication.h"
#include "app/MessageBoxes.h"
#include "app/TForm1.h"

int main(int argc, char** argv) {
    brixel::BrixelApplication app(argc, argv);
    try {
        brixel::TForm1 form1;
        // The About instance made at start-up; the About command makes its own.
        brixel::TForm3 form3;
        form1.show();
        app.exec();
    } catch (const std::exception& e) {
        brixel::ShowErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
