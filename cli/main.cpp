#include "Commands.h"
#include "Options.h"

#include <iostream>

namespace orvella::cli {
namespace {

const char* const HelpText =
    "orvella-cli: converts a Morrowind saved game between the English and the Italian edition.\n"
    "\n"
    "usage:\n"
    "  orvella-cli convert --game DIR [--tables TABLES] NAME.ess\n"
    "      Converts DIR/Saves/NAME.ess in place. The save as it was is kept in\n"
    "      DIR/LRK Saves Backup/NAME.ess.bak; a log of what stayed untranslated is\n"
    "      kept beside the save when journal paragraphs could not be translated.\n"
    "      --tables: each table file in TABLES (BaseTopicTable.tsv,\n"
    "      TribunalTopicTable.tsv, BloodmoonTopicTable.tsv, JournalFixTable.tsv)\n"
    "      replaces the built-in table of that name; a broken file converts nothing.\n"
    "  orvella-cli list --game DIR\n"
    "      Lists the saves of DIR/Saves in the main dialog's order, one line each with\n"
    "      four tab-separated fields: the direction, \"T\" and \"B\" for the expansions\n"
    "      the save uses (or empty), and the file name.\n"
    "  orvella-cli info --game DIR NAME.ess\n"
    "      Prints the summary of DIR/Saves/NAME.ess as the main dialog shows it: player,\n"
    "      save name, place, day and health, then the master files it was made with,\n"
    "      \"**\" marking those missing from DIR/Data Files.\n"
    "  orvella-cli restore --game DIR NAME.ess [--yes]\n"
    "      Puts DIR/LRK Saves Backup/NAME.ess.bak back in place of DIR/Saves/NAME.ess and\n"
    "      deletes the backup, after asking on stdin unless --yes is given. Exits with 1\n"
    "      when the save was not restored, also when the answer is no.\n"
    "  orvella-cli --help\n"
    "\n"
    "DIR is the game folder, the one that holds \"Data Files\" and \"Saves\". Every command first\n"
    "checks the game as the program does at start-up. On Windows --game may be left out: the\n"
    "game's registry value \"Installed Path\" then names the folder.\n"
    "Exit status: 0 when the command succeeded, 1 when it did not, 2 for a usage error.\n";

struct Command {
    const char* name;
    int (*run)(const Options&);
};

const Command Commands[] = {
    {"convert", convertCommand},
    {"info", infoCommand},
    {"list", listCommand},
    {"restore", restoreCommand},
};

} // namespace

int usage(const std::string& problem) {
    std::cerr << "orvella-cli: " << problem << "\n\n" << HelpText;
    return UsageError;
}

} // namespace orvella::cli

int main(int argc, char** argv) {
    using namespace orvella::cli;
    Options options = parseOptions(argc, argv);
    if (!options.error.empty())
        return usage(options.error);
    if (options.help || options.command == "help") {
        std::cout << HelpText;
        return 0;
    }
    if (options.command.empty())
        return usage("no command given");
    for (const Command& command : Commands)
        if (options.command == command.name)
            return command.run(options);
    return usage("unknown command " + options.command);
}
