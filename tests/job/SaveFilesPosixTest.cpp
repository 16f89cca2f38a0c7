// What a conversion and a restore do to the files around the save on a POSIX system, where links, permission
// bits and the root user's right to write any file exist.

#include "JobHarness.h"
#include "app/RestoreFromBackup.h"
#include "gamebuilder/GameBuilder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvella {
namespace {

namespace fs = std::filesystem;
using build::readBytes;
using build::RecordBuilder;
using test::GameFolder;
using test::JobHarness;

// The user and group "nobody", for running as a player rather than as root.
constexpr uid_t Nobody = 65534;

// A save whose conversion to English drops its deleted topic, and what the conversion makes of it.
std::string italianSave(bool converted = false) {
    build::GameFileBuilder file(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    if (!converted)
        file.add(RecordBuilder("DIAL")
                     .text("NAME", "old rumour")
                     .sub("DATA", std::string(1, '\0'))
                     .sub("DELE", build::u32(0)));
    return file.bytes();
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

struct SaveFilesPosixTest : testing::Test {
    GameFolder game;
    JobHarness harness{game};
    const std::string original = italianSave();
    const std::string converted = italianSave(true);

    void SetUp() override { harness.writeDemoGame(game); }
};

TEST_F(SaveFilesPosixTest, NothingAtTheTemporaryPathsIsWrittenThroughOrIntoTheSave) {
    build::writeBytes(game.save("Save1.ess"), original);
    build::writeBytes(game.file("outside.ess"), "outside");
    build::writeBytes(game.file("outside-backup.ess"), "outside backup");
    fs::create_symlink(game.file("outside.ess"), game.save("Save1.ess.tmp"));
    fs::create_symlink(game.file("outside-backup.ess"), game.backup("Save1.ess.bak.tmp"));
    // Another program holds a stale temporary file open and writes into it after the job.
    build::writeBytes(game.save("Held.ess"), original);
    build::writeBytes(game.save("Held.ess.tmp"), "stale");
    const int held = ::open(game.save("Held.ess.tmp").c_str(), O_WRONLY);
    ASSERT_GE(held, 0);

    for (const std::string name : {"Save1.ess", "Held.ess"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, 0u);
        EXPECT_TRUE(S_ISREG(modeOf(game.save(name))));
        EXPECT_EQ(readBytes(game.save(name)), converted);
        EXPECT_EQ(readBytes(game.backup(name + ".bak")), original);
        EXPECT_FALSE(fs::exists(fs::symlink_status(game.save(name + ".tmp"))) ||
                     fs::exists(fs::symlink_status(game.backup(name + ".bak.tmp"))));
    }
    ASSERT_EQ(pwrite(held, "junk", 4, 0), 4);
    ::close(held);
    EXPECT_EQ(readBytes(game.save("Held.ess")), converted);
    EXPECT_EQ(readBytes(game.file("outside.ess")), "outside");
    EXPECT_EQ(readBytes(game.file("outside-backup.ess")), "outside backup");
}

// A link at the log's path or at its temporary path is never written through: a kept log takes the link's
// place, a deleted one removes the link, and the files the links lead to stay as they were.
TEST_F(SaveFilesPosixTest, ALinkAtTheLogsPathIsReplacedOrRemovedButNeverWrittenThrough) {
    // A folder takes the backup's temporary path, so that the second conversion fails and keeps its log.
    game.makeFolder("LRK Saves Backup/Failing.ess.bak.tmp");
    for (const char* name : {"Clean.ess", "Failing.ess"}) {
        const bool fails = std::string(name) == "Failing.ess";
        const std::string log = game.save(std::string(name) + ".log");
        build::writeBytes(game.save(name), original);
        build::writeBytes(game.file("outside.log"), "outside log");
        build::writeBytes(game.file("outside.tmp"), "outside temporary");
        fs::create_symlink(game.file("outside.log"), log);
        fs::create_symlink(game.file("outside.tmp"), log + ".tmp");

        EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, fails ? 1u : 0u) << name;
        EXPECT_EQ(readBytes(game.file("outside.log")), "outside log") << name;
        EXPECT_EQ(readBytes(game.file("outside.tmp")), "outside temporary") << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(log + ".tmp"))) << name;
        EXPECT_EQ(S_ISREG(modeOf(log)), fails) << name;
        if (fails) {
            EXPECT_EQ(readBytes(log).rfind("File di Log per Failing.ess\r\n\r\n- TOPIC SEGNATI", 0), 0u);
        }
        EXPECT_EQ(fs::exists(fs::symlink_status(log)), fails) << name;
    }
}

// What stands at the path of a new file is never opened: a file, a link to one, a link to nothing.
TEST_F(SaveFilesPosixTest, ANewFileIsCreatedOnlyWhereNothingStands) {
    FileSystem& files = nativeFileSystem();
    build::writeBytes(game.file("there.ess"), "there");
    fs::create_symlink(game.file("there.ess"), game.file("link.ess"));
    fs::create_symlink(game.file("nothing.ess"), game.file("dangling.ess"));
    for (const char* name : {"there.ess", "link.ess", "dangling.ess"})
        EXPECT_EQ(files.createNew(game.file(name)), nullptr) << name;
    EXPECT_EQ(readBytes(game.file("there.ess")), "there");
    EXPECT_FALSE(fs::exists(fs::symlink_status(game.file("nothing.ess"))));
    auto created = files.createNew(game.file("new.ess"));
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->write("new", 3), 3u);
    EXPECT_TRUE(created->close());
    EXPECT_EQ(readBytes(game.file("new.ess")), "new");
}

