// A long run of the bridge under load, as a user runs it: the real window
// (offscreen) in a process of its own, in Server mode, bridging a TCP client to a
// pseudo-terminal, both logs live with timestamps on. This program plays the TCP
// client and the serial device and sends seeded pseudo-random bytes both ways as
// fast as the bridge takes them for 0.7 s of every second (the pause starts new,
// timestamped log lines), checking every byte that arrives against the stream it
// belongs to.
//
//   bench_soak [seconds] [rx-format]     default 60 s, String (0); 3 for Hex
//
// Prints "name: value" lines: bytes forwarded each way, bytes lost and bytes out
// of place each way (both must be 0), the window process's memory (peak, when
// both logs first reached their bound, and at the end), and the longest time the
// window's event loop was blocked, measured inside it by a 10 ms timer that notes
// its own lateness.
#include "app/BrixelApplication.h"
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "presentation/LogView.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "PosixLink.h"

namespace {

using benchlink::connectWithRetry;
using benchlink::freePort;
using benchlink::makeRaw;
using benchlink::setNonBlocking;

using Clock = std::chrono::steady_clock;

constexpr size_t kPiece = 64 * 1024;
constexpr int kTickMs = 10;
constexpr double kBurstShare = 0.7; // of each second spent sending

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

// ---- The window process ----------------------------------------------------

// Runs the program bridging `slavePath` to TCP clients on `port`. Reports
// "bound <ms>" on `report` when both logs first dropped old lines, and its event
// loop figures when `control` closes, then ends.
[[noreturn]] void runWindow(const std::string& slavePath, int port, int format, int report,
                            int control) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "brixel";
    char* argv[] = {name, nullptr};
    brixel::BrixelApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    brixel::TForm1 form;
    form.show();
    form.chkShowDateTime->setChecked(true);
    form.showTimestamp = 1;
    form.rdIncomingFormat->setItemIndex(format);
    form.comSettings.port = QString::fromStdString(slavePath);
    form.btnComPortOn->click();
    form.grpTCPSocketType->setItemIndex(2);
    form.txbPort->setText(QString::number(port));
    form.btnConnect->click();

    QElapsedTimer running;
    running.start();
    qint64 lastTick = 0, worstLateMs = 0, ticks = 0, lateOver50 = 0, lateOver100 = 0;
    bool bound = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = running.elapsed();
        const qint64 late = now - lastTick - kTickMs;
        lastTick = now;
        ++ticks;
        worstLateMs = std::max(worstLateMs, late);
        lateOver50 += late > 50;
        lateOver100 += late > 100;
        if (!bound && form.redtTCPIPMsg->log().oldestSeq() > 0 &&
            form.redtComPortMsg->log().oldestSeq() > 0) {
            bound = true;
            writeAll(report, "bound " + std::to_string(now) + "\n");
        }
    });
    QSocketNotifier stop(control, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, [&] {
        const brixel::TrafficLog& tcp = form.redtTCPIPMsg->log();
        const brixel::TrafficLog& com = form.redtComPortMsg->log();
        writeAll(report, "worst_late_ms " + std::to_string(worstLateMs) + "\nticks " +
                             std::to_string(ticks) + "\nlate_over_50 " +
                             std::to_string(lateOver50) + "\nlate_over_100 " +
                             std::to_string(lateOver100) + "\ntcp_log_chars " +
                             std::to_string(tcp.size()) + "\ntcp_log_lines " +
                             std::to_string(tcp.lineCount()) + "\ncom_log_chars " +
                             std::to_string(com.size()) + "\ncom_log_lines " +
                             std::to_string(com.lineCount()) + "\nend\n");
        app.quit();
    });
    lastTick = running.elapsed();
    tick.start();
    app.exec();
    _exit(0);
}

// ---- The two ends ------------------------------------------------------------

uint64_t mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// One direction's stream: byte i is a fixed function of the seed and i, so the
// receiving end knows what every byte must be.
struct Stream {
    uint64_t seed;
    uint64_t sent = 0, received = 0, outOfPlace = 0;
    std::vector<char> buffer = std::vector<char>(kPiece);

