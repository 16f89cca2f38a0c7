#include "translate/SaveHandlers.h"
#include "JobFixture.h"
#include "gamebuilder/GameBuilder.h"
#include "records/RecordWriter.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;
using build::z;
using test::JobFixture;

std::string bytesOf(const Record& record) {
    std::vector<std::uint8_t> out;
    serializeRecord(record, out);
    return std::string(out.begin(), out.end());
}

std::uint32_t payloadSize(const Record& record) {
    std::uint32_t total = 0;
    for (const auto& subrecord : record.subrecords())
        total += 8 + subrecord->size();
    return total;
}

// The tags and texts of a record's subrecords, in order.
std::vector<std::string> layout(const Record& record) {
    std::vector<std::string> out;
    for (const auto& subrecord : record.subrecords())
        out.push_back(std::string(subrecord->tag.str()) + "=" + std::string(subrecord->text()));
    return out;
}

std::unique_ptr<TranslatedRecord> mapEntry(std::string_view tag, const char* fnam, const char* translation) {
    auto record = std::make_unique<TranslatedRecord>(Tag(tag), 0, 0, 0);
    if (fnam)
        record->appendSubrecord(
            std::make_unique<Subrecord>("FNAM", fnam, static_cast<std::uint32_t>(std::strlen(fnam) + 1)));
    if (translation)
        record->setTranslation("-TR-", translation, static_cast<std::uint32_t>(std::strlen(translation) + 1));
    return record;
}

std::string dataEntry(std::uint32_t size) {
    return u32(size) + u32(0);
}

struct HeaderTest : testing::Test {
    JobFixture fixture;
    void SetUp() override {
        fixture.installation.morrowindPluginSize = 1000;
        fixture.installation.tribunalPluginSize = 2000;
        fixture.installation.bloodmoonPluginSize = 3000;
        fixture.installation.hasTribunalPlugin = fixture.installation.hasBloodmoonPlugin = true;
        fixture.installation.tribunalPluginName = "Tribunal LRK - Versione Finale.esp";
    }
};

