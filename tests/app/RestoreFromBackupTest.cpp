#include "app/RestoreFromBackup.h"
#include "FailingFileSystem.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::readBytes;
using build::writeBytes;
using test::FailingFileSystem;

struct RestoreFromBackup : testing::Test {
    test::GameFolder game;
    GameInstallation installation;
    test::RecordingMessageBoxes messages;
    FailingFileSystem files;
    int owner = 0;

    void SetUp() override {
        installation.installPath = game.path();
        writeBytes(game.save("a.ess"), "converted");
        writeBytes(game.backup("a.ess.bak"), "original");
    }
    RestoreOutcome restore() { return restoreFromBackup(installation, "a.ess", files, messages, &owner); }

    void expectMessage(std::size_t index, const std::string& text, const std::string& caption,
                       MessageButtons buttons) {
        ASSERT_LT(index, messages.shown.size());
        const Message& message = messages.shown[index];
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.caption, caption);
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.buttons, buttons);
        EXPECT_EQ(message.owner, &owner);
    }
    void expectQuestion() {
        expectMessage(
            0,
            "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante "
            "la patch",
            "ATTENZIONE!", MessageButtons::YesNo);
    }
};

TEST_F(RestoreFromBackup, AfterYesTheBackupReplacesTheSaveAndIsDeleted) {
    EXPECT_EQ(restore(), RestoreOutcome::Restored);
    expectQuestion();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(readBytes(game.save("a.ess")), "original");
    EXPECT_FALSE(game.exists("LRK Saves Backup/a.ess.bak"));
    // A backup is restored once.
    EXPECT_EQ(restore(), RestoreOutcome::CopyFailed);
    EXPECT_EQ(readBytes(game.save("a.ess")), "original");
}

TEST_F(RestoreFromBackup, AnyOtherAnswerChangesNothing) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Ok}) {
        messages.answer = answer;
        EXPECT_EQ(restore(), RestoreOutcome::Declined);
    }
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(readBytes(game.save("a.ess")), "converted");
    EXPECT_EQ(readBytes(game.backup("a.ess.bak")), "original");
}

TEST_F(RestoreFromBackup, AFailedCopyKeepsBothFiles) {
    files.failOn(FailingFileSystem::Fault::Copy);
    EXPECT_EQ(restore(), RestoreOutcome::CopyFailed);
    expectQuestion();
    expectMessage(1, "Impossibile sostituire il salvataggio con quello di backup.", "Errore",
                  MessageButtons::Ok);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(readBytes(game.save("a.ess")), "converted");
    EXPECT_EQ(readBytes(game.backup("a.ess.bak")), "original");
}

TEST_F(RestoreFromBackup, ABackupThatCannotBeDeletedStaysBesideTheRestoredSave) {
    files.failOn(FailingFileSystem::Fault::Delete);
    EXPECT_EQ(restore(), RestoreOutcome::BackupKept);
    expectMessage(1, "Impossibile cancellare il salvataggio di backup.", "Errore", MessageButtons::Ok);
    EXPECT_EQ(readBytes(game.save("a.ess")), "original");
    EXPECT_EQ(readBytes(game.backup("a.ess.bak")), "original");
}

} // namespace
} // namespace orvella
