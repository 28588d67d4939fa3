#include "support/PtyPair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}
} // namespace

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    makeRaw(master_);
    makeRaw(slave_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    closeMaster();
    closeSlave();
}

bool PtyPair::writeMaster(const QByteArray& bytes) {
    qsizetype done = 0;
    QDeadlineTimer deadline(10000);
    while (done < bytes.size() && master_ >= 0) {
        ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done == bytes.size();
}

QByteArray PtyPair::readMaster(qsizetype count, int timeoutMs) {
    QByteArray out;
    QDeadlineTimer deadline(timeoutMs);
    while (out.size() < count && !deadline.hasExpired() && master_ >= 0) {
        out += drainMaster();
        if (out.size() >= count)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, 1);
    }
    return out;
}

QByteArray PtyPair::drainMaster() {
    QByteArray out;
    char buf[65536];
    while (master_ >= 0) {
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

void PtyPair::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyPair::closeSlave() {
    if (slave_ >= 0)
        ::close(slave_);
    slave_ = -1;
}
