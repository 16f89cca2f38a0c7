#include "Options.h"

namespace orvella::cli {

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    bool optionsEnded = false; // by "--", as in every POSIX tool, so that a save's name may begin with "-"
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (options.command.empty())
                options.command = argument;
            else
                options.arguments.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument == "--dry-run") {
            options.dryRun = true;
        } else if (argument == "--openmw") {
            options.openMw = true;
        } else if (argument == "--game" || argument == "--tables" || argument == "--out" ||
                   argument == "--config" || argument == "--user-data") {
            if (i + 1 >= arguments.size()) {
                options.error = argument + (argument == "--config" ? " needs a file after it"
                                                                   : " needs a folder after it");
                return options;
            }
            (argument == "--game"     ? options.game
             : argument == "--tables" ? options.tables
             : argument == "--out"    ? options.out
             : argument == "--config" ? options.config
                                      : options.userData) = arguments[++i];
        } else {
            // A mistyped option ("-game", "--gmae") would otherwise pass for a save's name.
            options.error = "unknown option " + argument;
            return options;
        }
    }
    return options;
}

std::optional<std::string> saveNameProblem(const std::string& name) {
    if (!name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos)
        return std::nullopt;
    return "\"" + name +
           "\" is not a save name: it must be the name of a file in the Saves folder, with no path";
}

} // namespace orvella::cli
