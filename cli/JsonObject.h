// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarnik::cli {

// JSON, written directly: an object is its keys, written in order, with
// their values already written as JSON text. The keys are the program's own
// texts, which outlive the object. The answers hold only short texts and
// exact decimals, and a batch writes a great many of them.
class JsonObject {
public:
    JsonObject() = default;
    JsonObject(std::initializer_list<std::pair<std::string_view, std::string>> members) : members_(members) {}

    // The value of `key`, added empty where it has none.
    std::string& operator[](std::string_view key);
    // The object as one line: {"a":1,"b":"x"}.
    [[nodiscard]] std::string Text() const;

private:
    using Member = std::pair<std::string_view, std::string>;
    std::vector<Member> members_;
};

// A text as a JSON string, quotes and control characters escaped.
[[nodiscard]] std::string JsonString(std::string_view text);
// Values already written as JSON, as an array.
[[nodiscard]] std::string JsonArray(const std::vector<std::string>& values);

}  // namespace zarnik::cli
