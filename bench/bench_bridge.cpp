// Measures the bridge as a user runs it: the real window (offscreen, both logs
// live) in a process of its own, in Server mode, bridging a TCP client to a
// pseudo-terminal whose other end this program plays. When socat is installed
// the same figures are taken for socat forwarding the same way, in the same run.
//
// Prints "name: value" lines: throughput TCP->serial, serial->TCP and both at
// once in MB/s for String and Hex display, round-trip latency (TCP -> serial ->
// echoed here -> TCP) for 1 and 64 bytes (median and p99, microseconds), the
// round trip when the echo comes in two pieces 1 ms apart, peak memory, and the
// ratios to socat.
#include "app/BrixelApplication.h"
#include "app/SelectorGroup.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "link/SerialSettings.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
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

constexpr size_t kBulkBytes = 64u * 1024 * 1024;
constexpr int kRoundTrips = 2000;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The bridge under test runs in a child process.
struct Forwarder {
    pid_t pid = -1;
    int tcp = -1;
    int master = -1;
    int slave = -1;

    ~Forwarder() {
        if (tcp >= 0)
            close(tcp);
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (master >= 0)
            close(master);
        if (slave >= 0)
            close(slave);
    }

    long peakKiB() const {
        std::string path = "/proc/" + std::to_string(pid) + "/status";
        FILE* f = fopen(path.c_str(), "r");
        if (!f)
            return -1;
        char line[256];
        long kib = -1;
        while (fgets(line, sizeof line, f)) {
            if (strncmp(line, "VmHWM:", 6) == 0)
                kib = atol(line + 6);
        }
        fclose(f);
        return kib;
    }
};

[[noreturn]] void runBrixel(const std::string& slavePath, int port, int display) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "brixel";
    char* argv[] = {name, nullptr};
    brixel::BrixelApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    brixel::TForm1 form;
    form.show();
    form.rdIncomingFormat->setItemIndex(display);
    form.comSettings.port = QString::fromStdString(slavePath);
    form.btnComPortOn->click();
    form.grpTCPSocketType->setItemIndex(2);
    form.txbPort->setText(QString::number(port));
    form.btnConnect->click();
    app.exec();
    _exit(0);
}

bool startForwarder(Forwarder& f, bool socat, int display) {
    char name[256] = {};
    if (openpty(&f.master, &f.slave, name, nullptr, nullptr) != 0)
        return false;
    makeRaw(f.master);
    makeRaw(f.slave);
    const int port = freePort();
    f.pid = fork();
    if (f.pid == 0) {
        close(f.master);
        if (socat) {
            const std::string listen =
                "TCP4-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,nodelay";
            const std::string file = std::string("FILE:") + name + ",raw,echo=0";
            execlp("socat", "socat", "-b", "65536", listen.c_str(), file.c_str(), nullptr);
            _exit(127);
        }
        runBrixel(name, port, display);
    }
    f.tcp = connectWithRetry(port);
    if (f.tcp < 0)
        return false;
    setNonBlocking(f.tcp);
    setNonBlocking(f.master);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return true;
}

// Moves `bytes` from `in` to `out` (each direction optional) as fast as the
// bridge takes them; returns the seconds from the first write to the last read.
double transfer(int writeA, int readA, int writeB, int readB, size_t bytes) {
    std::vector<char> data(65536);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 131 + 7);
    std::vector<char> buf(1 << 20);
    size_t sentA = writeA < 0 ? bytes : 0, gotA = readA < 0 ? bytes : 0;
    size_t sentB = writeB < 0 ? bytes : 0, gotB = readB < 0 ? bytes : 0;
    const auto start = Clock::now();
    while (gotA < bytes || gotB < bytes) {
        pollfd p[4];
        int n = 0;
        if (sentA < bytes)
            p[n++] = {writeA, POLLOUT, 0};
        if (gotA < bytes)
            p[n++] = {readA, POLLIN, 0};
        if (sentB < bytes)
            p[n++] = {writeB, POLLOUT, 0};
        if (gotB < bytes)
            p[n++] = {readB, POLLIN, 0};
        if (poll(p, nfds_t(n), 10000) <= 0)
            return -1; // stalled
        for (int i = 0; i < n; ++i) {
            if (!p[i].revents)
                continue;
            const int fd = p[i].fd;
            if (p[i].events == POLLOUT) {
                size_t& sent = fd == writeA && sentA < bytes ? sentA : sentB;
                const ssize_t w = write(fd, data.data(), std::min(data.size(), bytes - sent));
                if (w > 0)
                    sent += size_t(w);
            } else {
                size_t& got = fd == readA && gotA < bytes ? gotA : gotB;
                const ssize_t r = read(fd, buf.data(), buf.size());
                if (r > 0)
                    got += size_t(r);
            }
        }
    }
    return seconds(Clock::now() - start);
}

