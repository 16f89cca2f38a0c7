#include "Commands.h"
#include "ConsoleUi.h"
#include "DemoJob.h"
#include "TerminalText.h"
#include "TestFolder.h"
#include "WriteWatch.h"
#include "game/UserTexts.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

namespace orvella::cli {
namespace {

using test::FaultInjectingFileSystem;

struct Outcome {
    int exitCode;
    std::string out, err;
};

// Runs a command line given as words split at spaces, where the word "G" stands for the game's folder, with
// the console's standard streams pointed at strings.
Outcome run(const std::string& line, FileSystem& files, const std::string& input = {},
            const std::string& game = test::InMemoryGame) {
    std::vector<std::string> arguments;
    std::istringstream words(line), in(input);
    for (std::string word; words >> word;)
        arguments.push_back(word == "G" ? game : word);
    std::ostringstream out, err;
    std::streambuf* const kept[] = {std::cin.rdbuf(in.rdbuf()), std::cout.rdbuf(out.rdbuf()),
                                    std::cerr.rdbuf(err.rdbuf())};
    const int exitCode = runCommandLine(arguments, files);
    std::cin.rdbuf(kept[0]);
    std::cout.rdbuf(kept[1]);
    std::cerr.rdbuf(kept[2]);
    return {exitCode, out.str(), err.str()};
}

// The folder separator the console shows, and the accented letters of the messages as a terminal shows them.
#ifdef _WIN32
const std::string Sep = "\\", AGrave = "\xE0", EGrave = "\xE8";
#else
const std::string Sep = "/", AGrave = "\xC3\xA0", EGrave = "\xC3\xA8";
#endif

const std::string ShownGame = "C:" + Sep + "Games" + Sep + "Morrowind";
const std::string Citta = "Citt\xC3\xA0.ess";

enum Setup {
    Backup = 1,
    ReadOnlySaves = 2,
    ReadOnlyBackups = 4,
    NoBackups = 8,
    ReadOnlyGame = 16,
    Damaged = 32
};

// The in-memory demo game with "English.ess", "Italian.ess" and Citta, whose backup is damaged, in its Saves
// folder, set up as asked.
struct DemoGame {
    FaultInjectingFileSystem files;
    const GameInstallation installation = test::installDemoGame(files);
    const std::string saves = installation.installPath + "\\Saves\\",
                      backups = installation.installPath + "\\LRK Saves Backup\\";

