#include "translate/SaveHandlers.h"
#include "ConversionFixture.h"
#include "RecordViews.h"
#include "records/Bytes.h"

#include <gtest/gtest.h>

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
        if (part.starts_with("m:") || part.starts_with("M:"))
            record.text("MAST", part.substr(2));
        else
            record.sub(part, std::string(1, static_cast<char>(part[0] - 'A' + 'a')));
        if (part.starts_with("M:"))
            record.sub("DATA", u32(++size) + u32(0));
    }
    return record.build();
}

// The header's layout with each master entry's DATA as its size, checking that DATA holds eight bytes.
std::string headerLayout(const Record& header) {
    std::string out;
    for (const auto& subrecord : header.subrecords()) {
        std::string text(subrecord->text());
        if (subrecord->tag.is("DATA")) {
            EXPECT_EQ(subrecord->size(), 8u);
            text = std::to_string(loadU32(subrecord->data.data()) +
                                  (std::uint64_t{loadU32(subrecord->data.data() + 4)} << 32));
        } else if (subrecord->tag.is("MAST")) {
            EXPECT_EQ(subrecord->size(), text.size() + 1);
        }
        out.append(out.empty() ? "" : "|").append(subrecord->tag.str()).append("=").append(text);
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
        GameInstallation game;
        game.morrowindPluginSize = 1000;
        game.tribunalPluginSize = 2000;
        game.bloodmoonPluginSize = 3000;
        game.hasTribunalPlugin = game.hasBloodmoonPlugin = c.pluginsInstalled;
        game.tribunalPluginName = c.tribunalPluginName;
        SaveInfo save;
        save.usesTribunalMaster = save.usesBloodmoonMaster = c.expansionsUsed;
        save.direction = c.direction;
        fixture.context.pluginEntries = translationPlugins(save, game);
        EXPECT_TRUE(patchHeader(*c.header, fixture.context)) << c.name;
        EXPECT_EQ(headerLayout(*c.header), c.expected) << c.name;
        EXPECT_EQ(c.header->size(), payloadSize(*c.header)) << c.name;
    }
}

// The number of log sections the handlers opened, and what is logged after the headings, one item a line.
std::string logged(const std::string& log) {
    std::string lines;
    int sections = 0;
    for (std::size_t at = 0, end; at < log.size(); at = end + 1) {
        end = std::min(log.find('\n', at), log.size());
        const std::string line = log.substr(at, end - at);
        sections += line.starts_with("- ") && line.ends_with(" -");
        if (!line.empty() && !line.starts_with("- "))
            lines += line + "|";
    }
    return std::to_string(sections) + ": " + lines;
}

