// Forwarding: each chunk received on one side is logged and its bytes go, whole
// and unchanged, to the other side. Nothing is dropped for lack of room: while
// the destination has too much waiting to be written, its sources are not read,
// and they are read again once it has drained.
#include "app/TForm1.h"

#include "link/FlowControl.h"
#include "presentation/ByteRendering.h"
#include "presentation/LogView.h"

#include <QMutexLocker>
#include <QSerialPort>
#include <QTcpSocket>

namespace brixel {

namespace {

// The bytes of a chunk that start a log entry; a chunk rendered as nothing or as
// one blank adds nothing to the serial log.
bool WorthLogging(const QByteArray& rendered) {
    return !rendered.isEmpty() && rendered != " ";
}

} // namespace

void TForm1::WireBridge() {
    ComPort1->setReadBufferSize(kSourceBufferBytes);
    connect(ComPort1, &QSerialPort::bytesWritten, this, &TForm1::ResumeTcpSources);
}

QTcpSocket* TForm1::SerialDestination() const {
    // The oldest accepted connection still open, else the client connection.
    for (QTcpSocket* connection : serverConnections) {
        if (connection->state() == QAbstractSocket::ConnectedState)
            return connection;
    }
    if (ClientSocket1->state() == QAbstractSocket::ConnectedState)
        return ClientSocket1;
    return nullptr;
}

void TForm1::ComPort1RxChar() {
    ForwardSerialRx(false);
}

void TForm1::ForwardSerialRx(bool ending) {
    if (!ComPort1->isOpen())
        return;
    while (ComPort1->bytesAvailable() > 0) {
        QTcpSocket* destination = SerialDestination();
        if (!ending && destination && !AcceptsMore(destination->bytesToWrite()))
            return; // resumed by the destination's bytesWritten
        const QByteArray chunk = ComPort1->read(kMaxChunkBytes);
        if (chunk.isEmpty())
            return;
        const QByteArray rendered = RenderRxChunk(chunk, rxFormat);
        if (WorthLogging(rendered))
            AppendLogText(redtComPortMsg, rendered);
        // The chunk's bytes are forwarded whatever the display made of them.
        if (destination)
            destination->write(chunk);
    }
}

void TForm1::ClientSocket1Read() {
    ProcessTcpRx(ClientSocket1);
}

void TForm1::ServerSocket1ClientRead(QTcpSocket* connection) {
    ProcessTcpRx(connection);
}

void TForm1::ProcessTcpRx(QTcpSocket* connection) {
    ForwardTcpRx(connection, false);
}

void TForm1::ForwardTcpRx(QTcpSocket* connection, bool ending) {
    if (!rxLock)
        return; // the window is going away
    QMutexLocker lock(rxLock.get());
    while (connection->bytesAvailable() > 0) {
        const bool serialOpen = ComPort1->isOpen();
        if (!ending && serialOpen && !AcceptsMore(ComPort1->bytesToWrite()))
            return; // resumed by the serial port's bytesWritten
        const QByteArray chunk = connection->read(kMaxChunkBytes);
        if (chunk.isEmpty())
            return;
        AppendLogText(redtTCPIPMsg, RenderRxChunk(chunk, rxFormat));
        if (serialOpen)
            ComPort1->write(chunk);
    }
}

void TForm1::ResumeSerialSource() {
    if (!ComPort1->isOpen() || ComPort1->bytesAvailable() <= 0)
        return;
    // Once the destination has drained; at once when the link that held the port
    // back has gone (its data is then logged, or goes to the next connection).
    QTcpSocket* destination = SerialDestination();
    if (!destination || destination->bytesToWrite() < kLowWaterBytes)
        ComPort1RxChar();
}

void TForm1::ResumeTcpSources() {
    if (ComPort1->bytesToWrite() >= kLowWaterBytes)
        return;
    if (ClientSocket1->bytesAvailable() > 0)
        ProcessTcpRx(ClientSocket1);
    const QList<QTcpSocket*> connections = serverConnections;
    for (QTcpSocket* connection : connections) {
        if (serverConnections.contains(connection) && connection->bytesAvailable() > 0)
            ProcessTcpRx(connection);
    }
}

} // namespace brixel
