#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "platform/FileReplacement.h"
#include "scan/MasterScan.h"
#include "scan/TopicPairing.h"
#include "translate/DerivedTopics.h"
#include "translate/TableFile.h"
#include "translate/TopicTableExport.h"

#include <iostream>

namespace orvella::cli {

namespace {

std::string quoted(std::string_view name) {
    return "\"" + toTerminal(name) + "\"";
}

// Writes the file whole under a temporary name, then moves it into place, so that a failure leaves the
// older file as it was.
bool writeTableFile(FileSystem& files, const std::string& path, const std::string& bytes) {
    FileReplacement file(files, path + ".tmp", path);
    return file.create() && file.write(bytes.data(), bytes.size()) && file.finish() && file.moveOver();
}

std::string reasonText(const UnpairedTopic& topic) {
    switch (topic.reason) {
    case UnpairedReason::NoResponseInCommon:
        return "no response in common with any English topic";
    case UnpairedReason::Tie: {
        std::string text = "a tie between";
        for (std::size_t i = 0; i < topic.named.size(); ++i)
            text += (i == 0 ? " " : i + 1 == topic.named.size() ? " and " : ", ") + quoted(topic.named[i]);
        return text;
    }
    case UnpairedReason::PrefersAnother:
        return "its best match " + quoted(topic.named[0]) + " prefers " + quoted(topic.named[1]);
    case UnpairedReason::TooFewInCommon:
        return "too few responses in common with " + quoted(topic.named[0]) + " (" +
               std::to_string(topic.inCommon) + ")";
    }
    return {};
}

} // namespace

// Derives the topic pairs from every master and plugin installed, as a conversion does, and writes them
// after the built-in rows into table files that --tables takes.
int tablesCommand(const Options& options, FileSystem& files) {
    if (!options.arguments.empty())
        return usage("tables takes no save name");
    if (!options.out)
        return usage("tables needs --out FOLDER");
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, installation, messages, files))
        return *exitCode;
    IncludedGames installed;
    for (Game game : AllExpansions)
        installed.games[indexOf(game)] =
            installation.installed(game).hasMaster && installation.installed(game).hasPlugin;
    TranslationMaps maps;
    DialogueTopics topics;
    SilentScanProgress progress;
    ScanError error;
    if (!scanMastersAndPlugins(files, installation, installed, maps, progress, error, &topics))
        return failure(error.message.empty() ? "the game's master or translation plugin cannot be read"
                                             : toTerminal(error.message));
    const TopicPairing pairing = pairTopics(topics);
    const TopicTables& builtIn = builtInTables();
    const DerivedTopicRows derived = derivedTopicRows(topics, pairing, builtIn);

    std::string folder = *options.out;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    if (!makeFolders(files, folder))
        return failure("the folder " + pathText(folder) + " cannot be made");
    ExportedTable base;
    for (Game game : AllGames) {
        if (!installed.includes(game))
            continue;
        const ExportedTable table =
            exportTopicTable(game, builtIn, derived, game == Game::Base ? nullptr : &base);
        const std::string path = folder + "\\" + topicTableFileName(game);
        if (!writeTableFile(files, path, table.bytes))
            return failure(pathText(path) + " cannot be written");
        std::cout << topicTableFileName(game) << ": " << table.rows.size() << " rows, " << table.builtIn
                  << " built-in and " << table.byIds + table.byConditions << " derived (" << table.byIds
                  << " by response ids, " << table.byConditions << " by conditions)\n";
        for (const LeftOutRow& row : table.leftOut)
            std::cout << "  left out: " << quoted(row.row.english) << " / " << quoted(row.row.italian) << ": "
                      << row.reason << "\n";
        if (game == Game::Base)
            base = table;
    }
    if (!pairing.unpaired.empty())
        std::cout << "Plugin topics left unpaired:\n";
    for (const UnpairedTopic& topic : pairing.unpaired)
        std::cout << "  " << quoted(topics.italian.topics()[topic.italian].name) << ": " << reasonText(topic)
                  << "\n";
    return 0;
}

} // namespace orvella::cli
