#include "FaultInjectingFileSystem.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/FileReplacement.h"
#include "platform/OverlayFileSystem.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <sstream>
#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/file.h>
#include <sys/syscall.h>
#endif

#ifdef __linux__
namespace orvella {
namespace {
// Runs before each flock of the native file system while set: what another process does between a lock's
// open and its flock.
std::function<void()> beforeFlock;
} // namespace
} // namespace orvella

// The native file system's locks go through here, so that a test can move a file at the moment it chooses.
extern "C" int flock(int descriptor, int operation) noexcept {
    if (orvella::beforeFlock)
        orvella::beforeFlock();
    return static_cast<int>(syscall(SYS_flock, descriptor, operation));
}
#endif

namespace orvella {
namespace {

using MemoryFileSystem = test::FaultInjectingFileSystem;

// One call, by name, with up to two paths and a text to write; see answer. Where given, what it must answer:
// the in-memory file system is itself an overlay, over nothing.
struct Step {
    std::string call;
    std::string path;
    std::string other = {};
    std::optional<std::string> expected = {};
};

// The game as the calls find it: a save, an older log and backup, a folder without write permission, and a
// file on a server.
void prepare(MemoryFileSystem& files) {
    bool alreadyExists = false;
    files.createFolder("\\\\srv", alreadyExists);
    files.writeFile("\\\\srv\\a.ess", "net");
    files.addFolder("G\\Saves");
    files.addFolder("G\\Backup");
    files.addFolder("G\\Locked");
    files.writeFile("G\\Saves\\a.ess", "save");
    files.writeFile("G\\Saves\\a.ess.log", "older log");
    files.writeFile("G\\Backup\\a.ess.bak", "older backup");
    files.writeFile("G\\Locked\\k.ess", "kept");
    files.makeReadOnly("G\\Locked");
}

// Writes the text, then its first byte again over itself and reads the second, as a count filled in later is.
std::string written(std::unique_ptr<File> file, const std::string& text) {
    if (!file)
        return "refused";
    std::size_t count = file->write(text.data(), text.size());
    char second = 0;
    if (!text.empty() && file->seek(0, SeekOrigin::Begin))
        count += file->write(text.data(), 1) + 10 * file->read(&second, 1);
    return std::to_string(count) + (file->close() ? " closed" : " not closed");
}

// What a call gives, as text: the same on both file systems when the overlay is right.
std::string answer(FileSystem& files, const Step& step, std::unique_ptr<FileLock>& held) {
    const std::string& call = step.call;
    if (call == "create")
        return written(files.createNew(step.path), step.other);
    if (call == "wb" || call == "w" || call == "ab" || call == "rb+")
        return written(files.open(step.path, call.c_str()), step.other);
    if (call == "rb" || call == "r") {
        auto file = files.open(step.path, call.c_str());
        if (!file)
            return "refused";
        std::string bytes(64, '\0');
        bytes.resize(file->read(bytes.data(), bytes.size()));
        return bytes;
    }
    if (call == "replace")
        return files.replaceFile(step.path, step.other) ? "moved" : "refused";
    if (call == "replace locked")
        return held && files.replaceLockedFile(step.path, step.other, *held) ? "moved" : "refused";
    if (call == "delete")
        return files.deleteFile(step.path) ? "deleted" : "refused";
    if (call == "folder") {
        bool alreadyExists = false;
        bool created = files.createFolder(step.path, alreadyExists);
        return std::string(created ? "created" : "refused") + (alreadyExists ? ", already there" : "");
    }
    if (call == "lock") {
        bool busy = false;
        held = files.lockFile(step.path, busy);
        return held ? "held" : busy ? "busy" : "refused";
    }
    if (call == "attributes")
        return files.copyAttributes(step.path, step.other, true) ? "copied" : "refused";
    if (call == "list") {
        std::vector<FolderEntry> entries;
        std::multiset<std::string> names;
        const bool listed = files.listFolder(step.path, entries);
        for (const FolderEntry& entry : entries)
            names.insert(entry.name + (entry.isFolder ? "/ " : " "));
        return listed ? std::accumulate(names.begin(), names.end(), std::string()) : "refused";
    }
    std::ostringstream facts;
    facts << "exists " << files.exists(step.path) << ", folder " << files.isFolder(step.path) << ", writable "
          << files.isWritable(step.path) << ", may write in " << files.canWriteIn(step.path)
          << ", resolves to " << files.resolveLink(step.path);
    return facts.str();
}

// The overlay of a dry run answers every call as the file system under it would answer it after the same
// calls, which the in-memory file system makes for real beside it, and writes nothing under it. A whole
// conversion's calls go through it in every dry run of the console's tests.
TEST(OverlayFileSystem, AnswersAsTheFileSystemUnderItWouldAndWritesNothingThere) {
    const std::string save = "G\\Saves\\a.ess";
    const std::string log = save + ".log";
    const std::string backup = "G\\Backup\\a.ess.bak";
    // clang-format off
    const Step steps[] = {
        // What is refused.
        {"create", save, "over the save"}, {"create", "G\\Saves", "over a folder"},
        {"create", "G\\Missing\\x", "in no folder"}, {"create", "G\\Locked\\x", "in a read-only folder"},
        {"wb", "G\\Locked\\x", "in a read-only folder"}, {"wb", "G\\Saves", "a folder"},
        {"rb", "G\\Saves\\none"}, {"rb+", "G\\Saves\\none", "none", "refused"}, {"delete", "G\\Locked\\k.ess"},
        {"delete", "G\\Saves\\none"}, {"delete", "G\\Saves"},
        {"replace", "G\\Locked\\k.ess", "G\\Saves\\k.ess"}, {"replace", save, "G\\Locked\\a.ess"},
        {"replace", "G\\Saves\\none", backup}, {"replace", save, "G\\Backup"},
        {"replace", save, "G\\Missing\\a.ess"}, {"folder", "G\\Saves", "", "refused, already there"},
        {"folder", save}, {"folder", "G\\Locked\\New"}, {"folder", "G\\Missing\\New"},
        {"attributes", save, "G\\Saves\\none"}, {"lock", "G\\Saves\\none"}, {"list", "G\\Saves\\none"},
        {"list", save}, {"facts", "G\\Locked"}, {"facts", "G\\Saves\\none"}, {"list", "G\\Saves"},
        {"rb", "\\srv\\a.ess", "", "refused"}, {"rb", "\\\\srv\\a.ess", "", "net"},
        // Files made, rewritten, moved, deleted and made again.
        {"create", save + ".tmp", "con\nverted", "11 closed"}, {"rb", save + ".tmp", "", "con\nverted"},
        {"rb+", "G\\Locked\\k.ess", "K"}, {"rb", "G\\Locked\\k.ess"}, {"ab", save, "+more"},
        {"w", log, "line\none\n"}, {"rb", log, "", "line\r\none\r\n"}, {"r", log, "", "line\none\n"},
        {"replace", save, save, "moved"},
        {"replace", save, "G\\Saves\\b.ess"}, {"replace", "G\\Saves\\b.ess", "G\\Saves\\c.ess"},
        {"facts", save}, {"rb", save}, {"create", save, "again"}, {"rb", save},
        {"delete", "G\\Saves\\c.ess"}, {"create", "G\\Saves\\c.ess", "third"}, {"folder", "G\\New\\"},
        {"folder", "G\\New\\Inner"}, {"create", "G\\New\\Inner\\x", "deep"},
        {"replace", "G\\New\\Inner\\x", "G\\New\\x"}, {"facts", "G\\New"},
        {"list", "G\\New", "", "../ ./ Inner/ x "}, {"list", "G"}, {"list", "G\\Saves"}};
    // clang-format on
    MemoryFileSystem direct;
    MemoryFileSystem under;
    prepare(direct);
    prepare(under);
    const MemoryFileSystem::Snapshot before = under.snapshot();
    OverlayFileSystem overlay(under);
    std::unique_ptr<FileLock> directLock;
    std::unique_ptr<FileLock> overlayLock;
    for (const Step& step : steps) {
        const std::string answered = answer(overlay, step, overlayLock);
        EXPECT_EQ(answered, answer(direct, step, directLock))
            << step.call << " " << step.path << " " << step.other;
        EXPECT_EQ(answered, step.expected.value_or(answered)) << step.call << " " << step.path;
    }
    std::vector<std::string> paths = direct.files();
    for (const std::string& path : under.files())
        paths.push_back(path);
    for (const std::string& path : paths)
        EXPECT_EQ(answer(overlay, {"rb", path}, overlayLock), answer(direct, {"rb", path}, directLock))
            << path;
    // A file under the overlay that cannot be read whole is not moved.
    under.failEvery(test::FileCall::Read);
    EXPECT_FALSE(overlay.replaceFile(backup, backup + ".moved"));
    EXPECT_TRUE(under.matches(before)) << "the file system under the overlay changed";
    overlayLock.reset();
    EXPECT_EQ(under.openHandles(), 0u);
}

// Every call with a path at the platform's limit fails, whatever the other path, on the native file system
// and on an overlay over it.
TEST(NativeFileSystem, RefusesEveryPathAtThePlatformsLimit) {
    test::TestFolder folder;
    const std::string file = folder.file("file");
    const std::string tooLong = folder.path() + "/" + std::string(PathLimit - folder.path().size() - 1, 'x');
    ASSERT_TRUE(build::writeBytes(file, "kept"));
    OverlayFileSystem overlay(nativeFileSystem());
    for (FileSystem* files : {&nativeFileSystem(), static_cast<FileSystem*>(&overlay)}) {
        bool busy = false;
        std::unique_ptr<FileLock> lock = files->lockFile(file, busy);
        ASSERT_TRUE(lock);
        for (const char* call : {"create", "wb", "rb", "delete", "folder", "lock", "list"})
            EXPECT_EQ(answer(*files, {call, tooLong, "x"}, lock), "refused") << call;
        for (const char* call : {"replace", "replace locked", "attributes"}) {
            EXPECT_EQ(answer(*files, {call, file, tooLong}, lock), "refused") << call;
            EXPECT_EQ(answer(*files, {call, tooLong, file}, lock), "refused") << call;
        }
        EXPECT_EQ(answer(*files, {"facts", tooLong}, lock),
                  "exists 0, folder 0, writable 0, may write in 0, resolves to " + tooLong);
    }
    EXPECT_EQ(build::readBytes(file), "kept");
#ifndef _WIN32
    std::unique_ptr<FileLock> none;
    EXPECT_EQ(answer(nativeFileSystem(), {"facts", folder.path()}, none),
              "exists 1, folder 1, writable 1, may write in 1, resolves to " + folder.path());
    EXPECT_EQ(answer(nativeFileSystem(), {"facts", file}, none),
              "exists 1, folder 0, writable 1, may write in 0, resolves to " + file);
    // The lock is only ever taken on a regular file.
    EXPECT_EQ(answer(nativeFileSystem(), {"lock", folder.path()}, none), "refused");
    // Nor are attributes copied to a file that is not there; the owner and the group go with the permission
    // bits where this user may give them away, the group alone as well as the owner alone.
    EXPECT_EQ(answer(nativeFileSystem(), {"attributes", file, folder.file("none")}, none), "refused");
    if (geteuid() == 0) {
        const std::string target = folder.file("target");
        ASSERT_TRUE(build::writeBytes(target, "t") && chown(target.c_str(), 0, 0) == 0);
        for (const auto& [owner, group] : {std::pair(0u, 4321u), std::pair(1234u, 4321u)}) {
            ASSERT_TRUE(chown(file.c_str(), owner, group) == 0);
            EXPECT_TRUE(nativeFileSystem().copyAttributes(file, target, false));
            struct stat info {};
            EXPECT_TRUE(stat(target.c_str(), &info) == 0 && info.st_uid == owner && info.st_gid == group);
        }
        // A user who may not give a file away still gives it a group of theirs, and sets no other's bits.
        ASSERT_TRUE(chown(file.c_str(), 0, 4321) == 0 && chown(target.c_str(), 1234, 1234) == 0 &&
                    chmod(folder.path().c_str(), 0755) == 0);
        const pid_t child = fork();
        if (child == 0) {
            const gid_t group = 4321;
            struct stat info {};
            _exit(!(setgroups(1, &group) == 0 && setgid(1234) == 0 && setuid(1234) == 0 &&
                    nativeFileSystem().copyAttributes(file, target, false) &&
                    !nativeFileSystem().copyAttributes(target, file, false) &&
                    stat(target.c_str(), &info) == 0 && info.st_uid == 1234 && info.st_gid == group));
        }
        int status = 0;
        EXPECT_TRUE(waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
#endif
}

#ifdef __linux__
// A holder that moves another file over the save locks that file first. A lock taken meanwhile on the file
// the path named before holds nothing: it is tried again on the file there now, found in use, and a save
// replaced at every try is in use too.
TEST(NativeFileSystem, ALockOnAFileMovedAwayMeanwhileIsTakenAgainOnTheFileThereNow) {
    test::TestFolder folder;
    const std::string save = folder.file("save"), moved = folder.file("moved");
    ASSERT_TRUE(build::writeBytes(save, "old") && build::writeBytes(moved, "new"));
    bool busy = false;
    auto holder = nativeFileSystem().lockFile(moved, busy);
    ASSERT_TRUE(holder);
    int moves = 1;
    beforeFlock = [&] {
        if (moves-- > 0)
            std::rename(moved.c_str(), save.c_str());
    };
    EXPECT_FALSE(nativeFileSystem().lockFile(save, busy));
    EXPECT_TRUE(busy && moves < 0);
    holder.reset();
    beforeFlock = [&] {
        if (build::writeBytes(moved, "newer"))
            std::rename(moved.c_str(), save.c_str());
    };
    EXPECT_FALSE(nativeFileSystem().lockFile(save, busy));
    beforeFlock = nullptr;
    EXPECT_TRUE(busy && build::readBytes(save) == "newer");
    EXPECT_TRUE(nativeFileSystem().lockFile(save, busy));
}
#endif

#ifndef _WIN32
// Times to the nanosecond, and how an overlay keeps them: a moved file keeps its own, copyAttributes copies
// one when asked, a file it writes takes the time of the writing.
TEST(NativeFileSystem, GivesModificationTimesThatAnOverlayKeeps) {
    test::TestFolder folder;
    const std::string file = folder.file("file");
    ASSERT_TRUE(build::writeBytes(file, "kept"));
    const timespec times[2] = {{0, UTIME_OMIT}, {1'500'000'000, 123'456'789}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    constexpr std::int64_t Set = 1'500'000'000'123'456'789;
    FileSystem& native = nativeFileSystem();
    EXPECT_EQ(native.modificationTime(file), Set);
    EXPECT_EQ(native.modificationTime(folder.path() + "\\file"), Set);
    EXPECT_EQ(native.modificationTime(folder.file("none")), std::nullopt);

    OverlayFileSystem overlay(native);
    EXPECT_EQ(overlay.modificationTime(file), Set);
    ASSERT_TRUE(overlay.replaceFile(file, folder.file("moved")));
    EXPECT_EQ(overlay.modificationTime(file), std::nullopt);
    EXPECT_EQ(overlay.modificationTime(folder.file("moved")), Set);
    auto written = overlay.createNew(folder.file("new"));
    ASSERT_TRUE(written && written->close() &&
                overlay.copyAttributes(folder.file("moved"), folder.file("new"), false));
    EXPECT_GT(overlay.modificationTime(folder.file("new")).value_or(0), Set);
    ASSERT_TRUE(overlay.copyAttributes(folder.file("moved"), folder.file("new"), true));
    EXPECT_EQ(overlay.modificationTime(folder.file("new")), Set);
    EXPECT_EQ(native.modificationTime(file), Set) << "the overlay changed nothing under it";
}
#endif

// A count filled in later is written over bytes already written, never past them, and only while the file is
// open: the file then keeps its length and goes on from its end.
TEST(FileReplacement, OverwritesOnlyBytesWrittenWhileTheFileIsOpen) {
    MemoryFileSystem files;
    files.addFolder("G");
    FileReplacement replacement(files, "G\\new.tmp", "G\\new");
    EXPECT_FALSE(replacement.overwrite(0, "", 0));
    ASSERT_TRUE(replacement.create() && replacement.write("abcd", 4));
    EXPECT_TRUE(replacement.overwrite(0, "A", 1) && replacement.overwrite(2, "CD", 2));
    EXPECT_FALSE(replacement.overwrite(3, "DE", 2) || replacement.overwrite(-1, "x", 1));
    ASSERT_TRUE(replacement.write("e", 1) && replacement.finish());
    EXPECT_FALSE(replacement.overwrite(0, "", 0));
    EXPECT_TRUE(replacement.moveOver() && files.readFile("G\\new") == "AbCDe");
    // A file that cannot take its attributes, or be moved, goes at once.
    FileReplacement unfinished(files, "G\\other.tmp", "G\\other"), unmoved(files, "G\\third.tmp", "G\\third");
    ASSERT_TRUE(unfinished.create() && unmoved.create() && unmoved.finish());
    files.failEvery(test::FileCall::Replace);
    EXPECT_FALSE(unfinished.finish("G\\missing") || unmoved.moveOver() || files.exists("G\\other.tmp") ||
                 files.exists("G\\third.tmp"));
}

// One file class serves both platforms: text mode stores CR LF wherever it runs, binary mode every byte as it
// is, and the file's end is where its last byte was written.
TEST(StdioFile, TextModeStoresCrLfAndBinaryModeEveryByteOnEveryPlatform) {
    test::TestFolder folder;
    const std::string text = std::string("one\ntwo\n\n\r\xE8\0end", 15);
    for (const char* mode : {"w", "wb"}) {
        const std::string path = folder.path() + "\\" + mode + ".txt";
        auto written = nativeFileSystem().open(path, mode);
        ASSERT_TRUE(written && written->write(text.data(), text.size()) == text.size() && written->close());
        const std::string stored = build::readBytes(folder.file(std::string(mode) + ".txt"));
        EXPECT_EQ(stored, mode[1] ? text : std::string("one\r\ntwo\r\n\r\n\r\xE8\0end", 18));
        auto file = nativeFileSystem().open(path, mode[1] ? "rb+" : "rb");
        ASSERT_TRUE(file && file->seek(-3, SeekOrigin::End));
        EXPECT_EQ(file->tell(), static_cast<std::int64_t>(stored.size()) - 3);
        char tail[4] = {};
        EXPECT_TRUE(file->read(tail, 4) == 3 && std::string(tail) == "end") << mode;
    }
    // An empty file reads as no bytes; a line feed just past the bytes given is not theirs.
    std::vector<std::uint8_t> bytes{1};
    EXPECT_TRUE(build::writeBytes(folder.file("empty"), "") &&
                readWholeFile(nativeFileSystem(), folder.file("empty"), bytes) && bytes.empty());
    EXPECT_EQ(nativeFileSystem().open(folder.file("short.txt"), "w")->write("a\nb\n", 3), 3u);
    EXPECT_EQ(build::readBytes(folder.file("short.txt")), "a\r\nb");
    // A closed file reads, writes, seeks and flushes nothing, and closes again without a complaint.
    auto closed = nativeFileSystem().open(folder.file("short.txt"), "rb");
    char byte = 0;
    ASSERT_TRUE(closed && closed->close());
    EXPECT_TRUE(closed->read(&byte, 1) == 0 && closed->write("x", 1) == 0 &&
                !closed->seek(0, SeekOrigin::Begin) && closed->tell() == -1 && !closed->flush() &&
                closed->close());
#ifndef _WIN32
    // Bytes that cannot be stored, here past the size the process may write, are reported by the flush, and
    // by the close of a file never flushed, though the sync that a close makes would then succeed.
    auto flushed = nativeFileSystem().open(folder.file("f"), "wb"),
         unflushed = nativeFileSystem().open(folder.file("c"), "wb");
    ASSERT_TRUE(flushed && unflushed && flushed->write("xy", 2) == 2 && unflushed->write("xy", 2) == 2);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit oneByte{1, limit.rlim_max};
    const auto onSignal = std::signal(SIGXFSZ, SIG_IGN);
    const bool reported = setrlimit(RLIMIT_FSIZE, &oneByte) == 0 && !flushed->flush() && !unflushed->close();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, onSignal);
    EXPECT_TRUE(reported);
#endif
}

// A stream only read keeps its position itself where the system reads at a position: every seek and read
// must still land where a C stream's would.
TEST(StdioFile, AStreamOnlyReadSeeksAndReadsWhereACStreamWould) {
    test::TestFolder folder;
    ASSERT_TRUE(build::writeBytes(folder.file("digits"), "0123456789"));
    auto file = nativeFileSystem().open(folder.path() + "\\digits", "rb");
    ASSERT_TRUE(file);
    char got[8] = {};
    EXPECT_TRUE(file->read(got, 3) == 3 && std::string(got, 3) == "012");
    EXPECT_TRUE(file->seek(2, SeekOrigin::Current) && file->tell() == 5);
    EXPECT_TRUE(file->read(got, 2) == 2 && std::string(got, 2) == "56");
    EXPECT_TRUE(file->seek(-4, SeekOrigin::End) && file->read(got, 8) == 4 && std::string(got, 4) == "6789");
    EXPECT_TRUE(file->seek(-1, SeekOrigin::End) && file->read(got, 8) == 1 && got[0] == '9');
    EXPECT_EQ(file->tell(), 10);
    // A seek before the start fails and leaves the position; one past the end reads nothing.
    EXPECT_FALSE(file->seek(-11, SeekOrigin::End));
    EXPECT_FALSE(file->seek(-1, SeekOrigin::Begin));
    EXPECT_EQ(file->tell(), 10);
    EXPECT_TRUE(file->seek(12, SeekOrigin::Begin) && file->read(got, 1) == 0 && file->tell() == 12);
    EXPECT_TRUE(file->seek(1, SeekOrigin::Begin) && file->read(got, 2) == 2 && std::string(got, 2) == "12");
}

} // namespace
} // namespace orvella
