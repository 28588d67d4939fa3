#pragma once

#include "link/SerialSettings.h"

#include <QByteArray>
#include <QString>

namespace brixel {

// comport.ini: the serial settings as Windows INI text, section "ComPort1", keys
// Port, BaudRate, CustomBaudRate (only with a "Custom" rate), StopBits, DataBits,
// Parity and FlowControl, lines ending in CR LF, no blanks around "=". Section
// and key names match without regard to case.

inline constexpr char kComPortIniSection[] = "ComPort1";
inline constexpr char kComPortIniFileName[] = "comport.ini";

// The settings that INI `text` gives over `current`. A missing key, or a file
// without a "ComPort1" section, keeps the current value; a value that matches no
// label gives 9600 baud, one stop bit, 8 data bits, no parity, and for the flow
// control leaves it as it is. Never fails on the text's content.
SerialSettings ReadComPortIni(const QByteArray& text, const SerialSettings& current);

// INI `text` with the "ComPort1" section set to `settings`: other sections and
// keys stay where they are, a key already present keeps its place, new keys go to
// the end of the section (the section to the end of the file). A CustomBaudRate
// left from an earlier save stays when the rate is no longer "Custom".
QByteArray UpdateComPortIni(const QByteArray& text, const SerialSettings& settings);

// Reads the file at `path` over `settings`. Returns false, with `settings`
// untouched and the reason in `error`, when the file cannot be read.
bool LoadComPortIni(const QString& path, SerialSettings& settings, QString* error = nullptr);

// Writes `settings` into the file at `path` in place, creating it when missing.
// The file is replaced whole, so a failure leaves the old one as it was. Returns
// false when the file cannot be read or written.
bool StoreComPortIni(const QString& path, const SerialSettings& settings);

} // namespace brixel
