#include "DemoJob.h"
#include "RecordViews.h"
#include "app/SaveClassification.h"
#include "gamebuilder/OpenMwSaveBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using namespace build;

constexpr std::uint32_t Formats[] = {OpenMw047Format, OpenMw048Format, OpenMw049Format};

// The save with only the first subrecords of its header kept.
std::string withHeaderOf(const std::string& save, std::size_t subrecords) {
    std::string bytes;
    for (const auto& record : test::readAllRecords(save)) {
        while (record->tag().is("TES3") && record->subrecordCount() > subrecords)
            record->removeSubrecordAt(subrecords);
        bytes += test::bytesOf(*record);
    }
    return bytes;
}

// Conversions of OpenMW saves of the demo game held in memory.
struct OpenMwJobTest : testing::Test {
    OpenMwJobTest() {
        demo::writeDemoOpenMwGame(files, test::InMemoryGame);
        installation = demo::demoOpenMwInstallation(files, test::InMemoryGame);
    }

    // Writes the bytes as the save, converts it the way it classifies and gives the save afterwards.
    std::string convert(const std::string& bytes) {
        files.writeFile(path(), bytes);
        run();
        return files.readFile(path()).value_or("");
    }
    void run() {
        messages = test::RecordingMessageBoxes();
        progress = test::RecordingProgress();
        // A save that does not classify is converted as an English one of the newest format.
        const SaveInfo info =
            classifySave(files, installation, SaveName).value_or(SaveInfo{.formatVersion = OpenMw049Format});
        PatchJob job{&installation, &files, &messages, &progress, nullptr, nullptr, {SaveName, info}};
        result = runPatchJob(job);
    }
    std::string path() const { return SavePaths(installation, SaveName).save; }
    std::string log() { return files.readFile(SavePaths(installation, SaveName).log).value_or(""); }

    static constexpr const char* SaveName = "Nerevar/Demo.omwsave";
    test::FaultInjectingFileSystem files;
    GameInstallation installation;
    test::RecordingMessageBoxes messages;
    test::RecordingProgress progress;
    PatchResult result;
};

