#include "FaultInjectingFileSystem.h"
#include "JobHarness.h"
#include "app/SaveClassification.h"
#include "gamebuilder/GameBuilder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace orvella {
namespace {

using build::GameFileBuilder;
using build::readBytes;
using build::RecordBuilder;
using test::FaultInjectingFileSystem;
using test::FileCall;
using test::GameFolder;
using test::JobHarness;

constexpr const char* Failed = "Patch non effettuata con successo";

GameFileBuilder plainSave() {
    GameFileBuilder file(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("INFO").text("INAM", "123").text("NAME", "Hello"));
    return file;
}

GameFileBuilder saveWithDeletedTopic() {
    GameFileBuilder file = plainSave();
    file.add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("DIAL")
                 .text("NAME", "old rumour")
                 .sub("DATA", std::string(1, '\0'))
                 .sub("DELE", build::u32(0)));
    file.add(RecordBuilder("QUES").text("NAME", "A quest"));
    return file;
}

struct PatchJobTest : testing::Test {
    GameFolder game;
    JobHarness harness{game};
    const std::string name = "Save1.ess";

    // Converting to English a save that lists no translation plugin changes none of these records.
    void SetUp() override { harness.writeDemoGame(game); }

    std::string writeSave(const GameFileBuilder& file) {
        std::string bytes = file.bytes();
        build::writeBytes(game.save(name), bytes);
        return bytes;
    }
    void expectFinalisationRan() {
        EXPECT_EQ(harness.progress.bar(JobStage::Finalising), 100);
        EXPECT_EQ(harness.progress.image(JobStage::Finalising), StatusImage::Success);
        EXPECT_TRUE(harness.progress.result);
        EXPECT_EQ(harness.progress.calls.back(), "finished");
    }
    void expectOneMessage(const std::string& text, MessageIcon icon) {
        ASSERT_EQ(harness.messages.shown.size(), 1u);
        EXPECT_EQ(harness.messages.shown[0].text, text);
        EXPECT_EQ(harness.messages.shown[0].caption, "Errore");
        EXPECT_EQ(harness.messages.shown[0].icon, icon);
        EXPECT_EQ(harness.messages.shown[0].owner, nullptr);
    }
};

TEST_F(PatchJobTest, ASavePassesThroughByteForByteWithItsBackup) {
    std::string original = writeSave(plainSave());
    PatchResult result = harness.run(name, ItalianToEnglish);

    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo");
    ASSERT_TRUE(harness.progress.result);
    EXPECT_EQ(harness.progress.result->outcomeText, "Patch effettuata con successo");
    EXPECT_EQ(readBytes(game.save(name)), original);
    EXPECT_EQ(readBytes(game.backup(name + ".bak")), original);
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
    EXPECT_FALSE(game.exists("Saves/" + name + ".log"));
    EXPECT_FALSE(result.logKept);
    EXPECT_EQ(result.logPath, game.path() + "\\Saves\\" + name + ".log");
    EXPECT_TRUE(harness.messages.shown.empty());
    for (JobStage stage : {JobStage::Reading, JobStage::Converting, JobStage::Finalising}) {
        EXPECT_EQ(harness.progress.bar(stage), 100) << test::stageName(stage);
        EXPECT_EQ(harness.progress.image(stage), StatusImage::Success) << test::stageName(stage);
    }
    EXPECT_FALSE(harness.progress.result->logOffered);
    expectFinalisationRan();
}

TEST_F(PatchJobTest, AnOlderBackupIsOverwritten) {
    std::string original = writeSave(plainSave());
    build::writeBytes(game.backup(name + ".bak"), "an older backup");
    EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, 0u);
    EXPECT_EQ(readBytes(game.backup(name + ".bak")), original);
}