    void fill(char* out, size_t n, uint64_t pos) const {
        for (size_t i = 0; i < n;) {
            const uint64_t word = mix(seed ^ ((pos + i) / 8));
            for (size_t b = (pos + i) % 8; b < 8 && i < n; ++b, ++i)
                out[i] = char(word >> (8 * b));
        }
    }
    // Sends the next piece to `fd`; false when the other side is gone.
    bool send(int fd) {
        fill(buffer.data(), kPiece, sent);
        const ssize_t n = write(fd, buffer.data(), kPiece);
        if (n > 0)
            sent += uint64_t(n);
        return n >= 0 || errno == EAGAIN || errno == EINTR;
    }
    void check(const char* in, size_t n) {
        std::vector<char> expected(n);
        fill(expected.data(), n, received);
        if (std::memcmp(in, expected.data(), n) != 0) {
            for (size_t i = 0; i < n; ++i)
                outOfPlace += in[i] != expected[i];
        }
        received += n;
    }
    // Reads what has arrived from `fd`; false when the other side is gone.
    bool receive(int fd) {
        std::vector<char> in(kPiece * 4);
        const ssize_t n = read(fd, in.data(), in.size());
        if (n > 0)
            check(in.data(), size_t(n));
        return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
    }
};

long statusKiB(pid_t pid, const char* field) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* f = fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    const size_t len = strlen(field);
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, field, len) == 0)
            kib = atol(line + len);
    }
    fclose(f);
    return kib;
}

void print(const char* name, double value) {
    std::printf("%s: %.2f\n", name, value);
    std::fflush(stdout);
}

