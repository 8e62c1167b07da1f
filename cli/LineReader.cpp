// SPDX-License-Identifier: MIT
#include "cli/LineReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zarnik::cli {

bool LineReader::Next(std::string& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            return !line.empty() || tooLong;
        }
        const char* start = buffer_.data() + pos_;
        const void* newline = std::memchr(start, '\n', end_ - pos_);
        const std::size_t length = newline ? static_cast<const char*>(newline) - start : end_ - pos_;
        const std::size_t room = kLongest - std::min(kLongest, line.size());
        tooLong = tooLong || length > room;
        line.append(start, std::min(length, room));
        pos_ += length;
        if (newline) {
            ++pos_;
            return true;
        }
    }
}

bool LineReader::Fill()
{
    beforeWait_();
    ssize_t n = 0;
    do {
        n = read(fd_, buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        error_ = errno;
    }
    pos_ = 0;
    end_ = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n > 0;
}

}  // namespace zarnik::cli
