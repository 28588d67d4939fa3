#pragma once

#include <QString>
#include <QStringList>

namespace brixel {

// The platform's first serial port: "COM1" on Windows, "ttyS0" elsewhere.
QString DefaultComPortName();

// The names of the serial ports the system has registered, sorted as text.
QStringList SystemComPortNames();

// Port names in the order the setup dialog lists them: as text, without regard to
// case, so that COM10 comes before COM2.
QStringList SortedPortNames(QStringList names);

} // namespace brixel
