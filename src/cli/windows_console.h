#pragma once

// The command-line tool's output on a Windows console (Windows only).

#include "host/windows_text.h"

#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>

namespace quillfen::cli {

// The length of `text` without a UTF-8 character cut short at its end.
inline std::size_t wholeCharacters(std::string_view text) {
    std::size_t start = text.size();
    while (start > 0 && text.size() - start < 3 &&
           (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return text.size();
    auto lead = static_cast<unsigned char>(text[start - 1]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return text.size() - (start - 1) < length ? start - 1 : text.size();
}

// A stream's bytes (UTF-8) written to a console as UTF-16 with WriteConsoleW, which shows every
// character whatever the console's code page; bytes written to it with WriteFile would be read
// in that code page.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + kSize); }
    ~ConsoleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (!writeOut(false))
            return traits_type::eof();
        if (c != traits_type::eof()) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return writeOut(true) ? 0 : -1; }

private:
    static constexpr int kSize = 4096;

    // Writes what is held; a character cut at the end waits for its other bytes unless `all`.
    bool writeOut(bool all) {
        std::string_view held(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        std::size_t whole = all ? held.size() : wholeCharacters(held);
        std::wstring wide = widened(held.substr(0, whole));
        DWORD written = 0;
        bool ok =
            wide.empty() || ::WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()),
                                            &written, nullptr);
        std::size_t left = held.size() - whole;
        std::memmove(buffer_, held.data() + whole, left);
        setp(buffer_, buffer_ + kSize);
        pbump(static_cast<int>(left));
        return ok;
    }

    HANDLE console_;
    char buffer_[kSize];
};

// While it lives, std::cout and std::cerr write through a ConsoleBuffer where they go to a
// console (GetConsoleMode tells one); to a pipe or a file they write their UTF-8 bytes.
class ConsoleOutput {
public:
    ConsoleOutput() : out_(std::cout, STD_OUTPUT_HANDLE), err_(std::cerr, STD_ERROR_HANDLE) {}

private:
    struct Stream {
        std::ostream& stream;
        ConsoleBuffer buffer;
        std::streambuf* original = nullptr;
        Stream(std::ostream& to, DWORD which) : stream(to), buffer(::GetStdHandle(which)) {
            DWORD mode = 0;
            if (::GetConsoleMode(::GetStdHandle(which), &mode))
                original = stream.rdbuf(&buffer);
        }
        ~Stream() {
            if (original) {
                stream.flush();
                stream.rdbuf(original);
            }
        }
    };
    Stream out_, err_;
};

} // namespace quillfen::cli
