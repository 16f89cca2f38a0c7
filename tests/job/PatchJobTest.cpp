#include "FaultInjectingFileSystem.h"
#include "JobHarness.h"
#include "app/SaveClassification.h"
#include "gamebuilder/GameBuilder.h"
#include "job/PercentOf.h"
#include "platform/ForwardingFileSystem.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace orvella {
namespace {

namespace fs = std::filesystem;
using build::GameFileBuilder;
using build::readBytes;
using build::RecordBuilder;
using test::FaultInjectingFileSystem;
using test::FileCall;

// Converting to English a save that lists no translation plugin changes none of its records but drops the
// deleted topic, and logs it and the quest it cannot find.
GameFileBuilder plainSave(bool withDeletedTopic = false) {
    GameFileBuilder file(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')));
    if (withDeletedTopic)
        file.add(RecordBuilder("DIAL")
                     .text("NAME", "old rumour")
                     .sub("DATA", std::string(1, '\0'))
                     .sub("DELE", "\0\0\0\0"));
    file.add(RecordBuilder("QUES").text("NAME", "A quest"));
    return file;
}

// The save as another program leaves it when it cuts off the last byte while the job copies it: opened the
// second time, the file still measures its full length but its reads stop one byte short.
class SaveCutWhileCopied final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        auto file = ForwardingFileSystem::open(path, mode);
        // Each job opens the save twice: to read it, and to copy it.
        if (!file || !path.ends_with("\\Save1.ess") || ++opens_ % 2 != 0)
            return file;
        return std::make_unique<CutFile>(std::move(file));
    }

private:
    struct CutFile final : File {
        explicit CutFile(std::unique_ptr<File> base) : base(std::move(base)) {
            this->base->seek(0, SeekOrigin::End);
            end = this->base->tell() - 1;
            this->base->seek(0, SeekOrigin::Begin);
        }
        std::size_t read(void* buffer, std::size_t size) override {
            return base->read(buffer, std::min<std::size_t>(size, std::max<std::int64_t>(0, end - tell())));
        }
        std::size_t write(const void* buffer, std::size_t size) override { return base->write(buffer, size); }
        bool seek(std::int64_t offset, SeekOrigin origin) override { return base->seek(offset, origin); }
        std::int64_t tell() override { return base->tell(); }
        bool flush() override { return base->flush(); }
        bool close() override { return base->close(); }
        std::unique_ptr<File> base;
        std::int64_t end;
    };
    int opens_ = 0;
};

const std::string FullLog = "File di Log per Save1.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nold "
                            "rumour\r\n\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: A quest\r\n";

std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = readBytes(entry.path().string());
    return files;
}

struct PatchJobTest : testing::Test, test::JobHarness {
    const std::string name = "Save1.ess";
    FaultInjectingFileSystem files{nativeFileSystem()};
    SaveCutWhileCopied cutWhileCopied{files};

    PatchJobTest() { jobFiles = &files; }
    std::string writeSave(const std::string& bytes) {
        build::writeBytes(game.save(name), bytes);
        return bytes;
    }
    // The job told the user once, why, and still finished its last stage, leaving nothing temporary.
    void expectRefused(const PatchResult& result, const std::string& fragment, MessageIcon icon) {
        EXPECT_EQ(std::tie(result.exitCode, result.outcomeText),
                  std::make_tuple(1u, std::string("Patch non effettuata con successo")));
        ASSERT_EQ(messages.shown.size(), 1u);
        const Message& message = messages.shown[0];
        EXPECT_NE(message.text.find(fragment), std::string::npos) << message.text;
        EXPECT_TRUE(message.icon == icon && message.owner == nullptr) << message.text;
        EXPECT_EQ(progress.image(JobStage::Finalising), StatusImage::Success);
        EXPECT_EQ(progress.calls.back(), "finished");
        EXPECT_FALSE(fs::is_regular_file(game.save(name + ".tmp")) ||
                     game.exists("LRK Saves Backup/" + name + ".bak.tmp"));
    }
};

