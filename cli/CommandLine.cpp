#include "Commands.h"
#include "ConsoleStartup.h"
#include "TerminalText.h"
#include "WriteWatch.h"
#include "app/OpenMwSave.h"
#include "game/SavePaths.h"
#include "game/UserTexts.h"
#include "platform/OverlayFileSystem.h"
#include "platform/PathLimit.h"

#include <iostream>

namespace orvella::cli {
namespace {

const char* const HelpText =
    "orvella-cli: converts a Morrowind saved game between the English and the Italian edition.\n"
    "\n"
    "usage:\n"
    "  orvella-cli convert --game DIR [--tables TABLES] [--dry-run] NAME.ess\n"
    "      Converts DIR/Saves/NAME.ess in place. The save as it was is kept in\n"
    "      DIR/LRK Saves Backup/NAME.ess.bak; a log of what stayed untranslated is\n"
    "      kept beside the save when journal paragraphs could not be translated.\n"
    "      --tables: each table file in TABLES (BaseTopicTable.tsv,\n"
    "      TribunalTopicTable.tsv, BloodmoonTopicTable.tsv, JournalFixTable.tsv)\n"
    "      replaces the built-in table of that name; a broken file converts nothing.\n"
    "      --dry-run: the whole conversion runs with every file it would write held\n"
    "      in memory, and nothing is written: no save, backup, log or temporary file.\n"
    "      It prints the stages, the messages and the outcome the conversion would\n"
    "      give, then the log it would keep, and exits with the conversion's status.\n"
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
    "  orvella-cli tables --game DIR --out FOLDER\n"
    "      Pairs the topic names of the masters in DIR/Data Files with those of the\n"
    "      translation plugins, as every conversion does, and writes the topic tables\n"
    "      into FOLDER (made when missing): BaseTopicTable.tsv, and TribunalTopicTable.tsv\n"
    "      and BloodmoonTopicTable.tsv where that expansion's master and plugin are\n"
    "      installed. Each holds the built-in rows, then the pairs found in the game's\n"
    "      files; corrected, the files serve as --tables. It prints the rows of each\n"
    "      table and every plugin topic that stayed unpaired, with the reason.\n"
    "  orvella-cli COMMAND --openmw [--config FILE] [--user-data DIR] [--game DIR] ...\n"
    "      The same commands for OpenMW's saves, each named CHARACTER/SLOT.omwsave, a\n"
    "      character's folder in OpenMW's saves folder and a save in it:\n"
    "        orvella-cli convert --openmw [--tables TABLES] [--dry-run] CHARACTER/SLOT.omwsave\n"
    "        orvella-cli list --openmw\n"
    "        orvella-cli info --openmw CHARACTER/SLOT.omwsave\n"
    "        orvella-cli restore --openmw CHARACTER/SLOT.omwsave [--yes]\n"
    "        orvella-cli tables --openmw --out FOLDER\n"
    "      list prints every character's saves, newest first, as OpenMW's load menu\n"
    "      orders them; info prints the player, level, place, description and the\n"
    "      content files of the save. The backup and the log go to USERDATA/LRK Saves\n"
    "      Backup/CHARACTER/ (SLOT.omwsave.bak, SLOT.log).\n"
    "      --config FILE: the openmw.cfg to read, by default the user's one where OpenMW\n"
    "      keeps it ($XDG_CONFIG_HOME/openmw, ~/.config/openmw on Linux; Documents\\My\n"
    "      Games\\OpenMW on Windows; ~/Library/Preferences/openmw on macOS).\n"
    "      --user-data DIR: OpenMW's user data folder, which holds saves; by default\n"
    "      the user-data= of openmw.cfg, else OpenMW's default folder\n"
    "      ($XDG_DATA_HOME/openmw, ~/.local/share/openmw on Linux; as the config on\n"
    "      Windows; ~/Library/Application Support/openmw on macOS).\n"
    "      --game DIR: the game's files from DIR/Data Files alone, instead of the data=\n"
    "      folders of openmw.cfg.\n"
    "  orvella-cli --help\n"
    "\n"
    "NAME.ess is the plain name of a file in DIR/Saves, without \"/\", \"\\\" or \":\"; \"--\" ends the\n"
    "options, so that a name may begin with \"-\".\n"
    "DIR is the game folder, the one that holds \"Data Files\" and \"Saves\". Every command first\n"
    "checks the game as the program does at start-up. On Windows --game may be left out: the\n"
    "game's registry value \"Installed Path\" then names the folder.\n"
    "Exit status: 0 when the command succeeded, 1 when it did not, 2 for a usage error.\n";

struct Command {
    const char* name;
    int (*run)(const Options&, FileSystem&);
    bool takesTables;
    bool takesYes;
    bool takesDryRun;
    bool takesOut = false;
};

const Command Commands[] = {
    {"convert", convertCommand, true, false, true},       {"info", infoCommand, false, false, false},
    {"list", listCommand, false, false, false},           {"restore", restoreCommand, false, true, false},
    {"tables", tablesCommand, false, false, false, true},
};

const Command* findCommand(const std::string& name) {
    for (const Command& command : Commands)
        if (name == command.name)
            return &command;
    return nullptr;
}

} // namespace

int usage(const std::string& problem) {
    std::cerr << "orvella-cli: " << problem << "\nTry 'orvella-cli --help'.\n";
    return UsageError;
}

int failure(const std::string& problem) {
    std::cerr << "orvella-cli: " << problem << "\n";
    return CommandFailed;
}

std::optional<int> checkOneSaveName(const Options& options) {
    if (options.arguments.empty())
        return usage(options.command + (options.openMw ? " needs the name of a save (CHARACTER/SLOT.omwsave)"
                                                       : " needs the file name of a save (NAME.ess)"));
    if (options.arguments.size() > 1)
        return usage(options.command + " takes one save name, not " +
                     std::to_string(options.arguments.size()));
    if (options.openMw) {
        const OpenMwSaveNameCheck check = checkOpenMwSaveName(options.arguments[0]);
        if (!check.name)
            return usage(check.problem);
    } else if (auto problem = saveNameProblem(options.arguments[0])) {
        return usage(*problem);
    }
    return std::nullopt;
}

std::optional<int> startUpWithSave(const Options& options, const std::string& saveFileName,
                                   GameInstallation& installation, MessageBoxes& messages,
                                   FileSystem& files) {
    if (auto exitCode = startUp(options, installation, messages, files))
        return exitCode;
    const std::string path = SavePaths(installation, saveFileName).save;
    if (files.exists(path))
        return std::nullopt;
    // A path too long to open is named as such, as the job names the paths it cannot take.
    if (auto tooLong = firstTooLongPath({path}))
        return failure(toTerminal(texts::tooLongPath(*tooLong)));
    return failure("no such save: " + pathText(path));
}

int runCommandLine(const std::vector<std::string>& arguments, FileSystem& files) {
    Options options = parseOptions(arguments);
    if (!options.error.empty())
        return usage(options.error);
    if (options.help || options.command == "help") {
        std::cout << HelpText;
        return 0;
    }
    if (options.command.empty())
        return usage("no command given");
    const Command* command = findCommand(options.command);
    if (!command)
        return usage("unknown command " + options.command);
    if (options.tables && !command->takesTables)
        return usage(options.command + " does not take --tables");
    if (options.yes && !command->takesYes)
        return usage(options.command + " does not take --yes");
    if (options.dryRun && !command->takesDryRun)
        return usage(options.command + " does not take --dry-run");
    if (options.out && !command->takesOut)
        return usage(options.command + " does not take --out");
    if ((options.config || options.userData) && !options.openMw)
        return usage(std::string(options.config ? "--config" : "--user-data") + " goes with --openmw");
    // A dry run sees the game through a layer in memory that takes every write, and runs as any command.
    std::optional<OverlayFileSystem> overlay;
    if (options.dryRun)
        overlay.emplace(files);
    // The job's messages say what failed but not where: a folder that refused a file is named after them.
    WriteWatch watched(overlay ? *overlay : files);
    const int exitCode = command->run(options, watched);
    if (exitCode == CommandFailed)
        if (const auto& folder = watched.unwritableFolder())
            failure("the folder " + pathText(*folder) + " could not be written");
    if (options.dryRun && exitCode != UsageError)
        std::cout << "Dry run: nothing was written; the conversion would exit with " << exitCode << ".\n";
    return exitCode;
}

} // namespace orvella::cli
