#include "app/MainDialogModel.h"
#include "FakeMainDialogView.h"
#include "FaultInjectingFileSystem.h"
#include "TestFolder.h"
#include "app/resource.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;

// Listed in this order: an English save using Tribunal, an Italian save using both expansions' masters but
// only Bloodmoon's plugin, and a save of the beta plugin, among entries that are no saves.
class MainDialogModelTest : public ::testing::Test {
protected:
    MainDialogModelTest() {
        files.listing.emplace();
        writeSave("english.ess", {"Morrowind.esm", "Tribunal.esm"});
        writeSave("notes.txt", {"Morrowind.esm"});
        writeSave("italian.ess",
                  {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm", "Morrowind LRK - Versione Finale.esp",
                   "Bloodmoon LRK - Versione Finale.esp"});
        writeSave("listed as folder.ess", {"Morrowind.esm"}, FileKind::Save, true);
        writeSave("beta.ess", {"Morrowind.esm", "Morrowind LRK - open beta.esp"});
        writeSave("capital.ESS", {"Morrowind.esm"});
        writeSave("master.ess", {"Morrowind.esm"}, FileKind::Master);
        files.listing->push_back({"gone.ess", false});
    }

    // Writes a file of this kind with these masters and lists it, as a folder when asked.
    void writeSave(const std::string& name, const std::vector<std::string>& masters,
                   FileKind kind = FileKind::Save, bool listedAsFolder = false) {
        FileHeader header{.kind = kind, .playerName = "PG " + name};
        for (const std::string& master : masters)
            header.masters.emplace_back(master, 1);
        ASSERT_TRUE(GameFileBuilder(header).writeTo(folder.save(name)));
        files.listing->push_back({name, listedAsFolder});
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
    // The PATCH button's label, then "+" or "-" for PATCH and for restore enabled.
    std::string buttons() {
        return view.texts[IDC_PATCH] + (view.isEnabled(IDC_PATCH) ? " +" : " -") +
               (view.isEnabled(IDC_RESTORE) ? "+" : "-");
    }

    GameFolder folder;
    GameInstallation installation{folder.path(), true, true, true, false, true, true}; // no Tribunal plugin
    FaultInjectingFileSystem files{nativeFileSystem()};
    std::vector<std::string> events;
    FakeMainDialogView view{events};
    ScriptedMessageBoxes messages{events};
    MainDialogModel model{view, {files, messages, installation}};
};

TEST_F(MainDialogModelTest, InitialisationShowsVersionAndFoundFiles) {
    installation.gameVersion = {1, 6, 1, 820};
    installation.hasTribunalPlugin = true;
    installation.tribunalPluginName = "Tribunal LRK - Versione Finale.esp";
    installation.hasBloodmoonMaster = installation.hasMorrowindPlugin = false;
    model.initialise();
    EXPECT_EQ(view.texts,
              (std::map<int, std::string>{{IDC_GAME_VERSION, "1.6.1820"},
                                          {IDC_MORROWIND_MASTER, "Morrowind.esm"},
                                          {IDC_TRIBUNAL_MASTER, "Tribunal.esm"},
                                          {IDC_BLOODMOON_MASTER, "<Master File non trovato>"},
                                          {IDC_MORROWIND_PLUGIN, "<Plugin non trovato>"},
                                          {IDC_TRIBUNAL_PLUGIN, "Tribunal LRK - Versione Finale.esp"},
                                          {IDC_BLOODMOON_PLUGIN, "Bloodmoon LRK - Versione Finale.esp"},
                                          {IDC_PATCH, "PATCH"}}));
    EXPECT_EQ(buttons(), "PATCH --");
}

TEST_F(MainDialogModelTest, RowsAreTheSavesInReverseListingOrderWithTheirMarks) {
    model.initialise();
    EXPECT_EQ(files.listedPath, folder.path() + "\\Saves\\");
    std::string rows;
    // Italian saves are marked by the plugins they use, the others by the masters.
    for (const SaveListRow& row : view.rows)
        rows += row.fileName + " " + std::to_string(row.saveInfo.direction) + (row.tribunalMark ? "T" : "-") +
                (row.bloodmoonMark ? "B" : "-") + " ";
    EXPECT_EQ(rows, "beta.ess 2-- italian.ess 1-B english.ess 0T- ");

    files.failEvery(FileCall::List);
    model.onActivated();
    EXPECT_TRUE(view.rows.empty() && model.rows().empty());
}

TEST_F(MainDialogModelTest, SelectionLabelsPatchAndShowsTheSummary) {
    ASSERT_TRUE(build::writeBytes(folder.backup("italian.ess.bak"), "old"));
    model.initialise();
    const std::pair<const char*, const char*> selections[] = {
        {"english.ess", "Inglese -> Italiano +-"},
        {"italian.ess", "Italiano -> Inglese ++"},
        {"beta.ess", "Versione BETA non supportata --"}};
    for (const auto& [name, shown] : selections) {
        select(name);
        EXPECT_EQ(buttons(), shown);
        EXPECT_EQ(view.summary.substr(0, view.summary.find('\r')), "NomePG: PG " + std::string(name));
        EXPECT_EQ(model.rows()[rowOf(name)].saveInfo.playerName, "PG " + std::string(name));
    }
    // A rebuild resets the buttons and leaves the last summary in place.
    model.onActivated();
    EXPECT_EQ(buttons(), "PATCH --");
    EXPECT_EQ(view.summary.substr(0, 19), "NomePG: PG beta.ess");
}

TEST_F(MainDialogModelTest, PatchChecksThenRunsTheProgressDialogThenRebuildsOnlyForASelectedConvertibleSave) {
    installation.hasTribunalPlugin = false;
    model.initialise();
    model.onCommand(IDC_PATCH);
    view.mark = 99; // a mark left past the rows
    model.onCommand(IDC_PATCH);
    select("beta.ess");
    model.onCommand(IDC_PATCH);
    EXPECT_TRUE(view.requests.empty() && messages.shown.empty());

    select("english.ess");
    events.clear();
    EXPECT_EQ(model.onCommand(IDC_PATCH), std::nullopt);
    EXPECT_EQ(events, (std::vector<std::string>{"message", "progress english.ess", "clear rows", "rows 3"}));
    EXPECT_NE(messages.shown.at(0).text.find("Tribunal"), std::string::npos); // a warning: the patch goes on
    EXPECT_EQ(messages.shown[0].owner, view.window());
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0].saveInfo.direction, EnglishToItalian);
    EXPECT_TRUE(view.requests[0].saveInfo.usesTribunalMaster);

    // Failed checks stop the patch.
    installation.hasMorrowindPlugin = false;
    select("english.ess");
    events.clear();
    model.onCommand(IDC_PATCH);
    EXPECT_EQ(events, std::vector<std::string>{"message"});
    EXPECT_EQ(view.requests.size(), 1u);
}

