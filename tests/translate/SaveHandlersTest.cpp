#include "translate/SaveHandlers.h"
#include "ConversionFixture.h"
#include "RecordViews.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvella {
namespace {

using build::RecordBuilder;
using namespace test;

RecordBuilder named(const char* tag, const char* id, const char* name) {
    return RecordBuilder(tag).text("NAME", id).text("FNAM", name);
}

// What is logged after the headings, one item a line, and how many sections the handlers opened.
std::string logged(const std::string& log) {
    std::istringstream in(log);
    std::string lines;
    int sections = 0;
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("- "))
            ++sections;
        else if (!line.empty())
            lines += line + "|";
    return std::to_string(sections) + ": " + lines;
}

// What the maps and tables know takes the target language's text exactly; unknown quests and deleted topics
// are logged under one heading each, unknown topics under one for each record that has any.
TEST(NamedRecordHandlers, RenameWhatTheMapsKnowAndLogTheRestOnce) {
    const std::string topic(1, '\0');
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        const bool italian = direction == EnglishToItalian;
        ConversionFixture fixture(direction);
        fixture.names.topicNameMap.emplace("Balmora", "Balmora (citt\xE0)");
        fixture.names.topicNameMap.emplace("latest rumors", "ultime voci");
        fixture.names.questNameMap.emplace("Rescue", "Salvataggio");
        fixture.maps.journalTopicMap.emplace("A1_Spy", mapEntry(RecordBuilder("DIAL")));
        TranslationMap& npcs = fixture.maps.npcNameMap;
        npcs.emplace("guard", mapEntry(RecordBuilder("NPC_").text("FNAM", "Guard"), "Guardia"));
        npcs.emplace("player", mapEntry(RecordBuilder("NPC_").text("FNAM", "Player"), "Giocatore"));
        npcs.emplace("nameless", mapEntry(RecordBuilder("NPC_")));
        fixture.maps.itemNameMap.emplace("sword", mapEntry(RecordBuilder("WEAP").text("FNAM", "Sword")));
        fixture.maps.itemNameMap.emplace("ring",
                                         mapEntry(RecordBuilder("CLOT").text("FNAM", "Ring"), "Anello"));
        const struct {
            SaveHandler handler;
            RecordBuilder record;
            std::string after; // the layout afterwards; empty when the record is dropped
        } cases[] = {
            {patchNpc, named("NPC_", "guard", "X").sub("NPDT", "n"),
             italian ? "NAME=guard|FNAM=Guardia|NPDT=n" : "NAME=guard|FNAM=Guard|NPDT=n"},
            {patchNpc, named("NPC_", "player", "Nerevar"), "NAME=player|FNAM=Nerevar"},
            {patchNpc, named("NPC_", "nameless", "Keep"), "NAME=nameless|FNAM=Keep"},
            {patchNpc, named("NPC_", "stranger", "Keep"), "NAME=stranger|FNAM=Keep"},
            {patchItem, named("WEAP", "sword", "Spada"), "NAME=sword|FNAM=Sword"},
            {patchItem, named("CLOT", "ring", "X"),
             italian ? "NAME=ring|FNAM=Anello" : "NAME=ring|FNAM=Ring"},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring"), "NAME=ring"},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", topic),
             "NAME=Balmora (citt\xE0)|DATA="},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "Vivec").sub("DATA", topic),
             "NAME=Vivec|DATA="},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "old rumour").sub("DELE", build::u32(0)), ""},
            {patchDialogue, RecordBuilder("DIAL").sub("DATA", topic).sub("DELE", build::u32(0)),
             "DATA=|DELE="},
            {patchQuest, RecordBuilder("QUES").text("NAME", "Rescue").sub("DATA", "d"),
             "NAME=Salvataggio|DATA=d"},
            {patchQuest, RecordBuilder("QUES").sub("NAME", "Unknown one"), "NAME=Unknown one"},
            {patchQuest, RecordBuilder("QUES").text("NAME", "Unknown two"), "NAME=Unknown two"},
            {patchQuest, RecordBuilder("QUES").sub("DATA", "d"), "DATA=d"},
            {patchKnownTopics,
             RecordBuilder("PCDT")
                 .text("DNAM", "latest rumors")
                 .text("DNAM", "A1_Spy")
                 .sub("PNAM", "p")
                 .text("DNAM", "strange topic"),
             "DNAM=ultime voci|DNAM=A1_Spy|PNAM=p|DNAM=strange topic"},
            {patchKnownTopics, RecordBuilder("PCDT").text("DNAM", "A1_Spy"), "DNAM=A1_Spy"},
            {patchPlayerInventory, named("NPCC", "fargoth", "Fargoth"), "NAME=fargoth|FNAM=Fargoth"},
            {patchKnownTopics, RecordBuilder("PCDT").text("DNAM", "A1_Spy").text("DNAM", "other topic"),
             "DNAM=A1_Spy|DNAM=other topic"},
        };
        for (const auto& c : cases) {
            auto record = c.record.build();
            EXPECT_EQ(c.handler(*record, fixture.context), !c.after.empty()) << c.after;
            EXPECT_EQ(c.after.empty() ? "" : layout(*record), c.after);
            EXPECT_EQ(record->size(), payloadSize(*record)) << c.after;
        }
        EXPECT_EQ(logged(fixture.log.text),
                  "4: old rumour|Nome Quest: Unknown one|Nome Quest: Unknown two|strange topic|other topic|");
    }
}

} // namespace
} // namespace orvella
