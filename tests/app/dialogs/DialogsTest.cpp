#include "FaultInjectingFileSystem.h"
#include "TestFolder.h"
#include "app/MainDialogModel.h"
#include "app/SummaryPicture.h"
#include "app/resource.h"
#include "gamebuilder/GameBuilder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <utility>

namespace orvella::test {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;

// The main dialog's controls as plain values, its list, progress dialog and message box calls logged in
// order; a message box runs what the platform runs when it closes (the owner's re-activation).
class FakeView final : public MainDialogView, public MessageBoxes {
public:
    WindowRef window() override { return this; }
    void setControlText(int controlId, const std::string& text) override { texts[controlId] = text; }
    void enableControl(int controlId, bool isEnabled) override { enabled[controlId] = isEnabled; }
    void clearSaveRows() override {
        rows.clear();
        mark.reset();
        events.push_back("clear rows");
    }
    void showSaveRows(const std::vector<SaveListRow>& shown) override {
        rows = shown;
        events.push_back("rows " + std::to_string(shown.size()));
    }
    std::optional<std::size_t> selectionMark() override { return mark; }
    int runProgressDialog(const PatchRequest& request) override {
        requests.push_back(request);
        events.push_back("progress " + request.saveFileName);
        return 0;
    }
    void setSummaryText(const std::string& text) override { summary = text; }
    void clearMasterList() override { masterLines.clear(); }
    void addMasterLine(const std::string& line) override { masterLines.push_back(line); }
    void setPicture(const SummaryPicture&) override { picture = true; }
    void clearPicture() override { picture = false; }
    MessageAnswer show(const Message& message) override {
        shown.push_back(message);
        events.push_back("message");
        if (onClose)
            onClose();
        return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::vector<SaveListRow> rows;
    std::optional<std::size_t> mark;
    std::vector<PatchRequest> requests;
    std::string summary;
    bool picture = false;
    std::vector<std::string> masterLines, events;
    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;
    std::function<void()> onClose;
};

const char* const Mw = "Morrowind LRK - Versione Finale.esp";

std::string saveBytes(const std::vector<std::string>& masters, FileKind kind = FileKind::Save,
                      const std::string& playerName = "") {
    FileHeader header{.kind = kind, .health = 57.4f, .hour = 21.5f, .daysPassed = 12};
    header.description = "Prima del tempio";
    header.playerName = playerName;
    for (const std::string& master : masters)
        header.masters.emplace_back(master, 1);
    return GameFileBuilder(header).bytes();
}

// Listed in this order: an English save using Tribunal, an Italian one without Tribunal's plugin, a beta one.
// Each message box re-activates the dialog as it closes, and that rebuild lists the saves in reverse, so a
// command that kept a row's index instead of its copy of the save would work on another save.
class MainDialogModelTest : public ::testing::Test {
protected:
    MainDialogModelTest() {
        for (Game game : AllGames) // every file but Tribunal's plugin
            installation.installed(game) = {true, game != Game::Tribunal, 0, pluginFileName(game)};
        view.onClose = [&] {
            std::reverse(files.listing->begin(), files.listing->end());
            model.onActivated();
        };
        files.listing.emplace();
        writeSave("english.ess", {"Morrowind.esm", "Tribunal.esm"});
        writeSave("italian.ess", {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm", MorrowindPluginName,
                                  BloodmoonPluginName});
        writeSave("listed as folder.ess", {"Morrowind.esm"}, FileKind::Save, true);
        writeSave("beta.ess", {"Morrowind.esm", "Morrowind LRK - open beta.esp"});
        writeSave("master.ess", {"Morrowind.esm"}, FileKind::Master);
        files.listing->push_back({"gone.ess", false});
    }

    void writeSave(const std::string& name, const std::vector<std::string>& masters,
                   FileKind kind = FileKind::Save, bool listedAsFolder = false) {
        ASSERT_TRUE(build::writeBytes(folder.save(name), saveBytes(masters, kind, "PG " + name)));
        files.listing->push_back({name, listedAsFolder});
    }

    std::size_t rowOf(const std::string& fileName) const {
        const std::vector<SaveListRow>& rows = model.rows();
        return std::find_if(rows.begin(), rows.end(), [&](auto& row) { return row.fileName == fileName; }) -
               rows.begin();
    }
    void select(const std::string& fileName) {
        view.mark = rowOf(fileName);
        model.onRowSelected(*view.mark);
    }
    // The PATCH button's label, then "+" or "-" for PATCH and for restore enabled.
    std::string buttons() {
        return view.texts[IDC_PATCH] + (view.enabled[IDC_PATCH] ? " +" : " -") +
               (view.enabled[IDC_RESTORE] ? "+" : "-");
    }

