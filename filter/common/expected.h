// Errors as values: a result is either a value or a one-line failure message.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kantora {

// What kind of failure it is, for the program that decides what follows from it.
enum class FailureKind {
    Error,
    Usage,                 // the command asked for something that cannot be done as asked
    Cancelled,             // the user cancelled the filter's dialog; nothing is said
    SavedWithoutSettings,  // the script-string callback could not write its call
};

struct Failure {
    std::string message;  // one line, without the program name
    FailureKind kind = FailureKind::Error;
};

inline Failure Fail(std::string message, FailureKind kind = FailureKind::Error) {
    return Failure{std::move(message), kind};
}

template <typename T>
class Expected {
public:
    Expected(T value) : state_(std::move(value)) {}
    Expected(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T &value() { return std::get<0>(state_); }
    const T &value() const { return std::get<0>(state_); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    const Failure &failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

struct Done {};
using Status = Expected<Done>;
inline Status Ok() { return Done{}; }

}  // namespace kantora
