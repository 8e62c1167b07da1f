// SPDX-License-Identifier: MIT
#include "model/CsvReader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace zarnik {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// How many lines the separator is counted over.
constexpr int kSeparatorLines = 20;

}  // namespace

CsvReader::CsvReader(Source source) : source_(std::move(source)) {}

bool CsvReader::Fill()
{
    if (ended_ || !fatal_.empty()) {
        return false;
    }
    offset_ += static_cast<long long>(pos_);
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kBlock);
    long n = 0;
    do {
        n = source_(buffer_.data() + old, kBlock);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        fatal_ = std::string("cannot read it: ") + std::strerror(errno);
        buffer_.resize(old);
        return false;
    }
    buffer_.resize(old + std::size_t(n));
    if (n == 0) {
        ended_ = true;
        return false;
    }
    const std::string_view block = std::string_view(buffer_).substr(old);
    if (offset_ == 0 && old == 0 && (block.starts_with("\xFF\xFE") || block.starts_with("\xFE\xFF"))) {
        fatal_ = "it is UTF-16 text: save it as UTF-8";
        return false;
    }
    if (const std::size_t nul = block.find('\0'); nul != std::string_view::npos) {
        fatal_ =
            "it is not a text file (a NUL byte at byte " + std::to_string(offset_ + (long long)(old + nul) + 1) + ")";
        return false;
    }
    return true;
}

void CsvReader::DetectSeparator()
{
    if (buffer_.size() - pos_ >= kUtf8Mark.size() && std::string_view(buffer_).substr(pos_).starts_with(kUtf8Mark)) {
        pos_ += kUtf8Mark.size();
    }
    const std::string_view text = std::string_view(buffer_).substr(pos_);
    if (text.size() >= 5 && (text.starts_with("sep=") || text.starts_with("SEP=")) &&
        (text.size() == 5 || text[5] == '\n' || text[5] == '\r')) {
        separator_ = text[4];
        pos_ += 5;
        while (pos_ < buffer_.size() && (buffer_[pos_] == '\r' || buffer_[pos_] == '\n')) {
            line_ += buffer_[pos_] == '\n' ? 1 : 0;
            ++pos_;
        }
        return;
    }
    constexpr std::array<char, 4> kCandidates = {'\t', ';', ',', '|'};
    std::array<long, 4> counts{};
    bool quoted = false;
    int lines = 0;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\n' && !quoted && ++lines == kSeparatorLines) {
            break;
        } else if (!quoted) {
            for (std::size_t i = 0; i < kCandidates.size(); ++i) {
                counts[i] += c == kCandidates[i] ? 1 : 0;
            }
        }
    }
    const auto most = std::ranges::max_element(counts);  // the first of equals: tab, ;, ,
    separator_ = *most > 0 ? kCandidates[std::size_t(most - counts.begin())] : ',';
}

void CsvReader::ReplayAfterFirstLine()
{
    buffer_ = raw_ + buffer_.substr(pos_);
    offset_ -= static_cast<long long>(raw_.size());
    pos_ = 0;
    replay_ = raw_.size();
    raw_.clear();
}