// The link stays a link and its target is converted and then restored: the temporary file, the move and the
// lock are the target's; the backup is named after the save as listed.
TEST_F(SaveFilesPosixTest, ASaveThatIsALinkIsConvertedAndRestoredInItsTarget) {
    game.makeFolder("elsewhere");
    const std::string target = game.file("elsewhere/Target.ess");
    build::writeBytes(target, original);
    fs::create_symlink(target, game.save("Link.ess"));

    EXPECT_EQ(harness.run("Link.ess", ItalianToEnglish).exitCode, 0u);
    EXPECT_EQ(readBytes(target), converted);
    EXPECT_EQ(readBytes(game.backup("Link.ess.bak")), original);
    test::RecordingMessageBoxes messages;
    EXPECT_EQ(restoreFromBackup(harness.installation, "Link.ess", nativeFileSystem(), messages, nullptr),
              RestoreOutcome::Restored);
    EXPECT_EQ(readBytes(target), original);

    ASSERT_TRUE(fs::is_symlink(game.save("Link.ess")));
    EXPECT_EQ(fs::read_symlink(game.save("Link.ess")), target);
    EXPECT_EQ(std::distance(fs::directory_iterator(game.file("elsewhere")), {}), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(game.file("Saves")), {}), 1);
}

// The job's outcome and its messages, one a line.
struct PlayerRun {
    std::uint32_t exitCode = 1;
    std::string messages;
};

// Converts as a player would, without root's right to write any file: when the tests run as root, in a child
// process that has become the user "nobody", who owns the game folder. Nothing when that cannot be done.
std::optional<PlayerRun> convertAsPlayer(JobHarness& harness, const GameFolder& game,
                                         const std::string& name) {
    if (geteuid() != 0) {
        PlayerRun run;
        run.exitCode = harness.run(name, ItalianToEnglish).exitCode;
        for (const Message& message : harness.messages.shown)
            run.messages += message.text + "\n";
        return run;
    }
    for (const auto& entry : fs::recursive_directory_iterator(game.path()))
        if (lchown(entry.path().c_str(), Nobody, Nobody) != 0)
            return std::nullopt;
    if (lchown(game.path().c_str(), Nobody, Nobody) != 0)
        return std::nullopt;
    int messages[2];
    if (pipe(messages) != 0)
        return std::nullopt;
    pid_t child = fork();
    if (child == 0) {
        ::close(messages[0]);
        if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)
            _exit(99);
        PatchResult result = harness.run(name, ItalianToEnglish);
        for (const Message& message : harness.messages.shown) {
            std::string line = message.text + "\n";
            if (write(messages[1], line.data(), line.size()) != static_cast<ssize_t>(line.size()))
                _exit(98);
        }
        _exit(static_cast<int>(result.exitCode));
    }
    ::close(messages[1]);
    PlayerRun run;
    char buffer[512];
    for (ssize_t got; (got = read(messages[0], buffer, sizeof buffer)) > 0;)
        run.messages.append(buffer, static_cast<std::size_t>(got));
    ::close(messages[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    run.exitCode = static_cast<std::uint32_t>(WEXITSTATUS(status));
    return run;
}

// A save the player cannot write is refused before anything is written, as Windows' move refuses it; a
// backup the player cannot write is left as it was. Otherwise the new save keeps the save's permission bits
// and the backup its modification time.
TEST_F(SaveFilesPosixTest, PermissionBitsAreKeptAndAReadOnlySaveOrBackupIsLeftAlone) {
    const fs::file_time_type lastPlayed = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    const struct {
        const char* name;
        mode_t saveMode;
        std::optional<mode_t> olderBackupMode;
        const char* message; // a piece of the one message, or nothing when the save is converted
        bool logKept;        // a job that fails after it began its log keeps it
    } cases[] = {
        {"Private.ess", 0600, std::nullopt, nullptr, false},
        {"Shared.ess", 0664, 0644, nullptr, false},
        {"ReadOnly.ess", 0444, std::nullopt, "sovrascrivere il file del salvataggio", false},
        {"ReadOnlyBackup.ess", 0644, 0444, "creare il file di backup", true},
    };
    for (const auto& c : cases) {
        const std::string save = game.save(c.name);
        const std::string backup = game.backup(std::string(c.name) + ".bak");
        build::writeBytes(save, original);
        fs::last_write_time(save, lastPlayed);
        ASSERT_EQ(chmod(save.c_str(), c.saveMode), 0);
        if (c.olderBackupMode) {
            build::writeBytes(backup, "an older backup");
            ASSERT_EQ(chmod(backup.c_str(), *c.olderBackupMode), 0);
        }
        auto run = convertAsPlayer(harness, game, c.name);
        if (!run)
            GTEST_SKIP() << "running as root, and the conversion could not be run as the user nobody";
        SCOPED_TRACE(c.name);
        const bool converts = !c.message;
        EXPECT_EQ(run->exitCode, converts ? 0u : 1u);
        EXPECT_EQ(std::count(run->messages.begin(), run->messages.end(), '\n'), converts ? 0 : 1);
        EXPECT_NE(run->messages.find(c.message ? c.message : ""), std::string::npos) << run->messages;
        EXPECT_EQ(readBytes(save), converts ? converted : original);
        EXPECT_EQ(modeOf(save) & 07777, c.saveMode);
        EXPECT_EQ(readBytes(backup), converts ? original : c.olderBackupMode ? "an older backup" : "");
        if (converts) {
            EXPECT_EQ(fs::last_write_time(backup), lastPlayed);
            EXPECT_EQ(modeOf(backup) & 07777, c.saveMode);
        }
        EXPECT_EQ(fs::exists(save + ".log"), c.logKept);
        EXPECT_FALSE(fs::exists(save + ".tmp") || fs::exists(backup + ".tmp"));
    }
}

} // namespace
} // namespace orvella
