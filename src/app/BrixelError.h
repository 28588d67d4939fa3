#pragma once

#include <QString>
#include <stdexcept>

namespace brixel {

// A failure that a handler lets reach the error box. The message is shown as it
// stands (ErrorBoxText adds the full stop).
class BrixelError : public std::runtime_error {
public:
    explicit BrixelError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace brixel
