#pragma once

// The command line: the colour-code model for terminals and scripts, with no
// window and no display. `zarnik decode ...`, `zarnik encode ...` and
// `zarnik nearest ...` print what the windows would show, as lines of text or
// as one JSON object; `zarnik --help` tells the rest.

namespace zarnik::cli {

// Whether the arguments ask for the command line rather than the windows:
// any argument does, except none at all and Qt's own window options
// (-platform, -style, -reverse ...), which still open the windows.
[[nodiscard]] bool StartsCommandLine(int argc, char** argv);

// Runs one command under a QCoreApplication and returns the exit status:
// 0 done, 1 the value is refused (the prompt is printed), 2 a wrong word on
// the command line (one line on stderr names it and lists the accepted ones).
[[nodiscard]] int RunCommandLine(int argc, char** argv);

}  // namespace zarnik::cli
