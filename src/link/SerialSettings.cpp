#include "link/SerialSettings.h"

namespace brixel {

static_assert(SerialWriteTimeoutMs(0) == 1000 && SerialWriteTimeoutMs(10) == 2000);
static_assert(SerialWriteTimeoutMs(qsizetype(1) << 40) == 0x7fffffff);

bool ApplySerialSettings(QSerialPort& port, const SerialSettings& settings) {
    if (!port.isOpen())
        port.setPortName(settings.port);
    // Every setting is tried, so that one refusal does not leave the others behind.
    bool ok = port.setBaudRate(settings.effectiveBaudRate());
    ok = port.setDataBits(settings.dataBits) && ok;
    ok = port.setStopBits(settings.stopBits) && ok;
    ok = port.setParity(settings.parity) && ok;
    ok = port.setFlowControl(settings.flowControl) && ok;
    return ok;
}

void HoldModemLinesOff(QSerialPort& port, QSerialPort::FlowControl flow) {
    if (!port.isOpen())
        return;
    port.setDataTerminalReady(false);
    if (flow != QSerialPort::HardwareControl)
        port.setRequestToSend(false);
}

} // namespace brixel
