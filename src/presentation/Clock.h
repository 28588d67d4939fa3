#pragma once

#include <QDateTime>
#include <functional>

namespace brixel {

// Where the logs read the time. The program uses the local wall clock; tests put
// in a clock they move by hand so that line grouping can be checked exactly.
using ClockFn = std::function<QDateTime()>;

inline ClockFn SystemClock() {
    return [] { return QDateTime::currentDateTime(); };
}

} // namespace brixel
