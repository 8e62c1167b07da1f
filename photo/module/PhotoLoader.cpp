// SPDX-License-Identifier: MIT
#include <dlfcn.h>
#include <unistd.h>

#include <mutex>

#include "photo/module/PhotoModule.h"

// A program that links the reader itself (a test) defines the entry point;
// the program proper leaves it undefined and loads the module.
extern "C" __attribute__((weak)) const zarnik::photo::PhotoModule* zarnik_photo_module();

namespace zarnik::photo {

namespace {

std::string ProgramFolder()
{
    std::string folder(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", folder.data(), folder.size());
    folder.resize(length > 0 ? std::string::size_type(length) : 0);
    folder.erase(folder.find_last_of('/') + 1);
    return folder;
}

struct Loaded {
    const PhotoModule* module = nullptr;
    std::string problem;
};

Loaded Load()
{
    using Entry = const PhotoModule* (*)();
    Entry entry = &zarnik_photo_module != nullptr ? &zarnik_photo_module : nullptr;
    std::string tried;
    const std::string folder = ProgramFolder();
    for (const char* place : {"", "../" ZARNIK_MODULE_DIR "/"}) {
        if (entry != nullptr) {
            break;
        }
        const std::string path = folder + place + "zarnik_photo.so";
        // Kept loaded until the program ends: its readings' texts and
        // vectors are freed by their callers, with the module's code.
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            entry = reinterpret_cast<Entry>(dlsym(handle, "zarnik_photo_module"));
        } else {
            // dlerror names the file it tried.
            const char* why = dlerror();
            tried += (tried.empty() ? "" : "; ") + (why ? std::string(why) : path);
        }
    }
    if (entry == nullptr) {
        return {nullptr, "cannot load the photo reader (" + tried + ")"};
    }
    const PhotoModule* module = entry();
    if (module == nullptr || module->version != kPhotoModuleVersion) {
        return {nullptr, "the photo reader beside the program is of another version"};
    }
    return {module, {}};
}

}  // namespace

const PhotoModule* LoadPhotoModule(std::string& problem)
{
    static const Loaded loaded = Load();
    problem = loaded.problem;
    return loaded.module;
}

}  // namespace zarnik::photo
