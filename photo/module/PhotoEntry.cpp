// SPDX-License-Identifier: MIT
// The entry point of zarnik_photo.so: the reader's functions, by address.
#include "photo/PhotoReader.h"
#include "photo/module/PhotoModule.h"

extern "C" __attribute__((visibility("default"))) const zarnik::photo::PhotoModule* zarnik_photo_module()
{
    static const zarnik::photo::PhotoModule module{zarnik::photo::kPhotoModuleVersion, &zarnik::photo::ReadPhotoFile,
                                                   &zarnik::photo::ReadPhotoEncoded, &zarnik::photo::AnnotatedPng};
    return &module;
}
