#include "app/SaveListing.h"
#include "FakeMainDialogView.h"
#include "FaultInjectingFileSystem.h"
#include "TestFolder.h"
#include "app/MainDialogModel.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

class SaveListingTest : public ::testing::Test {
protected:
    // Listing "Saves" gives the first entries and then breaks off, as a platform listing does when reading
    // the next entry fails.
    SaveListingTest() {
        files.listing.emplace();
        files.listingBreaksOff = true;
        installation.installPath = folder.path();
        installation.hasMorrowindMaster = true;
        installation.hasMorrowindPlugin = true;
        for (const char* name : {"first.ess", "second.ess"}) {
            build::FileHeader header;
            header.kind = build::FileKind::Save;
            header.masters = {{"Morrowind.esm", 1}};
            EXPECT_TRUE(build::GameFileBuilder(header).writeTo(folder.save(name)));
            files.listing->push_back({name, false});
        }
    }

    GameFolder folder;
    GameInstallation installation;
    FaultInjectingFileSystem files{nativeFileSystem()};
};

TEST_F(SaveListingTest, ABrokenOffListingKeepsWhatWasListedAndSaysSo) {
    SaveListing listing = readSaveListing(files, installation);
    EXPECT_TRUE(listing.readFailed);
    ASSERT_EQ(listing.rows.size(), 2u);
    EXPECT_EQ(listing.rows[0].fileName, "second.ess");
    EXPECT_EQ(listing.rows[1].fileName, "first.ess");

    files.listingBreaksOff = false;
    EXPECT_FALSE(readSaveListing(files, installation).readFailed);
}

// The message's box re-activates the dialog when it closes; that must not rebuild the list again, or a
// folder that keeps failing would show the message without end.
TEST_F(SaveListingTest, TheDialogTellsABrokenOffListingOncePerRebuild) {
    std::vector<std::string> events;
    FakeMainDialogView view{events};
    ScriptedMessageBoxes messages{events};
    MainDialogModel model{view, {files, messages, installation}};
    messages.onClose = [&] { model.onActivated(); };

    model.initialise();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Impossibile caricare dalla directory dei salvataggi");
    EXPECT_EQ(messages.shown[0].caption, "Errore");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(view.rows.size(), 2u);
}

} // namespace
} // namespace orvella::test
