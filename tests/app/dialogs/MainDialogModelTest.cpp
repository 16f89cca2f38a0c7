#include "app/MainDialogModel.h"
#include "FakeMainDialogView.h"
#include "TestFolder.h"
#include "app/MainDialogControls.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;

// The machine's files, with every folder listed in the order the test gives.
class ScriptedListing final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        return base_.open(path, mode);
    }
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !failCopy && base_.copyFile(from, to, overwrite);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return base_.replaceFile(from, to);
    }
    bool deleteFile(const std::string& path) override { return !failDelete && base_.deleteFile(path); }
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        return base_.createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string&, std::vector<FolderEntry>& entries) override {
        entries = listing;
        return true;
    }

    std::vector<FolderEntry> listing;
    bool failCopy = false;
    bool failDelete = false;

private:
    FileSystem& base_ = nativeFileSystem();
};

class MainDialogModelTest : public ::testing::Test {
protected:
    MainDialogModelTest() {
        installation.installPath = folder.path();
        installation.hasMorrowindMaster = true;
        installation.hasMorrowindPlugin = true;
        installation.hasTribunalMaster = true;
        installation.hasBloodmoonMaster = true;
        installation.hasBloodmoonPlugin = true;
    }

    void writeSave(const std::string& name, const std::vector<std::string>& masters,
                   FileKind kind = FileKind::Save) {
        FileHeader header;
        header.kind = kind;
        header.playerName = "PG " + name;
        for (const std::string& master : masters)
            header.masters.emplace_back(master, 1);
        ASSERT_TRUE(GameFileBuilder(header).writeTo(folder.save(name)));
        files.listing.push_back({name, false});
    }

    // An English save using Tribunal, an Italian save using both expansions' masters but only Bloodmoon's
    // plugin, and a save of the beta plugin, among entries that are no saves.
    void writeThreeSaves() {
        writeSave("english.ess", {"Morrowind.esm", "Tribunal.esm"});
        ASSERT_TRUE(build::writeBytes(folder.save("notes.txt"), "x"));
        files.listing.push_back({"notes.txt", false});
        writeSave("italian.ess",
                  {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm", "Morrowind LRK - Versione Finale.esp",
                   "Bloodmoon LRK - Versione Finale.esp"});
        folder.makeFolder("Saves/folder.ess");
        files.listing.push_back({"folder.ess", true});
        writeSave("beta.ess", {"Morrowind.esm", "Morrowind LRK - open beta.esp"});
        writeSave("capital.ESS", {"Morrowind.esm"});
        writeSave("master.ess", {"Morrowind.esm"}, FileKind::Master);
    }

    std::size_t rowOf(const std::string& fileName) const {
        for (std::size_t row = 0; row < model.rows().size(); ++row)
            if (model.rows()[row].fileName == fileName)
                return row;
        ADD_FAILURE() << fileName << " not listed";
        return 0;
    }

    void select(const std::string& fileName) {
        view.mark = rowOf(fileName);
        model.onRowSelected(*view.mark);
    }

    GameFolder folder;
    GameInstallation installation;
    ScriptedListing files;
    std::vector<std::string> events;
    FakeMainDialogView view{events};
    ScriptedMessageBoxes messages{events};
    MainDialogModel model{view, {files, messages, installation}};
};

TEST_F(MainDialogModelTest, InitialisationShowsVersionAndFoundFiles) {
    installation.gameVersion = {1, 6, 1, 820};
    installation.hasTribunalPlugin = true;
    installation.tribunalPluginName = "Tribunal LRK - Versione Finale.esp";
    installation.hasBloodmoonMaster = false;
    installation.hasMorrowindPlugin = false;
    model.initialise();

    EXPECT_EQ(view.texts[GameVersionLabel], "1.6.1820");
    EXPECT_EQ(view.texts[MorrowindMasterBox], "Morrowind.esm");
    EXPECT_EQ(view.texts[TribunalMasterBox], "Tribunal.esm");
    EXPECT_EQ(view.texts[BloodmoonMasterBox], "<Master File non trovato>");
    EXPECT_EQ(view.texts[MorrowindPluginBox], "<Plugin non trovato>");
    EXPECT_EQ(view.texts[TribunalPluginBox], "Tribunal LRK - Versione Finale.esp");
    EXPECT_EQ(view.texts[BloodmoonPluginBox], "Bloodmoon LRK - Versione Finale.esp");
    EXPECT_EQ(view.texts[PatchButton], "PATCH");
    EXPECT_FALSE(view.isEnabled(PatchButton));
    EXPECT_FALSE(view.isEnabled(RestoreButton));
}