TEST_F(PatchJobTest, ADroppedRecordLowersTheCountByOneAndNothingElseInTheHeader) {
    std::string original = writeSave(saveWithDeletedTopic());
    GameFileBuilder withoutDeleted = plainSave();
    withoutDeleted.add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')));
    withoutDeleted.add(RecordBuilder("QUES").text("NAME", "A quest"));
    // The count stays the one of the original file, lowered by one.
    std::string want = withoutDeleted.bytes();
    want.replace(320, 4, build::u32(5));

    EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, 0u);
    std::string converted = readBytes(game.save(name));
    EXPECT_EQ(converted, want);
    EXPECT_EQ(converted.substr(0, 320), original.substr(0, 320));
    EXPECT_EQ(original.substr(320, 4), build::u32(6));
}

TEST_F(PatchJobTest, AFailedJobKeepsItsLogWithTheFirstLineAndTheHandlersSections) {
    writeSave(saveWithDeletedTopic());
    FaultInjectingFileSystem files{nativeFileSystem()};
    files.failEvery(FileCall::Replace, name + ".tmp");
    harness.files = &files;
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(result.logKept);
    EXPECT_EQ(readBytes(game.save(name + ".log")),
              "File di Log per Save1.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nold rumour\r\n"
              "\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: A quest\r\n");
}

TEST_F(PatchJobTest, AMissingSaveShowsItsMessageCreatesNoLogAndStillFinalises) {
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.outcomeText, Failed);
    expectOneMessage("Impossibile aprire il salvataggio", MessageIcon::Error);
    EXPECT_FALSE(game.exists("Saves/" + name + ".log"));
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
    EXPECT_EQ(harness.progress.bar(JobStage::Reading), 0);
    EXPECT_EQ(harness.progress.bar(JobStage::Converting), 0);
    expectFinalisationRan();
}

TEST_F(PatchJobTest, ALogThatCannotBeCreatedStopsTheJob) {
    std::string original = writeSave(plainSave());
    game.makeFolder("Saves/" + name + ".log");
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    expectOneMessage("Impossibile aprire il file di log", MessageIcon::Error);
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
    EXPECT_EQ(readBytes(game.save(name)), original);
    expectFinalisationRan();
}

TEST_F(PatchJobTest, ATemporaryFileThatCannotBeCreatedLeavesTheLogWithItsFirstLine) {
    std::string original = writeSave(plainSave());
    game.makeFolder("Saves/" + name + ".tmp");
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    expectOneMessage("Impossibile scrivere i files temporanei", MessageIcon::Error);
    EXPECT_EQ(readBytes(game.save(name + ".log")), "File di Log per Save1.ess\r\n");
    EXPECT_EQ(readBytes(game.save(name)), original);
    EXPECT_FALSE(game.exists("LRK Saves Backup/" + name + ".bak"));
}

TEST_F(PatchJobTest, AShortOrUnflushedTemporaryFileStopsBeforeTheBackup) {
    for (FileCall fault : {FileCall::Write, FileCall::Close}) {
        std::string original = writeSave(plainSave());
        FaultInjectingFileSystem files{nativeFileSystem()};
        files.failEvery(fault, name + ".tmp");
        harness.files = &files;
        PatchResult result = harness.run(name, ItalianToEnglish);
        EXPECT_EQ(result.exitCode, 1u);
        expectOneMessage("Impossibile scrivere i files temporanei", MessageIcon::Error);
        EXPECT_EQ(readBytes(game.save(name)), original);
        EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
        EXPECT_FALSE(game.exists("LRK Saves Backup/" + name + ".bak"));
    }
}

TEST_F(PatchJobTest, AFailedBackupLeavesTheSaveAndDeletesTheTemporaryFile) {
    std::string original = writeSave(plainSave());
    std::filesystem::remove_all(game.file("LRK Saves Backup"));
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.outcomeText, Failed);
    expectOneMessage("Impossibile creare il file di backup. Cambiamenti non apportati.",
                     MessageIcon::Warning);
    EXPECT_EQ(readBytes(game.save(name)), original);
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
    EXPECT_TRUE(result.logKept);
    EXPECT_FALSE(result.logOffered);
}

