#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair in raw mode, opened by the test. The program is given
// slavePath() as its serial port name; the test plays the device on the master.
// The test keeps its own slave descriptor open so that the program's closing of
// the port does not hang up the line.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isOpen() const { return master_ >= 0; }
    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes all bytes to the master (the device sending to the program).
    bool writeMaster(const QByteArray& bytes);
    // Reads from the master until `count` bytes arrived or `timeoutMs` passed,
    // running the Qt event loop meanwhile. Returns what arrived.
    QByteArray readMaster(qsizetype count, int timeoutMs = 5000);
    // Whatever is readable now, without waiting.
    QByteArray drainMaster();
    // Closes the master: the device vanishes.
    void closeMaster();
    // Closes the test's own slave descriptor.
    void closeSlave();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};
