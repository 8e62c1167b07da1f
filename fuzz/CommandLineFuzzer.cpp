// SPDX-License-Identifier: MIT
// Argument vectors and batch lines through the command line. The input's
// first line is the argument vector, its words split at blanks; the rest is
// standard input, which `batch` and `check -` read (random parts lists). Besides crashes and undefined
// behaviour it checks what scripts rely on: the status is 0, 1 or 2; every
// line on stderr starts with "zarnik: ", carries no control character and
// no huge echo; a one-shot failure says so in exactly one line and a success
// in none; and with --json every line on stdout is one object.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"

namespace {

void Check(bool condition, const char* what, std::string_view detail)
{
    if (!condition) {
        std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(line.size(), line.find_first_of(" \t", at));
        words.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// `batch FILE` would read whatever file the input names, devices included.
bool NamesAFile(const std::string& word)
{
    struct stat info {};
    return stat(word.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// check --csv and photo --annotate write the file they name: those names
// go to a folder of the fuzzer's own, never the working folder ("-", the
// standard output, stays).
std::string Scratch()
{
    static const std::string folder = [] {
        char name[] = "/tmp/zarnik-fuzz-XXXXXX";
        Check(mkdtemp(name) != nullptr, "mkdtemp", "");
        return std::string(name) + "/out";
    }();
    return folder;
}

void KeepWritesAside(std::vector<std::string>& words)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (const std::string_view option : {"--csv", "--annotate"}) {
            std::string& word = words[i];
            if (word == option && i + 1 < words.size() && words[i + 1] != "-") {
                words[i + 1] = Scratch();
            } else if (word.starts_with(std::string(option) + "=") && word.substr(option.size() + 1) != "-") {
                word = std::string(option) + "=" + Scratch();
            }
        }
    }
}

// The command a line names: its first word that is neither an option nor an
// option's value.
std::string_view CommandWord(const std::vector<std::string>& words)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            return i + 1 < words.size() ? std::string_view(words[i + 1]) : std::string_view();
        }
        if (!word.starts_with('-')) {
            return word;
        }
        for (const std::string_view takesValue : {"--series", "--tc", "--part", "--annotate", "--csv"}) {
            i += word == takesValue ? 1 : 0;
        }
    }
    return {};
}

std::string Taken(char*& buffer, std::FILE* stream, std::size_t& size)
{
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(input.size(), input.find('\n'));
    std::vector<std::string> words = Words(input.substr(0, newline));
    for (const std::string& word : words) {
        if (NamesAFile(word)) {
            return 0;
        }
    }
    KeepWritesAside(words);
    const std::string_view batch = input.substr(std::min(input.size(), newline + 1));

    const int in = memfd_create("batch", 0);
    Check(in >= 0 && write(in, batch.data(), batch.size()) == ssize_t(batch.size()), "memfd", "");
    lseek(in, 0, SEEK_SET);
    char* out = nullptr;
    char* err = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* outFile = open_memstream(&out, &outSize);
    std::FILE* errFile = open_memstream(&err, &errSize);

    std::vector<char*> argv{const_cast<char*>("zarnik")};
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;
    int status = 0;
    const bool command = zarnik::cli::StartsCommandLine(argc, argv.data());
    if (command) {
        status = zarnik::cli::RunCommandLine(words, in, outFile, errFile);
    } else {
        status = zarnik::cli::RefusedWindowStart(argc, argv.data(), errFile).value_or(0);
    }
    close(in);
    const std::string stdoutText = Taken(out, outFile, outSize);
    const std::string stderrText = Taken(err, errFile, errSize);

    Check(status >= 0 && status <= 2, "status", std::to_string(status));
    std::size_t lines = 0;
    for (std::size_t at = 0; at < stderrText.size(); ++lines) {
        const std::size_t end = stderrText.find('\n', at);
        Check(end != std::string::npos, "stderr line without its end", stderrText);
        const std::string_view line = std::string_view(stderrText).substr(at, end - at);
        Check(line.starts_with("zarnik: ") && line.size() < 1000, "stderr line", line);
        for (const char c : line) {
            Check(static_cast<unsigned char>(c) >= 0x20, "control character on stderr", line);
        }
        at = end + 1;
    }
    const bool isBatch = command && CommandWord(words) == "batch";
    // check's 1 is a part flagged, said in its answer, not on stderr.
    const bool isCheck = command && CommandWord(words) == "check";
    if (!isBatch) {
        Check(lines == (status == 0 || (isCheck && status == 1) ? 0U : 1U), "one line for a failure", stderrText);
    }
    const bool json = std::ranges::find(words, "--json") != words.end();
    if (command && json && !stdoutText.empty() && stdoutText.starts_with('{')) {
        for (std::size_t at = 0; at < stdoutText.size();) {
            const std::size_t end = stdoutText.find('\n', at);
            Check(end != std::string::npos && stdoutText[at] == '{' && stdoutText[end - 1] == '}', "JSON line",
                  stdoutText);
            at = end + 1;
        }
    }
    return 0;
}