// Each edition's save becomes the other's byte for byte: content files, known topics in the case each format
// keeps them, journal entries with their variables' names, speakers and held names; the entry no response
// answers stays, and is logged.
TEST_F(OpenMwJobTest, EachFormatConvertsToTheOtherEditionAndBack) {
    for (std::uint32_t format : Formats) {
        SCOPED_TRACE(format);
        const std::string english = demo::demoOpenMwSave(true, format);
        const std::string italian = demo::demoOpenMwSave(false, format);
        EXPECT_EQ(convert(english), italian);
        EXPECT_EQ(result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
        EXPECT_EQ(std::count(progress.calls.begin(), progress.calls.end(), "image journal ok"), 1);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_NE(log().find("--- A ship came in at dawn."), std::string::npos) << log();
        EXPECT_EQ(convert(italian), english);
    }
    // A save of a header that holds only FORM and HEDR, and a SAVE record, converts too, at format 39.
    std::string bare = withHeaderOf(demo::demoOpenMwSave(true, OpenMw049Format), 2);
    bare = bare.substr(0, bare.find("QUES")).replace(0x18, 4, u32(39));
    const std::string italian = convert(bare);
    EXPECT_TRUE(italian != bare && convert(italian) == bare);
}

// A damaged save, or one of a newer format, is refused with the file, the record and the offset at fault, and
// nothing is written: no backup, no log, not even the character's folder for them.
TEST_F(OpenMwJobTest, ADamagedSaveIsRefusedWritingNothing) {
    const std::string save = demo::demoOpenMwSave(true, OpenMw049Format);
    const std::size_t saveRecord = save.find("SAVE"), dialogue = save.find("DIAS");
    auto with = [&](std::size_t at, std::size_t size, const std::string& bytes) {
        return std::string(save).replace(at, size, bytes);
    };
    const std::pair<std::string, std::string> cases[] = {
        {save.substr(0, save.size() - 3), "il record supera la fine del file.\nRecord GLOB (n. 18), offset " +
                                              std::to_string(save.rfind("GLOB"))},
        {with(dialogue + 20, 4, u32(9999)),
         "un sottorecord supera la fine del record.\nRecord DIAS (n. 14), sottorecord TOPI"},
        {save.substr(0, saveRecord) + save.substr(save.find("QUES")),
         "il secondo record non \xE8 SAVE.\nRecord QUES (n. 1), offset " + std::to_string(saveRecord)},
        {with(dialogue + 16 + 8, 1, "\x09"),
         "un id \xE8 di un tipo sconosciuto.\nRecord DIAS (n. 14), sottorecord TOPI, offset " +
             std::to_string(dialogue + 16)},
        {with(0x18, 4, u32(40)),
         "del 39, l'ultimo che il programma conosce.\nRecord TES3 (n. 0), sottorecord FORM, offset 16"},
        {with(0x10, 4, "FROM"), "(FORM).\nRecord TES3 (n. 0), offset 16"},
        {with(0, 4, "TES4"), "TES3.\nRecord TES4 (n. 0), offset 0."},
        {withHeaderOf(save, 1), "HEDR.\nRecord TES3 (n. 0), offset 16"},
    };
    for (const auto& [bytes, fault] : cases) {
        SCOPED_TRACE(fault);
        files.writeFile(path(), bytes);
        const auto before = files.snapshot();
        run();
        EXPECT_TRUE(files.matches(before));
        EXPECT_EQ(result.exitCode, 1u);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find("\"Nerevar/Demo.omwsave\" non \xE8 valido"), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(fault), std::string::npos) << messages.shown[0].text;
    }
    // A character's folder for backups that cannot be made stops the job as well, with a message of its own.
    files.writeFile(path(), save);
    files.makeReadOnly(installation.userDataFolder);
    files.makeReadOnly(installation.userDataFolder + "\\LRK Saves Backup");
    run();
    EXPECT_TRUE(result.exitCode == 1 && messages.shown.size() == 1 &&
                messages.shown[0].text.find("Backup") != std::string::npos);
}