TEST_F(PatchJobTest, AFailedReplacementKeepsTheBackupAndTheSave) {
    std::string original = writeSave(plainSave());
    FaultInjectingFileSystem files{nativeFileSystem()};
    files.failEvery(FileCall::Replace, name + ".tmp");
    harness.files = &files;
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    expectOneMessage("Impossibile sovrascrivere il file del salvataggio. Cambiamenti non apportati.",
                     MessageIcon::Warning);
    EXPECT_EQ(readBytes(game.save(name)), original);
    EXPECT_EQ(readBytes(game.backup(name + ".bak")), original);
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
}

TEST_F(PatchJobTest, AMalformedSaveNamesFileAndOffsetAndIsLeftAlone) {
    std::string bytes = plainSave().bytes();
    bytes.resize(bytes.size() - 3);
    build::writeBytes(game.save(name), bytes);
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    const Message& message = harness.messages.shown[0];
    EXPECT_EQ(message.caption, "Errore");
    EXPECT_NE(message.text.find(name), std::string::npos);
    EXPECT_NE(message.text.find("offset"), std::string::npos);
    EXPECT_EQ(readBytes(game.save(name)), bytes);
    EXPECT_FALSE(game.exists("Saves/" + name + ".tmp"));
    EXPECT_FALSE(game.exists("LRK Saves Backup/" + name + ".bak"));
    EXPECT_EQ(harness.progress.image(JobStage::Reading), std::nullopt);
    expectFinalisationRan();
}

TEST_F(PatchJobTest, AHeaderWithoutAFullHedrIsRefused) {
    GameFileBuilder file = plainSave();
    std::string bytes = file.bytes();
    // Rename HEDR: the count at offset 320 would no longer be the header's.
    bytes.replace(16, 4, "HEAD");
    build::writeBytes(game.save(name), bytes);
    EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, 1u);
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_NE(harness.messages.shown[0].text.find("HEDR"), std::string::npos);
    EXPECT_EQ(readBytes(game.save(name)), bytes);
}

TEST_F(PatchJobTest, JobsBackToBackEachWriteTheirOwnLogHeadings) {
    writeSave(saveWithDeletedTopic());
    std::filesystem::remove_all(game.file("LRK Saves Backup"));
    std::string expected =
        "File di Log per Save1.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nold rumour\r\n"
        "\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: A quest\r\n";
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(harness.run(name, ItalianToEnglish).exitCode, 1u);
        EXPECT_EQ(readBytes(game.save(name + ".log")), expected) << "run " << run;
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
    harness.installation.installPath = folder;
    PatchResult result = harness.run(name, ItalianToEnglish);
    EXPECT_EQ(result.exitCode, 1u);
    expectOneMessage("Il percorso \"" + folder + tail + "\" \xE8 troppo lungo (al massimo " +
                         std::to_string(PathLimit - 1) + " caratteri).",
                     MessageIcon::Warning);
    EXPECT_FALSE(result.logKept);
    for (const char* inner : {"/Saves", "/LRK Saves Backup"})
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder + inner), {}),
                  std::string(inner) == "/Saves" ? 1 : 0);
}

// A save chosen as English that another program converted before the job took it is not converted twice.
TEST_F(PatchJobTest, ASaveThatChangedAfterItWasChosenIsLeftAlone) {
    writeSave(plainSave());
    auto chosen = classifySave(nativeFileSystem(), harness.installation, name);
    ASSERT_TRUE(chosen);
    ASSERT_EQ(chosen->direction, EnglishToItalian);
    GameFileBuilder converted(build::FileHeader{.kind = build::FileKind::Save,
                                                .masters = {{"Morrowind.esm", 1}, {MorrowindPluginName, 1}}});
    const std::string italian = writeSave(converted);
    harness.saveInfo = *chosen;
    harness.classifyAgain = classifySave;
    EXPECT_EQ(harness.run(name, EnglishToItalian).exitCode, 1u);
    expectOneMessage("Il salvataggio \xE8 gi\xE0 in uso da un'altra conversione. Cambiamenti non apportati.",
                     MessageIcon::Warning);
    EXPECT_EQ(readBytes(game.save(name)), italian);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(game.file("Saves")), {}), 1);
    EXPECT_FALSE(game.exists("LRK Saves Backup/" + name + ".bak"));
}

