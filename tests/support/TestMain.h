#pragma once

#include "app/BrixelApplication.h"

#include <QStandardPaths>
#include <QTest>

// Like QTEST_MAIN, but with the program's own application object, so that an
// exception escaping a handler reaches the error box as it does in the program.
#define BRIXEL_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char** argv) {                                                              \
        brixel::BrixelApplication app(argc, argv);                                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
