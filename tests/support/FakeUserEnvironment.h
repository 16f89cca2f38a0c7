#pragma once

#include "platform/UserEnvironment.h"

#include <map>
#include <optional>
#include <string>

namespace orvella::test {

// A user's session made up by a test: the variables set and the folders known, nothing else.
struct FakeUserEnvironment final : UserEnvironment {
    std::map<std::string, std::string> variables;
    std::optional<std::string> home;
    std::optional<std::string> documents;

    std::optional<std::string> variable(const std::string& name) override {
        auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    std::optional<std::string> homeFolder() override { return home; }
    std::optional<std::string> documentsFolder() override { return documents; }
};

} // namespace orvella::test
