#include "app/RestoreFromBackup.h"
#include "FaultInjectingFileSystem.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

std::string saveBytes(const char* master, const char* npcName) {
    build::GameFileBuilder file({.kind = build::FileKind::Save, .masters = {{master, 1}}});
    file.add(build::RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", npcName));
    file.add(build::RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    return file.bytes();
}

const std::string Backup = saveBytes("Morrowind.esm", "Fargoth");
const std::string Converted = saveBytes("Morrowind LRK - Versione Finale.esp", "Fargoth l'Elfo");

std::string withCount(std::string bytes, std::uint32_t count) {
    bytes.replace(320, 4, build::u32(count));
    return bytes;
}

// The restore asks first, checks the backup, puts it back and deletes it, and tells each failure in a second
// message, after the question.
TEST(RestoreFromBackup, AsksChecksTheBackupThenPutsItBackAndDeletesItTellingEachFailure) {
    enum Fault { None, FailedMove, FailedDelete, SaveHeld };
    const MessageAnswer yes = MessageAnswer::Yes;
    const RestoreOutcome notRestored = RestoreOutcome::NotRestored;
    std::string noise(Backup.size(), '\0');
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 7919 % 251);
    const struct {
        std::string backup;
        MessageAnswer answer;
        Fault fault;
        RestoreOutcome outcome;
        const char* error; // a piece of the second message; "damaged" when it names the backup as such
    } cases[] = {
        {Backup, yes, None, RestoreOutcome::Restored, ""},
        {Backup, MessageAnswer::No, None, RestoreOutcome::Declined, ""},
        {Backup, MessageAnswer::Ok, None, RestoreOutcome::Declined, ""},
        {Backup, yes, FailedMove, notRestored, "Impossibile sostituire il salvataggio"},
        {Backup, yes, FailedDelete, RestoreOutcome::BackupKept, "Impossibile cancellare"},
        {Backup, yes, SaveHeld, notRestored, "in uso da un'altra conversione"},
        {Backup.substr(0, Backup.size() - 5), yes, None, notRestored, "damaged"},
        {Backup.substr(0, 200), yes, None, notRestored, "damaged"},
        {"", yes, None, notRestored, "damaged"},
        {noise, yes, None, notRestored, "damaged"},
        {withCount(Backup, 1), yes, None, notRestored, "damaged"},
        {withCount(Backup, 3), yes, None, notRestored, "damaged"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        test::GameFolder game;
        const GameInstallation installation{game.path()};
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

        EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner), c.outcome);
        const std::string error =
            c.error == std::string("damaged")
                ? "\"" + game.path() + "\\LRK Saves Backup\\a.ess.bak\" \xE8 danneggiato"
                : c.error;
        ASSERT_EQ(messages.shown.size(), error.empty() ? 1u : 2u);
        EXPECT_EQ(messages.shown[0].text.rfind("Sei sicuro?", 0), 0u);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
        if (!error.empty()) {
            EXPECT_NE(messages.shown[1].text.find(error), std::string::npos) << messages.shown[1].text;
            EXPECT_EQ(messages.shown[1].caption, "Errore");
        }
        for (const Message& message : messages.shown) {
            EXPECT_EQ(message.icon, MessageIcon::Warning);
            EXPECT_EQ(message.owner, &owner);
        }
        const bool restored =
            c.outcome == RestoreOutcome::Restored || c.outcome == RestoreOutcome::BackupKept;
        EXPECT_EQ(build::readBytes(game.save("a.ess")), restored ? c.backup : Converted);
        EXPECT_EQ(game.exists("LRK Saves Backup/a.ess.bak") ? build::readBytes(game.backup("a.ess.bak"))
                                                            : "gone",
                  c.outcome == RestoreOutcome::Restored ? "gone" : c.backup);
        EXPECT_FALSE(game.exists("Saves/a.ess.tmp"));
        // A backup is restored once.
        if (c.outcome == RestoreOutcome::Restored) {
            EXPECT_EQ(restoreFromBackup(installation, "a.ess", files, messages, &owner), notRestored);
        }
    }
}

} // namespace
} // namespace orvella
