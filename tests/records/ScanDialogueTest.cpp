#include "ScanHarness.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::z;
using test::bytesOf;
using test::masterFile;
using test::pluginFile;

const std::string Journal(1, '\4');
const std::string Topic(1, '\0');

RecordBuilder dial(const std::string& id, const std::string& type) {
    return RecordBuilder("DIAL").text("NAME", id).sub("DATA", type);
}
RecordBuilder info(const std::string& id, const std::string& text) {
    return RecordBuilder("INFO").text("INAM", id).text("NAME", text);
}

struct ScanDialogues : testing::Test {
    test::ScanHarness harness;

    std::vector<std::string> keys(const TranslationMap& map) const {
        std::vector<std::string> result;
        for (const auto& entry : map)
            result.push_back(entry.first);
        return result;
    }
};

TEST_F(ScanDialogues, JournalTopicsKeepTheirEntriesPlainTopicsKeepNothing) {
    harness.includeExpansions();
    harness.writeBase(masterFile()
                          .add(dial("A1_Quest", Journal).sub("X", "first"))
                          .add(info("101", "English one").sub("QSTN", "\1"))
                          .add(info("102", "English two"))
                          .add(dial("rumours", Topic))
                          .add(info("201", "A plain answer"))
                          .add(RecordBuilder("NPC_").text("NAME", "after").text("FNAM", "After"))
                          .add(dial("A2_Last", Journal))
                          .add(info("301", "At the end of the file")),
                      pluginFile()
                          .add(dial("A1_Quest", Journal))
                          .add(info("101", "Italiano uno"))
                          .add(dial("rumours", Topic))
                          .add(info("201", "Risposta"))
                          .add(dial("P_Only", Journal))
                          .add(info("401", "Solo nel plugin")));
    harness.write(TribunalMasterName,
                  masterFile().add(dial("A1_Quest", Journal)).add(info("102", "English two, revised")));
    harness.write(BloodmoonPluginName,
                  pluginFile().add(dial("A1_Quest", Journal)).add(info("101", "Ultimo")));
    ASSERT_TRUE(harness.scan());

    TranslationMaps& maps = harness.maps();
    EXPECT_EQ(keys(maps.journalTopicMap), (std::vector<std::string>{"A1_Quest", "A2_Last", "P_Only"}));
    EXPECT_EQ(bytesOf(maps.journalTopicMap.at("A1_Quest")->findSubrecord("X")), "first");
    EXPECT_EQ(keys(maps.journalEntryMap), (std::vector<std::string>{"101", "102", "301", "401"}));

    const TranslatedRecord& first = *maps.journalEntryMap.at("101");
    EXPECT_EQ(bytesOf(first.findSubrecord("NAME")), z("English one"));
    EXPECT_EQ(bytesOf(first.findSubrecord("QSTN")), "\1");
    EXPECT_EQ(bytesOf(first.translation()), z("Ultimo"));
    EXPECT_EQ(first.translation()->tag.str(), "-TR-");
    EXPECT_EQ(bytesOf(maps.journalEntryMap.at("102")->findSubrecord("NAME")), z("English two, revised"));
    EXPECT_EQ(maps.journalEntryMap.at("102")->translation(), nullptr);
    EXPECT_EQ(bytesOf(maps.journalEntryMap.at("401")->findSubrecord("NAME")), z("Solo nel plugin"));
    EXPECT_EQ(maps.npcNameMap.count("after"), 1u) << "the record behind a topic's entries is scanned";
}

TEST_F(ScanDialogues, ADeletedTopicAndATopicWithoutIdOrTypeLeaveTheirEntriesToTheFileLoop) {
    harness.writeBase(masterFile()
                          .add(dial("A1_Deleted", Journal).sub("DELE", build::u32(0)))
                          .add(info("501", "Deleted entry"))
                          .add(info("502", "Another deleted entry"))
                          .add(RecordBuilder("DIAL").text("NAME", "A1_NoType"))
                          .add(info("503", "Entry of a topic without type"))
                          .add(RecordBuilder("DIAL").text("NAME", "A1_EmptyType").sub("DATA", ""))
                          .add(info("504", "Entry of a topic with an empty type"))
                          .add(RecordBuilder("DIAL").sub("DATA", Journal))
                          .add(info("505", "Entry of a topic without ID"))
                          .add(RecordBuilder("MISC").text("NAME", "after").text("FNAM", "After")));
    ASSERT_TRUE(harness.scan());
    EXPECT_TRUE(harness.maps().journalTopicMap.empty());
    EXPECT_TRUE(harness.maps().journalEntryMap.empty());
    EXPECT_EQ(harness.maps().itemNameMap.count("after"), 1u);
    EXPECT_EQ(harness.progress.bar(MasterBar), 100);
}

TEST_F(ScanDialogues, JournalEntriesWithoutIdOrTextArePassedOver) {
    harness.writeBase(
        masterFile()
            .add(dial("A1_Quest", Journal))
            .add(RecordBuilder("INFO").text("NAME", "No ID"))
            .add(RecordBuilder("INFO").text("INAM", "601"))
            .add(info("602", "Kept"))
            .add(RecordBuilder("GMST").sub("STRV", "setting without ID"))
            .add(RecordBuilder("NPC_").text("FNAM", "NPC without ID"))
            .add(RecordBuilder("LIGH").text("FNAM", "Light without ID"))
            .add(RecordBuilder("LIGH").text("NAME", "torch").text("FNAM", "Torch")),
        pluginFile().add(dial("A1_Quest", Journal)).add(RecordBuilder("INFO").text("INAM", "602")));
    ASSERT_TRUE(harness.scan());
    const TranslationMaps& maps = harness.maps();
    EXPECT_EQ(keys(maps.journalEntryMap), (std::vector<std::string>{"602"}));
    EXPECT_EQ(maps.journalEntryMap.at("602")->translation(), nullptr);
    EXPECT_TRUE(maps.gmstMap.empty());
    EXPECT_TRUE(maps.npcNameMap.empty());
    EXPECT_EQ(keys(maps.itemNameMap), (std::vector<std::string>{"torch"}));
}

} // namespace
} // namespace orvella