// A game whose responses tell each reason an entry converts or stays: the translation renames two topics,
// numbers responses otherwise, two of them alike, and tells apart two guards of one English name; the quest's
// responses name the player's faction and rank, a global, and a word only one language has.
struct OpenMwEntriesTest : OpenMwJobTest {
    OpenMwEntriesTest() {
        files.writeFile(installation.dataFiles.pathOf(MorrowindMasterName).value(), edition(true).bytes());
        files.writeFile(installation.dataFiles.pathOf(MorrowindPluginName).value(), edition(false).bytes());
        installation = demo::demoOpenMwInstallation(files, test::InMemoryGame);
    }
    static GameFileBuilder edition(bool english) {
        GameFileBuilder file({.kind = english ? FileKind::Master : FileKind::Plugin});
        auto pick = [english](const char* en, const char* it) { return english ? en : it; };
        auto info = [](const char* id, const char* condition, const char* text) {
            return RecordBuilder("INFO").text("INAM", id).sub("DATA", condition).text("NAME", text);
        };
        file.add(english ? RecordBuilder("NPC_").text("NAME", "nameless")
                         : RecordBuilder("NPC_").text("NAME", "nameless").text("FNAM", "Senza nome"))
            .add(RecordBuilder("NPC_").text("NAME", "guard_1").text("FNAM", pick("Guard", "Guardia")))
            .add(RecordBuilder("NPC_").text("NAME", "guard_2").text("FNAM", pick("Guard", "Sentinella")))
            .add(RecordBuilder("NPC_").text("NAME", "smith").text("FNAM", pick("Smith", "Fabbro")))
            .add(RecordBuilder("BOOK").text("NAME", "ledger").text("FNAM", pick("Ledger", "Registro")))
            .add(RecordBuilder("FACT")
                     .text("NAME", "guild")
                     .text("FNAM", pick("Guild", "Gilda"))
                     .text("RNAM", pick("Novice", "Novizio")))
            .add(RecordBuilder("DIAL").text("NAME", pick("Work", "Lavoro")).sub("DATA", std::string(1, '\0')))
            .add(info("1", "a", pick("Ask %PCName about work, %Name.", "Chiedi lavoro, %PCName, a %Name.")))
            .add(info(pick("2", "9"), "b", pick("No work today.", "Niente lavoro oggi.")))
            .add(info(pick("3", "11"), "g", pick("Come back later.", "Torna dopo.")))
            .add(info(pick("4", "12"), pick("x", "g"), pick("Go away.", "Torna domani.")))
            .add(RecordBuilder("DIAL").text("NAME", pick("Zone", "Zona")).sub("DATA", std::string(1, '\0')))
            .add(info("60", "h", pick("A zone.", "Una zona.")))
            .add(RecordBuilder("DIAL").text("NAME", "q_main").sub("DATA", std::string(1, '\4')))
            .add(info("10", "c",
                      pick("I joined the %Faction as a %PCRank.", "Entro nella %Faction come %PCRank.")))
            .add(info("30", "d", pick("Pay %Gold coins.", "Paga %Gold monete.")))
            .add(info("40", "e", pick("Talk to %Name.", "Parla con il %Class %Name.")))
            .add(info("50", "f", pick("Welcome home.", "Bentornato, %PCName.")));
        // A record that only the translation gives has no English name, whatever its text looks like.
        if (!english)
            file.add(RecordBuilder("NPC_").text("NAME", "apprentice").text("FNAM", "Smith"));
        return file;
    }
    // Each journal entry of the save: its topic, response, text and speaker.
    static std::vector<std::string> entries(const std::string& save) {
        std::vector<std::string> found;
        for (const auto& record : test::readAllRecords(save))
            if (record->tag().is("JOUR"))
                found.push_back(std::string(record->findText("YETO").value_or("")) + "|" +
                                std::string(record->findText("YEIN").value_or("")) + "|" +
                                std::string(record->findText("TEXT").value_or("")) + "|" +
                                std::string(record->findText("ACT_").value_or("")));
        return found;
    }
};

