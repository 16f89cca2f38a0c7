#include "ScanHarness.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::describe;
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

// The map's keys, and each entry's description when asked for.
std::string contents(const TranslationMap& map, bool described = false) {
    std::string out;
    for (const auto& [key, entry] : map)
        out += key + (described ? ": " + describe(*entry) : "") + "|";
    return out;
}

TEST(ScanDialogues, JournalTopicsKeepTheirEntriesPlainTopicsKeepNothing) {
    test::ScanHarness harness;
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
                  masterFile().add(dial("A1_Quest", Journal)).add(info("102", "English two, new")));
    harness.write(BloodmoonPluginName,
                  pluginFile().add(dial("A1_Quest", Journal)).add(info("101", "Ultimo")));
    ASSERT_TRUE(harness.scan());

    const TranslationMaps& maps = harness.maps();
    EXPECT_EQ(contents(maps.journalTopicMap), "A1_Quest|A2_Last|P_Only|");
    EXPECT_EQ(describe(*maps.journalTopicMap.at("A1_Quest")), "NAME=A1_Quest~ DATA=\4 X=first ");
    EXPECT_EQ(contents(maps.journalEntryMap, true),
              "101: INAM=101~ NAME=English one~ QSTN=\1 -TR-=Ultimo~|102: INAM=102~ NAME=English two, new~ |"
              "301: INAM=301~ NAME=At the end of the file~ |401: INAM=401~ NAME=Solo nel plugin~ |");
    EXPECT_EQ(maps.npcNameMap.count("after"), 1u) << "the record behind a topic's entries is scanned";
}

TEST(ScanDialogues, EntriesOfADeletedTopicOrOneWithoutIdOrTypeAndEntriesWithoutIdOrTextArePassedOver) {
    test::ScanHarness harness;
    harness.writeBase(
        masterFile()
            .add(dial("A1_Deleted", Journal).sub("DELE", build::u32(0)))
            .add(info("501", "Deleted entry"))
            .add(info("502", "Another deleted entry"))
            .add(RecordBuilder("DIAL").text("NAME", "A1_NoType"))
            .add(info("503", "Entry of a topic without type"))
            .add(RecordBuilder("DIAL").text("NAME", "A1_EmptyType").sub("DATA", ""))
            .add(info("504", "Entry of a topic with an empty type"))
            .add(RecordBuilder("DIAL").sub("DATA", Journal))
            .add(info("505", "Entry of a topic without ID"))
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
    EXPECT_EQ(contents(maps.journalTopicMap), "A1_Quest|");
    EXPECT_EQ(contents(maps.journalEntryMap, true), "602: INAM=602~ NAME=Kept~ |");
    EXPECT_TRUE(maps.gmstMap.empty() && maps.npcNameMap.empty());
    EXPECT_EQ(contents(maps.itemNameMap), "torch|");
    EXPECT_TRUE(harness.progress.told("masters done"));
}

} // namespace
} // namespace orvella