// A save passes byte for byte, replacing an older backup; a dropped record lowers the count and nothing else.
TEST_F(PatchJobTest, ASavePassesThroughReplacingAnOlderBackupAndADroppedRecordLowersTheCount) {
    std::string want = writeSave(plainSave().bytes());
    build::writeBytes(game.backup(name + ".bak"), "an older backup");
    result = run(name, ItalianToEnglish);
    EXPECT_EQ(std::tie(result.exitCode, result.outcomeText),
              std::make_tuple(0u, std::string("Patch effettuata con successo")));
    ASSERT_TRUE(progress.result);
    EXPECT_EQ(progress.result->outcomeText, result.outcomeText);
    EXPECT_EQ(readBytes(game.save(name)), want);
    EXPECT_EQ(readBytes(game.backup(name + ".bak")), want);
    EXPECT_FALSE(result.logKept || progress.result->logOffered);
    EXPECT_EQ(result.logPath, game.path() + "\\Saves\\" + name + ".log");
    EXPECT_EQ(std::distance(fs::directory_iterator(game.file("Saves")), {}), 1);
    EXPECT_TRUE(messages.shown.empty());
    for (JobStage stage : {JobStage::Reading, JobStage::Converting, JobStage::Finalising})
        EXPECT_EQ(std::make_pair(progress.bar(stage), progress.image(stage)),
                  std::make_pair(100, std::optional(StatusImage::Success)));

    want.replace(320, 4, build::u32(4)); // the original's count of five, lowered by one
    ASSERT_EQ(writeSave(plainSave(true).bytes()).substr(320, 4), build::u32(5));
    EXPECT_EQ(run(name, ItalianToEnglish).exitCode, 0u);
    EXPECT_EQ(readBytes(game.save(name)), want);
}

// Whatever stops the job, the save is left as it was, nothing temporary stays, and the log is kept only once
// the handlers have written to it; a second job fails the same way and writes its own log anew.
TEST_F(PatchJobTest, EachObstacleStopsTheJobWithItsMessageLeavingTheSave) {
    const auto failEvery = [](FileCall call) {
        return [call](PatchJobTest& t) { t.files.failEvery(call, "Save1.ess.tmp"); };
    };
    const struct {
        std::function<void(PatchJobTest&)> arrange;
        const char* fragment;
        MessageIcon icon;
        std::optional<std::string> log;
        bool backedUp = false;
    } cases[] = {
        {[](PatchJobTest& t) { fs::remove(t.game.save(t.name)); }, "aprire il salvataggio",
         MessageIcon::Error, std::nullopt},
        {[](PatchJobTest& t) { t.game.makeFolder("Saves/Save1.ess.log"); }, "file di log", MessageIcon::Error,
         std::nullopt},
        {[](PatchJobTest& t) { t.game.makeFolder("Saves/Save1.ess.tmp"); }, "files temporanei",
         MessageIcon::Error, "File di Log per Save1.ess\r\n"},
        {failEvery(FileCall::Write), "files temporanei", MessageIcon::Error, FullLog},
        {failEvery(FileCall::Close), "files temporanei", MessageIcon::Error, FullLog},
        {[](PatchJobTest& t) { fs::remove_all(t.game.file("LRK Saves Backup")); }, "backup",
         MessageIcon::Warning, FullLog},
        {[](PatchJobTest& t) { t.jobFiles = &t.cutWhileCopied; }, "creare il file di backup",
         MessageIcon::Warning, FullLog},
        {failEvery(FileCall::Replace), "sovrascrivere il file del salvataggio", MessageIcon::Warning, FullLog,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fragment);
        files.countOnly();
        jobFiles = &files;
        for (const auto& entry : fs::directory_iterator(game.file("Saves")))
            fs::remove_all(entry.path());
        game.makeFolder("LRK Saves Backup");
        fs::remove(game.backup(name + ".bak"));
        const std::string original = writeSave(plainSave(true).bytes());
        c.arrange(*this);
        for (int attempt = 0; attempt < 2; ++attempt) {
            expectRefused(run(name, ItalianToEnglish), c.fragment, c.icon);
            EXPECT_TRUE(!game.exists("Saves/" + name) || readBytes(game.save(name)) == original);
            const bool logFile = fs::is_regular_file(game.save(name + ".log"));
            EXPECT_EQ(logFile ? std::optional(readBytes(game.save(name + ".log"))) : std::nullopt, c.log);
            EXPECT_EQ(game.exists("LRK Saves Backup/Save1.ess.bak"), c.backedUp);
            EXPECT_FALSE(progress.result->logOffered);
        }
    }
}

// Every path the job forms is checked before anything is written: here only the longest, the backup's
// temporary name, is one byte too long.
TEST_F(PatchJobTest, APathLongerThanThePlatformAllowsIsNamedBeforeAnythingIsWritten) {
    const std::string tail = "\\LRK Saves Backup\\" + name + ".bak.tmp";
    const std::string folder = game.makeFolderOfLength(PathLimit - tail.size());
    for (const char* inner : {"/Saves", "/LRK Saves Backup", "/Data Files"})
        game.makeFolder(folder.substr(game.path().size() + 1) + inner);
    build::writeBytes(folder + "/Saves/" + name, plainSave().bytes());
    installation.installPath = folder;
    PatchResult result = run(name, ItalianToEnglish);
    expectRefused(result, "\"" + folder + tail + "\" \xE8 troppo lungo", MessageIcon::Warning);
    EXPECT_FALSE(result.logKept);
    EXPECT_TRUE(filesIn(folder).size() == 1 && fs::is_empty(folder + "/LRK Saves Backup"));
}

