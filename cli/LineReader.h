// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>

namespace zarnik::cli {

// Reads lines from a file descriptor in large blocks, without ever holding
// more than one block and one line: memory stays flat for any input. Lines
// longer than kLongest are cut there and flagged. Before it waits for more
// input it calls `beforeWait`, which flushes the answers so far: a program
// feeding the batch a line at a time gets each answer before it writes the
// next line.
class LineReader {
public:
    static constexpr std::size_t kLongest = 4096;

    LineReader(int fd, std::function<void()> beforeWait) : fd_(fd), beforeWait_(std::move(beforeWait)) {}

    // The next line, without its end; false at the end of the input or at a
    // read error.
    bool Next(std::string& line, bool& tooLong);
    // The read error (errno), or 0.
    [[nodiscard]] int Error() const { return error_; }

private:
    bool Fill();

    int fd_;
    std::function<void()> beforeWait_;
    std::array<char, 65536> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    int error_ = 0;
};

}  // namespace zarnik::cli