double mib(long kib) {
    return double(kib) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    const double duration = argc > 1 ? std::atof(argv[1]) : 60.0;
    const int format = argc > 2 ? std::atoi(argv[2]) : 0;

    int master = -1, slave = -1;
    char slaveName[256] = {};
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    makeRaw(master);
    makeRaw(slave);
    int report[2], control[2];
    if (pipe(report) != 0 || pipe(control) != 0) {
        std::perror("pipe");
        return 1;
    }
    const int port = freePort();
    const pid_t child = fork();
    if (child == 0) {
        close(master);
        close(report[0]);
        close(control[1]);
        runWindow(slaveName, port, format, report[1], control[0]);
    }
    close(report[1]);
    close(control[0]);
    const int tcp = connectWithRetry(port);
    if (tcp < 0) {
        std::fprintf(stderr, "the window did not listen\n");
        kill(child, SIGKILL);
        return 1;
    }
    setNonBlocking(tcp);
    setNonBlocking(master);
    setNonBlocking(report[0]);

    Stream toSerial{1}, toTcp{2};
    long peakKiB = 0, boundKiB = -1, lastKiB = 0;
    double boundAt = -1;
    std::string reportText;
    std::vector<std::pair<double, long>> samples;
    const auto start = Clock::now();
    auto lastSample = start;
    bool sending = true, gone = false;
    auto lastProgress = Clock::now();
    uint64_t receivedBefore = 0;

    while (!gone) {
        const double t = secondsSince(start);
        if (sending && t >= duration)
            sending = false;
        // Each second ends with a pause longer than the RX timeout, so both logs
        // keep starting new timestamped lines.
        const bool burst = sending && t - double(int64_t(t)) < kBurstShare;
        if (!sending && toSerial.received == toSerial.sent && toTcp.received == toTcp.sent)
            break;
        if (toSerial.received + toTcp.received != receivedBefore) {
            receivedBefore = toSerial.received + toTcp.received;
            lastProgress = Clock::now();
        } else if (!sending && secondsSince(lastProgress) > 30) {
            break; // nothing more arrives: the rest is lost
        }
        pollfd p[3] = {{tcp, short(POLLIN | (burst ? POLLOUT : 0)), 0},
                       {master, short(POLLIN | (burst ? POLLOUT : 0)), 0},
                       {report[0], POLLIN, 0}};
        poll(p, 3, 20);
        if (p[0].revents & POLLOUT)
            gone = gone || !toSerial.send(tcp);
        if (p[1].revents & POLLOUT)
            gone = gone || !toTcp.send(master);
        if (p[0].revents & POLLIN)
            gone = gone || !toTcp.receive(tcp);
        if (p[1].revents & POLLIN)
            gone = gone || !toSerial.receive(master);
        if (p[2].revents & POLLIN) {
            char buf[512];
            const ssize_t n = read(report[0], buf, sizeof buf);
            if (n > 0)
                reportText.append(buf, size_t(n));
        }
        if (boundAt < 0 && reportText.find("bound ") != std::string::npos) {
            boundAt = t;
            boundKiB = statusKiB(child, "VmRSS:");
        }
        if (std::chrono::duration<double>(Clock::now() - lastSample).count() >= 1.0) {
            lastSample = Clock::now();
            lastKiB = statusKiB(child, "VmRSS:");
            peakKiB = std::max(peakKiB, lastKiB);
            samples.emplace_back(t, lastKiB);
        }
    }
    const double elapsed = secondsSince(start);
    lastKiB = statusKiB(child, "VmRSS:");
    peakKiB = std::max({peakKiB, lastKiB, statusKiB(child, "VmHWM:")});

    // Ask the window for its figures, then let it end.
    close(control[1]);
    fcntl(report[0], F_SETFL, fcntl(report[0], F_GETFL) & ~O_NONBLOCK);
    char buf[512];
    ssize_t n;
    while ((n = read(report[0], buf, sizeof buf)) > 0)
        reportText.append(buf, size_t(n));
    int status = 0;
    waitpid(child, &status, 0);
    close(tcp);
    close(master);
    close(slave);

    auto reported = [&reportText](const char* key) {
        const std::string k = std::string(key) + " ";
        const size_t at = reportText.find(k);
        return at == std::string::npos ? -1.0 : std::atof(reportText.c_str() + at + k.size());
    };
    // RSS from the first sample after the logs reached their bound to the end.
    long lowAfterBound = -1, highAfterBound = -1;
    for (const auto& [t, kib] : samples) {
        if (boundAt >= 0 && t >= boundAt) {
            lowAfterBound = lowAfterBound < 0 ? kib : std::min(lowAfterBound, kib);
            highAfterBound = std::max(highAfterBound, kib);
        }
    }

    print("soak_seconds", elapsed);
    print("tcp_to_serial_bytes", double(toSerial.received));
    print("serial_to_tcp_bytes", double(toTcp.received));
    print("tcp_to_serial_mb_s", double(toSerial.received) / 1e6 / elapsed);
    print("serial_to_tcp_mb_s", double(toTcp.received) / 1e6 / elapsed);
    print("tcp_to_serial_lost_bytes", double(toSerial.sent - toSerial.received));
    print("serial_to_tcp_lost_bytes", double(toTcp.sent - toTcp.received));
    print("tcp_to_serial_out_of_place_bytes", double(toSerial.outOfPlace));
    print("serial_to_tcp_out_of_place_bytes", double(toTcp.outOfPlace));
    print("logs_at_bound_after_s", boundAt);
    print("rss_at_log_bound_mib", boundKiB < 0 ? -1 : mib(boundKiB));
    print("rss_after_bound_min_mib", lowAfterBound < 0 ? -1 : mib(lowAfterBound));
    print("rss_after_bound_max_mib", highAfterBound < 0 ? -1 : mib(highAfterBound));
    print("rss_final_mib", mib(lastKiB));
    print("rss_peak_mib", mib(peakKiB));
    print("event_loop_worst_lateness_ms", reported("worst_late_ms"));
    print("event_loop_ticks", reported("ticks"));
    print("event_loop_ticks_late_over_50ms", reported("late_over_50"));
    print("event_loop_ticks_late_over_100ms", reported("late_over_100"));
    print("tcp_log_chars", reported("tcp_log_chars"));
    print("tcp_log_lines", reported("tcp_log_lines"));
    print("com_log_chars", reported("com_log_chars"));
    print("com_log_lines", reported("com_log_lines"));
    const bool clean = !gone && toSerial.sent == toSerial.received &&
                       toTcp.sent == toTcp.received && toSerial.outOfPlace == 0 &&
                       toTcp.outOfPlace == 0 && WIFEXITED(status);
    return clean ? 0 : 1;
}
