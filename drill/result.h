// What may fail in the platform, the pictures and sounds and the print: a value, or the reason
// it could not be had, in words a teacher can act on.
#pragma once

#include <QString>

#include <utility>
#include <variant>

// The reason, made explicitly so that a text is never taken for a value by mistake.
struct Failure
{
    explicit Failure(QString why) : reason(std::move(why)) {}
    QString reason;
};

template<class T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_held(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_held(std::in_place_index<1>, std::move(failure.reason)) {}

    explicit operator bool() const { return m_held.index() == 0; }
    // Only of a result that holds its value.
    T &value() & { return std::get<0>(m_held); }
    const T &value() const & { return std::get<0>(m_held); }
    T &&value() && { return std::get<0>(std::move(m_held)); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    // Empty while the result holds its value.
    QString errorString() const { return m_held.index() == 1 ? std::get<1>(m_held) : QString(); }

private:
    std::variant<T, QString> m_held;
};

template<>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : m_error(std::move(failure.reason)), m_failed(true) {}

    explicit operator bool() const { return !m_failed; }
    QString errorString() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};
