#pragma once

#include "link/SerialSettings.h"

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace brixel {

// The modal "Setup" dialog of the serial port: six lists in a " Settings " group,
// "OK" (default) and "Cancel". It only collects a choice; the caller applies it.
// The Port list is editable, so that a device path that the system does not
// list (a pseudo-terminal, a USB adapter plugged in later) can be typed.
class SetupDialog : public QDialog {
    Q_OBJECT
public:
    // `ports` are offered sorted as text; every list starts at `current`.
    SetupDialog(const SerialSettings& current, const QStringList& ports, QWidget* parent = nullptr);

    // `current` with the six lists' values: "Custom" keeps the custom rate and
    // the flow control as they are, and an empty port text keeps the port.
    SerialSettings chosen() const;

private:
    SerialSettings current_;
    QComboBox* cbPort = nullptr;
    QComboBox* cbBaudRate = nullptr;
    QComboBox* cbDataBits = nullptr;
    QComboBox* cbStopBits = nullptr;
    QComboBox* cbParity = nullptr;
    QComboBox* cbFlowControl = nullptr;
};

} // namespace brixel