// A save chosen as English that another program converted before the job took it is not converted twice.
TEST_F(PatchJobTest, ASaveThatChangedAfterItWasChosenIsLeftAlone) {
    writeSave(plainSave().bytes());
    auto chosen = classifySave(nativeFileSystem(), installation, name);
    ASSERT_TRUE(chosen && chosen->direction == EnglishToItalian);
    const std::string italian =
        writeSave(GameFileBuilder({.kind = build::FileKind::Save,
                                   .masters = {{"Morrowind.esm", 1}, {MorrowindPluginName, 1}}})
                      .bytes());
    saveInfo = *chosen;
    classifyAgain = classifySave;
    const auto before = filesIn(game.path());
    expectRefused(run(name, EnglishToItalian), "in uso da un'altra conversione", MessageIcon::Warning);
    EXPECT_TRUE(filesIn(game.path()) == before) << "the job wrote";
}

// The save is held from the first job's start to its end: while it is read, and still after the new save has
// taken its place, while the first job finishes.
TEST_F(PatchJobTest, ASecondJobOnTheSaveWhileTheFirstHoldsItFailsAtOnceWritingNothing) {
    for (JobStage bar : {JobStage::Reading, JobStage::Finalising}) {
        SCOPED_TRACE(static_cast<int>(bar));
        const std::string original = writeSave(plainSave(true).bytes());
        build::writeBytes(game.backup(name + ".bak"), "an older backup");
        std::map<std::string, std::string> before, after;
        PatchResult second;
        // The first job's dialog starts the second job when the first moves the bar.
        test::RecordingProgress holder;
        holder.through = [&](const std::function<void()>& call) {
            call();
            if (second.outcomeText.empty() &&
                holder.calls.back().starts_with("bar " + test::stageName(bar))) {
                before = filesIn(game.path());
                second = run(name, ItalianToEnglish);
                after = filesIn(game.path());
            }
        };
        test::RecordingMessageBoxes firstMessages;
        EXPECT_EQ(runPatchJob(test::jobFor(installation, nativeFileSystem(), firstMessages, holder, name,
                                           ItalianToEnglish))
                      .exitCode,
                  0u);
        expectRefused(second, "in uso da un'altra conversione", MessageIcon::Warning);
        EXPECT_TRUE(after == before) << "the second job wrote while the first held the save";
        EXPECT_TRUE(firstMessages.shown.empty());
        EXPECT_NE(readBytes(game.save(name)), original);
        EXPECT_EQ(readBytes(game.backup(name + ".bak")), original);
    }
}

// A master that the scan refuses stops the job before the save is read.
TEST_F(PatchJobTest, ATruncatedMasterStopsTheJobBeforeTheSaveIsRead) {
    const std::string master = demo::demoMaster();
    build::writeBytes(game.data(MorrowindMasterName), master.substr(0, master.size() - 1));
    writeSave(demo::demoEnglishSave());
    EXPECT_EQ(run(name).exitCode, 1u);
    EXPECT_EQ(readBytes(game.save(name)), demo::demoEnglishSave());
    EXPECT_FALSE(game.exists("Saves/Save1.ess.tmp") || game.exists("LRK Saves Backup/Save1.ess.bak"));
    EXPECT_EQ(
        std::make_tuple(progress.image(JobStage::Masters), progress.image(JobStage::Finalising),
                        progress.bar(JobStage::Reading) + progress.bar(JobStage::Converting),
                        messages.shown.size()),
        std::make_tuple(std::optional(StatusImage::Failure), std::optional(StatusImage::Success), 0, 1u));
}

TEST(PercentOf, TruncatesTheQuotientOfTheSinglePrecisionNumbersAndFillsTheBarForNothing) {
    const std::uint32_t cases[][3] = {{29, 100, 28}, // 0.29f * 100 is just below 29
                                      {0, 7, 0},
                                      {7, 7, 100},
                                      {2, 3, 66},
                                      {0, 0, 100},
                                      {16777217u, 16777216u, 100},
                                      {0xFFFFFFFFu, 0xFFFFFFFFu, 100}};
    for (const auto& [done, total, percent] : cases)
        EXPECT_EQ(percentOf(done, total), static_cast<int>(percent)) << done << "/" << total;
}

} // namespace
} // namespace orvella
