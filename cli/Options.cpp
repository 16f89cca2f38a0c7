#include "Options.h"

namespace orvella::cli {

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument == "--game" || argument == "--tables") {
            if (i + 1 >= argc) {
                options.error = argument + " needs a folder";
                return options;
            }
            (argument == "--game" ? options.game : options.tables) = argv[++i];
        } else if (argument.rfind("--", 0) == 0) {
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
