// TCP.SET: the default file at first start, the restore at start-up, Save.
#include "app/TForm1.h"

#include "app/BrixelError.h"
#include "app/MessageBoxes.h"
#include "app/SelectorGroup.h"
#include "app/ToolButton.h"
#include "persist/SettingsRecord.h"
#include "presentation/ParseInt.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace brixel {

namespace {

constexpr char kSettingsFileName[] = "TCP.SET";
constexpr qint32 kDataFormatCount = 4; // String, Binary, Decimal, Hex

// A stored format the selectors cannot show is read as String, so that the
// selector and what the TX buttons and the logs do always agree.
qint32 storedFormat(qint8 value) {
    return value >= 0 && value < kDataFormatCount ? value : 0;
}

} // namespace

void TForm1::WriteDefaultSettings() {
    const QString path = QDir::current().filePath(QLatin1String(kSettingsFileName));
    if (QFile::exists(path))
        return;
    // Start-up goes on without the file when it cannot be written; the restore
    // then finds none.
    WriteSettingsFile(path, DefaultSettingsRecord());
}

void TForm1::RestoreSettingsRecord() {
    if (!settingsRecord)
        settingsRecord = std::make_unique<SettingsRecord>();
    SettingsRecord& record = *settingsRecord;
    const qint64 count = ReadSettingsFile(settingsPath, record);
    if (count < 0)
        throw BrixelError(
            QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(settingsPath)));

    // A short file is applied as far as it goes: a field it does not hold whole
    // leaves its control and state as they are.
    auto holds = [count](int offset, int size) { return count >= offset + size; };
    using R = SettingsRecord;

    if (holds(R::kHostOffset, R::kHostSize))
        txbHost->setText(QString::fromLocal8Bit(FieldToText(record.host(), R::kHostSize)));
    if (holds(R::kPortOffset, 4))
        txbPort->setText(QString::number(record.port()));
    if (holds(R::kReservedOffset, R::kReservedSize))
        reservedValue = record.reservedValue();
    if (holds(R::kShowTimestampOffset, 1)) {
        showTimestamp = record.showTimestamp() != 0 ? 1 : 0;
        chkShowDateTime->setChecked(showTimestamp != 0);
    }
    // The selectors' click handlers run when the selection changes and set the
    // same values again.
    if (holds(R::kTxFormatOffset, 1)) {
        txFormat = storedFormat(record.txFormat());
        rdSendFormat->setItemIndex(txFormat);
    }
    if (holds(R::kRxFormatOffset, 1)) {
        rxFormat = storedFormat(record.rxFormat());
        rdIncomingFormat->setItemIndex(rxFormat);
    }
    // The selector keeps the mode within its items: above 2 is Server, below -1
    // is no selection.
    if (holds(R::kSocketModeOffset, 4))
        grpTCPSocketType->setItemIndex(record.socketMode());
    if (holds(R::kComPortOnOffset, 1)) {
        comPortOn = record.comPortOn();
        btnComPortOn->setDown(comPortOn != 0);
        btnComPortOff->setDown(comPortOn == 0);
    }
}

void TForm1::btnSaveClick() {
    if (!settingsRecord)
        settingsRecord = std::make_unique<SettingsRecord>();
    SettingsRecord& record = *settingsRecord;
    CopyTextToField(HostFieldText(txbHost->text()), record.host(), kHostTextMax);
    // Whatever the port field holds is stored: "5000x" stores 5000, "abc" 0.
    qint32 port = 0;
    ParseInt(txbPort->text(), port);
    record.setPort(port);
    record.setSocketMode(grpTCPSocketType->itemIndex());
    record.setComPortOn(comPortOn);
    record.setReservedValue(reservedValue);
    record.setShowTimestamp(showTimestamp != 0 ? 1 : 0);
    record.setTxFormat(qint8(txFormat));
    record.setRxFormat(qint8(rxFormat));
    if (!WriteSettingsFile(settingsPath, record))
        ShowErrorBox(
            this,
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(settingsPath)));
}

} // namespace brixel
