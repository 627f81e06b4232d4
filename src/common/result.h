#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace quillfen {

// A refusal or failure, carrying the text the user is shown (UTF-8, like every message of the
// core). A reader that refuses a damaged file also says where: the byte offset its
// message names, and the record (section, frame) it was reading.
struct Error {
    std::string message;
    std::optional<std::size_t> offset = std::nullopt;
    std::optional<std::size_t> record = std::nullopt;
};

// Either a value or the Error that kept it from being made. The core returns these instead of
// throwing, so that the window and the command-line tool decide how a failure is shown.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // The message of the failure; empty when there is a value.
    const std::string& error() const { return error_.message; }
    // The whole failure, with where it happened.
    const Error& failure() const { return error_; }

private:
    std::optional<T> value_;
    Error error_;
};

struct Done {};
using Status = Result<Done>;
inline Status success() {
    return Done{};
}

} // namespace quillfen