// The progress dialog of a first job that starts a second job on the same save when the first moves one of
// its bars, holding the save.
class SecondJobAtBar final : public ProgressView {
public:
    SecondJobAtBar(JobStage bar, std::function<void()> secondJob)
        : bar_(bar), secondJob_(std::move(secondJob)) {}
    void setBarPosition(JobStage stage, int) override {
        if (stage == bar_ && secondJob_)
            std::exchange(secondJob_, nullptr)();
    }
    void setImage(JobStage, StatusImage) override {}
    void finished(const PatchResult&) override {}
    bool ran() const { return !secondJob_; }

private:
    JobStage bar_;
    std::function<void()> secondJob_;
};

// Every file of the game folder with its bytes.
std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = readBytes(entry.path().string());
    return files;
}

// The save is held from the first job's start to its end: while it is read, and still after the new save has
// taken its place, while the first job finishes.
TEST_F(PatchJobTest, ASecondJobOnTheSaveWhileTheFirstHoldsItFailsAtOnceWritingNothing) {
    for (JobStage bar : {JobStage::Reading, JobStage::Finalising}) {
        const std::string original = writeSave(saveWithDeletedTopic());
        build::writeBytes(game.backup(name + ".bak"), "an older backup");
        std::map<std::string, std::string> before, after;
        PatchResult second;
        SecondJobAtBar progress(bar, [&] {
            before = filesIn(game.path());
            second = harness.run(name, ItalianToEnglish);
            after = filesIn(game.path());
        });
        test::RecordingMessageBoxes firstMessages;
        PatchJob first;
        first.installation = &harness.installation;
        first.files = &nativeFileSystem();
        first.messages = &firstMessages;
        first.progressDialog = &progress;
        first.request.saveFileName = name;
        first.request.saveInfo.direction = ItalianToEnglish;
        first.saveInfo = first.request.saveInfo;
        PatchResult result = runPatchJob(first);

        ASSERT_TRUE(progress.ran()) << test::stageName(bar);
        EXPECT_EQ(second.exitCode, 1u) << test::stageName(bar);
        EXPECT_EQ(second.outcomeText, Failed) << test::stageName(bar);
        expectOneMessage(
            "Il salvataggio \xE8 gi\xE0 in uso da un'altra conversione. Cambiamenti non apportati.",
            MessageIcon::Warning);
        EXPECT_EQ(after, before) << test::stageName(bar)
                                 << ": the second job wrote while the first held the save";
        EXPECT_EQ(result.exitCode, 0u) << test::stageName(bar);
        EXPECT_TRUE(firstMessages.shown.empty()) << test::stageName(bar);
        EXPECT_NE(readBytes(game.save(name)), original) << test::stageName(bar);
        EXPECT_EQ(readBytes(game.backup(name + ".bak")), original) << test::stageName(bar);
    }
}

// A master that the scan refuses stops the job before the save is read.
TEST(ScanFailure, ATruncatedMasterStopsTheJobAndLeavesTheSaveUnchanged) {
    GameFolder game;
    test::JobHarness job(game);
    job.writeDemoGame(game);
    const std::string master = demo::demoMaster();
    build::writeBytes(game.data(MorrowindMasterName), master.substr(0, master.size() - 1));
    const std::string original = demo::demoEnglishSave();
    build::writeBytes(game.save("s.ess"), original);

    PatchResult result = job.run("s.ess");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.outcomeText, "Patch non effettuata con successo");
    EXPECT_EQ(build::readBytes(game.save("s.ess")), original);
    EXPECT_FALSE(game.exists("Saves/s.ess.tmp") || game.exists("LRK Saves Backup/s.ess.bak"));
    EXPECT_EQ(job.progress.image(JobStage::Masters), StatusImage::Failure);
    EXPECT_EQ(job.messages.shown.size(), 1u);
    EXPECT_EQ(job.progress.bar(JobStage::Reading) + job.progress.bar(JobStage::Converting), 0);
    EXPECT_EQ(job.progress.image(JobStage::Finalising), StatusImage::Success);
}

} // namespace
} // namespace orvella
