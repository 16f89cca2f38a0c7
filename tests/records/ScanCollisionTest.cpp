#include "ScanHarness.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::z;
using test::bytesOf;
using test::masterFile;
using test::pluginFile;

struct ScanCollisions : testing::Test {
    test::ScanHarness harness;

    void SetUp() override { harness.includeExpansions(); }

    static const TranslatedRecord& entry(const TranslationMap& map, const std::string& key) {
        return *map.at(key);
    }
};

TEST_F(ScanCollisions, GameSettingsKeepTheFirstRecordWithTheLastMastersTextAndTheLastPluginsTranslation) {
    harness.writeBase(masterFile()
                          .add(RecordBuilder("GMST").sub("NAME", "sMonthMidyear").sub("STRV", "Mid Year"))
                          .add(RecordBuilder("GMST").sub("NAME", "iLevelUp").sub("INTV", build::u32(10)))
                          .add(RecordBuilder("GMST").sub("NAME", "sNoTerm\xE8").sub("STRV", "x")),
                      pluginFile()
                          .add(RecordBuilder("GMST").sub("NAME", "sMonthMidyear").sub("STRV", "Mezz'anno"))
                          .add(RecordBuilder("GMST").sub("NAME", "iLevelUp").sub("INTV", build::u32(12))));
    harness.write(
        TribunalMasterName,
        masterFile()
            .add(RecordBuilder("GMST").sub("NAME", "sMonthMidyear").sub("STRV", "Midyear").sub("X", "t"))
            .add(RecordBuilder("GMST").sub("NAME", "iLevelUp").sub("STRV", "ten")));
    harness.write(
        BloodmoonPluginName,
        pluginFile().add(RecordBuilder("GMST").sub("NAME", "sMonthMidyear").sub("STRV", "Meta anno")));
    ASSERT_TRUE(harness.scan());
    const TranslationMap& gmst = harness.maps().gmstMap;
    ASSERT_EQ(gmst.size(), 3u);

    const TranslatedRecord& month = entry(gmst, "sMonthMidyear");
    EXPECT_EQ(bytesOf(month.findSubrecord("STRV")), "Midyear");
    EXPECT_EQ(month.findSubrecord("X"), nullptr) << "the first master's record is the one kept";
    EXPECT_EQ(month.size(), 8 + 13 + 8 + 7u);
    ASSERT_NE(month.translation(), nullptr);
    EXPECT_EQ(month.translation()->tag.str(), "-TR-");
    EXPECT_EQ(bytesOf(month.translation()), "Meta anno");

    // A setting without a text stays as the first master had it, whatever later files bring.
    const TranslatedRecord& integer = entry(gmst, "iLevelUp");
    EXPECT_EQ(integer.findSubrecord("STRV"), nullptr);
    EXPECT_EQ(bytesOf(integer.findSubrecord("INTV")), build::u32(10));
    EXPECT_EQ(integer.translation(), nullptr);

    // IDs without a terminator are keyed by every byte.
    EXPECT_EQ(gmst.count("sNoTerm\xE8"), 1u);
}

TEST_F(ScanCollisions, NpcsAndItemsKeepTheFirstRecordAndTakeLaterNamesOnlyWhenTheyHaveOne) {
    harness.writeBase(
        masterFile()
            .add(RecordBuilder("NPC_", 7).text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "1"))
            .add(RecordBuilder("MISC").text("NAME", "shared id").text("FNAM", "Misc Name"))
            .add(RecordBuilder("WEAP").text("NAME", "shared id").text("FNAM", "Weapon Name"))
            .add(RecordBuilder("BOOK").text("NAME", "book").text("FNAM", "Old Book")),
        pluginFile()
            .add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth MW"))
            .add(RecordBuilder("BOOK").text("NAME", "book").text("FNAM", "Libro"))
            .add(RecordBuilder("SPEL").text("NAME", "shared id").text("FNAM", "Nome")));
    harness.write(TribunalMasterName,
                  masterFile()
                      .add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth the Second"))
                      .add(RecordBuilder("BOOK").text("NAME", "book").sub("TEXT", "no name here")));
    harness.write(BloodmoonPluginName,
                  pluginFile().add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth BM")));
    ASSERT_TRUE(harness.scan());

    const TranslatedRecord& npc = entry(harness.maps().npcNameMap, "fargoth");
    EXPECT_EQ(npc.headerWord(), 7u);
    EXPECT_EQ(bytesOf(npc.findSubrecord("NPDT")), "1");
    EXPECT_EQ(bytesOf(npc.findSubrecord("FNAM")), z("Fargoth the Second"));
    EXPECT_EQ(bytesOf(npc.translation()), z("Fargoth BM"));

    const TranslationMap& items = harness.maps().itemNameMap;
    ASSERT_EQ(items.size(), 2u);
    const TranslatedRecord& shared = entry(items, "shared id");
    EXPECT_TRUE(shared.tag().is("MISC"));
    // Within one master too, a later record of the same ID brings only its name.
    EXPECT_EQ(bytesOf(shared.findSubrecord("FNAM")), z("Weapon Name"));
    EXPECT_EQ(bytesOf(shared.translation()), z("Nome"));
    EXPECT_EQ(bytesOf(entry(items, "book").findSubrecord("FNAM")), z("Old Book"));
    EXPECT_EQ(bytesOf(entry(items, "book").translation()), z("Libro"));
}

