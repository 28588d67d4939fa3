// Manual send: typed text encoded in the TX format and sent to the TCP peer or
// written to the serial port. What is sent here is neither logged nor forwarded.
#include "app/TForm1.h"

#include "app/MessageBoxes.h"
#include "app/SelectorGroup.h"
#include "presentation/TxEncoding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTcpSocket>

namespace brixel {

namespace {

constexpr qint32 kStringFormat = 0;
constexpr qint32 kBinaryFormat = 1;
constexpr qint32 kHexFormat = 3;

// Typed text as the 8-bit characters it stands for.
QByteArray FieldBytes(const QLineEdit* field) {
    return field->text().toLatin1();
}

QByteArray NormalizedForFormat(const QByteArray& text, qint32 format) {
    if (format == kHexFormat)
        return NormalizeHexText(text);
    if (format == kBinaryFormat)
        return NormalizeBinaryText(text);
    return text;
}

} // namespace

QByteArray TForm1::EncodeTxText(const QByteArray& text) {
    const TxEncodeResult result = brixel::EncodeTxText(
        text, txFormat, chkCarriageReturn->isChecked(), chkNewLine->isChecked());
    if (!result.error.isEmpty()) {
        ShowFormatError(this, result.error);
        return {};
    }
    return result.bytes;
}

QTcpSocket* TForm1::ManualSendTarget() const {
    // The client connection first, then the server's oldest connection.
    if (ClientSocket1->state() == QAbstractSocket::ConnectedState)
        return ClientSocket1;
    for (QTcpSocket* connection : serverConnections) {
        if (connection->state() == QAbstractSocket::ConnectedState)
            return connection;
    }
    return nullptr;
}

void TForm1::btnTCPSendMessageClick() {
    const QByteArray text = NormalizedForFormat(FieldBytes(txbSendMessage), txFormat);
    // Outside String the field shows the normalised text, also when the send then fails.
    if (txFormat != kStringFormat)
        txbSendMessage->setText(QString::fromLatin1(text));
    const QByteArray bytes = EncodeTxText(text);
    // The target is picked after encoding: a box may have been open meanwhile.
    QTcpSocket* target = ManualSendTarget();
    if (!target) {
        ShowPlainMessage(this, QStringLiteral("No TCP Connection! Cannot transmit (TX)"));
        return;
    }
    if (!bytes.isEmpty())
        target->write(bytes);
}

void TForm1::btnSendComClick() {
    if (!ComPort1->isOpen()) {
        ShowPlainMessage(this, QStringLiteral("Com Port is not connected! Cannot transmit (TX)"));
        return;
    }
    const QByteArray bytes = EncodeTxText(NormalizedForFormat(FieldBytes(txbCom), txFormat));
    // The port may have closed while a box was open.
    if (!bytes.isEmpty() && ComPort1->isOpen())
        ComPort1->write(bytes);
}

void TForm1::txbSendMessageKeyPress(int key) {
    if (key != 13)
        return;
    btnTCPSendMessage->click();
    txbSendMessage->selectAll();
}

void TForm1::rdSendFormatClick() {
    txFormat = rdSendFormat->itemIndex();
}

} // namespace brixel
