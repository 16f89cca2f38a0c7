// The in-memory file system that the fault injection runs on answers every operation as the machine's own
// file system does, so that what the conversions do there is what they do on a disk; on top it refuses, as
// Windows does, to delete, move or overwrite a file that is still open.

#include "MemoryFileSystem.h"
#include "TestFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::MemoryFileSystem;

// One script of operations, run on a file system below a root folder, and everything it answered.
std::vector<std::string> runScript(FileSystem& files, const std::string& root) {
    std::vector<std::string> answers;
    auto say = [&](const std::string& what, auto value) {
        answers.push_back(what + "=" + std::to_string(value));
    };
    auto contents = [&](const std::string& path) {
        std::vector<std::uint8_t> bytes;
        bool read = readWholeFile(files, path, bytes);
        answers.push_back(path.substr(root.size()) +
                          (read ? ":" + std::string(bytes.begin(), bytes.end()) : " unreadable"));
    };
    bool existed = false;
    say("mkdir a", files.createFolder(root + "\\a", existed));
    say("mkdir a again", files.createFolder(root + "\\a", existed));
    say("existed", existed);
    say("mkdir x\\y", files.createFolder(root + "\\x\\y", existed));
    say("open missing", files.open(root + "\\a\\none.ess", "rb") != nullptr);
    say("open in missing folder", files.open(root + "\\x\\f.ess", "wb") != nullptr);
    say("open folder", files.open(root + "\\a", "rb") != nullptr);
    {
        auto text = files.open(root + "\\a\\log.txt", "w");
        say("text write", text->write("one\ntwo\n", 8));
        say("text close", text->close());
    }
    contents(root + "\\a\\log.txt");
    {
        auto binary = files.open(root + "\\a\\s.ess", "wb");
        say("write", binary->write("0123456789", 10));
        say("seek past end", binary->seek(12, SeekOrigin::Begin));
        say("write past end", binary->write("AB", 2));
        say("tell", binary->tell());
        say("seek before start", binary->seek(-1, SeekOrigin::Begin));
        say("tell after failed seek", binary->tell());
        char none[4];
        say("read from write-only", binary->read(none, sizeof none));
        binary->close();
    }
    contents(root + "\\a\\s.ess");
    {
        auto update = files.open(root + "\\a\\s.ess", "rb+");
        char four[4] = {};
        say("seek end", update->seek(-4, SeekOrigin::End));
        say("read", update->read(four, 4));
        answers.push_back(std::string(four, 4));
        say("read at end", update->read(four, 4));
        say("seek", update->seek(2, SeekOrigin::Begin));
        say("overwrite", update->write("xy", 2));
        say("seek current", update->seek(1, SeekOrigin::Current));
        say("tell", update->tell());
        update->close();
    }
    contents(root + "\\a\\s.ess");
    say("copy", files.copyFile(root + "\\a\\s.ess", root + "\\a\\t.ess", false));
    say("copy without overwrite", files.copyFile(root + "\\a\\log.txt", root + "\\a\\t.ess", false));
    say("copy with overwrite", files.copyFile(root + "\\a\\log.txt", root + "\\a\\t.ess", true));
    say("copy from missing", files.copyFile(root + "\\a\\none", root + "\\a\\u.ess", true));
    say("copy into missing folder", files.copyFile(root + "\\a\\s.ess", root + "\\none\\u.ess", true));
    contents(root + "\\a\\t.ess");
    say("replace", files.replaceFile(root + "\\a\\t.ess", root + "\\a\\s.ess"));
    say("replace from missing", files.replaceFile(root + "\\a\\t.ess", root + "\\a\\s.ess"));
    say("replace into missing folder", files.replaceFile(root + "\\a\\s.ess", root + "\\none\\s.ess"));
    contents(root + "\\a\\s.ess");
    say("exists file", files.exists(root + "\\a\\s.ess"));
    say("exists moved file", files.exists(root + "\\a\\t.ess"));
    say("exists folder pattern", files.exists(root + "\\a\\*.*"));
    say("exists missing folder pattern", files.exists(root + "\\none\\*.*"));
    say("delete", files.deleteFile(root + "\\a\\s.ess"));
    say("delete again", files.deleteFile(root + "\\a\\s.ess"));
    say("delete folder", files.deleteFile(root + "\\a"));
    {
        auto appended = files.open(root + "\\a\\log.txt", "ab");
        say("append", appended->write("3", 1));
    }
    contents(root + "\\a\\log.txt");
    std::vector<FolderEntry> entries;
    say("list", files.listFolder(root + "\\a", entries));
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name + (entry.isFolder ? "/" : ""));
    std::sort(names.begin(), names.end());
    answers.insert(answers.end(), names.begin(), names.end());
    say("list missing", files.listFolder(root + "\\none", entries));
    say("too long", files.open(root + "\\" + std::string(5000, 'x'), "wb") != nullptr);
    return answers;
}

TEST(MemoryFileSystem, AnswersEveryOperationAsTheMachinesFileSystemDoes) {
    test::TestFolder folder;
    MemoryFileSystem memory;
    memory.addFolder("C:\\Game");
    const std::vector<std::string> native = runScript(nativeFileSystem(), folder.path());
    EXPECT_EQ(runScript(memory, "C:\\Game"), native);
    EXPECT_EQ(memory.openHandles(), 0u);
}

TEST(MemoryFileSystem, KeepsAnOpenFileFromBeingDeletedMovedOrOverwritten) {
    MemoryFileSystem files;
    files.addFolder("C:\\Game\\Saves");
    ASSERT_TRUE(files.writeFile("C:\\Game\\Saves\\a.ess", "save"));
    ASSERT_TRUE(files.writeFile("C:\\Game\\Saves\\b.ess", "other"));
    {
        auto reading = files.open("C:\\Game\\Saves\\a.ess", "rb");
        EXPECT_FALSE(files.deleteFile("C:\\Game\\Saves\\a.ess"));
        EXPECT_FALSE(files.replaceFile("C:\\Game\\Saves\\a.ess", "C:\\Game\\Saves\\c.ess"));
        EXPECT_FALSE(files.replaceFile("C:\\Game\\Saves\\b.ess", "C:\\Game\\Saves\\a.ess"));
        EXPECT_FALSE(files.copyFile("C:\\Game\\Saves\\b.ess", "C:\\Game\\Saves\\a.ess", true));
        EXPECT_TRUE(files.copyFile("C:\\Game\\Saves\\a.ess", "C:\\Game\\Saves\\c.ess", true));
        EXPECT_EQ(files.openHandles(), 1u);
    }
    {
        auto writing = files.open("C:\\Game\\Saves\\b.ess", "wb");
        EXPECT_FALSE(files.copyFile("C:\\Game\\Saves\\b.ess", "C:\\Game\\Saves\\d.ess", true));
    }
    EXPECT_EQ(files.openHandles(), 0u);
    EXPECT_TRUE(files.deleteFile("C:\\Game\\Saves\\a.ess"));
    EXPECT_EQ(files.readFile("C:\\Game\\Saves\\c.ess"), "save");
}

} // namespace
} // namespace orvella
