#include "link/PortNames.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace brixel {

QString DefaultComPortName() {
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("ttyS0");
#endif
}

QStringList SystemComPortNames() {
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        names.append(info.portName());
    return SortedPortNames(names);
}

QStringList SortedPortNames(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace brixel
