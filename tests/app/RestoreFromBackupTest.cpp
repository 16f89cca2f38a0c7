#include "app/RestoreFromBackup.h"
#include "FaultInjectingFileSystem.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;

const std::string Question =
    "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante la patch";
const std::string CannotReplace = "Impossibile sostituire il salvataggio con quello di backup.";
const std::string CannotDelete = "Impossibile cancellare il salvataggio di backup.";
const std::string InUse =
    "Il salvataggio \xE8 gi\xE0 in uso da un'altra conversione. Cambiamenti non apportati.";

std::string saveBytes(const char* master, const char* npcName) {
    GameFileBuilder file(FileHeader{.kind = FileKind::Save, .masters = {{master, 1}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", npcName));
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    return file.bytes();
}

const std::string Backup = saveBytes("Morrowind.esm", "Fargoth");
const std::string Converted = saveBytes("Morrowind LRK - Versione Finale.esp", "Fargoth l'Elfo");

std::string randomBytes(std::size_t size) {
    std::mt19937 random(13);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

std::string withCount(std::string bytes, std::uint32_t count) {
    bytes.replace(320, 4, build::u32(count));
    return bytes;
}

TEST(RestoreFromBackup, AsksChecksTheBackupThenPutsItBackAndDeletesItTellingEachFailure) {
    const std::string damaged = "damaged";
    enum Fault { None, FailedMove, FailedDelete, SaveHeld };
    const MessageAnswer yes = MessageAnswer::Yes;
    const RestoreOutcome notRestored = RestoreOutcome::NotRestored;
    const struct {
        const char* name;
        std::string backup;
        MessageAnswer answer;
        Fault fault;
        RestoreOutcome outcome;
        std::string error; // the second message, after the question; "damaged" names the backup
    } cases[] = {
        {"yes", Backup, yes, None, RestoreOutcome::Restored, ""},
        {"no", Backup, MessageAnswer::No, None, RestoreOutcome::Declined, ""},
        {"ok", Backup, MessageAnswer::Ok, None, RestoreOutcome::Declined, ""},
        {"failed move", Backup, yes, FailedMove, notRestored, CannotReplace},
        {"failed delete", Backup, yes, FailedDelete, RestoreOutcome::BackupKept, CannotDelete},
        {"save held by another job", Backup, yes, SaveHeld, notRestored, InUse},
        {"truncated", Backup.substr(0, Backup.size() - 5), yes, None, notRestored, damaged},
        {"cut inside the header", Backup.substr(0, 200), yes, None, notRestored, damaged},
        {"0 bytes", "", yes, None, notRestored, damaged},
        {"random bytes", randomBytes(Backup.size()), yes, None, notRestored, damaged},
        {"one record more than counted", withCount(Backup, 1), yes, None, notRestored, damaged},
        {"one record less than counted", withCount(Backup, 3), yes, None, notRestored, damaged},
    };
    for (const auto& c : cases) {
        test::GameFolder game;
        GameInstallation installation;
        installation.installPath = game.path();
        build::writeBytes(game.save("a.ess"), Converted);
        build::writeBytes(game.backup("a.ess.bak"), c.backup);
        test::RecordingMessageBoxes messages;
        messages.answer = c.answer;
        test::FaultInjectingFileSystem files{nativeFileSystem()};
        if (c.fault == FailedMove)
            files.failEvery(test::FileCall::Replace);
        if (c.fault == FailedDelete)
            files.failEvery(test::FileCall::Delete);
        bool busy = false;
        auto otherJob = c.fault == SaveHeld ? files.lockFile(game.path() + "\\Saves\\a.ess", busy) : nullptr;
        int owner = 0;

        EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner), c.outcome) << c.name;
        const std::string error =
            c.error == damaged
                ? "Il file di backup \"" + game.path() +
                      "\\LRK Saves Backup\\a.ess.bak\" \xE8 danneggiato. Salvataggio non ripristinato."
                : c.error;
        ASSERT_EQ(messages.shown.size(), error.empty() ? 1u : 2u) << c.name;
        for (const Message& message : messages.shown) {
            const bool question = &message == &messages.shown[0];
            EXPECT_EQ(message.text, question ? Question : error) << c.name;
            EXPECT_EQ(message.caption, question ? "ATTENZIONE!" : "Errore") << c.name;
            EXPECT_EQ(message.buttons, question ? MessageButtons::YesNo : MessageButtons::Ok) << c.name;
            EXPECT_EQ(message.icon, MessageIcon::Warning) << c.name;
            EXPECT_EQ(message.owner, &owner) << c.name;
        }
        const bool restored =
            c.outcome == RestoreOutcome::Restored || c.outcome == RestoreOutcome::BackupKept;
        EXPECT_EQ(build::readBytes(game.save("a.ess")), restored ? c.backup : Converted) << c.name;
        EXPECT_EQ(game.exists("LRK Saves Backup/a.ess.bak"), c.outcome != RestoreOutcome::Restored) << c.name;
        if (game.exists("LRK Saves Backup/a.ess.bak")) {
            EXPECT_EQ(build::readBytes(game.backup("a.ess.bak")), c.backup) << c.name;
        }
        EXPECT_FALSE(game.exists("Saves/a.ess.tmp")) << c.name;
        // A backup is restored once.
        if (c.outcome != RestoreOutcome::Restored)
            continue;
        EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner),
                  RestoreOutcome::NotRestored);
    }
}

} // namespace
} // namespace orvella
