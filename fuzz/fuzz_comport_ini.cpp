// comport.ini of any bytes: read over the current settings, then written back
// the way "Com Port Settings" writes it, then read again.
//
// Checked: reading never fails and gives only settings the setup dialog can show;
// what a save writes reads back as the same settings whatever the settings were
// before; saving the same settings again soon changes no byte (the file does not
// grow with every save); every line of a saved file ends in CR LF.
#include "FuzzCheck.h"
#include "link/ComPortIni.h"
#include "link/SerialSettings.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace brixel;

namespace {

template <typename T, std::size_t N>
bool inTable(const std::array<SettingChoice<T>, N>& table, const T& value) {
    for (const auto& choice : table) {
        if (choice.value == value)
            return true;
    }
    return false;
}

bool showable(const SerialSettings& s) {
    return inTable(kBaudRateChoices, s.baudRate) && s.customBaudRate > 0 &&
           inTable(kDataBitsChoices, s.dataBits) && inTable(kStopBitsChoices, s.stopBits) &&
           inTable(kParityChoices, s.parity) && !FlowControlLabel(s.flowControl).isEmpty();
}

// Settings unlike the defaults in every field, to show any key a save leaves out.
SerialSettings otherSettings() {
    SerialSettings s;
    s.port = QStringLiteral("other");
    s.baudRate = 300;
    s.customBaudRate = 12345;
    s.dataBits = QSerialPort::Data5;
    s.stopBits = QSerialPort::TwoStop;
    s.parity = QSerialPort::MarkParity;
    s.flowControl = QSerialPort::SoftwareControl;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const SerialSettings read = ReadComPortIni(text, SerialSettings());
    FUZZ_CHECK(showable(read), "read settings fit the dialog");
    FUZZ_CHECK(showable(ReadComPortIni(text, otherSettings())), "read over others fit too");

    const QByteArray saved = UpdateComPortIni(text, read);
    SerialSettings again = ReadComPortIni(saved, otherSettings());
    if (read.baudRate != kCustomBaudRate)
        again.customBaudRate = read.customBaudRate; // only read with a "Custom" rate
    FUZZ_CHECK(again == read, "a saved file reads back the same settings");
    // Comments move between "of the file" and "of a section" over the first saves
    // and gain or lose a blank line doing so; after that a save of the same
    // settings changes nothing.
    QByteArray later = saved;
    for (int i = 0; i < 3; ++i)
        later = UpdateComPortIni(later, read);
    FUZZ_CHECK(later.size() <= saved.size() + 6, "saves do not make the file grow");
    FUZZ_CHECK(UpdateComPortIni(later, read) == later, "saving again changes nothing");
    for (qsizetype i = saved.indexOf('\n'); i >= 0; i = saved.indexOf('\n', i + 1))
        FUZZ_CHECK(i > 0 && saved[i - 1] == '\r', "lines end in CR LF");
    return 0;
}
