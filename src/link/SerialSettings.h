#pragma once

#include "link/PortNames.h"

#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

namespace brixel {

// The "Custom" baud rate: the port then runs at `customBaudRate`.
inline constexpr qint32 kCustomBaudRate = 0;

// The serial port's settings as the user sees them in the setup dialog and in
// comport.ini. The rest of the line setup is fixed (see ApplySerialSettings).
struct SerialSettings {
    QString port = DefaultComPortName(); // as the user typed it, shown in the status bar
    qint32 baudRate = 115200;            // a rate of the baud table, or kCustomBaudRate
    qint32 customBaudRate = 9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

    qint32 effectiveBaudRate() const {
        return baudRate == kCustomBaudRate ? customBaudRate : baudRate;
    }
    bool operator==(const SerialSettings&) const = default;
};

// One entry of a settings table: the label the dialog lists and the INI file
// holds, and the value it stands for.
template <typename T> struct SettingChoice {
    const char* label;
    T value;
};

// The tables below, in the order the dialog lists them, are the only place that
// ties labels to values: the dialog, comport.ini and the checks of read values
// all go through them.
inline constexpr std::array<SettingChoice<qint32>, 16> kBaudRateChoices{{
    {"Custom", kCustomBaudRate},
    {"110", 110},
    {"300", 300},
    {"600", 600},
    {"1200", 1200},
    {"2400", 2400},
    {"4800", 4800},
    {"9600", 9600},
    {"14400", 14400},
    {"19200", 19200},
    {"38400", 38400},
    {"56000", 56000},
    {"57600", 57600},
    {"115200", 115200},
    {"128000", 128000},
    {"256000", 256000},
}};

inline constexpr std::array<SettingChoice<QSerialPort::DataBits>, 4> kDataBitsChoices{{
    {"5", QSerialPort::Data5},
    {"6", QSerialPort::Data6},
    {"7", QSerialPort::Data7},
    {"8", QSerialPort::Data8},
}};

inline constexpr std::array<SettingChoice<QSerialPort::StopBits>, 3> kStopBitsChoices{{
    {"1", QSerialPort::OneStop},
    {"1.5", QSerialPort::OneAndHalfStop},
    {"2", QSerialPort::TwoStop},
}};

inline constexpr std::array<SettingChoice<QSerialPort::Parity>, 5> kParityChoices{{
    {"None", QSerialPort::NoParity},
    {"Odd", QSerialPort::OddParity},
    {"Even", QSerialPort::EvenParity},
    {"Mark", QSerialPort::MarkParity},
    {"Space", QSerialPort::SpaceParity},
}};

// "Custom" names line settings that none of the others describes; choosing it
// leaves the flow control as it is.
inline constexpr std::array<SettingChoice<std::optional<QSerialPort::FlowControl>>, 4>
    kFlowControlChoices{{
        {"Hardware", QSerialPort::HardwareControl},
        {"Software", QSerialPort::SoftwareControl},
        {"None", QSerialPort::NoFlowControl},
        {"Custom", std::nullopt},
    }};

template <typename T, std::size_t N>
QStringList ChoiceLabels(const std::array<SettingChoice<T>, N>& table) {
    QStringList labels;
    for (const auto& choice : table)
        labels.append(QLatin1String(choice.label));
    return labels;
}

// The value whose label matches `label` without regard to case; nullopt when none does.
template <typename T, std::size_t N>
std::optional<T> ChoiceByLabel(const std::array<SettingChoice<T>, N>& table, QStringView label) {
    for (const auto& choice : table) {
        if (label.compare(QLatin1String(choice.label), Qt::CaseInsensitive) == 0)
            return choice.value;
    }
    return std::nullopt;
}

// The label of `value`; empty when the table does not hold it.
template <typename T, std::size_t N>
QString ChoiceLabel(const std::array<SettingChoice<T>, N>& table, const T& value) {
    for (const auto& choice : table) {
        if (choice.value == value)
            return QLatin1String(choice.label);
    }
    return QString();
}

inline QString FlowControlLabel(QSerialPort::FlowControl flow) {
    return ChoiceLabel(kFlowControlChoices, std::optional<QSerialPort::FlowControl>(flow));
}

// Gives `port` the name and line settings of `settings`. A closed port keeps them
// for its next open; an open port takes the line settings at once (its name only
// at the next open). Returns false when the open port refuses one of them.
bool ApplySerialSettings(QSerialPort& port, const SerialSettings& settings);

// Holds DTR off, and RTS too unless hardware flow control drives it. Ports without
// these lines (a pseudo-terminal, some USB adapters) refuse quietly.
void HoldModemLinesOff(QSerialPort& port, QSerialPort::FlowControl flow);

// How long one write of `bytes` bytes may take before it counts as failed.
constexpr int SerialWriteTimeoutMs(qsizetype bytes) {
    constexpr qint64 kBaseMs = 1000, kPerByteMs = 100, kLimitMs = 0x7fffffff;
    const qint64 ms = kBaseMs + kPerByteMs * qint64(bytes < 0 ? 0 : bytes);
    return int(ms > kLimitMs ? kLimitMs : ms);
}

} // namespace brixel