// A topic entry takes its renamed topic, its response's text with its words' names in the other language,
// and its speaker's; a response numbered otherwise is found by its conditions, both ways. An entry stays,
// logged, when no response or two alike answer it, when its text is not made from its response, and when the
// other language's response has a word its own lacks; so does a name without one translation.
TEST_F(OpenMwEntriesTest, EachEntryConvertsOrStaysForItsReason) {
    OpenMwSaveBuilder save({.version = OpenMw049Format, .contentFiles = {MorrowindMasterName}});
    auto topic = [](const char* id, const char* response, const char* text, const char* speaker) {
        return OpenMwJournalEntry{JournalKind::Topic, "work", response, text, speaker};
    };
    save.quest(
        {"q_main", 10, false, {{JournalKind::Quest, "q_main", "10", "I joined the Guild as a Novice."}}});
    save.journal({JournalKind::Diary, "q_main", "30", "Pay 100 coins."})
        .journal({JournalKind::Diary, "q_main", "40", "Talk to Smith."})
        .journal({JournalKind::Diary, "q_main", "50", "Welcome home."})
        .journal(topic("work", "1", "Ask Nerevar about work, Smith.", "Smith"))
        .journal(topic("work", "2", "No work today.", "Guard"))
        .journal(topic("work", "1", "Ask Nerevar about work, Smith.", "Guard"))
        .journal(topic("work", "7", "Gone.", "Smith"))
        .journal({JournalKind::Topic, "play", "\xE4\xB8\x80", "Unknown topic.", "Smith"})
        .journal(topic("work", "3", "Come back later.", "Smith"))
        .dialogue({{"Work", "work", "play", "Zone"}, {}});
    save.add(npcRecord({.id = "smith", .name = "Smith"}, OpenMw049Format))
        .add(npcRecord({.id = "guard_1", .name = "Captain Dulo"}, OpenMw049Format))
        .add(RecordBuilder("NPC_").sub("NAME", std::string("\x02nobody")))
        .add(itemRecord({.kind = ItemKind::Book, .id = "LEDGER", .name = "Ledger"}, OpenMw049Format))
        .add(itemRecord({.kind = ItemKind::Weapon, .id = "ledger", .name = "Ledger"}, OpenMw049Format))
        // An entry where OpenMW writes none, after the journal, and one without a type, a diary's.
        .add(journalRecord({JournalKind::Topic, "work", "2", "No work today.", "Smith"}))
        .add(RecordBuilder("JOUR")
                 .text("YETO", "work")
                 .text("YEIN", "1")
                 .text("TEXT", "Ask Nerevar about work, Smith."));
    const std::string italian = convert(save.bytes());
    EXPECT_EQ(entries(italian), (std::vector<std::string>{
                                    "q_main|10|Entro nella Gilda come Novizio.|",
                                    "q_main|30|Pay 100 coins.|",
                                    "q_main|40|Talk to Smith.|",
                                    "q_main|50|Bentornato, Nerevar.|",
                                    "lavoro|1|Chiedi lavoro, Nerevar, a Fabbro.|Fabbro",
                                    "lavoro|9|Niente lavoro oggi.|Guard",
                                    "lavoro|1|Chiedi lavoro, Nerevar, a Fabbro.|Guard",
                                    "work|7|Gone.|Smith",
                                    "play|\xE4\xB8\x80|Unknown topic.|Smith",
                                    "work|3|Come back later.|Smith",
                                    "lavoro|9|Niente lavoro oggi.|Fabbro",
                                    "work|1|Ask Nerevar about work, Smith.|",
                                }));
    EXPECT_NE(log().find("--- Pay 100 coins.\r\n\r\n--- Talk to Smith.\r\n\r\n--- Gone.\r\n\r\n--- Unknown "
                         "topic.\r\n\r\n"),
              std::string::npos)
        << log();
    EXPECT_NE(log().find("- HYPERLINK NON TRADOTTI -\r\n\r\nplay\r\n"), std::string::npos) << log();
    std::vector<std::string> held;
    for (const auto& record : test::readAllRecords(italian))
        if (record->tag().is("DIAS"))
            held.push_back(test::layout(*record));
        else if (record->tag().is("NPC_") || record->tag().is("BOOK") || record->tag().is("WEAP"))
            held.push_back(std::string(record->findText("NAME").value()) + "=" +
                           std::string(record->findText("FNAM").value_or("")));
    EXPECT_EQ(held, (std::vector<std::string>{"TOPI=\x02Lavoro|TOPI=\x02lavoro|TOPI=\x02play|TOPI=\x02Zona",
                                              "\x02smith=Fabbro", "\x02guard_1=Captain Dulo",
                                              "\x02nobody=", "\x02LEDGER=Registro", "\x02ledger=Ledger"}));
    // Back in English, the response that the translation numbers otherwise is found by its conditions again.
    EXPECT_EQ(entries(convert(italian))[5], "work|2|No work today.|Guard");
    // A journal of one entry that stays is logged under the journal's heading.
    OpenMwSaveBuilder alone({.version = OpenMw049Format, .contentFiles = {MorrowindMasterName}});
    alone.journal({JournalKind::Diary, "q_main", "30", "Pay 100 coins."});
    convert(alone.bytes());
    EXPECT_NE(log().find("- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n--- Pay 100 coins."), std::string::npos)
        << log();
}

} // namespace
} // namespace orvella
