// SPDX-License-Identifier: MIT
#pragma once

// A folder of labelled photos: labels.csv with the columns image and
// value_ohms, and the bands where they are known: bands ("blue-grey-silver-
// gold"), or bands_first3_derived_from_value, the first three of a four-band
// part whose tolerance band is gold.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "photo/Stages.h"

namespace zarnik::photo::tools {

struct LabelledPhoto {
    std::string path;        // the photo's path
    std::string image;       // as labels.csv names it
    std::string ohms;        // value_ohms, a decimal text
    std::vector<int> bands;  // colour indices, first digit first; empty where unknown
};

inline std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ',')) {
        if (!field.empty() && field.back() == '\r') {
            field.pop_back();
        }
        fields.push_back(field);
    }
    return fields;
}

inline std::vector<int> BandIndices(const std::string& text)
{
    std::vector<int> bands;
    std::string name;
    std::istringstream in(text);
    while (std::getline(in, name, '-')) {
        const int colour = ColourIndex(name);
        if (colour < 0) {
            return {};
        }
        bands.push_back(colour);
    }
    return bands;
}

// The photos of folder/labels.csv; empty, with the problem, where it cannot be read.
inline std::vector<LabelledPhoto> ReadLabelledSet(const std::filesystem::path& folder, std::string& problem)
{
    std::ifstream file(folder / "labels.csv");
    std::string line;
    if (!file || !std::getline(file, line)) {
        problem = "no labels.csv in " + folder.string();
        return {};
    }
    const auto header = SplitCsv(line);
    auto column = [&](const std::string& name) {
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    const int image = column("image");
    const int ohms = column("value_ohms");
    const int bands = column("bands");
    const int first3 = column("bands_first3_derived_from_value");
    if (image < 0 || ohms < 0) {
        problem = folder.string() + "/labels.csv has no image or value_ohms column";
        return {};
    }
    std::vector<LabelledPhoto> photos;
    while (std::getline(file, line)) {
        const auto fields = SplitCsv(line);
        if (static_cast<int>(fields.size()) <= std::max(image, ohms)) {
            continue;
        }
        LabelledPhoto photo{(folder / fields[image]).string(), fields[image], fields[ohms], {}};
        if (bands >= 0 && bands < static_cast<int>(fields.size())) {
            photo.bands = BandIndices(fields[bands]);
        } else if (first3 >= 0 && first3 < static_cast<int>(fields.size())) {
            photo.bands = BandIndices(fields[first3] + "-gold");
        }
        photos.push_back(std::move(photo));
    }
    return photos;
}

}  // namespace zarnik::photo::tools
