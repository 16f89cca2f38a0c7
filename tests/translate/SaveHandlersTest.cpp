#include "translate/SaveHandlers.h"
#include "ConversionFixture.h"
#include "RecordViews.h"
#include "records/Bytes.h"
#include "translate/OpenMwConversion.h"

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
        fixture.context.pluginEntries = {{"P.esp", 0x12345678}};
        OpenMwConversion openMw{.formatVersion = 34};
        fixture.context.openMw = &openMw;
        fixture.names.topicNameMap.emplace("Balmora", "Balmora (citt\xE0)");
        fixture.names.topicNameMap.emplace("latest rumors", "ultime voci");
        fixture.names.questNameMap.emplace("Rescue", "Salvataggio");
        fixture.maps[MapKind::JournalTopic].emplace("A1_Spy", mapEntry(RecordBuilder("DIAL")));
        TranslationMap& npcs = fixture.maps[MapKind::Npc];
        npcs.emplace("guard", mapEntry(RecordBuilder("NPC_").text("FNAM", "Guard"), "Guardia"));
        npcs.emplace("player", mapEntry(RecordBuilder("NPC_").text("FNAM", "Player"), "Giocatore"));
        npcs.emplace("nameless", mapEntry(RecordBuilder("NPC_")));
        fixture.maps[MapKind::Item].emplace("sword", mapEntry(RecordBuilder("WEAP").text("FNAM", "Sword")));
        fixture.maps[MapKind::Item].emplace("ring",
                                            mapEntry(RecordBuilder("CLOT").text("FNAM", "Ring"), "Anello"));
        const struct {
            SaveHandler handler;
            RecordBuilder record;
            std::string after; // the layout afterwards; empty when the record is dropped
        } cases[] = {
            {patchHeader, RecordBuilder("TES3").text("MAST", "Morrowind.esm").sub("GMDT", "g"),
             italian ? "MAST=Morrowind.esm|MAST=P.esp|DATA=xV4\x12|GMDT=g" : "MAST=Morrowind.esm|GMDT=g"},
            {patchNpc, named("NPC_", "guard", "X").sub("NPDT", "n"),
             italian ? "NAME=guard|FNAM=Guardia|NPDT=n" : "NAME=guard|FNAM=Guard|NPDT=n"},
            {patchNpc, named("NPC_", "player", "Nerevar"), "NAME=player|FNAM=Nerevar"},
            {patchNpc, named("NPC_", "nameless", "Keep"), "NAME=nameless|FNAM=Keep"},
            {patchNpc, named("NPC_", "stranger", "Keep"), "NAME=stranger|FNAM=Keep"},
            {patchItem, named("WEAP", "sword", "Spada"), "NAME=sword|FNAM=Sword"},
            {patchItem, named("CLOT", "ring", "X"),
             italian ? "NAME=ring|FNAM=Anello" : "NAME=ring|FNAM=Ring"},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring"), "NAME=ring"},
            {patchItem, RecordBuilder("WEAP").text("FNAM", "Spada"), "FNAM=Spada"},
            {patchHeldName, RecordBuilder("NPC_").sub("NAME", "\x09?").text("FNAM", "Guard"),
             "NAME=\t?|FNAM=Guard"},
            {patchContentFiles,
             RecordBuilder("TES3").text("MAST", "P.esp").text("MAST", "O.esp").sub("DATA", "d"),
             italian ? "MAST=P.esp|MAST=O.esp|DATA=d|MAST=P.esp|DATA=" : "MAST=O.esp|DATA=d"},
            {patchDependencies, RecordBuilder("SAVE").sub("DEPE", "P.esp").sub("DEPE", "Morrowind.esm"),
             italian ? "DEPE=P.esp|DEPE=Morrowind.esm|DEPE=P.esp" : "DEPE=Morrowind.esm"},
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

// Items sort by the target language's names, carrying what follows each; the equipment follows them.
TEST(PlayerInventory, SortsByTheTargetLanguagesNameAndRenumbersTheEquipmentUnlessItNamesAnItemTwice) {
    const auto item = [](const char* id) { return build::u32(1) + build::z(id); };
    const auto player = [&](std::uint32_t secondWorn) {
        return RecordBuilder("NPCC")
            .text("NAME", "PlayerSaveGame")
            .sub("NPCO", item("sword"))
            .sub("NPCO", item("ring"))
            .sub("XHLT", "h")
            .sub("NPCO", item("apple"))
            .sub("WIDX", build::u32(0) + build::u32(3))
            .sub("WIDX", build::u32(secondWorn) + build::u32(7));
    };
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionFixture fixture(direction);
        fixture.maps[MapKind::Item].emplace("sword", mapEntry(RecordBuilder("WEAP").text("FNAM", "Sword")));
        fixture.maps[MapKind::Item].emplace("ring",
                                            mapEntry(RecordBuilder("CLOT").text("FNAM", "Ring"), "Anello"));
        auto record = player(1).build();
        ASSERT_TRUE(patchPlayerInventory(*record, fixture.context));
        std::string order;
        for (const auto& sub : record->subrecords()) {
            const std::uint8_t* data = sub.data.data();
            order += "|" + std::string(sub.tag.str());
            order += sub.tag.is("NPCO") ? " " + std::string(sub.textAt(4)) : "";
            if (sub.tag.is("WIDX"))
                order += " " + std::to_string(loadU32(data)) + "/" + std::to_string(loadU32(data + 4));
        }
        EXPECT_EQ(order, direction == EnglishToItalian
                             ? "|NAME|NPCO ring|XHLT|NPCO apple|NPCO sword|WIDX 0/7|WIDX 2/3"
                             : "|NAME|NPCO apple|NPCO ring|XHLT|NPCO sword|WIDX 1/7|WIDX 2/3");
        auto twice = player(0).build();
        EXPECT_TRUE(patchPlayerInventory(*twice, fixture.context) && bytesOf(*twice) == player(0).bytes());
        // Two items sort too; items of one name keep their order; odd equipment or another's inventory stays.
        const auto npcc = [&](std::vector<std::string> order, int worn,
                              const char* owner = "PlayerSaveGame") {
            RecordBuilder record("NPCC");
            for (const std::string& part : order)
                part == "NAME" ? record.text("NAME", owner) : record.sub("NPCO", item(part.c_str()));
            return record.sub("WIDX", build::u32(worn) + build::u32(3));
        };
        const std::pair<RecordBuilder, std::optional<RecordBuilder>> cases[] = {
            {npcc({"NAME", "sword", "ring"}, 0), npcc({"NAME", "ring", "sword"}, 1)},
            {npcc({"sword", "NAME", "ring"}, 1), npcc({"ring", "sword", "NAME"}, 0)},
            {npcc({"NAME", "apple", "APPLE"}, 1), {}},
            {npcc({"NAME", "sword", "ring"}, 0, "SomeoneElsesGame"), {}},
            {npcc({"NAME", "sword", "ring"}, 0).sub("WIDX", "1234"), {}}};
        for (const auto& [before, after] : cases) {
            auto record = before.build();
            EXPECT_TRUE(patchPlayerInventory(*record, fixture.context) &&
                        bytesOf(*record) == after.value_or(before).bytes());
        }
    }
}

} // namespace
} // namespace orvella