TEST_F(MainDialogModelTest, RowsComeInReverseListingOrderWithTheirMarks) {
    writeThreeSaves();
    model.initialise();

    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[0].fileName, "beta.ess");
    EXPECT_EQ(view.rows[1].fileName, "italian.ess");
    EXPECT_EQ(view.rows[2].fileName, "english.ess");
    EXPECT_EQ(view.rows[0].saveInfo.direction, BetaUnsupported);
    EXPECT_EQ(view.rows[1].saveInfo.direction, ItalianToEnglish);
    EXPECT_EQ(view.rows[2].saveInfo.direction, EnglishToItalian);
    // Italian saves are marked by the plugins they use, the others by the masters.
    EXPECT_FALSE(view.rows[1].tribunalMark);
    EXPECT_TRUE(view.rows[1].bloodmoonMark);
    EXPECT_TRUE(view.rows[2].tribunalMark);
    EXPECT_FALSE(view.rows[2].bloodmoonMark);
}

TEST_F(MainDialogModelTest, SelectionLabelsPatchAndShowsTheSummary) {
    writeThreeSaves();
    ASSERT_TRUE(build::writeBytes(folder.backup("italian.ess.bak"), "old"));
    model.initialise();

    select("english.ess");
    EXPECT_EQ(view.texts[PatchButton], "Inglese -> Italiano");
    EXPECT_TRUE(view.isEnabled(PatchButton));
    EXPECT_FALSE(view.isEnabled(RestoreButton));
    EXPECT_EQ(view.summary.substr(0, 22), "NomePG: PG english.ess");
    EXPECT_EQ(model.rows()[rowOf("english.ess")].saveInfo.playerName, "PG english.ess");

    select("italian.ess");
    EXPECT_EQ(view.texts[PatchButton], "Italiano -> Inglese");
    EXPECT_TRUE(view.isEnabled(PatchButton));
    EXPECT_TRUE(view.isEnabled(RestoreButton));

    select("beta.ess");
    EXPECT_EQ(view.texts[PatchButton], "Versione BETA non supportata");
    EXPECT_FALSE(view.isEnabled(PatchButton));
    EXPECT_FALSE(view.isEnabled(RestoreButton));

    // A rebuild resets the buttons and leaves the last summary in place.
    model.onActivated();
    EXPECT_EQ(view.texts[PatchButton], "PATCH");
    EXPECT_FALSE(view.isEnabled(PatchButton));
    EXPECT_EQ(view.summary.substr(0, 19), "NomePG: PG beta.ess");
}

TEST_F(MainDialogModelTest, PatchChecksThenRunsTheProgressDialogThenRebuilds) {
    writeThreeSaves();
    installation.hasTribunalPlugin = false;
    model.initialise();
    select("english.ess");
    events.clear();

    EXPECT_EQ(model.onCommand(PatchButton), std::nullopt);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].substr(0, 56), "message Per questa conversione sarebbe necessario il plu");
    EXPECT_EQ(events[1], "progress english.ess");
    EXPECT_EQ(events[2], "clear rows");
    EXPECT_EQ(events[3], "rows 3");
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0].saveInfo.direction, EnglishToItalian);
    EXPECT_TRUE(view.requests[0].saveInfo.usesTribunalMaster);
    EXPECT_EQ(messages.shown[0].owner, view.window());
}

TEST_F(MainDialogModelTest, FailedChecksStopThePatch) {
    writeThreeSaves();
    installation.hasMorrowindPlugin = false;
    model.initialise();
    select("english.ess");
    events.clear();

    model.onCommand(PatchButton);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].substr(0, 40), "message Impossibile effettuare una conve");
    EXPECT_TRUE(view.requests.empty());
}

TEST_F(MainDialogModelTest, PatchNeedsASelectedConvertibleSave) {
    writeThreeSaves();
    model.initialise();
    model.onCommand(PatchButton);
    select("beta.ess");
    model.onCommand(PatchButton);
    EXPECT_TRUE(view.requests.empty());
    EXPECT_TRUE(messages.shown.empty());
}

// The warning's box re-activates the dialog when it closes, and that rebuild replaces every row: the
// conversion still gets the save that was selected when "PATCH" was pressed.
TEST_F(MainDialogModelTest, PatchKeepsItsRequestAcrossARebuildDuringTheWarning) {
    writeThreeSaves();
    installation.hasTribunalPlugin = false;
    model.initialise();
    select("english.ess");
    files.listing = {{"italian.ess", false}};
    messages.onClose = [&] { model.onActivated(); };

    model.onCommand(PatchButton);
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0].saveFileName, "english.ess");
    EXPECT_EQ(view.requests[0].saveInfo.direction, EnglishToItalian);
    EXPECT_EQ(view.rows.size(), 1u);
}