TEST_F(HeaderTest, ToItalianThePluginsFollowTheMastersBeforeGmdt) {
    fixture.job.saveInfo.usesTribunalMaster = true;
    fixture.job.saveInfo.usesBloodmoonMaster = true;
    auto header = RecordBuilder("TES3")
                      .sub("HEDR", std::string(300, 'h'))
                      .text("MAST", "Morrowind.esm")
                      .sub("DATA", dataEntry(7))
                      .text("MAST", "Tribunal.esm")
                      .sub("DATA", dataEntry(8))
                      .sub("GMDT", "g")
                      .sub("SCRS", "s")
                      .build();
    EXPECT_TRUE(patchHeader(*header, *fixture.state));
    EXPECT_EQ(layout(*header),
              (std::vector<std::string>{
                  "HEDR=" + std::string(300, 'h'), "MAST=Morrowind.esm", "DATA=\a", "MAST=Tribunal.esm",
                  "DATA=\b", "MAST=Morrowind LRK - Versione Finale.esp", "DATA=\xE8\x03",
                  "MAST=Tribunal LRK - Versione Finale.esp", "DATA=\xD0\a",
                  "MAST=Bloodmoon LRK - Versione Finale.esp", "DATA=\xB8\v", "GMDT=g", "SCRS=s"}));
    EXPECT_EQ(header->subrecordAt(6).data, std::vector<std::uint8_t>({0xE8, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(header->subrecordAt(5).size(), 36u);
    EXPECT_EQ(header->size(), payloadSize(*header));
}

TEST_F(HeaderTest, ToItalianAnExpansionWithoutItsInstalledPluginGetsNoEntry) {
    fixture.job.saveInfo.usesTribunalMaster = true;
    fixture.installation.hasTribunalPlugin = false;
    auto header = RecordBuilder("TES3").sub("HEDR", "h").sub("GMDT", "g").build();
    patchHeader(*header, *fixture.state);
    EXPECT_EQ(layout(*header), (std::vector<std::string>{"HEDR=h", "MAST=Morrowind LRK - Versione Finale.esp",
                                                         "DATA=\xE8\x03", "GMDT=g"}));
}

TEST_F(HeaderTest, AHeaderWithoutGmdtGetsNothing) {
    auto header = RecordBuilder("TES3").sub("HEDR", "h").text("MAST", "Morrowind.esm").build();
    std::string before = bytesOf(*header);
    EXPECT_TRUE(patchHeader(*header, *fixture.state));
    EXPECT_EQ(bytesOf(*header), before);
}

TEST_F(HeaderTest, ToEnglishEveryPluginEntryGoesInAnyOrderAndTheRestStays) {
    fixture.reset(ItalianToEnglish);
    auto header = RecordBuilder("TES3")
                      .sub("HEDR", "h")
                      .text("MAST", "Morrowind.esm")
                      .sub("DATA", dataEntry(1))
                      .text("MAST", "Bloodmoon LRK - Versione Finale.esp")
                      .sub("DATA", dataEntry(2))
                      .text("MAST", "Tribunal LRK - Versione Finale.esp")
                      .sub("DATA", dataEntry(3))
                      .text("MAST", "Morrowind LRK - Versione Finale.esp")
                      .sub("DATA", dataEntry(4))
                      .text("MAST", "Tribunal.esm")
                      .sub("DATA", dataEntry(5))
                      .text("MAST", "Other Mod.esp")
                      .sub("DATA", dataEntry(6))
                      .sub("GMDT", "g")
                      .build();
    EXPECT_TRUE(patchHeader(*header, *fixture.state));
    EXPECT_EQ(layout(*header),
              (std::vector<std::string>{"HEDR=h", "MAST=Morrowind.esm", "DATA=\x01", "MAST=Tribunal.esm",
                                        "DATA=\x05", "MAST=Other Mod.esp", "DATA=\x06", "GMDT=g"}));
    EXPECT_EQ(header->size(), payloadSize(*header));
}

TEST_F(HeaderTest, ToEnglishAPluginEntryLosesOnlyItsOwnData) {
    fixture.reset(ItalianToEnglish);
    auto last = RecordBuilder("TES3")
                    .sub("HEDR", "h")
                    .sub("GMDT", "g")
                    .text("MAST", "Morrowind LRK - Versione Finale.esp")
                    .build();
    patchHeader(*last, *fixture.state);
    EXPECT_EQ(layout(*last), (std::vector<std::string>{"HEDR=h", "GMDT=g"}));

    auto beforeGmdt = RecordBuilder("TES3")
                          .sub("HEDR", "h")
                          .text("MAST", "Bloodmoon LRK - Versione Finale.esp")
                          .sub("GMDT", "g")
                          .sub("SCRS", "s")
                          .build();
    patchHeader(*beforeGmdt, *fixture.state);
    EXPECT_EQ(layout(*beforeGmdt), (std::vector<std::string>{"HEDR=h", "GMDT=g", "SCRS=s"}));
}

TEST_F(HeaderTest, AtGameVersionOneTwoTheTribunalPluginIsNotOneOfOurs) {
    fixture.installation.tribunalPluginName = "*****************************";
    fixture.reset(ItalianToEnglish);
    auto header = RecordBuilder("TES3")
                      .text("MAST", "Tribunal LRK - Versione Finale.esp")
                      .sub("DATA", dataEntry(3))
                      .build();
    std::string before = bytesOf(*header);
    patchHeader(*header, *fixture.state);
    EXPECT_EQ(bytesOf(*header), before);
}

TEST(DialogueHandler, RenamesKnownTopicsDropsDeletedOnesAndLogsThem) {
    JobFixture fixture;
    JobState& state = *fixture.state;
    state.names.topicNameMap.emplace("Balmora", "Balmora (citt\xE0)");
    auto known = RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')).build();
    auto unknown = RecordBuilder("DIAL").text("NAME", "Vivec").sub("DATA", std::string(1, '\0')).build();
    auto deleted = RecordBuilder("DIAL").text("NAME", "old rumour").sub("DELE", u32(0)).build();
    auto nameless = RecordBuilder("DIAL").sub("DATA", std::string(1, '\0')).sub("DELE", u32(0)).build();
    std::string unknownBefore = bytesOf(*unknown);

    EXPECT_TRUE(patchDialogue(*known, state));
    EXPECT_EQ(fixture.log, "\n- TOPIC SEGNATI COME \"DELETED\" -\n\n");
    std::string renamed = z("Balmora (citt\xE0)");
    EXPECT_EQ(known->findSubrecord("NAME")->data, std::vector<std::uint8_t>(renamed.begin(), renamed.end()));
    EXPECT_EQ(known->size(), payloadSize(*known));
    EXPECT_TRUE(patchDialogue(*unknown, state));
    EXPECT_EQ(bytesOf(*unknown), unknownBefore);
    EXPECT_FALSE(patchDialogue(*deleted, state));
    EXPECT_TRUE(patchDialogue(*nameless, state));
    EXPECT_EQ(fixture.log, "\n- TOPIC SEGNATI COME \"DELETED\" -\n\nold rumour\n");
}

TEST(QuestHandler, RenamesKnownQuestsAndLogsTheOthersUnderOneHeading) {
    JobFixture fixture;
    JobState& state = *fixture.state;
    state.names.questNameMap.emplace("Rescue", "Salvataggio");
    auto known = RecordBuilder("QUES").text("NAME", "Rescue").sub("DATA", "d").build();
    auto first = RecordBuilder("QUES").sub("NAME", "Unknown one").build(); // no terminator
    auto second = RecordBuilder("QUES").text("NAME", "Unknown two").build();
    auto nameless = RecordBuilder("QUES").sub("DATA", "d").build();
    for (auto* record : {known.get(), first.get(), second.get(), nameless.get()})
        EXPECT_TRUE(patchQuest(*record, state));
    EXPECT_EQ(known->findSubrecord("NAME")->text(), "Salvataggio");
    EXPECT_EQ(known->findSubrecord("NAME")->size(), 12u);
    EXPECT_EQ(first->findSubrecord("NAME")->text(), "Unknown one");
    EXPECT_EQ(fixture.log,
              "\n- MONI QUEST NON TROVATI -\n\nNome Quest: Unknown one\nNome Quest: Unknown two\n");
}

TEST(NameHandlers, TakeTheTargetLanguageNameExactly) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        JobFixture fixture(direction);
        JobState& state = *fixture.state;
        state.maps.npcNameMap.emplace("guard", mapEntry("NPC_", "Guard", "Guardia"));
        state.maps.npcNameMap.emplace("player", mapEntry("NPC_", "Player", "Giocatore"));
        state.maps.npcNameMap.emplace("nameless", mapEntry("NPC_", nullptr, nullptr));
        state.maps.itemNameMap.emplace("sword", mapEntry("WEAP", "Sword", nullptr));
        state.maps.itemNameMap.emplace("ring", mapEntry("CLOT", "Ring", "Anello"));

        auto guard = RecordBuilder("NPC_").text("NAME", "guard").text("FNAM", "X").sub("NPDT", "n").build();
        auto player = RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar").build();
        auto nameless = RecordBuilder("NPC_").text("NAME", "nameless").text("FNAM", "Keep").build();
        auto stranger = RecordBuilder("NPC_").text("NAME", "stranger").text("FNAM", "Keep").build();
        auto sword = RecordBuilder("WEAP").text("NAME", "sword").text("FNAM", "Spada").build();
        auto ring = RecordBuilder("CLOT").text("NAME", "ring").text("FNAM", "X").build();
        auto noFnam = RecordBuilder("CLOT").text("NAME", "ring").build();
        for (auto* npc : {guard.get(), player.get(), nameless.get(), stranger.get()})
            EXPECT_TRUE(patchNpc(*npc, state));
        for (auto* item : {sword.get(), ring.get(), noFnam.get()})
            EXPECT_TRUE(patchItem(*item, state));

        bool italian = direction == EnglishToItalian;
        EXPECT_EQ(guard->findText("FNAM"), italian ? "Guardia" : "Guard");
        EXPECT_EQ(player->findText("FNAM"), "Nerevar");
        EXPECT_EQ(nameless->findText("FNAM"), "Keep");
        EXPECT_EQ(stranger->findText("FNAM"), "Keep");
        EXPECT_EQ(sword->findText("FNAM"), "Sword");
        EXPECT_EQ(ring->findText("FNAM"), italian ? "Anello" : "Ring");
        EXPECT_EQ(noFnam->subrecordCount(), 1u);
        EXPECT_EQ(guard->size(), payloadSize(*guard));
        EXPECT_EQ(ring->size(), payloadSize(*ring));
    }
}

TEST(KnownTopicsHandler, RenamesKnownTopicsAndLogsOnlyTheUnknownOnes) {
    JobFixture fixture;
    JobState& state = *fixture.state;
    state.names.topicNameMap.emplace("latest rumors", "ultime voci");
    state.maps.journalTopicMap.emplace("A1_1_FindSpymaster", mapEntry("DIAL", nullptr, nullptr));
    auto pcdt = RecordBuilder("PCDT")
                    .sub("DNAM", z("latest rumors"))
                    .sub("DNAM", z("A1_1_FindSpymaster"))
                    .sub("PNAM", "p")
                    .sub("DNAM", z("strange topic"))
                    .sub("DNAM", z("other topic"))
                    .build();
    EXPECT_TRUE(patchKnownTopics(*pcdt, state));
    EXPECT_EQ(layout(*pcdt), (std::vector<std::string>{"DNAM=ultime voci", "DNAM=A1_1_FindSpymaster",
                                                       "PNAM=p", "DNAM=strange topic", "DNAM=other topic"}));
    EXPECT_EQ(pcdt->subrecordAt(0).size(), 12u);
    EXPECT_EQ(pcdt->size(), payloadSize(*pcdt));
    EXPECT_EQ(fixture.log, "\n- HYPERLINK NON TRADOTTI -\n\nstrange topic\nother topic\n");

    fixture.log.clear();
    auto allKnown = RecordBuilder("PCDT").sub("DNAM", z("A1_1_FindSpymaster")).build();
    patchKnownTopics(*allKnown, state);
    EXPECT_EQ(fixture.log, "");
}

} // namespace
} // namespace orvella
