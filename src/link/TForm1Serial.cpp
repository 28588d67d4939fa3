// The serial endpoint's handlers: Com-Port On/Off, the setup dialog, the port's
// open and close events, and the port that vanishes while open.
#include "app/TForm1.h"

#include "app/BrixelError.h"
#include "app/MessageBoxes.h"
#include "app/ToolButton.h"
#include "link/ComPortIni.h"
#include "link/SetupDialog.h"

#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QSerialPort>
#include <QStatusBar>

namespace brixel {

namespace {
constexpr char kNoComPort[] = "There is no Com Port";
} // namespace

bool TForm1::OpenComPort() {
    if (ComPort1->isOpen())
        return true;
    ApplySerialSettings(*ComPort1, comSettings);
    if (!ComPort1->open(QIODevice::ReadWrite)) {
        ComPort1->clearError();
        return false;
    }
    HoldModemLinesOff(*ComPort1, comSettings.flowControl);
    ComPort1->clearError();
    ++comOpenCount_;
    ComPort1AfterOpen();
    return true;
}

void TForm1::CloseComPort() {
    if (!ComPort1 || !ComPort1->isOpen())
        return;
    comClosing_ = true;
    const auto done = qScopeGuard([this] { comClosing_ = false; });
    ComPort1BeforeClose();
    ComPort1->clear(QSerialPort::AllDirections);
    ComPort1->close();
    ComPort1->clearError();
    // The TCP sources may have been held back for the port: read them again, to
    // the log alone or to the port opened next.
    if (!destroying_)
        QMetaObject::invokeMethod(this, &TForm1::ResumeTcpSources, Qt::QueuedConnection);
}

void TForm1::btnComPortOnClick() {
    if (comPortOn != 0) {
        // The wish stands already; the port opens with the next TCP connect.
        btnComPortOn->setDown(true);
        return;
    }
    comPortOn = 1;
    btnComPortOn->setDown(true);
    btnComPortOff->setDown(false);
    if (!OpenComPort()) {
        CloseComPort();
        comPortOn = 0;
        btnComPortOn->setDown(false);
    }
}

void TForm1::btnComPortOffClick() {
    btnComPortOn->setDown(false);
    btnComPortOff->setDown(true);
    CloseComPort();
    comPortOn = 0;
}

void TForm1::btnSetupClick() {
    const QStringList ports = comPortLister ? comPortLister() : QStringList();
    if (ports.isEmpty()) {
        ShowPlainMessage(this, QLatin1String(kNoComPort));
        return;
    }
    SetupDialog dialog(comSettings, ports, this);
    if (dialog.exec() == QDialog::Accepted && !ApplyComSettings(dialog.chosen())) {
        ShowPlainMessage(this, QLatin1String(kNoComPort));
        return;
    }
    // Written after every closing of the dialog, "Cancel" included.
    if (!StoreComPortIni(appDir + QLatin1String(kComPortIniFileName), comSettings))
        ShowPlainMessage(this, QLatin1String(kNoComPort));
}

// All six settings at once. A new name on an open port closes it and reopens it
// under that name; the other settings take effect on the open port at once.
// Returns false when the port does not take them; the choice is kept all the
// same, so the status text and the next open use it.
bool TForm1::ApplyComSettings(const SerialSettings& chosen) {
    const bool reopen = ComPort1->isOpen() && chosen.port != comSettings.port;
    comSettings = chosen;
    if (reopen) {
        CloseComPort();
        return OpenComPort();
    }
    const bool applied = ApplySerialSettings(*ComPort1, comSettings);
    HoldModemLinesOff(*ComPort1, comSettings.flowControl);
    ComPort1->clearError();
    return applied;
}

void TForm1::ComPort1AfterOpen() {
    // The window may be on its way out; then there is nothing left to show.
    if (destroying_)
        return;
    if (imgComStatus && !bmpComOn.isNull())
        imgComStatus->setPixmap(bmpComOn);
    if (stat1 && stat1Panels[1])
        setStatusPanelText(1, comSettings.port + QStringLiteral(" On"));
}

void TForm1::ComPort1BeforeClose() {
    if (destroying_)
        return;
    if (imgComStatus && !bmpComOff.isNull())
        imgComStatus->setPixmap(bmpComOff);
    if (stat1 && stat1Panels[1])
        setStatusPanelText(1, comSettings.port + QStringLiteral(" Off"));
}

// A device that goes away while open (a USB adapter pulled out, a pseudo-terminal
// whose other end closed) reports a resource error, or read errors that repeat
// for as long as the port stays open. Either way the port is closed through the
// normal path, once, and without a box: the indicator and the status text say it.
// comPortOn stays as the user set it, so the next TCP connect opens the port again.
void TForm1::ComPort1Error(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (comClosing_ || comVanishPending_ || !ComPort1->isOpen())
        return;
    comVanishPending_ = true;
    const quint64 openCount = comOpenCount_;
    // Closed from the event loop, not from inside the port's own notification.
    QMetaObject::invokeMethod(
        this,
        [this, openCount] {
            comVanishPending_ = false;
            if (openCount != comOpenCount_)
                return;
            // What the device sent before it went is logged and forwarded first;
            // the close would throw it away.
            ForwardSerialRx(true);
            CloseComPort();
        },
        Qt::QueuedConnection);
}

void TForm1::LoadComPortSettings() {
    const QString path = appDir + QLatin1String(kComPortIniFileName);
    QString error;
    if (!LoadComPortIni(path, comSettings, &error))
        throw BrixelError(
            QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), error));
    ApplySerialSettings(*ComPort1, comSettings);
}

} // namespace brixel