bool readExactly(int fd, char* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0)
            return false;
        const ssize_t r = read(fd, buf + got, n - got);
        if (r > 0)
            got += size_t(r);
    }
    return true;
}

void writeAll(int fd, const char* buf, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t w = write(fd, buf + done, n - done);
        if (w > 0)
            done += size_t(w);
        else {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 1000);
        }
    }
}

// Round trips TCP -> serial -> echoed here -> TCP, in microseconds.
std::vector<double> roundTrips(Forwarder& f, size_t size, bool splitEcho, int count) {
    std::vector<char> msg(size, 'x'), buf(size);
    std::vector<double> us;
    for (int i = 0; i < count; ++i) {
        const auto t0 = Clock::now();
        writeAll(f.tcp, msg.data(), size);
        if (!readExactly(f.master, buf.data(), size))
            return {};
        if (splitEcho && size > 1) {
            writeAll(f.master, buf.data(), size / 2);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            writeAll(f.master, buf.data() + size / 2, size - size / 2);
        } else {
            writeAll(f.master, buf.data(), size);
        }
        if (!readExactly(f.tcp, buf.data(), size))
            return {};
        us.push_back(seconds(Clock::now() - t0) * 1e6);
    }
    std::sort(us.begin(), us.end());
    return us;
}

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty())
        return -1;
    return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
}

void print(const std::string& name, double value) {
    std::printf("%s: %.2f\n", name.c_str(), value);
    std::fflush(stdout);
}

std::map<std::string, double> measure(bool socat, int display) {
    std::map<std::string, double> r;
    Forwarder f;
    if (!startForwarder(f, socat, display))
        return r;
    const double mb = double(kBulkBytes) / 1e6;
    r["tcp_to_serial_mb_s"] = mb / transfer(f.tcp, f.master, -1, -1, kBulkBytes);
    r["serial_to_tcp_mb_s"] = mb / transfer(f.master, f.tcp, -1, -1, kBulkBytes);
    r["both_ways_mb_s_each"] = mb / transfer(f.tcp, f.master, f.master, f.tcp, kBulkBytes);
    for (size_t size : {size_t(1), size_t(64)}) {
        const auto rt = roundTrips(f, size, false, kRoundTrips);
        r["rtt_" + std::to_string(size) + "b_median_us"] = percentile(rt, 0.5);
        r["rtt_" + std::to_string(size) + "b_p99_us"] = percentile(rt, 0.99);
    }
    const auto split = roundTrips(f, 64, true, 200);
    r["rtt_64b_split_echo_median_us"] = percentile(split, 0.5);
    r["rtt_64b_split_echo_max_us"] = split.empty() ? -1 : split.back();
    r["peak_memory_mib"] = double(f.peakKiB()) / 1024.0;
    return r;
}

bool haveSocat() {
    return std::system("command -v socat >/dev/null 2>&1") == 0;
}

} // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    if (argc > 1 && std::string(argv[1]) == "quick") {
        // Only the bulk TCP -> serial figure, for trying changes quickly.
        for (bool socat : {true, false}) {
            Forwarder f;
            if (!startForwarder(f, socat, 0))
                return 1;
            print(socat ? "socat_tcp_to_serial_mb_s" : "brixel_tcp_to_serial_mb_s",
                  double(kBulkBytes) / 1e6 / transfer(f.tcp, f.master, -1, -1, kBulkBytes));
        }
        return 0;
    }
    std::map<std::string, double> reference;
    if (haveSocat()) {
        reference = measure(true, 0);
        for (const auto& [name, value] : reference)
            print("socat_" + name, value);
    } else {
        std::printf("socat: not installed, no reference figures\n");
    }
    for (const auto& [label, display] : {std::pair{"string", 0}, std::pair{"hex", 3}}) {
        const auto ours = measure(false, display);
        for (const auto& [name, value] : ours) {
            print(std::string("brixel_") + label + "_" + name, value);
            if (reference.count(name) && reference[name] > 0 && name != "peak_memory_mib")
                print(std::string("ratio_") + label + "_" + name + "_vs_socat",
                      value / reference[name]);
        }
    }
    return 0;
}
