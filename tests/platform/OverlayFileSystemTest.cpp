// The overlay of a dry run answers every call as the file system under it would answer it after the same
// calls, which the in-memory file system makes for real beside it, and writes nothing under it.

#include "platform/OverlayFileSystem.h"
#include "FaultInjectingFileSystem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace orvella {
namespace {

using MemoryFileSystem = test::FaultInjectingFileSystem;

// One call, by name, with up to two paths and a text to write; see answer.
struct Step {
    std::string call;
    std::string path;
    std::string other = {};
};

// The game as the calls find it: a save, an older log and backup, a folder without write permission.
void prepare(MemoryFileSystem& files) {
    files.addFolder("G\\Saves");
    files.addFolder("G\\Backup");
    files.addFolder("G\\Locked");
    files.writeFile("G\\Saves\\a.ess", "save");
    files.writeFile("G\\Saves\\a.ess.log", "older log");
    files.writeFile("G\\Backup\\a.ess.bak", "older backup");
    files.writeFile("G\\Locked\\k.ess", "kept");
    files.makeReadOnly("G\\Locked");
}

std::string written(std::unique_ptr<File> file, const std::string& text) {
    if (!file)
        return "refused";
    const std::size_t count = file->write(text.data(), text.size());
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
        if (!files.listFolder(step.path, entries))
            return "refused";
        std::vector<std::string> names;
        for (const FolderEntry& entry : entries)
            names.push_back(entry.name + (entry.isFolder ? "/" : ""));
        std::sort(names.begin(), names.end());
        std::ostringstream shown;
        for (const std::string& name : names)
            shown << name << " ";
        return shown.str();
    }
    std::ostringstream facts;
    facts << "exists " << files.exists(step.path) << ", folder " << files.exists(step.path + "\\*.*")
          << ", writable " << files.isWritable(step.path) << ", may write in " << files.canWriteIn(step.path)
          << ", resolves to " << files.resolveLink(step.path);
    return facts.str();
}

TEST(OverlayFileSystem, AnswersAsTheFileSystemUnderItWouldAndWritesNothingThere) {
    const std::string save = "G\\Saves\\a.ess";
    const std::string log = save + ".log";
    const std::string backup = "G\\Backup\\a.ess.bak";
    const struct {
        const char* name;
        std::vector<Step> steps;
    } scripts[] = {
        {"a conversion's calls",
         {{"lock", save},
          {"delete", save + ".tmp"},
          {"create", save + ".tmp", "converted"},
          {"attributes", save, save + ".tmp"},
          {"delete", log + ".tmp"},
          {"create", log + ".tmp", "new log"},
          {"rb", save},
          {"create", backup + ".tmp", "save"},
          {"rb", backup + ".tmp"},
          {"replace", backup + ".tmp", backup},
          {"replace locked", save + ".tmp", save},
          {"replace", log + ".tmp", log},
          {"rb", save},
          {"rb", log},
          {"rb", save + ".tmp"},
          {"facts", save + ".tmp"},
          {"list", "G\\Saves"},
          {"list", "G\\Backup\\"},
          {"delete", log},
          {"facts", log},
          {"list", "G/Saves"}}},
        {"what is refused",
         {{"create", save, "over the save"},
          {"create", "G\\Saves", "over a folder"},
          {"create", "G\\Missing\\x", "in no folder"},
          {"create", "G\\Locked\\x", "in a read-only folder"},
          {"wb", "G\\Locked\\x", "in a read-only folder"},
          {"wb", "G\\Saves", "a folder"},
          {"rb", "G\\Saves\\none"},
          {"rb+", "G\\Saves\\none", "none"},
          {"delete", "G\\Locked\\k.ess"},
          {"delete", "G\\Saves\\none"},
          {"delete", "G\\Saves"},
          {"replace", "G\\Locked\\k.ess", "G\\Saves\\k.ess"},
          {"replace", save, "G\\Locked\\a.ess"},
          {"replace", "G\\Saves\\none", backup},
          {"replace", save, "G\\Backup"},
          {"replace", save, "G\\Missing\\a.ess"},
          {"folder", "G\\Saves"},
          {"folder", save},
          {"folder", "G\\Locked\\New"},
          {"folder", "G\\Missing\\New"},
          {"attributes", save, "G\\Saves\\none"},
          {"lock", "G\\Saves\\none"},
          {"list", "G\\Saves\\none"},
          {"list", save},
          {"facts", "G\\Locked"},
          {"facts", "G\\Saves\\none"},
          {"list", "G\\Saves"}}},
        {"files rewritten, moved, deleted and made again",
         {{"rb+", "G\\Locked\\k.ess", "K"},
          {"rb", "G\\Locked\\k.ess"},
          {"ab", save, "+more"},
          {"w", log, "line\none\n"},
          {"rb", log},
          {"r", log},
          {"replace", save, save},
          {"replace", save, "G\\Saves\\b.ess"},
          {"replace", "G\\Saves\\b.ess", "G\\Saves\\c.ess"},
          {"facts", save},
          {"rb", save},
          {"create", save, "again"},
          {"rb", save},
          {"delete", "G\\Saves\\c.ess"},
          {"create", "G\\Saves\\c.ess", "third"},
          {"folder", "G\\New\\"},
          {"folder", "G\\New\\Inner"},
          {"create", "G\\New\\Inner\\x", "deep"},
          {"replace", "G\\New\\Inner\\x", "G\\New\\x"},
          {"facts", "G\\New"},
          {"list", "G\\New"},
          {"list", "G"},
          {"list", "G\\Saves"}}},
    };
    for (const auto& script : scripts) {
        MemoryFileSystem direct;
        MemoryFileSystem under;
        prepare(direct);
        prepare(under);
        const MemoryFileSystem::Snapshot before = under.snapshot();
        OverlayFileSystem overlay(under);
        std::unique_ptr<FileLock> directLock;
        std::unique_ptr<FileLock> overlayLock;
        for (const Step& step : script.steps)
            EXPECT_EQ(answer(overlay, step, overlayLock), answer(direct, step, directLock))
                << script.name << ": " << step.call << " " << step.path << " " << step.other;
        std::vector<std::string> paths = direct.files();
        for (const std::string& path : under.files())
            paths.push_back(path);
        for (const std::string& path : paths)
            EXPECT_EQ(answer(overlay, {"rb", path}, overlayLock), answer(direct, {"rb", path}, directLock))
                << script.name << ": " << path;
        EXPECT_TRUE(under.matches(before)) << script.name << ": the file system under the overlay changed";
        overlayLock.reset();
        EXPECT_EQ(under.openHandles(), 0u) << script.name;
    }
}

} // namespace
} // namespace orvella