// A message box re-activates the dialog when it closes, and that rebuild replaces every row: the conversion
// and the restore still work on the save that was selected when their button was pressed.
TEST_F(MainDialogModelTest, PatchAndRestoreKeepTheSelectedSaveAcrossARebuildDuringTheirMessage) {
    installation.hasTribunalPlugin = false;
    ASSERT_TRUE(GameFileBuilder({.kind = FileKind::Save, .masters = {{"Morrowind.esm", 1}}})
                    .writeTo(folder.backup("english.ess.bak")));
    const std::string backup = build::readBytes(folder.backup("english.ess.bak"));
    model.initialise();
    messages.onClose = [&] { model.onActivated(); };
    for (int command : {IDC_PATCH, IDC_RESTORE}) {
        files.listing = {{"english.ess", false}, {"italian.ess", false}};
        model.onActivated();
        select("english.ess");
        files.listing = {{"italian.ess", false}};
        model.onCommand(command);
        EXPECT_EQ(view.rows.size(), 1u);
    }
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0].saveFileName, "english.ess");
    EXPECT_EQ(view.requests[0].saveInfo.direction, EnglishToItalian);
    EXPECT_EQ(build::readBytes(folder.save("english.ess")), backup);
}

// Declined, failed or done, a restore ends with the list rebuilt and the buttons waiting for a selection.
TEST_F(MainDialogModelTest, RestoreAsksThenRebuildsTheListWhateverHappens) {
    ASSERT_TRUE(
        GameFileBuilder({.kind = FileKind::Save,
                         .masters = {{"Morrowind.esm", 1}, {"Morrowind LRK - Versione Finale.esp", 1}}})
            .writeTo(folder.backup("english.ess.bak")));
    model.initialise();
    const struct {
        MessageAnswer answer;
        std::optional<FileCall> failing;
        ConversionDirection after;
        bool backupKept;
    } steps[] = {{MessageAnswer::No, {}, EnglishToItalian, true},
                 {MessageAnswer::Yes, FileCall::Replace, EnglishToItalian, true},
                 {MessageAnswer::Yes, FileCall::Delete, ItalianToEnglish, true},
                 {MessageAnswer::Yes, {}, ItalianToEnglish, false}};
    for (const auto& step : steps) {
        messages.answer = step.answer;
        files.countOnly();
        if (step.failing)
            files.failEvery(*step.failing);
        select("english.ess");
        ASSERT_TRUE(view.isEnabled(IDC_RESTORE));
        messages.shown.clear();
        events.clear();
        EXPECT_EQ(model.onCommand(IDC_RESTORE), std::nullopt);
        ASSERT_EQ(messages.shown.size(), step.failing ? 2u : 1u);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(messages.shown[0].owner, view.window());
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.end()[-2], "clear rows");
        EXPECT_EQ(buttons(), "PATCH --");
        EXPECT_EQ(model.rows()[rowOf("english.ess")].saveInfo.direction, step.after);
        EXPECT_EQ(folder.exists("LRK Saves Backup/english.ess.bak"), step.backupKept);
    }
    select("english.ess");
    EXPECT_FALSE(view.isEnabled(IDC_RESTORE));
}

