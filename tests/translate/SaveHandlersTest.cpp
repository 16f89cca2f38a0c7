#include "translate/SaveHandlers.h"
#include "ConversionFixture.h"
#include "RecordViews.h"
#include "records/Bytes.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;
using test::ConversionFixture;
using test::layout;
using test::mapEntry;
using test::payloadSize;

// A header of these parts: "M:name" is a master with its DATA (sizes counting from 1), "m:name" a master
// alone, anything else a subrecord of that tag holding its first letter in lower case.
std::unique_ptr<Record> header(std::initializer_list<std::string> parts) {
    RecordBuilder record("TES3");
    std::uint32_t size = 0;
    for (const std::string& part : parts) {
        if (part[1] != ':')
            record.sub(part, std::string(1, static_cast<char>(part[0] - 'A' + 'a')));
        else if (record.text("MAST", part.substr(2)); part[0] == 'M')
            record.sub("DATA", u32(++size) + u32(0));
    }
    return record.build();
}

// The header's layout, each master entry's DATA as its size and "!" after a MAST without its NUL.
std::string headerLayout(const Record& header) {
    std::string out;
    for (const auto& sub : header.subrecords()) {
        std::string text(sub->text());
        if (sub->tag.is("DATA"))
            text = sub->size() != 8 ? "?"
                                    : std::to_string(loadU32(sub->data.data()) +
                                                     (std::uint64_t{loadU32(sub->data.data() + 4)} << 32));
        else if (sub->tag.is("MAST") && sub->size() != text.size() + 1)
            text += "!";
        out.append(out.empty() ? "" : "|").append(sub->tag.str()).append("=").append(text);
    }
    return out;
}

TEST(HeaderHandler, AddsThePluginsBeforeGmdtToItalianAndRemovesThemWithTheirOwnDataToEnglish) {
    const std::string Mw = "Morrowind LRK - Versione Finale.esp";
    const std::string Tr = "Tribunal LRK - Versione Finale.esp";
    const std::string Bm = "Bloodmoon LRK - Versione Finale.esp";
    const struct {
        const char* name;
        ConversionDirection direction;
        bool expansionsUsed, pluginsInstalled;
        std::string tribunalPluginName;
        std::unique_ptr<Record> header;
        std::string expected;
    } cases[] = {
        {"to Italian", EnglishToItalian, true, true, Tr,
         header({"HEDR", "M:Morrowind.esm", "M:Tribunal.esm", "GMDT", "SCRS"}),
         "HEDR=h|MAST=Morrowind.esm|DATA=1|MAST=Tribunal.esm|DATA=2|MAST=" + Mw + "|DATA=1000|MAST=" + Tr +
             "|DATA=2000|MAST=" + Bm + "|DATA=3000|GMDT=g|SCRS=s"},
        {"expansions without their installed plugins", EnglishToItalian, true, false, Tr,
         header({"HEDR", "GMDT"}), "HEDR=h|MAST=" + Mw + "|DATA=1000|GMDT=g"},
        {"expansion plugins the save has no use for", EnglishToItalian, false, true, Tr,
         header({"HEDR", "GMDT"}), "HEDR=h|MAST=" + Mw + "|DATA=1000|GMDT=g"},
        {"no GMDT", EnglishToItalian, true, true, Tr, header({"HEDR", "m:Morrowind.esm"}),
         "HEDR=h|MAST=Morrowind.esm"},
        {"to English in any order", ItalianToEnglish, true, true, Tr,
         header({"HEDR", "M:Morrowind.esm", "M:" + Bm, "M:" + Tr, "M:" + Mw, "M:Tribunal.esm",
                 "M:Other Mod.esp", "GMDT"}),
         "HEDR=h|MAST=Morrowind.esm|DATA=1|MAST=Tribunal.esm|DATA=5|MAST=Other Mod.esp|DATA=6|GMDT=g"},
        {"a plugin entry at the end", ItalianToEnglish, true, true, Tr, header({"HEDR", "GMDT", "m:" + Mw}),
         "HEDR=h|GMDT=g"},
        {"a plugin entry before GMDT", ItalianToEnglish, true, true, Tr,
         header({"HEDR", "m:" + Bm, "GMDT", "SCRS"}), "HEDR=h|GMDT=g|SCRS=s"},
        {"a game of version 1.2", ItalianToEnglish, true, true, "*****************************",
         header({"M:" + Tr}), "MAST=" + Tr + "|DATA=1"},
    };
    for (const auto& c : cases) {
        ConversionFixture fixture(c.direction);
        const GameInstallation game{.hasTribunalPlugin = c.pluginsInstalled,
                                    .hasBloodmoonPlugin = c.pluginsInstalled,
                                    .morrowindPluginSize = 1000,
                                    .tribunalPluginSize = 2000,
                                    .bloodmoonPluginSize = 3000,
                                    .tribunalPluginName = c.tribunalPluginName};
        const SaveInfo save{.usesTribunalMaster = c.expansionsUsed,
                            .usesBloodmoonMaster = c.expansionsUsed,
                            .direction = c.direction};
        fixture.context.pluginEntries = translationPlugins(save, game);
        EXPECT_TRUE(patchHeader(*c.header, fixture.context)) << c.name;
        EXPECT_EQ(headerLayout(*c.header), c.expected) << c.name;
        EXPECT_EQ(c.header->size(), payloadSize(*c.header)) << c.name;
    }
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

// Names, topics and quests the maps and tables know take the target language's text exactly; the unknown
// quests and the deleted topics are logged under one heading each, the unknown topics under one for each
// record that has any.
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
            {patchNpc, RecordBuilder("NPC_").text("NAME", "guard").text("FNAM", "X").sub("NPDT", "n"),
             italian ? "NAME=guard|FNAM=Guardia|NPDT=n" : "NAME=guard|FNAM=Guard|NPDT=n"},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar"),
             "NAME=player|FNAM=Nerevar"},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "nameless").text("FNAM", "Keep"),
             "NAME=nameless|FNAM=Keep"},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "stranger").text("FNAM", "Keep"),
             "NAME=stranger|FNAM=Keep"},
            {patchItem, RecordBuilder("WEAP").text("NAME", "sword").text("FNAM", "Spada"),
             "NAME=sword|FNAM=Sword"},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring").text("FNAM", "X"),
             italian ? "NAME=ring|FNAM=Anello" : "NAME=ring|FNAM=Ring"},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring"), "NAME=ring"},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", topic),
             "NAME=Balmora (citt\xE0)|DATA="},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "Vivec").sub("DATA", topic),
             "NAME=Vivec|DATA="},
            {patchDialogue, RecordBuilder("DIAL").text("NAME", "old rumour").sub("DELE", u32(0)), ""},
            {patchDialogue, RecordBuilder("DIAL").sub("DATA", topic).sub("DELE", u32(0)), "DATA=|DELE="},
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