    explicit DemoGame(unsigned setup) {
        files.writeFile(saves + "English.ess", demo::demoEnglishSave());
        files.writeFile(saves + "Italian.ess", demo::demoItalianSave());
        if (setup & Backup)
            files.writeFile(backups + "English.ess.bak", demo::demoItalianSave());
        files.writeFile(saves + Citta, setup & Damaged ? demo::demoEnglishSave().substr(
                                                             0, demo::demoEnglishSave().size() - 3)
                                                       : demo::demoEnglishSave());
        files.writeFile(backups + Citta + ".bak", "damaged");
        std::string noGameData = demo::demoEnglishSave();
        files.writeFile(saves + "NoGameData.ess", noGameData.replace(noGameData.find("GMDT"), 4, "GMDX"));
        if (setup & NoBackups) {
            auto state = files.snapshot();
            state.erase(FaultInjectingFileSystem::key(backups.substr(0, backups.size() - 1)));
            files.restore(state);
        }
        for (const auto& [flag, folder] :
             {std::pair(ReadOnlySaves, saves), std::pair(ReadOnlyBackups, backups),
              std::pair(ReadOnlyGame, installation.installPath)})
            if (setup & flag)
                files.makeReadOnly(folder);
    }
};

// On a terminal a stage's bar is drawn again in place and ended by its mark; a message, another stage's bar
// and the outcome first end the line of a bar left open.
TEST(ConsoleProgress, ALiveBarIsDrawnInPlaceAndItsLineEndedBeforeAnythingElse) {
    std::ostringstream out, err;
    std::streambuf* const kept[] = {std::cout.rdbuf(out.rdbuf()), std::cerr.rdbuf(err.rdbuf())};
    ConsoleProgress progress(true);
    ConsoleMessageBoxes messages;
    messages.setProgress(&progress);
    progress.setBarPosition(JobStage::Reading, 50);
    messages.show(Message{"Attento", "Errore", MessageIcon::Warning, MessageButtons::Ok, nullptr});
    progress.setBarPosition(JobStage::Reading, 100);
    progress.setImage(JobStage::Reading, StatusImage::Success);
    progress.setBarPosition(JobStage::Converting, 10);
    progress.setBarPosition(JobStage::Journal, 20);
    progress.setImage(JobStage::Finalising, StatusImage::Failure);
    progress.setBarPosition(JobStage::Finalising, 40);
    progress.finished(PatchResult{.outcomeText = "Fatto"});
    std::cout.rdbuf(kept[0]);
    std::cerr.rdbuf(kept[1]);
    const auto bar = [](const char* label, int filled, const char* percent) {
        return "\r" + std::string(label) + " [" + std::string(filled, '#') + std::string(30 - filled, ' ') +
               "] " + percent;
    };
    EXPECT_EQ(out.str(), bar(texts::ReadingStageLabel, 15, "50%\n") +
                             bar(texts::ReadingStageLabel, 30, "100%") +
                             bar(texts::ReadingStageLabel, 30, "100% OK\n") +
                             bar(texts::ConvertingStageLabel, 3, "10%\n") +
                             bar(texts::JournalStageLabel, 6, "20%\n") + texts::FinalisingStageLabel +
                             " FAIL\n" + bar(texts::FinalisingStageLabel, 12, "40%\nFatto\n"));
    EXPECT_EQ(err.str(), "Errore: Attento\n");
}

// The folder named after a failure is one that refused a file opened for writing, never one read from.
TEST(WriteWatch, NamesTheFolderThatRefusedAFileOpenedForWriting) {
    FaultInjectingFileSystem files;
    files.addFolder("C:\\R");
    files.makeReadOnly("C:\\R");
    WriteWatch watch(files);
    EXPECT_TRUE(!watch.open("C:\\R\\missing.txt", "rb") && !watch.unwritableFolder());
    EXPECT_FALSE(watch.open("C:\\R\\new.txt", "wb"));
    EXPECT_EQ(watch.unwritableFolder(), "C:\\R");
    // A file there that cannot be removed names it too, one that is not there does not.
    files.writeFile("C:\\R\\kept.txt", "k");
    WriteWatch removing(files);
    EXPECT_TRUE(!removing.deleteFile("C:\\R\\none.txt") && !removing.unwritableFolder() &&
                !removing.deleteFile("C:\\R\\kept.txt") && removing.unwritableFolder() == "C:\\R");
}

TEST(CommandLine, SaysInOneLineWhatIsWrongAndNamesMissingFilesAndFoldersThatRefusedAWrite) {
    const std::string saves = ShownGame + Sep + "Saves", backups = ShownGame + Sep + "LRK Saves Backup" + Sep;
    const std::string question = "ATTENZIONE!: Sei sicuro? Il salvataggio attuale sar" + AGrave +
                                 " sovrascritto\ndal file di backup generato durante la patch\n[s/N] ";
    const std::string noSave = "orvella-cli: no such save: " + saves + Sep + "Englsh.ess" + "\n";
    const std::string readOnly = "orvella-cli: the folder " + saves + " could not be written\n";
    const std::string restored = "Restored: " + saves + Sep + "English.ess" + "\n";
    const std::string declined = question + "orvella-cli: nothing was changed\n";
    const struct {
        std::string line;
        unsigned setup;
        int exitCode;
        std::string err;         // exactly, or for a usage error a part of its one line
        std::string outEnd = {}; // what stdout ends with
        const char* input = "";
    } cases[] = {
        // Usage errors: one line naming the problem, then where the help is.
        {"", 0, 2, "no command"},
        {"frob", 0, 2, "frob"},
        {"list --game", 0, 2, "--game"},
        {"list -game G", 0, 2, "-game"},
        {"list --game G -", 0, 2, "no save name"},
        {"convert --game G", 0, 2, "NAME.ess"},
        {"tables --game G", 0, 2, "--out"},
        {"restore --game G English.ess Italian.ess", 0, 2, "one save name"},
        {"info --game G ../Saves/English.ess", 0, 2, "\"../Saves/English.ess\" is not a save name"},
        {"info --game G a\\b.ess", 0, 2, "\"a\\b.ess\" is not a save name"},
        {"info --game G C:x.ess", 0, 2, "\"C:x.ess\" is not a save name"},
        {"restore --yes --game G ..", Backup, 2, "\"..\" is not a save name"},
#ifndef _WIN32
        {"info English.ess", 0, 2, "--game DIR"},
#endif
        // The help, asked for either way, and nothing else done.
        {"help", 0, 0, ""},
        {"convert --help --game G English.ess", 0, 0, ""},
        // A save or a backup that is not there, or a damaged backup, named with the file system's bytes; the
        // folders given without the separators they end with.
        {"convert --game G Englsh.ess", 0, 1, noSave},
        {"restore --game " + std::string(test::InMemoryGame) + "\\/ Englsh.ess", Backup, 1, noSave},
        {"convert --game G --tables " + std::string(test::InMemoryGame) + "\\T/\\ English.ess", 0, 1,
         "orvella-cli: the tables folder " + ShownGame + Sep + "T does not exist\n"},
        {"info --game G -- -x.ess", 0, 1, "orvella-cli: no such save: " + saves + Sep + "-x.ess\n"},
        {"info --game G NoGameData.ess", 0, 1,
         "orvella-cli: NoGameData.ess in the game's Saves folder is not a saved game with a summary\n"},
        {"restore --game G Englsh.ess", Backup, 1, noSave},
        {"restore --yes --game G English.ess", 0, 1,
         "orvella-cli: no backup to restore: " + backups + "English.ess.bak\n"},
        {"restore --yes --game G " + Citta, 0, 1,
         "Errore: Il file di backup \"C:\\Games\\Morrowind\\LRK Saves Backup\\" + Citta + ".bak\" " + EGrave +
             " danneggiato. Salvataggio non ripristinato.\n"},
        // A message that names the save shows the name's bytes as they are.
        {"convert --game G " + Citta, Damaged, 1,
         "Errore: Il file \"" + Citta + "\" non " + EGrave +
             " valido: il record supera la fine del file.\nRecord JOUR (n. 16), offset " +
             std::to_string(demo::demoEnglishSave().rfind("JOUR")) + ".\n",
         "Finalizzazione..................... OK\nPatch non effettuata con successo\nLog: " + ShownGame +
             Sep + "Saves" + Sep + Citta + ".log\n"},
        // A folder that refuses new files: the job's own messages, then the folder.
        {"convert --game G English.ess", ReadOnlySaves, 1,
         "Errore: Impossibile aprire il file di log\n" + readOnly, "Patch non effettuata con successo\n"},
        {"restore --yes --game G English.ess", Backup | ReadOnlySaves, 1,
         "Errore: Impossibile sostituire il salvataggio con quello di backup.\n" + readOnly},
        {"convert --game G English.ess", NoBackups | ReadOnlyGame, 1,
         "Errore: Impossibile creare la direcory di Backup.\norvella-cli: the folder " + ShownGame +
             " could not be written\n"},
        // The tables, into a folder made for them unless the game's folder refuses it.
        {"tables --game G --out C:\\Games\\Morrowind\\T", 0, 0, "",
         "Plugin topics left unpaired:\n  \"voci del porto\": no response in common with any English "
         "topic\n"},
        {"tables --game G --out C:\\Games\\Morrowind\\T", ReadOnlyGame, 1,
         "orvella-cli: the folder " + ShownGame + Sep + "T cannot be made\norvella-cli: the folder " +
             ShownGame + " could not be written\n"},
        // The question, asked unless --yes answered it.
        {"restore --yes --game G English.ess", Backup, 0, "", restored},
        {"restore --game G English.ess", Backup, 0, question, restored, "S\xC3\x8C\n"},
        {"restore --game G English.ess", Backup, 0, question, restored, " s\xEC\r\n"},
        {"restore --game G English.ess", Backup, 0, question, restored, "YeS\n"},
        {"restore --game G English.ess", Backup, 1, declined, "", "sii\n"},
        {"restore --game G English.ess", Backup, 1, declined, "", "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line + " < " + c.input);
        DemoGame game(c.setup);
        const Outcome outcome = run(c.line, game.files, c.input);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        const std::size_t lineEnd = outcome.err.find('\n');
        if (c.exitCode == UsageError) {
            EXPECT_TRUE(lineEnd != std::string::npos && outcome.err.starts_with("orvella-cli: ") &&
                        outcome.err.find(c.err) < lineEnd &&
                        outcome.err.substr(lineEnd) + outcome.out == "\nTry 'orvella-cli --help'.\n")
                << outcome.err;
            continue;
        }
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(outcome.out.ends_with(c.outEnd)) << outcome.out;
        EXPECT_EQ(outcome.out.starts_with("orvella-cli: converts"), c.line.find("help") != std::string::npos)
            << outcome.out;
        const bool restored = outcome.exitCode == 0 && std::string_view(c.line).starts_with("restore");
        EXPECT_EQ(game.files.readFile(game.saves + "English.ess"),
                  restored ? demo::demoItalianSave() : demo::demoEnglishSave());
    }
    // An option given to a command that does not take it is a usage error that names it.
    const std::pair<std::string, const char*> options[] = {
        {"--tables G", "convert"}, {"--yes", "restore"}, {"--dry-run", "convert"}, {"--out G", "tables"}};
    for (const char* command : {"convert", "info", "list", "restore", "tables"})
        for (const auto& [option, taker] : options)
            if (std::string_view(command) != taker) {
                DemoGame game(0);
                const Outcome outcome =
                    run(std::string(command) + " --game G " + option + " English.ess", game.files);
                EXPECT_TRUE(outcome.exitCode == UsageError &&
                            outcome.err.find(option.substr(0, option.find(' '))) != std::string::npos)
                    << command << " " << option << ": " << outcome.err;
            }
}

// A dry run leaves every file as it was and prints what the conversion that follows it prints, then the log
// that conversion keeps and the status it exits with, whether the conversion succeeds or fails.
TEST(CommandLine, ADryRunWritesNothingAndForetellsTheConversion) {
    const unsigned Held = 32; // the save held by another conversion, which the test itself arranges
    const std::pair<std::string, unsigned> cases[] = {{"English.ess", NoBackups},
                                                      {"English.ess", ReadOnlySaves},
                                                      {"Italian.ess", ReadOnlyBackups},
                                                      {"Italian.ess", Held}};
    for (const auto& [name, setup] : cases) {
        SCOPED_TRACE(name + " " + std::to_string(setup));
        DemoGame game(setup & ~Held);
        FaultInjectingFileSystem& files = game.files;
        bool busy = false;
        const auto otherConversion = setup & Held ? files.lockFile(game.saves + name, busy) : nullptr;
        const FaultInjectingFileSystem::Snapshot before = files.snapshot();
        const std::size_t handles = files.openHandles();

        const Outcome dry = run("convert --dry-run --game G " + name, files);
        EXPECT_TRUE(files.matches(before)) << "the dry run wrote";
        EXPECT_EQ(files.openHandles(), handles) << "the dry run left a file open or locked";
        const Outcome real = run("convert --game G " + name, files);
        // Only the first converts; Italian.ess has untranslated journal paragraphs, so its log stays.
        const auto log = files.readFile(game.saves + name + ".log");
        EXPECT_EQ(std::pair(real.exitCode, log.has_value()),
                  std::pair(setup == NoBackups ? 0 : 1, setup == ReadOnlyBackups));
        EXPECT_EQ(std::pair(dry.exitCode, dry.err), std::pair(real.exitCode, real.err));
        EXPECT_EQ(dry.out, "Dry run: the conversion runs in memory, and nothing is written.\n" + real.out +
                               (log ? "==== the log, as the conversion would keep it ====\n" +
                                          toTerminal(withLineFeeds(*log), name) + "==== end of the log ====\n"
                                    : "") +
                               "Dry run: nothing was written; the conversion would exit with " +
                               std::to_string(real.exitCode) + ".\n");
    }
}

// A table is written for each expansion installed, and each plugin topic left unpaired is told with its
// reason.
TEST(CommandLine, TablesAreWrittenForEachExpansionAndTellWhyATopicStayedUnpaired) {
    DemoGame game(0);
    const std::string data = game.installation.installPath + "\\Data Files\\";
    build::GameFileBuilder master({.kind = build::FileKind::Master}),
        plugin({.kind = build::FileKind::Plugin});
    const auto topic = [](const std::string& name) {
        return build::RecordBuilder("DIAL").text("NAME", name).sub("DATA", std::string(1, '\0'));
    };
    const auto reply = [](const char* id, const char* speaker) {
        return build::RecordBuilder("INFO").text("INAM", id).text("ONAM", speaker).text("NAME", id);
    };
    master.add(topic("mages")).add(reply("c1", "x")).add(topic("wizards")).add(reply("w1", "x"));
    plugin.add(topic("maghi")).add(reply("n1", "x"));
    game.files.writeFile(data + TribunalMasterName, master.bytes());
    game.files.writeFile(data + PlaceholderTribunalPluginName, plugin.bytes());
    const Outcome outcome =
        run("tables --game G --out " + std::string(test::InMemoryGame) + "\\T", game.files);
    EXPECT_NE(outcome.out.find("\nTribunalTopicTable.tsv: 1 rows"), std::string::npos) << outcome.out;
    EXPECT_TRUE(outcome.out.ends_with("  \"maghi\": a tie between \"mages\" and \"wizards\"\n"))
        << outcome.out;
}

#ifndef _WIN32
// A file name is the file system's bytes: list prints it as it is, and info takes it back as printed. The
// root folder takes the tables as any folder would, here refused only as they are made.
TEST(CommandLine, ListsUtf8AndWindows1252FileNamesAsTheyAreAndTakesThemBack) {
    test::TestFolder game;
    ASSERT_TRUE(demo::writeDemoGame(nativeFileSystem(), game.path()));
    const std::string windows1252 = "Citt\xE0.ess";
    std::filesystem::rename(game.file("Saves/") + demo::DemoSaveName, game.file("Saves/" + Citta));
    std::filesystem::copy_file(game.file("Saves/" + Citta), game.file("Saves/" + windows1252));

    const std::string listed = run("list --game G", nativeFileSystem(), "", game.path()).out;
    for (const std::string& name : {Citta, windows1252}) {
        EXPECT_NE(listed.find("\t" + name + "\n"), std::string::npos) << listed;
        const Outcome info = run("info --game G " + name, nativeFileSystem(), "", game.path());
        EXPECT_TRUE(info.exitCode == 0 && info.out.find("NomePG: Nerevar") != std::string::npos) << info.err;
    }
    FaultInjectingFileSystem refusing(nativeFileSystem());
    refusing.failEvery(test::FileCall::Create);
    EXPECT_NE(
        run("tables --game G --out /", refusing, "", game.path()).err.find("//BaseTopicTable.tsv cannot be"),
        std::string::npos);
}
#endif

// With --openmw the commands take OpenMW's saves by CHARACTER/SLOT, --config and --user-data going with it
// alone; list shows the newest first, info what the SAVE record tells, and a save of a newer format is
// refused before anything is written.
TEST(CommandLine, OpenMwSavesGoByCharacterAndSlot) {
    FaultInjectingFileSystem files;
    demo::writeDemoOpenMwGame(files, test::InMemoryGame);
    const std::string saves = std::string(test::InMemoryGame) + "\\OpenMW\\saves\\Nerevar\\";
    std::string newer = files.readFile(saves + "Demo.omwsave").value(), noForm = newer;
    files.writeFile(saves + "New.omwsave", newer.replace(0x18, 1, "\x28"));
    files.writeFile(saves + "NoForm.omwsave", noForm.replace(0x10, 4, "FROM"));
    const std::string where =
        "--openmw --game G --user-data " + std::string(test::InMemoryGame) + "\\OpenMW ";
    const auto before = files.snapshot();
    const struct {
        std::string line;
        int exitCode;
        std::string err, out;
    } cases[] = {
        {"list " + where, 0, "",
         "Inglese -> Italiano\t\t\tNerevar/New.omwsave\nInglese -> Italiano\t\t\tNerevar/Demo.omwsave\n"},
        {"info " + where + "Nerevar/Demo.omwsave", 0, "",
         "NomePG: Nerevar\nLivello: 1\nSalvato a: Seyda Neen\nNome Salvataggio: Demo\n\nPlugin utilizzati:\n"
         "Morrowind.esm\n"},
        {"info " + where + "Nerevar/NoForm.omwsave", 1,
         "orvella-cli: Nerevar/NoForm.omwsave in OpenMW's saves folder is not a saved game with a summary\n"},
        {"list --openmw --game G --user-data " + std::string(test::InMemoryGame) + "\\None", 1,
         "Errore: Directory dei Salvataggi di Morrowind non trovata.\n"},
        {"convert --config x --game G Demo0001.ess", 2, "--config goes with --openmw"},
        {"restore --user-data x --game G Demo0001.ess", 2, "--user-data goes with --openmw"},
        {"convert " + where + "Demo.omwsave", 2, "is not an OpenMW save name"},
        {"convert " + where + "Nerevar/Gone.omwsave", 1,
         "orvella-cli: no such save: " + ShownGame + Sep + "OpenMW" + Sep + "saves" + Sep + "Nerevar" + Sep +
             "Gone.omwsave\n"},
        {"convert " + where + "Nerevar/New.omwsave", 1,
         "orvella-cli: Nerevar/New.omwsave: il salvataggio " + EGrave + " del formato 40 di OpenMW, pi" +
             (Sep == "/" ? "\xC3\xB9" : "\xF9") + " recente del 39, l'ultimo che il programma conosce\n"},
        {"tables " + where + "--out " + std::string(test::InMemoryGame) + "\\T", 0, "",
         "Plugin topics left unpaired:\n  \"voci del porto\": no response in common with any English "
         "topic\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome outcome = run(c.line, files);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        if (c.exitCode == UsageError)
            EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
        else
            EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(outcome.out.ends_with(c.out)) << outcome.out;
        EXPECT_TRUE(files.matches(before) || c.line.starts_with("tables"));
    }
    EXPECT_TRUE(files.readFile(std::string(test::InMemoryGame) + "\\T\\BaseTopicTable.tsv"));
}

} // namespace
} // namespace orvella::cli