bool CsvReader::Next(Row& row)
{
    if (!started_) {
        started_ = true;
        // The separator is told from the first block, however the source
        // cuts it.
        while (buffer_.size() < kBlock && Fill()) {
        }
        if (!fatal_.empty()) {
            return false;
        }
        // Control characters other than the blanks and line ends mark a
        // binary file even without a NUL, told from the first block whatever
        // pieces it came in.
        const auto controls = std::ranges::count_if(buffer_, [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return (u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || u == 0x7F;
        });
        if (controls > 0 && std::size_t(controls) * 100 > buffer_.size()) {
            fatal_ = "it is not a text file (control characters)";
            return false;
        }
        DetectSeparator();
    }
    for (;;) {
        if (!fatal_.empty()) {
            return false;
        }
        std::size_t count = 0;
        const auto nextField = [&]() -> std::string& {
            if (count == row.fields.size()) {
                row.fields.emplace_back();
            }
            std::string& field = row.fields[count++];
            field.clear();
            return field;
        };
        std::string* field = &nextField();
        row.line = line_;
        row.problem.clear();
        raw_.clear();
        bool inQuotes = false;
        bool anyQuote = false;
        bool fieldStart = true;  // only blanks so far in this field
        bool capturing = false;  // the row runs past its first line inside quotes
        bool tooLong = false;
        std::size_t rowBytes = 0;
        bool endOfInput = false;
        for (;;) {
            if (pos_ == buffer_.size() && !Fill()) {
                endOfInput = true;
                break;
            }
            const char c = buffer_[pos_++];
            const bool replaying = replay_ > 0;
            if (replaying) {
                --replay_;
            }
            if (capturing) {
                raw_ += c;
            }
            if (++rowBytes > kLongestRow) {
                tooLong = true;
                break;
            }
            if (inQuotes) {
                if (c == '"') {
                    if (pos_ == buffer_.size()) {
                        Fill();
                    }
                    if (pos_ < buffer_.size() && buffer_[pos_] == '"') {
                        ++pos_;
                        if (replay_ > 0) {
                            --replay_;
                        }
                        if (capturing) {
                            raw_ += '"';
                        }
                        *field += '"';
                    } else {
                        inQuotes = false;
                    }
                    continue;
                }
                if (c == '\n' || (c == '\r' && (pos_ == buffer_.size() || buffer_[pos_] != '\n'))) {
                    ++line_;
                    if (replaying) {
                        break;  // replaying: a line end ends the row
                    }
                    capturing = true;
                }
                *field += c;
                continue;
            }
            if (c == separator_) {
                field = &nextField();
                fieldStart = true;
                continue;
            }
            if (c == '\n' || c == '\r') {
                if (c == '\r') {
                    if (pos_ == buffer_.size()) {
                        Fill();
                    }
                    if (pos_ < buffer_.size() && buffer_[pos_] == '\n') {
                        ++pos_;
                        if (replay_ > 0) {
                            --replay_;
                        }
                    }
                }
                ++line_;
                break;
            }
            if (c == '"' && fieldStart) {
                field->clear();
                inQuotes = true;
                anyQuote = true;
                fieldStart = false;
                continue;
            }
            if (c != ' ' && c != '\t') {
                fieldStart = false;
            }
            *field += c;
        }
        if (!fatal_.empty()) {
            return false;
        }
        if (tooLong) {
            row.problem = "the row is longer than " + std::to_string(kLongestRow / 1024) + " KiB";
            count = 0;
            if (capturing) {
                ReplayAfterFirstLine();
                line_ = row.line + 1;
            } else {
                // Skipped to the end of its line.
                while (pos_ < buffer_.size() || Fill()) {
                    const char c = buffer_[pos_++];
                    if (replay_ > 0) {
                        --replay_;
                    }
                    if (c == '\n') {
                        ++line_;
                        break;
                    }
                }
            }
            row.fields.clear();
            return true;
        }
        if (inQuotes) {
            row.problem = "a quote opened on line " + std::to_string(row.line) + " is not closed";
            if (capturing && replay_ == 0) {
                ReplayAfterFirstLine();
                line_ = row.line + 1;
                // Only its first line is this row's.
                const std::size_t end = field->find_first_of("\r\n");
                field->erase(std::min(end, field->size()));
            }
            row.fields.resize(count);
            return true;
        }
        row.fields.resize(count);
        const bool blank = count == 1 && !anyQuote && row.fields[0].find_first_not_of(" \t") == std::string::npos;
        if (blank) {
            if (endOfInput) {
                return false;
            }
            continue;
        }
        return true;
    }
}

CsvReader::Source FileSource(int fd)
{
    return [fd](char* into, std::size_t room) { return long(read(fd, into, room)); };
}

CsvReader::Source TextSource(std::string text, std::size_t piece)
{
    auto state = std::make_shared<std::pair<std::string, std::size_t>>(std::move(text), 0);
    return [state, piece](char* into, std::size_t room) {
        const std::size_t n = std::min({room, piece, state->first.size() - state->second});
        std::memcpy(into, state->first.data() + state->second, n);
        state->second += n;
        return long(n);
    };
}

}  // namespace zarnik
