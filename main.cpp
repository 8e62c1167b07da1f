// SPDX-License-Identifier: MIT
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/CommandLine.h"

namespace {

// The windows live in a module of their own (StartWindows.cpp), loaded only
// when they open: a command then loads no Qt library at all, QtGui and
// QtWidgets least of all. It lies beside the program in the build folder, and in
// ZARNIK_WINDOWS_DIR beside bin/ where the program is installed.
int StartWindows(int argc, char** argv)
{
    std::string folder(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", folder.data(), folder.size());
    folder.resize(length > 0 ? std::string::size_type(length) : 0);
    folder.erase(folder.find_last_of('/') + 1);
    std::string tried;
    for (const char* place : {"", "../" ZARNIK_WINDOWS_DIR "/"}) {
        const std::string path = folder + place + "zarnik_windows.so";
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            using Start = int (*)(int, char**);
            if (const auto start = reinterpret_cast<Start>(dlsym(module, "zarnik_start_windows"))) {
                return start(argc, argv);
            }
        }
        tried += tried.empty() ? path : " or " + path;
    }
    std::fprintf(stderr, "zarnik: cannot load the windows from %s: %s\n", tried.c_str(), dlerror());
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    // A command runs on the model alone and opens no window; see `zarnik --help`.
    if (zarnik::cli::StartsCommandLine(argc, argv)) {
        return zarnik::cli::RunCommandLine(argc, argv);
    }
    if (const auto refused = zarnik::cli::RefusedWindowStart(argc, argv, stderr)) {
        return *refused;
    }
    return StartWindows(argc, argv);
}
