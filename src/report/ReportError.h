#pragma once

#include <QString>

#include <stdexcept>

namespace tavolux::report {

// A failure of the report engine; what() carries the message shown to the user.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString &message)
        : std::runtime_error(message.toLocal8Bit().toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tavolux::report