// Topics and quests known to the tables are renamed; the unknown ones, and deleted topics, are logged under
// one heading each.
TEST(NamedRecordHandlers, RenameWhatTheTablesKnowAndLogTheRestOnce) {
    ConversionFixture fixture;
    fixture.names.topicNameMap.emplace("Balmora", "Balmora (citt\xE0)");
    fixture.names.topicNameMap.emplace("latest rumors", "ultime voci");
    fixture.names.questNameMap.emplace("Rescue", "Salvataggio");
    fixture.maps.journalTopicMap.emplace("A1_Spymaster", mapEntry(RecordBuilder("DIAL")));
    const std::string topic(1, '\0');
    const struct {
        SaveHandler handler;
        RecordBuilder record;
        bool kept;
        std::string after; // the layout afterwards
    } cases[] = {
        {patchDialogue, RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", topic), true,
         "NAME=Balmora (citt\xE0)|DATA="},
        {patchDialogue, RecordBuilder("DIAL").text("NAME", "Vivec").sub("DATA", topic), true,
         "NAME=Vivec|DATA="},
        {patchDialogue, RecordBuilder("DIAL").text("NAME", "old rumour").sub("DELE", u32(0)), false, ""},
        {patchDialogue, RecordBuilder("DIAL").sub("DATA", topic).sub("DELE", u32(0)), true, "DATA=|DELE="},
        {patchQuest, RecordBuilder("QUES").text("NAME", "Rescue").sub("DATA", "d"), true,
         "NAME=Salvataggio|DATA=d"},
        {patchQuest, RecordBuilder("QUES").sub("NAME", "Unknown one"), true, "NAME=Unknown one"},
        {patchQuest, RecordBuilder("QUES").text("NAME", "Unknown two"), true, "NAME=Unknown two"},
        {patchQuest, RecordBuilder("QUES").sub("DATA", "d"), true, "DATA=d"},
        {patchKnownTopics,
         RecordBuilder("PCDT")
             .text("DNAM", "latest rumors")
             .text("DNAM", "A1_Spymaster")
             .sub("PNAM", "p")
             .text("DNAM", "strange topic")
             .text("DNAM", "other topic"),
         true, "DNAM=ultime voci|DNAM=A1_Spymaster|PNAM=p|DNAM=strange topic|DNAM=other topic"},
        {patchKnownTopics, RecordBuilder("PCDT").text("DNAM", "A1_Spymaster"), true, "DNAM=A1_Spymaster"},
    };
    for (const auto& c : cases) {
        auto record = c.record.build();
        EXPECT_EQ(c.handler(*record, fixture.context), c.kept) << c.after;
        if (c.kept)
            EXPECT_EQ(layout(*record), c.after);
        EXPECT_EQ(record->size(), payloadSize(*record)) << c.after;
        EXPECT_EQ(test::bytesOf(*record).size(), 16 + payloadSize(*record)) << c.after;
    }
    EXPECT_EQ(logged(fixture.log.text),
              "3: old rumour|Nome Quest: Unknown one|Nome Quest: Unknown two|strange topic|"
              "other topic|");
}

TEST(NameHandlers, TakeTheTargetLanguageNameExactly) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionFixture fixture(direction);
        auto entry = [](const char* tag, const char* name) {
            RecordBuilder record(tag);
            return name ? record.text("FNAM", name) : record;
        };
        fixture.maps.npcNameMap.emplace("guard", mapEntry(entry("NPC_", "Guard"), "Guardia"));
        fixture.maps.npcNameMap.emplace("player", mapEntry(entry("NPC_", "Player"), "Giocatore"));
        fixture.maps.npcNameMap.emplace("nameless", mapEntry(entry("NPC_", nullptr)));
        fixture.maps.itemNameMap.emplace("sword", mapEntry(entry("WEAP", "Sword")));
        fixture.maps.itemNameMap.emplace("ring", mapEntry(entry("CLOT", "Ring"), "Anello"));

        const std::pair<SaveHandler, RecordBuilder> records[] = {
            {patchNpc, RecordBuilder("NPC_").text("NAME", "guard").text("FNAM", "X").sub("NPDT", "n")},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar")},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "nameless").text("FNAM", "Keep")},
            {patchNpc, RecordBuilder("NPC_").text("NAME", "stranger").text("FNAM", "Keep")},
            {patchItem, RecordBuilder("WEAP").text("NAME", "sword").text("FNAM", "Spada")},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring").text("FNAM", "X")},
            {patchItem, RecordBuilder("CLOT").text("NAME", "ring")}};
        std::string names;
        for (const auto& [handler, builder] : records) {
            auto record = builder.build();
            EXPECT_TRUE(handler(*record, fixture.context));
            EXPECT_EQ(record->size(), payloadSize(*record));
            names += layout(*record) + " ";
        }
        const bool italian = direction == EnglishToItalian;
        EXPECT_EQ(names,
                  std::string("NAME=guard|FNAM=") + (italian ? "Guardia" : "Guard") +
                      "|NPDT=n NAME=player|FNAM=Nerevar NAME=nameless|FNAM=Keep NAME=stranger|FNAM=Keep "
                      "NAME=sword|FNAM=Sword NAME=ring|FNAM=" +
                      (italian ? "Anello" : "Ring") + " NAME=ring ");
    }
}

} // namespace
} // namespace orvella
