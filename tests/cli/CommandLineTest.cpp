#include "Commands.h"
#include "ConsoleUi.h"
#include "DemoJob.h"
#include "Options.h"
#include "TerminalText.h"
#include "TestFolder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

namespace orvella::cli {
namespace {

using test::FaultInjectingFileSystem;

// What a command line printed and returned.
struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Points the console's standard streams at strings while it lives.
class CapturedConsole {
public:
    explicit CapturedConsole(const std::string& input, std::streambuf* both = nullptr)
        : in_(input), oldIn_(std::cin.rdbuf(in_.rdbuf())),
          oldOut_(std::cout.rdbuf(both ? both : out_.rdbuf())),
          oldErr_(std::cerr.rdbuf(both ? both : err_.rdbuf())) {}
    ~CapturedConsole() {
        std::cin.rdbuf(oldIn_);
        std::cout.rdbuf(oldOut_);
        std::cerr.rdbuf(oldErr_);
    }
    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }

private:
    std::istringstream in_;
    std::ostringstream out_;
    std::ostringstream err_;
    std::streambuf* oldIn_;
    std::streambuf* oldOut_;
    std::streambuf* oldErr_;
};

Outcome run(const std::vector<std::string>& arguments, FileSystem& files, const std::string& input = {}) {
    CapturedConsole console(input);
    Outcome outcome;
    outcome.exitCode = runCommandLine(arguments, files);
    outcome.out = console.out();
    outcome.err = console.err();
    return outcome;
}

// A path as the console shows it, written here with "/".
std::string shown(std::string path) {
#ifdef _WIN32
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

const std::string Game = test::InMemoryGame;
const std::string ShownGame = shown("C:/Games/Morrowind");

enum class Files { Save, SaveAndBackup, ReadOnlySaves, ReadOnlySavesAndBackup, ReadOnlyGameWithoutBackups };

TEST(CommandLine, SaysInOneLineWhatIsWrongAndNamesMissingFilesAndFoldersThatRefusedAWrite) {
    const std::string Try = "Try 'orvella-cli --help'.\n";
    const std::string Question =
        toTerminal("ATTENZIONE!: Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\n"
                   "dal file di backup generato durante la patch\n[s/N] ");
    const std::string NoSave = "orvella-cli: no such save: " + ShownGame + shown("/Saves/Englsh.ess") + "\n";
    const std::string Restored = "Restored: " + ShownGame + shown("/Saves/English.ess") + "\n";
    const std::string ReadOnly =
        "orvella-cli: the folder " + ShownGame + shown("/Saves") + " could not be written\n";
    const struct {
        std::vector<std::string> arguments;
        Files files;
        std::string input;
        int exitCode;
        std::string err;         // exactly, or for a usage error a part of its one line
        std::string outEnd = {}; // what stdout ends with
    } cases[] = {
        // Usage errors: one line naming the problem, then where the help is.
        {{}, Files::Save, "", 2, "no command"},
        {{"frob"}, Files::Save, "", 2, "frob"},
        {{"list", "--game"}, Files::Save, "", 2, "--game"},
        {{"list", "-game", Game}, Files::Save, "", 2, "-game"},
        {{"list", "--game", Game, "English.ess"}, Files::Save, "", 2, "no save name"},
        {{"list", "--game", Game, "--yes"}, Files::Save, "", 2, "--yes"},
        {{"restore", "--dry-run", "--game", Game, "English.ess"}, Files::Save, "", 2, "--dry-run"},
        {{"info", "--game", Game, "--tables", Game, "English.ess"}, Files::Save, "", 2, "--tables"},
        {{"convert", "--game", Game}, Files::Save, "", 2, "NAME.ess"},
        {{"restore", "--game", Game, "English.ess", "Italian.ess"}, Files::Save, "", 2, "one save name"},
        {{"info", "--game", Game, "../Saves/English.ess"}, Files::Save, "", 2, "is not a save name"},
        {{"convert", "--game", Game, "Saves/../English.ess"}, Files::Save, "", 2, "is not a save name"},
        {{"restore", "--yes", "--game", Game, ".."}, Files::SaveAndBackup, "", 2, "is not a save name"},
#ifndef _WIN32
        {{"info", "English.ess"}, Files::Save, "", 2, "--game DIR"},
#endif
        // The help, asked for either way, and nothing else done.
        {{"help"}, Files::Save, "", 0, ""},
        {{"convert", "--help", "--game", Game, "English.ess"}, Files::Save, "", 0, ""},
        // A save or a backup that is not there.
        {{"convert", "--game", Game, "Englsh.ess"}, Files::Save, "", 1, NoSave},
        {{"info", "--game", Game, "Englsh.ess"}, Files::Save, "", 1, NoSave},
        {{"info", "--game", Game, "-"},
         Files::Save,
         "",
         1,
         "orvella-cli: no such save: " + ShownGame + shown("/Saves/-") + "\n"},
        {{"restore", "--game", Game, "Englsh.ess"}, Files::SaveAndBackup, "", 1, NoSave},
        {{"restore", "--yes", "--game", Game, "English.ess"},
         Files::Save,
         "",
         1,
         "orvella-cli: no backup to restore: " + ShownGame + shown("/LRK Saves Backup/English.ess.bak") +
             "\n"},
        // A Saves folder that refuses new files: the job's own messages, then the folder.
        {{"convert", "--game", Game, "English.ess"},
         Files::ReadOnlySaves,
         "",
         1,
         "Errore: Impossibile aprire il file di log\n" + ReadOnly,
         "Patch non effettuata con successo\n"},
        {{"restore", "--yes", "--game", Game, "English.ess"},
         Files::ReadOnlySavesAndBackup,
         "",
         1,
         "Errore: Impossibile sostituire il salvataggio con quello di backup.\n" + ReadOnly},
        {{"convert", "--game", Game, "English.ess"},
         Files::ReadOnlyGameWithoutBackups,
         "",
         1,
         "Errore: Impossibile creare la direcory di Backup.\norvella-cli: the folder " + ShownGame +
             " could not be written\n"},
        // The question, asked unless --yes answered it.
        {{"restore", "--yes", "--game", Game, "English.ess"}, Files::SaveAndBackup, "", 0, "", Restored},
        {{"restore", "--game", Game, "English.ess"},
         Files::SaveAndBackup,
         "S\xC3\x8C\n",
         0,
         Question,
         Restored},
        {{"restore", "--game", Game, "English.ess"},
         Files::SaveAndBackup,
         "no\n",
         1,
         Question + "orvella-cli: nothing was changed\n"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments)
            line += argument + " ";
        SCOPED_TRACE(line + "< " + c.input);
        FaultInjectingFileSystem files;
        const GameInstallation installation = test::installDemoGame(files);
        files.writeFile(test::savePath(installation, "English.ess"), demo::demoEnglishSave());
        if (c.files == Files::SaveAndBackup || c.files == Files::ReadOnlySavesAndBackup)
            files.writeFile(test::backupPath(installation, "English.ess"), demo::demoItalianSave());
        if (c.files == Files::ReadOnlySaves || c.files == Files::ReadOnlySavesAndBackup)
            files.makeReadOnly(Game + "\\Saves");
        if (c.files == Files::ReadOnlyGameWithoutBackups) {
            auto state = files.snapshot();
            state.erase(FaultInjectingFileSystem::key(Game + "\\LRK Saves Backup"));
            files.restore(state);
            files.makeReadOnly(Game);
        }

        const Outcome outcome = run(c.arguments, files, c.input);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        if (c.exitCode == UsageError) {
            const std::size_t lineEnd = outcome.err.find('\n');
            ASSERT_NE(lineEnd, std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.err.rfind("orvella-cli: ", 0), 0u) << outcome.err;
            EXPECT_NE(outcome.err.substr(0, lineEnd).find(c.err), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.err.substr(lineEnd + 1), Try);
            EXPECT_EQ(outcome.out, "");
            continue;
        }
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(outcome.out.ends_with(c.outEnd)) << outcome.out;
        const bool help =
            c.arguments[0] == "help" || c.arguments[1] == "--help"; // the others have two or more
        EXPECT_EQ(outcome.out.rfind("orvella-cli: converts", 0) == 0, help) << outcome.out;
        const bool restored = outcome.exitCode == 0 && c.arguments[0] == "restore";
        EXPECT_EQ(files.readFile(test::savePath(installation, "English.ess")),
                  restored ? demo::demoItalianSave() : demo::demoEnglishSave());
    }
}

// A dry run leaves every file as it was and prints what the conversion that follows it prints, then the log
// that conversion keeps and the status it exits with, whether the conversion succeeds or fails.
TEST(CommandLine, ADryRunWritesNothingAndForetellsTheConversion) {
    const std::string saves = Game + "\\Saves\\";
    const std::string backups = Game + "\\LRK Saves Backup";
    std::unique_ptr<FileLock> otherConversion;
    const struct {
        const char* what;
        std::string name;
        std::function<void(FaultInjectingFileSystem&)> prepare;
        int exitCode;
        bool logKept;
    } cases[] = {
        {"stale temporary files and an older log", "English.ess",
         [&](FaultInjectingFileSystem& files) {
             for (const std::string& path : {saves + "English.ess.tmp", saves + "English.ess.log.tmp",
                                             backups + "\\English.ess.bak.tmp", saves + "English.ess.log"})
                 files.writeFile(path, "stale");
         },
         0, false},
        {"untranslated journal paragraphs", "Italian.ess", [](FaultInjectingFileSystem&) {}, 0, true},
        {"no backup folder yet", "English.ess",
         [&](FaultInjectingFileSystem& files) {
             auto state = files.snapshot();
             state.erase(FaultInjectingFileSystem::key(backups));
             files.restore(state);
         },
         0, false},
        {"a read-only Saves folder", "English.ess",
         [&](FaultInjectingFileSystem& files) { files.makeReadOnly(saves); }, 1, false},
        {"a read-only backup folder", "Italian.ess",
         [&](FaultInjectingFileSystem& files) { files.makeReadOnly(backups); }, 1, true},
        {"a save that another conversion holds", "Italian.ess",
         [&](FaultInjectingFileSystem& files) {
             bool busy = false;
             otherConversion = files.lockFile(saves + "Italian.ess", busy);
         },
         1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FaultInjectingFileSystem files;
        const GameInstallation installation = test::installDemoGame(files);
        files.writeFile(saves + c.name,
                        c.name == "English.ess" ? demo::demoEnglishSave() : demo::demoItalianSave());
        c.prepare(files);
        const FaultInjectingFileSystem::Snapshot before = files.snapshot();
        const std::size_t handles = files.openHandles();

        const Outcome dry = run({"convert", "--dry-run", "--game", Game, c.name}, files);
        EXPECT_TRUE(files.matches(before)) << "the dry run wrote";
        EXPECT_EQ(files.openHandles(), handles) << "the dry run left a file open or locked";
        const Outcome real = run({"convert", "--game", Game, c.name}, files);
        EXPECT_EQ(real.exitCode, c.exitCode) << real.err;
        EXPECT_EQ(files.isFile(saves + c.name + ".log"), c.logKept);

        std::string log;
        if (c.logKept)
            log = "==== the log, as the conversion would keep it ====\n" +
                  toTerminal(withLineFeeds(*files.readFile(saves + c.name + ".log")), c.name) +
                  "==== end of the log ====\n";
        EXPECT_EQ(dry.exitCode, real.exitCode);
        EXPECT_EQ(dry.err, real.err);
        EXPECT_EQ(dry.out, "Dry run: the conversion runs in memory, and nothing is written.\n" + real.out +
                               log + "Dry run: nothing was written; the conversion would exit with " +
                               std::to_string(real.exitCode) + ".\n");
        otherConversion.reset();
    }
}

// The save's name is the file system's bytes, in the messages too, whatever the text around it.
TEST(CommandLine, MessagesKeepTheBytesOfTheSavesName) {
    FaultInjectingFileSystem files;
    const GameInstallation installation = test::installDemoGame(files);
    const std::string name = "Citt\xC3\xA0.ess";
    files.writeFile(test::savePath(installation, name), demo::demoEnglishSave());
    files.writeFile(test::backupPath(installation, name), "damaged");
    const Outcome outcome = run({"restore", "--yes", "--game", Game, name}, files);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find(name + ".bak\" " + toTerminal("\xE8 danneggiato")), std::string::npos)
        << outcome.err;
}

TEST(CommandLine, OnlyAPlainFileNameNamesASave) {
    for (const char* name : {"Demo0001.ess", "quick save.ess", "..ess", "a..b.ess"})
        EXPECT_EQ(saveNameProblem(name), std::nullopt) << name;
    for (const char* name : {"", ".", "..", "../Up.ess", "../Saves/Inner.ess", "Inner/x.ess", "/abs.ess",
                             "..\\Up.ess", "a\\b.ess", "x.ess/"})
        EXPECT_EQ(saveNameProblem(name).value_or("").find(std::string(name).append("\" is not a save name")),
                  1u)
            << name;
}

TEST(CommandLine, TakesYesInEnglishOrItalianInAnyCase) {
    for (std::string_view yes : {"y", "Y", "yes", "YeS", "s", "S", "si", "SI", "s\xEC", "S\xCC", "s\xC3\xAC",
                                 "S\xC3\x8C", " si\r", "\tyes "})
        EXPECT_TRUE(isYesAnswer(yes)) << yes;
    for (std::string_view no :
         {"", " ", "n", "no", "N", "s\xED", "ye", "sii", "s i", "yes please", "\xEC", "oui"})
        EXPECT_FALSE(isYesAnswer(no)) << no;
}

TEST(CommandLine, AMessageOnATerminalStartsBelowTheProgressBar) {
    std::ostringstream terminal;
    CapturedConsole console("", terminal.rdbuf());
    ConsoleProgress progress(true);
    ConsoleMessageBoxes messages;
    messages.setProgress(&progress);
    progress.setBarPosition(JobStage::Reading, 40);
    messages.show(
        Message{"Il file non \xE8 valido.", "Errore", MessageIcon::Error, MessageButtons::Ok, nullptr});
    const std::string shownText = terminal.str();
    const std::size_t message = shownText.find(toTerminal("Errore: Il file non \xE8 valido.\n"));
    ASSERT_NE(message, std::string::npos) << shownText;
    EXPECT_GT(message, 0u);
    EXPECT_EQ(shownText[message - 1], '\n') << shownText;
    EXPECT_NE(shownText.find("40%"), std::string::npos) << shownText;
}

#ifndef _WIN32
// A file name is the file system's bytes: list prints it as it is, and info takes it back as printed.
TEST(CommandLine, ListsUtf8AndWindows1252FileNamesAsTheyAreAndTakesThemBack) {
    test::TestFolder game;
    ASSERT_TRUE(demo::writeDemoGame(nativeFileSystem(), game.path()));
    const std::string utf8 = "Citt\xC3\xA0.ess";
    const std::string windows1252 = "Citt\xE0.ess";
    const std::string demoSave = game.file(std::string("Saves/") + demo::DemoSaveName);
    ASSERT_EQ(std::rename(demoSave.c_str(), game.file("Saves/" + utf8).c_str()), 0);
    std::ofstream(game.file("Saves/" + windows1252), std::ios::binary)
        << std::ifstream(game.file("Saves/" + utf8), std::ios::binary).rdbuf();

    const Outcome listed = run({"list", "--game", game.path()}, nativeFileSystem());
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    std::vector<std::string> names;
    std::istringstream lines(listed.out);
    for (std::string line; std::getline(lines, line);)
        names.push_back(line.substr(line.rfind('\t') + 1));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{utf8, windows1252}));
    for (const std::string& name : names) {
        const Outcome info = run({"info", "--game", game.path(), name}, nativeFileSystem());
        EXPECT_EQ(info.exitCode, 0) << info.err;
        EXPECT_NE(info.out.find("NomePG: Nerevar"), std::string::npos) << info.out;
    }
}
#endif

} // namespace
} // namespace orvella::cli
