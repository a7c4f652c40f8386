#pragma once

#include <QCoreApplication>
#include <QString>

#include <cassert>
#include <optional>
#include <utility>

// The outcome of an operation that touches files or parses input. The
// message names the path and the reason, ready to show to the user. Dropping
// one unread is a failure nobody hears of; the compiler warns.
class [[nodiscard]] Status
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
        : m_message(message.isEmpty() ? QCoreApplication::translate("Status", "unknown error")
                                      : std::move(message))
    {
    }

    QString m_message;
};

// A value, or the status that says why there is none.
template <class T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)), m_status(Status::success()) {}
    Result(Status failure) : m_status(std::move(failure))
    {
        // A result without a value has to say why.
        assert(!m_status.ok());
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const
    {
        assert(ok());
        return *m_value;
    }
    T& value()
    {
        assert(ok());
        return *m_value;
    }
    const T& operator*() const { return value(); }
    T& operator*() { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    T valueOr(T fallback) const { return ok() ? *m_value : std::move(fallback); }

    const Status& status() const { return m_status; }

private:
    std::optional<T> m_value;
    Status m_status;
};
