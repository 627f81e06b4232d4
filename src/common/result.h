#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quillfen {

// A refusal or failure, carrying the text the user is shown (Windows-1252 bytes, like every
// text of the core).
struct Error {
    std::string message;
};

// Either a value or the Error that kept it from being made. The core returns these instead of
// throwing, so that the window and the command-line tool decide how a failure is shown.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error.message)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

struct Done {};
using Status = Result<Done>;
inline Status success() {
    return Done{};
}

} // namespace quillfen
