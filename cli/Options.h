#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvella::cli {

// The parsed command line: a command, its options and its plain arguments.
struct Options {
    std::string command;
    std::optional<std::string> game;
    std::optional<std::string> tables;
    bool yes = false;
    bool help = false;
    std::vector<std::string> arguments;
    std::string error; // non-empty when the command line is not understood
};

// Parses the arguments that follow the program's name.
Options parseOptions(const std::vector<std::string>& arguments);

} // namespace orvella::cli