TEST_F(ScanCollisions, AnIdOnlyPluginsDefineKeepsTheFirstPluginsTextAndALaterPluginsTranslation) {
    harness.writeBase();
    harness.write(TribunalPluginFileName,
                  pluginFile()
                      .add(RecordBuilder("ARMO").text("NAME", "tr_helm").text("FNAM", "Elmo"))
                      .add(RecordBuilder("CLOT").text("NAME", "tr_robe").text("FNAM", "Tunica")));
    harness.write(BloodmoonPluginName,
                  pluginFile().add(RecordBuilder("CLOT").text("NAME", "tr_robe").text("FNAM", "Veste")));
    ASSERT_TRUE(harness.scan());
    const TranslationMap& items = harness.maps().itemNameMap;
    EXPECT_EQ(bytesOf(entry(items, "tr_helm").findSubrecord("FNAM")), z("Elmo"));
    EXPECT_EQ(entry(items, "tr_helm").translation(), nullptr);
    EXPECT_EQ(bytesOf(entry(items, "tr_robe").findSubrecord("FNAM")), z("Tunica"));
    EXPECT_EQ(bytesOf(entry(items, "tr_robe").translation()), z("Veste"));
}

TEST_F(ScanCollisions, IdsAreCaseSensitiveAndCreaturesAndOtherRecordsAreNotKept) {
    harness.writeBase(masterFile()
                          .add(RecordBuilder("CREA").text("NAME", "rat").text("FNAM", "Rat"))
                          .add(RecordBuilder("MISC").text("NAME", "Gold").text("FNAM", "Gold"))
                          .add(RecordBuilder("CELL").text("NAME", "gold").text("FNAM", "Cell"))
                          .add(RecordBuilder("MISC").text("NAME", "gold").text("FNAM", "gold")));
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(harness.maps().recordCount(), 2u);
    EXPECT_EQ(harness.maps().itemNameMap.count("Gold"), 1u);
    EXPECT_EQ(harness.maps().itemNameMap.count("gold"), 1u);
}

TEST(RegisterSaveItem, AddsOnlyUnknownItemsNamedAlikeInBothLanguages) {
    TranslationMaps maps;
    registerSaveItem(maps, *RecordBuilder("ALCH", 5, 9)
                                .text("NAME", "my potion")
                                .text("FNAM", "Pozione")
                                .sub("ALDT", "x")
                                .build());
    registerSaveItem(maps, *RecordBuilder("MISC").text("NAME", "my potion").text("FNAM", "Other").build());
    registerSaveItem(maps, *RecordBuilder("BOOK").text("NAME", "no name").build());
    ASSERT_EQ(maps.itemNameMap.size(), 1u);
    const TranslatedRecord& item = *maps.itemNameMap.at("my potion");
    EXPECT_TRUE(item.tag().is("ALCH"));
    EXPECT_EQ(item.headerWord(), 0u);
    ASSERT_EQ(item.subrecordCount(), 2u);
    EXPECT_TRUE(item.subrecordAt(0).tag.is("NAME"));
    EXPECT_EQ(bytesOf(item.findSubrecord("FNAM")), z("Pozione"));
    EXPECT_EQ(item.size(), 8 + 10 + 8 + 8u);
    EXPECT_EQ(item.translation()->tag.str(), "FNAM");
    EXPECT_EQ(bytesOf(item.translation()), z("Pozione"));
}

} // namespace
} // namespace orvella