class RestoreTest : public MainDialogModelTest {
protected:
    // english.ess is an English save; its backup is the Italian save it was before a conversion.
    void SetUp() override {
        writeThreeSaves();
        FileHeader italian;
        italian.kind = FileKind::Save;
        italian.masters = {{"Morrowind.esm", 1}, {"Morrowind LRK - Versione Finale.esp", 1}};
        ASSERT_TRUE(GameFileBuilder(italian).writeTo(folder.backup("english.ess.bak")));
        backupBytes = build::readBytes(folder.backup("english.ess.bak"));
        saveBytes = build::readBytes(folder.save("english.ess"));
        model.initialise();
        select("english.ess");
        ASSERT_TRUE(view.isEnabled(RestoreButton));
        events.clear();
    }

    void restore(MessageAnswer answer) {
        messages.answer = answer;
        EXPECT_EQ(model.onCommand(RestoreButton), std::nullopt);
        ASSERT_FALSE(messages.shown.empty());
        const Message& question = messages.shown[0];
        EXPECT_EQ(question.text, "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\n"
                                 "dal file di backup generato durante la patch");
        EXPECT_EQ(question.caption, "ATTENZIONE!");
        EXPECT_EQ(question.buttons, MessageButtons::YesNo);
        EXPECT_EQ(question.owner, view.window());
        // Whatever happened, the list is rebuilt afterwards and the buttons wait for a selection.
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events[events.size() - 2], "clear rows");
        EXPECT_FALSE(view.isEnabled(RestoreButton));
    }

    std::string saveBytes;
    std::string backupBytes;
};

TEST_F(RestoreTest, YesPutsTheBackupBackOnce) {
    restore(MessageAnswer::Yes);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), backupBytes);
    EXPECT_FALSE(folder.exists("LRK Saves Backup/english.ess.bak"));
    EXPECT_EQ(model.rows()[rowOf("english.ess")].saveInfo.direction, ItalianToEnglish);
    select("english.ess");
    EXPECT_FALSE(view.isEnabled(RestoreButton));
}

TEST_F(RestoreTest, NoChangesNothing) {
    restore(MessageAnswer::No);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), saveBytes);
    EXPECT_TRUE(folder.exists("LRK Saves Backup/english.ess.bak"));
}

TEST_F(RestoreTest, FailedCopyKeepsSaveAndBackup) {
    files.failCopy = true;
    restore(MessageAnswer::Yes);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Impossibile sostituire il salvataggio con quello di backup.");
    EXPECT_EQ(messages.shown[1].caption, "Errore");
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), saveBytes);
    EXPECT_TRUE(folder.exists("LRK Saves Backup/english.ess.bak"));
}

TEST_F(RestoreTest, FailedDeleteRestoresAndKeepsTheBackup) {
    files.failDelete = true;
    restore(MessageAnswer::Yes);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Impossibile cancellare il salvataggio di backup.");
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), backupBytes);
    EXPECT_TRUE(folder.exists("LRK Saves Backup/english.ess.bak"));
}

TEST_F(RestoreTest, RebuildDuringTheQuestionStillRestoresTheSelectedSave) {
    files.listing = {{"italian.ess", false}};
    messages.onClose = [&] { model.onActivated(); };
    restore(MessageAnswer::Yes);
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), backupBytes);
}

TEST_F(MainDialogModelTest, OkAndCancelCloseWithTheirIds) {
    EXPECT_EQ(model.onCommand(MainOk), 1);
    EXPECT_EQ(model.onCommand(MainCancel), 2);
    EXPECT_EQ(model.onCommand(1234), std::nullopt);
    EXPECT_TRUE(MainDialogModel::handlesCommand(RestoreButton));
    EXPECT_FALSE(MainDialogModel::handlesCommand(SaveListView));
}

// Reading the folder fails after some entries: its message is shown once, the re-activation when the
// message closes starts no rebuild inside the running one, and an entry given again is listed once.
TEST_F(MainDialogModelTest, FailedFolderReadWarnsOnceWithoutNestedRebuild) {
    int listings = 0;
    auto row = [](const std::string& name) { return SaveListRow{name, SaveInfo{}}; };
    MainDialogModel failing{view, {files, messages, installation, [&](FileSystem&, const GameInstallation&) {
                                       ++listings;
                                       return SaveListing{{row("b.ess"), row("a.ess"), row("b.ess")}, true};
                                   }}};
    messages.onClose = [&] { failing.onActivated(); };

    failing.refreshSaveList();
    EXPECT_EQ(listings, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Impossibile caricare dalla directory dei salvataggi");
    EXPECT_EQ(messages.shown[0].caption, "Errore");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[0].owner, nullptr);
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.rows[0].fileName, "a.ess");
    EXPECT_EQ(view.rows[1].fileName, "b.ess");

    // Once the rebuild is over, the next activation rebuilds again.
    messages.onClose = nullptr;
    failing.onActivated();
    EXPECT_EQ(listings, 2);
}

} // namespace
} // namespace orvella::test
