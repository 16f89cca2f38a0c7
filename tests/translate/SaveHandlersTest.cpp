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
    const std::string Mw = MorrowindPluginName, Tr = TribunalPluginName, Bm = BloodmoonPluginName;
    const struct {
        const char* name;
        ConversionDirection direction;
        bool expansions; // used by the save and installed
        std::string tribunalPluginName;
        std::unique_ptr<Record> header;
        std::string expected;
    } cases[] = {
        {"to Italian", EnglishToItalian, true, Tr,
         header({"HEDR", "M:Morrowind.esm", "M:Tribunal.esm", "GMDT", "SCRS"}),
         "HEDR=h|MAST=Morrowind.esm|DATA=1|MAST=Tribunal.esm|DATA=2|MAST=" + Mw + "|DATA=1000|MAST=" + Tr +
             "|DATA=2000|MAST=" + Bm + "|DATA=3000|GMDT=g|SCRS=s"},
        {"expansions without their plugins", EnglishToItalian, false, Tr, header({"HEDR", "GMDT"}),
         "HEDR=h|MAST=" + Mw + "|DATA=1000|GMDT=g"},
        {"no GMDT", EnglishToItalian, true, Tr, header({"HEDR", "m:Morrowind.esm"}),
         "HEDR=h|MAST=Morrowind.esm"},
        {"to English in any order", ItalianToEnglish, true, Tr,
         header({"HEDR", "M:Morrowind.esm", "M:" + Bm, "M:" + Tr, "M:" + Mw, "M:Tribunal.esm",
                 "M:Other Mod.esp", "GMDT"}),
         "HEDR=h|MAST=Morrowind.esm|DATA=1|MAST=Tribunal.esm|DATA=5|MAST=Other Mod.esp|DATA=6|GMDT=g"},
        {"a plugin entry at the end", ItalianToEnglish, true, Tr, header({"HEDR", "GMDT", "m:" + Mw}),
         "HEDR=h|GMDT=g"},
        {"a game of version 1.2", ItalianToEnglish, true, "*****************************",
         header({"M:" + Tr}), "MAST=" + Tr + "|DATA=1"},
    };
    for (const auto& c : cases) {
        ConversionFixture fixture(c.direction);
        const GameInstallation game{.hasTribunalPlugin = c.expansions,
                                    .hasBloodmoonPlugin = c.expansions,
                                    .morrowindPluginSize = 1000,
                                    .tribunalPluginSize = 2000,
                                    .bloodmoonPluginSize = 3000,
                                    .tribunalPluginName = c.tribunalPluginName};
        fixture.context.pluginEntries = translationPlugins(
            {.usesTribunalMaster = true, .usesBloodmoonMaster = true, .direction = c.direction}, game);
        EXPECT_TRUE(patchHeader(*c.header, fixture.context)) << c.name;
        EXPECT_EQ(headerLayout(*c.header), c.expected) << c.name;
        EXPECT_EQ(c.header->size(), payloadSize(*c.header)) << c.name;
    }
}

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

// The player's record with these items after its NAME and NPDT, "Wposition" equipping an entry.
RecordBuilder npcc(std::initializer_list<std::string> parts) {
    RecordBuilder record("NPCC");
    record.text("NAME", "PlayerSaveGame").sub("NPDT", "npdt");
    for (const std::string& part : parts)
        if (part[0] == 'W')
            record.sub("WIDX", u32(std::stoul(part.substr(1))) + u32(0));
        else
            record.sub("NPCO", u32(1) + build::z(part));
    return record;
}

// The parts of a record after its NPDT, spelled as npcc() takes them.
std::string parts(const Record& record) {
    std::string out;
    for (std::size_t i = 2; i < record.subrecordCount(); ++i) {
        const Subrecord& sub = record.subrecordAt(i);
        out += (sub.tag.is("WIDX") ? "W" + std::to_string(loadU32(sub.data.data()))
                                   : std::string(sub.textAt(4))) +
               " ";
    }
    return out;
}

// The items sort by the name the player will read, folding only ASCII letters, prefixes first and ties in
// their order, and the equipment follows its items. The demo save's conversion moves the subrecords attached
// to an item; the inventory's fuzz target and the damaged saves leave every other layout as it was.
TEST(PlayerInventory, SortsByTheTargetLanguagesNameFoldingOnlyAsciiAndRenumberingTheEquipment) {
    test::ConversionFixture fixture;
    // clang-format off
    const char* const names[][3] = {
        {"1", "iron sword"}, {"2", "IRON"}, {"3", "\xE8" "cu"}, {"4", "\xC8" "cu"}, {"5", "zed"},
        {"6", "Iron Sword"}, {"7", "Iron"}, {"apple", "Apple", "Mela"}, {"bread", "Bread", "Pane"},
        {"dagger", "Dagger"}};
    // clang-format on
    for (const auto& [id, english, italian] : names)
        fixture.maps.itemNameMap.emplace(
            id, mapEntry(RecordBuilder("MISC").text("FNAM", english),
                         italian ? std::optional<std::string_view>(italian) : std::nullopt));
    const struct {
        ConversionDirection direction;
        RecordBuilder record;
        std::string sorted;
    } cases[] = {
        {EnglishToItalian, npcc({"1", "2", "3", "4", "5", "6", "7", "W0"}), "2 7 1 6 5 4 3 W2 "},
        {EnglishToItalian, npcc({"apple", "bread", "dagger", "unknown_id", "Unknown_A", "W2"}),
         "dagger apple bread Unknown_A unknown_id W0 "},
        {ItalianToEnglish, npcc({"bread", "dagger", "apple", "unknown_id", "Unknown_A", "W2"}),
         "apple bread dagger Unknown_A unknown_id W0 "},
    };
    for (const auto& c : cases) {
        fixture.context.direction = c.direction;
        auto record = c.record.build();
        EXPECT_TRUE(patchPlayerInventory(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        EXPECT_EQ(parts(*record), c.sorted);
    }
}

} // namespace
} // namespace orvella
