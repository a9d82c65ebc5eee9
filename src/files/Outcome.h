#pragma once

#include "platform/PathText.h"

#include <QString>
#include <utility>
#include <variant>

namespace tessaly::files {

// What kept something from being done: the file or folder it concerns
// (empty when there is none) and why, in the user's words. Logic returns
// these; only the faces decide how the user hears of them.
struct Failure
{
    QString path;
    QString reason;

    // How a failure reads in a box or on standard error: the path, CR LF,
    // the reason; the reason alone when no path is involved.
    QString text() const { return path.isEmpty() ? reason : withPath(path, reason); }
    bool operator==(const Failure &) const = default;
};

// The value a call made, or the failure that kept it from making one.
template <typename T> class [[nodiscard]] Outcome
{
public:
    Outcome(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Outcome(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when `ok()`.
    const T &value() const & { return std::get<0>(m_state); }
    T &value() & { return std::get<0>(m_state); }
    T &&value() && { return std::get<0>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    // Only when not `ok()`.
    const Failure &failure() const { return std::get<1>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

// Done, or the failure that kept it from being done.
template <> class [[nodiscard]] Outcome<void>
{
public:
    Outcome() = default;
    Outcome(Failure failure) : m_failure(std::move(failure)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Failure &failure() const { return m_failure; }

private:
    Failure m_failure;
    bool m_failed = false;
};

} // namespace tessaly::files
