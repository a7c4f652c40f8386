#pragma once

#include <QString>

// The outcome of an operation that touches files or parses input. The
// message names the path and the reason, ready to show to the user.
class Status
{
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message)); }

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString& message() const { return m_message; }

private:
    Status() = default;
    explicit Status(QString message)
        : m_message(message.isEmpty() ? QStringLiteral("unknown error") : std::move(message))
    {
    }

    QString m_message;
};
