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
    std::optional<std::string> out;
    // OpenMW's saves, and where its files are when they are not where OpenMW keeps them by default.
    bool openMw = false;
    std::optional<std::string> config;
    std::optional<std::string> userData;
    bool yes = false;
    bool dryRun = false;
    bool help = false;
    std::vector<std::string> arguments;
    std::string error; // non-empty when the command line is not understood
};

// Parses the arguments that follow the program's name.
Options parseOptions(const std::vector<std::string>& arguments);

// The usage-error line for a save name that is not a plain file name (one with "/", "\\" or ":" in it, ".",
// ".." or none at all), which could lead the commands out of the Saves folder; nothing for a plain name.
// ":" is refused on every platform: on Windows it names a drive ("C:x.ess") or a stream, and the game never
// writes it.
std::optional<std::string> saveNameProblem(const std::string& name);

} // namespace orvella::cli
