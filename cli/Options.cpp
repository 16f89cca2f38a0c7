#include "Options.h"

namespace orvella::cli {

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument == "--dry-run") {
            options.dryRun = true;
        } else if (argument == "--game" || argument == "--tables" || argument == "--out") {
            if (i + 1 >= arguments.size()) {
                options.error = argument + " needs a folder after it";
                return options;
            }
            (argument == "--game"     ? options.game
             : argument == "--tables" ? options.tables
                                      : options.out) = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            // A mistyped option ("-game", "--gmae") would otherwise pass for a save's name.
            options.error = "unknown option " + argument;
            return options;
        } else if (options.command.empty()) {
            options.command = argument;
        } else {
            options.arguments.push_back(argument);
        }
    }
    return options;
}

std::optional<std::string> saveNameProblem(const std::string& name) {
    if (!name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos)
        return std::nullopt;
    return "\"" + name +
           "\" is not a save name: it must be the name of a file in the Saves folder, with no path";
}

} // namespace orvella::cli