TEST_F(MainDialogModelTest, OkAndCancelCloseWithTheirIds) {
    EXPECT_EQ(model.onCommand(IDOK), IDOK);
    EXPECT_EQ(model.onCommand(IDCANCEL), IDCANCEL);
    EXPECT_EQ(model.onCommand(IDC_SAVE_LIST), std::nullopt);
    EXPECT_TRUE(MainDialogModel::handlesCommand(IDC_RESTORE));
    EXPECT_FALSE(MainDialogModel::handlesCommand(IDC_SAVE_LIST));
}

// Reading the folder fails after some entries: what was listed is kept, its message is shown once, the
// re-activation when the message closes starts no rebuild inside the running one, and an entry given again
// is listed once.
TEST_F(MainDialogModelTest, FailedFolderReadWarnsOnceWithoutNestedRebuild) {
    files.listing = {{"english.ess", false}, {"italian.ess", false}, {"english.ess", false}};
    files.listingBreaksOff = true;
    messages.onClose = [&] { model.onActivated(); };

    model.initialise();
    EXPECT_EQ(files.calls(FileCall::List), 1u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Impossibile caricare dalla directory dei salvataggi");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[0].owner, nullptr);
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.rows[0].fileName + view.rows[1].fileName, "italian.essenglish.ess");

    // Once the rebuild is over, the next activation rebuilds again, and a whole listing shows no message.
    messages.onClose = nullptr;
    files.listingBreaksOff = false;
    model.onActivated();
    EXPECT_EQ(files.calls(FileCall::List), 2u);
    EXPECT_EQ(messages.shown.size(), 1u);
}

} // namespace
} // namespace orvella::test
