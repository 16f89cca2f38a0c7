#include "app/RestoreFromBackup.h"
#include "RecordingUi.h"
#include "ScriptedFileSystem.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

const std::string Question =
    "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante la patch";

TEST(RestoreFromBackup, AsksThenPutsTheBackupBackAndDeletesItTellingEachFailure) {
    const struct {
        const char* name;
        MessageAnswer answer;
        bool failCopy, failDelete;
        RestoreOutcome outcome;
        std::string error; // the second message, after the question
        const char *save, *backup;
    } cases[] = {
        {"yes", MessageAnswer::Yes, false, false, RestoreOutcome::Restored, "", "original", ""},
        {"no", MessageAnswer::No, false, false, RestoreOutcome::Declined, "", "converted", "original"},
        {"ok", MessageAnswer::Ok, false, false, RestoreOutcome::Declined, "", "converted", "original"},
        {"failed copy", MessageAnswer::Yes, true, false, RestoreOutcome::CopyFailed,
         "Impossibile sostituire il salvataggio con quello di backup.", "converted", "original"},
        {"failed delete", MessageAnswer::Yes, false, true, RestoreOutcome::BackupKept,
         "Impossibile cancellare il salvataggio di backup.", "original", "original"},
    };
    for (const auto& c : cases) {
        test::GameFolder game;
        GameInstallation installation;
        installation.installPath = game.path();
        build::writeBytes(game.save("a.ess"), "converted");
        build::writeBytes(game.backup("a.ess.bak"), "original");
        test::RecordingMessageBoxes messages;
        messages.answer = c.answer;
        test::ScriptedFileSystem files;
        files.failCopy = c.failCopy;
        files.failDelete = c.failDelete;
        int owner = 0;

        EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner), c.outcome) << c.name;
        ASSERT_EQ(messages.shown.size(), c.error.empty() ? 1u : 2u) << c.name;
        for (const Message& message : messages.shown) {
            const bool question = &message == &messages.shown[0];
            EXPECT_EQ(message.text, question ? Question : c.error) << c.name;
            EXPECT_EQ(message.caption, question ? "ATTENZIONE!" : "Errore") << c.name;
            EXPECT_EQ(message.buttons, question ? MessageButtons::YesNo : MessageButtons::Ok) << c.name;
            EXPECT_EQ(message.icon, MessageIcon::Warning) << c.name;
            EXPECT_EQ(message.owner, &owner) << c.name;
        }
        EXPECT_EQ(build::readBytes(game.save("a.ess")), c.save) << c.name;
        EXPECT_EQ(game.exists("LRK Saves Backup/a.ess.bak") ? build::readBytes(game.backup("a.ess.bak")) : "",
                  c.backup)
            << c.name;
        // A backup is restored once.
        if (c.outcome != RestoreOutcome::Restored)
            continue;
        EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner),
                  RestoreOutcome::CopyFailed);
    }
}

} // namespace
} // namespace orvella