    GameFolder folder;
    GameInstallation installation{folder.path()};
    FaultInjectingFileSystem files{nativeFileSystem()};
    FakeView view;
    MainDialogModel model{view, {files, view, installation}};
};

// Italian saves are marked by the plugins they use, the others by the masters.
TEST_F(MainDialogModelTest, ShowsTheGameAndTheSavesInReverseListingOrderAndTheSelectedOnesSummary) {
    installation.gameVersion = {1, 6, 1, 820};
    installation.installed(Game::Tribunal).hasMaster = false;
    model.initialise();
    std::string shownFiles = view.texts[IDC_GAME_VERSION];
    for (int id : {IDC_MORROWIND_MASTER, IDC_TRIBUNAL_MASTER, IDC_BLOODMOON_MASTER, IDC_MORROWIND_PLUGIN,
                   IDC_TRIBUNAL_PLUGIN, IDC_BLOODMOON_PLUGIN})
        shownFiles += "|" + view.texts[id];
    EXPECT_EQ(shownFiles, "1.6.1820|Morrowind.esm|<Master File non trovato>|Bloodmoon.esm|" +
                              std::string(Mw) + "|<Plugin non trovato>|Bloodmoon LRK - Versione Finale.esp");
    EXPECT_EQ(buttons() + files.listedPath, "PATCH --" + folder.path() + "\\Saves\\");
    std::string rows;
    for (const SaveListRow& row : view.rows)
        rows += row.fileName + " " + std::to_string(static_cast<int>(row.saveInfo.direction)) +
                (row.marked(Game::Tribunal) ? "T" : "-") + (row.marked(Game::Bloodmoon) ? "B" : "-") + " ";
    EXPECT_EQ(rows, "beta.ess 2-- italian.ess 1-B english.ess 0T- ");

    // Selection labels PATCH and shows the summary: the day passed (not the hour before it), the health
    // rounded, the masters missing from "Data Files" marked; a rebuild resets the buttons and leaves the
    // summary.
    ASSERT_TRUE(build::writeBytes(folder.backup("italian.ess.bak"), "old") &&
                build::writeBytes(folder.data("Morrowind.esm"), "x"));
    const std::tuple<const char*, const char*, const char*> selections[] = {
        {"english.ess", "Inglese -> Italiano +-", "**Tribunal.esm"},
        {"italian.ess", "Italiano -> Inglese ++", "**Bloodmoon LRK - Versione Finale.esp"},
        {"beta.ess", "Versione BETA non supportata --", "**Morrowind LRK - open beta.esp"}};
    for (const auto& [name, shown, lastMaster] : selections) {
        select(name);
        EXPECT_EQ(buttons(), shown);
        EXPECT_EQ(view.summary, "NomePG: PG " + std::string(name) +
                                    "\r\nNome Salvataggio: Prima del tempio\r\n\r\nSalvato a: Seyda Neen\r\n"
                                    "Giorno: 12\r\nPunti Ferita: 57\\100");
        EXPECT_EQ(view.masterLines.front() + "|" + view.masterLines.back(),
                  "Morrowind.esm|" + std::string(lastMaster));
        EXPECT_TRUE(view.picture);
    }
    // A selection past the rows, or once the dialog is gone, shows nothing.
    model.onRowSelected(model.rows().size());
    model.onDestroyed();
    model.onRowSelected(rowOf("italian.ess"));
    EXPECT_EQ(view.summary.substr(0, 19), "NomePG: PG beta.ess");
    model.onActivated();
    EXPECT_EQ(buttons() + view.summary.substr(0, 19), "PATCH --NomePG: PG beta.ess");
    // A save that can no longer be read shows no summary, masters or picture, not even the last save's.
    files.failEvery(FileCall::Open, "beta.ess");
    select("beta.ess");
    EXPECT_TRUE(view.summary.empty() && view.masterLines.empty() && !view.picture);
    files.countOnly();
    // A listing that breaks off shows its rows and warns once, though the warning re-activates the dialog.
    files.listingBreaksOff = true;
    model.onActivated();
    EXPECT_TRUE(view.shown.size() == 1 && view.rows.size() == 3);
    files.failEvery(FileCall::List);
    model.onActivated();
    EXPECT_TRUE(view.rows.empty() && model.rows().empty());
}

TEST_F(MainDialogModelTest, PatchChecksThenRunsTheProgressDialogThenRebuildsOnlyForASelectedConvertibleSave) {
    for (int command : {IDOK, IDCANCEL, IDC_PATCH, IDC_RESTORE, IDC_SAVE_LIST})
        EXPECT_EQ(MainDialogModel::handlesCommand(command), command != IDC_SAVE_LIST) << command;
    model.initialise();
    model.onCommand(IDC_PATCH);
    view.mark = 99; // a mark left past the rows
    model.onCommand(IDC_PATCH);
    select("beta.ess");
    model.onCommand(IDC_PATCH);
    EXPECT_TRUE(view.requests.empty() && view.shown.empty());

    select("english.ess");
    view.events.clear();
    EXPECT_EQ(model.onCommand(IDC_PATCH), std::nullopt);
    EXPECT_EQ(view.events, (std::vector<std::string>{"message", "clear rows", "rows 3",
                                                     "progress english.ess", "clear rows", "rows 3"}));
    // A warning: the patch goes on.
    EXPECT_TRUE(view.shown.at(0).text.find("Tribunal") != std::string::npos &&
                view.shown[0].owner == view.window());
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0].saveInfo.direction, EnglishToItalian);
    EXPECT_TRUE(view.requests[0].saveInfo.used(Game::Tribunal).master);

