// What a conversion and a restore do to the files around the save where links and permission bits exist.

#include "DemoJob.h"
#include "TestFolder.h"
#include "app/RestoreFromBackup.h"

#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace orvella {
namespace {

namespace fs = std::filesystem;
using build::readBytes;

// The user and group "nobody", for running as a player rather than as root.
constexpr uid_t Nobody = 65534;

// The demo game in a folder on the machine, and conversions to English of the saves put there.
struct SaveFilesPosixTest : testing::Test {
    SaveFilesPosixTest() { demo::writeDemoGame(nativeFileSystem(), game.path()); }
    PatchResult run(const std::string& name) {
        messages = test::RecordingMessageBoxes();
        return runPatchJob(
            test::jobFor(installation, nativeFileSystem(), messages, progress, name, ItalianToEnglish));
    }

    test::GameFolder game;
    GameInstallation installation = demo::demoInstallation(game.path());
    test::RecordingMessageBoxes messages;
    test::RecordingProgress progress;
    const std::string original = test::PlainSave;
    const std::string converted = test::JobHarness().convert("s.ess", original, ItalianToEnglish);
};

// Links at the temporary and log paths are not written through; the log's goes with a clean conversion's log.
TEST_F(SaveFilesPosixTest, NothingAtTheTemporaryPathsIsWrittenThrough) {
    const char* const links[] = {"Saves/Save1.ess.tmp", "LRK Saves Backup/Save1.ess.bak.tmp",
                                 "Saves/Save1.ess.log", "Saves/Save1.ess.log.tmp"};
    build::writeBytes(game.save("Save1.ess"), original);
    for (const char* link : links) {
        build::writeBytes(game.file(link) + ".out", link);
        fs::create_symlink(game.file(link) + ".out", game.file(link));
    }
    EXPECT_EQ(run("Save1.ess").exitCode, 0u);
    EXPECT_EQ(std::make_tuple(fs::is_regular_file(fs::symlink_status(game.save("Save1.ess"))),
                              readBytes(game.save("Save1.ess")), readBytes(game.backup("Save1.ess.bak"))),
              std::make_tuple(true, converted, original));
    for (const char* link : links)
        EXPECT_TRUE(!fs::exists(fs::symlink_status(game.file(link))) &&
                    readBytes(game.file(link) + ".out") == link)
            << link;
}

// A link stays a link while its target is converted and restored; the backup is named after the link.
TEST_F(SaveFilesPosixTest, ASaveThatIsALinkIsConvertedAndRestoredInItsTarget) {
    game.makeFolder("elsewhere");
    const std::string target = game.file("elsewhere/Target.ess");
    build::writeBytes(target, original);
    fs::create_symlink(target, game.save("Link.ess"));
    EXPECT_EQ(run("Link.ess").exitCode, 0u);
    EXPECT_EQ(std::make_pair(readBytes(target), readBytes(game.backup("Link.ess.bak"))),
              std::make_pair(converted, original));
    EXPECT_EQ(restoreFromBackup(installation, "Link.ess", nativeFileSystem(), messages, nullptr),
              RestoreOutcome::Restored);
    EXPECT_EQ(std::make_tuple(readBytes(target), fs::read_symlink(game.save("Link.ess")),
                              std::distance(fs::directory_iterator(game.file("elsewhere")), {}) +
                                  std::distance(fs::directory_iterator(game.file("Saves")), {})),
              std::make_tuple(original, fs::path(target), 3));
}

// Converts as "nobody" (in a child of root's, owning the game), without root's right to write any file:
// silently, or refused by one message holding the fragment when one is given; nothing if it cannot.
std::optional<bool> convertsAsPlayer(SaveFilesPosixTest& harness, const std::string& name,
                                     const std::string& fragment) {
    const auto runs = [&] {
        const std::size_t refused = fragment.empty() ? 0 : 1;
        const auto& shown = harness.messages.shown;
        return harness.run(name).exitCode == refused && shown.size() == refused &&
               (!refused || shown[0].text.find(fragment) != std::string::npos);
    };
    if (geteuid() != 0)
        return runs();
    for (const auto& entry : fs::recursive_directory_iterator(harness.game.path()))
        if (lchown(entry.path().c_str(), Nobody, Nobody) != 0)
            return std::nullopt;
    if (lchown(harness.game.path().c_str(), Nobody, Nobody) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0)
        _exit(setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0 ? 99 : runs() ? 0 : 1);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// A save or backup the player cannot write is left as it was (the save refused first, as Windows would);
// otherwise the new save keeps the save's permission bits and the backup its modification time.
TEST_F(SaveFilesPosixTest, PermissionBitsAreKeptAndAReadOnlySaveOrBackupIsLeftAlone) {
    const fs::file_time_type lastPlayed = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    const struct {
        const char* name;
        mode_t saveMode;
        std::optional<mode_t> olderBackupMode;
        const char* message; // a piece of the one message, empty when the save is converted
        bool logKept;        // a job that fails after it began its log keeps it
    } cases[] = {
        {"Private.ess", 0600, std::nullopt, "", false},
        {"Shared.ess", 0664, 0644, "", false},
        {"ReadOnly.ess", 0444, std::nullopt, "sovrascrivere il file del salvataggio", false},
        {"ReadOnlyBackup.ess", 0644, 0444, "creare il file di backup", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string save = game.save(c.name), backup = game.backup(std::string(c.name) + ".bak");
        const bool converts = !*c.message;
        const std::string olderBackup = c.olderBackupMode ? "an older backup" : "";
        build::writeBytes(save, original);
        fs::last_write_time(save, lastPlayed);
        ASSERT_EQ(chmod(save.c_str(), c.saveMode), 0);
        if (c.olderBackupMode) {
            build::writeBytes(backup, olderBackup);
            ASSERT_EQ(chmod(backup.c_str(), *c.olderBackupMode), 0);
        }
        const std::optional<bool> ran = convertsAsPlayer(*this, c.name, c.message);
        if (!ran)
            GTEST_SKIP() << "running as root, and the conversion could not be run as the user nobody";
        EXPECT_TRUE(*ran) << "the exit code or the message differs";
        EXPECT_EQ(std::make_tuple(readBytes(save), fs::status(save).permissions(), readBytes(backup)),
                  std::make_tuple(converts ? converted : original, fs::perms(c.saveMode),
                                  converts ? original : olderBackup));
        EXPECT_TRUE(!converts || (fs::last_write_time(backup) == lastPlayed &&
                                  fs::status(backup).permissions() == fs::perms(c.saveMode)));
        EXPECT_EQ(fs::exists(save + ".log"), c.logKept);
        EXPECT_FALSE(fs::exists(save + ".tmp") || fs::exists(backup + ".tmp"));
    }
}

} // namespace
} // namespace orvella
