// SPDX-License-Identifier: MIT
#pragma once

// The command line: the colour-code model for terminals and scripts, with no
// window and no display. `zarnik decode ...`, `zarnik encode ...` and
// `zarnik nearest ...` print what the windows would show, as lines of text or
// as one JSON object; `zarnik batch` answers one such command per input line;
// `zarnik --help` tells the rest. It needs no toolkit.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zarnik::cli {

// The exit statuses, the highest of a batch's lines and its writes.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;  // the value was refused; stderr says why
inline constexpr int kUsage = 2;    // a wrong word on the command line; stderr names it
inline constexpr int kWriteFailed = 3;

// Whether the arguments ask for the command line rather than the windows:
// any argument does, except none at all and Qt's own window options
// (-platform, -style, -reverse ...), which still open the windows.
[[nodiscard]] bool StartsCommandLine(int argc, char** argv);

// Runs the command the words after `zarnik` give and returns the exit
// status; `batch` reads its lines from `input` (a file descriptor) when it
// names no file.
[[nodiscard]] int RunCommandLine(const std::vector<std::string>& words, int input, std::FILE* out, std::FILE* err);
[[nodiscard]] int RunCommandLine(int argc, char** argv);

// Before the windows open: the exit status and one line on `err` where they
// cannot, because a command follows the window options (2) or there is no
// display to open them on (1); nothing where they can.
[[nodiscard]] std::optional<int> RefusedWindowStart(int argc, char** argv, std::FILE* err);

}  // namespace zarnik::cli
