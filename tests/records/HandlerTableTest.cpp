#include "records/HandlerTables.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(HandlerTables, HaveTheirRowsInOrder) {
    auto scan = scanHandlerTable();
    ASSERT_EQ(scan.size(), 18u);
    const char* scanTags[] = {"GMST", "DIAL", "NPC_", "CREA", "BOOK", "CONT", "WEAP", "ARMO", "LOCK",
                              "PROB", "REPA", "CLOT", "INGR", "LIGH", "SPEL", "ALCH", "APPA", "MISC"};
    for (std::size_t i = 0; i < scan.size(); ++i)
        EXPECT_STREQ(scan[i].tag, scanTags[i]);

    auto save = saveHandlerTable();
    ASSERT_EQ(save.size(), 23u);
    const char* saveTags[] = {"TES3", "DIAL", "INFO", "JOUR", "PCDT", "NPC_", "NPCC", "CREA",
                              "APPA", "ARMO", "BOOK", "CLOT", "CONT", "INGR", "LIGH", "SPEL",
                              "ALCH", "LOCK", "MISC", "PROB", "REPA", "WEAP", "QUES"};
    for (std::size_t i = 0; i < save.size(); ++i)
        EXPECT_STREQ(save[i].tag, saveTags[i]);
    EXPECT_EQ(save[2].handler, &keepRecord);
    EXPECT_EQ(save[7].handler, &keepRecord);
}

TEST(HandlerTables, BuildingAMapTwiceKeepsTheFirstHandlers) {
    SaveHandlerMap map;
    buildHandlerMap(saveHandlerTable(), map);
    ASSERT_EQ(map.size(), 23u);
    map["INFO"] = &patchQuest;
    buildHandlerMap(saveHandlerTable(), map);
    EXPECT_EQ(map.size(), 23u);
    EXPECT_EQ(map["INFO"], &patchQuest);
}

} // namespace
} // namespace orvella
