// SPDX-License-Identifier: MIT
#include "cli/JsonObject.h"

#include <algorithm>
#include <cstdio>

namespace zarnik::cli {

std::string& JsonObject::operator[](std::string_view key)
{
    const auto it = std::ranges::find(members_, key, &Member::first);
    return it != members_.end() ? it->second : members_.emplace_back(key, std::string()).second;
}

std::string JsonObject::Text() const
{
    std::vector<const Member*> sorted;
    for (const Member& member : members_) {
        sorted.push_back(&member);
    }
    std::ranges::sort(sorted, {}, &Member::first);
    std::string json = "{";
    for (const Member* member : sorted) {
        json += json.size() > 1 ? ",\"" : "\"";
        json += member->first;
        json += "\":";
        json += member->second;
    }
    return json + "}";
}

std::string JsonString(std::string_view text)
{
    std::string json;
    json.reserve(text.size() + 2);
    json += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            json += escape;
        } else {
            json += c;
        }
    }
    json += '"';
    return json;
}

std::string JsonArray(const std::vector<std::string>& values)
{
    std::string json = "[";
    for (const std::string& value : values) {
        json += json.size() > 1 ? "," : "";
        json += value;
    }
    return json + "]";
}

}  // namespace zarnik::cli