    // Failed checks stop the patch.
    installation.installed(Game::Base).hasPlugin = false;
    select("english.ess");
    view.events.clear();
    model.onCommand(IDC_PATCH);
    EXPECT_EQ(view.events, (std::vector<std::string>{"message", "clear rows", "rows 3"}));
}

// The restore asks first, checks the backup, puts it back and deletes it, and tells each failure in a second
// message; declined, failed or done, it ends with the list rebuilt and the buttons waiting for a selection.
TEST_F(MainDialogModelTest, RestoreAsksChecksTheBackupThenPutsItBackAndDeletesItTellingEachFailure) {
    const std::string english = build::readBytes(folder.save("english.ess")), backup = saveBytes({Mw});
    enum Fault { None, Declined, FailedMove, FailedDelete, SaveHeld };
    const char* const Damaged = "LRK Saves Backup\\english.ess.bak\" \xE8 danneggiato";
    const std::tuple<std::string, Fault, const char*> cases[] = {
        {backup, Declined, ""},
        {backup, FailedMove, "Impossibile sostituire il salvataggio"},
        {backup, FailedDelete, "Impossibile cancellare"},
        {backup, SaveHeld, "in uso da un'altra conversione"},
        {backup.substr(0, backup.size() - 5), None, Damaged},
        {"", None, Damaged},
        {std::string(backup).replace(320, 4, build::u32(2)), None, Damaged},
        {backup, None, ""},
    };
    model.initialise();
    for (const auto& [bytes, fault, error] : cases) {
        SCOPED_TRACE(std::to_string(fault) + " " + error);
        ASSERT_TRUE(build::writeBytes(folder.save("english.ess"), english) &&
                    build::writeBytes(folder.backup("english.ess.bak"), bytes));
        view.answer = fault == Declined ? MessageAnswer::No : MessageAnswer::Yes;
        files.countOnly();
        if (fault == FailedMove || fault == FailedDelete)
            files.failEvery(fault == FailedMove ? FileCall::Replace : FileCall::Delete);
        bool busy = false;
        auto otherJob =
            fault == SaveHeld ? files.lockFile(folder.path() + "\\Saves\\english.ess", busy) : nullptr;
        select("english.ess");
        view.shown.clear();
        EXPECT_EQ(model.onCommand(IDC_RESTORE), std::nullopt);

        ASSERT_EQ(view.shown.size(), *error ? 2u : 1u);
        EXPECT_TRUE(view.shown[0].text.starts_with("Sei sicuro?") &&
                    view.shown[0].buttons == MessageButtons::YesNo);
        EXPECT_NE(view.shown.back().text.find(error), std::string::npos) << view.shown.back().text;
        for (const Message& message : view.shown)
            EXPECT_EQ(std::pair(message.icon, message.owner), std::pair(MessageIcon::Warning, view.window()));
        EXPECT_EQ(buttons(), "PATCH --");
        const bool restored = fault == FailedDelete || (fault == None && !*error);
        EXPECT_EQ(build::readBytes(folder.save("english.ess")), restored ? bytes : english);
        EXPECT_EQ(folder.exists("LRK Saves Backup/english.ess.bak"), !restored || fault == FailedDelete);
    }
}

// The picture repeats the screenshot's columns sideways, row for row, and leaves black what a short
// screenshot lacks, down to the bytes of its last pixel.
TEST(SummaryPicture, StretchesTheScreenshotSidewaysAndLeavesWhatItLacksBlack) {
    std::vector<std::uint8_t> scrs(ScreenshotBytes - 2);
    for (std::size_t i = 0; i < scrs.size(); ++i)
        scrs[i] = static_cast<std::uint8_t>(i % 4 == 0   ? i / 4 % ScreenshotSide
                                            : i % 4 == 1 ? i / (ScreenshotSide * 4)
                                                         : 0xF0 + i % 4);
    const SummaryPicture picture = pictureFromScreenshot(scrs);
    std::string shown;
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 5}, {2, 5}, {167, 5}, {166, 127}, {167, 127}})
        shown.append(reinterpret_cast<const char*>(picture.pixel(x, y)), SummaryPicture::BytesPerPixel);
    const std::string expected(
        "\0\0\xF2\xF3\0\5\xF2\xF3\1\5\xF2\xF3\x7F\5\xF2\xF3\x7E\x7F\xF2\xF3\x7F\x7F\0\0", 24);
    EXPECT_EQ(shown, expected);
}

} // namespace
} // namespace orvella::test
