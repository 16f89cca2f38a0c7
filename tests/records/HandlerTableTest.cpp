#include "scan/HandlerTables.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

template <typename Handler> std::string tagsOf(std::span<const HandlerRow<Handler>> rows) {
    std::string tags;
    for (const auto& row : rows)
        tags += std::string(row.tag) + " ";
    return tags;
}

TEST(HandlerTables, HaveTheirRowsInOrderAndAMapKeepsTheFirstHandlerOfATag) {
    EXPECT_EQ(tagsOf(scanHandlerTable()),
              "GMST DIAL NPC_ CREA BOOK CONT WEAP ARMO LOCK PROB REPA CLOT INGR LIGH SPEL ALCH APPA MISC ");
    EXPECT_EQ(tagsOf(saveHandlerTable()),
              "TES3 DIAL INFO JOUR PCDT NPC_ NPCC CREA APPA ARMO BOOK CLOT CONT INGR "
              "LIGH SPEL ALCH LOCK MISC PROB REPA WEAP QUES ");
    SaveHandlerMap map;
    buildHandlerMap(saveHandlerTable(), map);
    EXPECT_EQ(map["INFO"], &keepRecord);
    EXPECT_EQ(map["CREA"], &keepRecord);
    map["INFO"] = &patchQuest;
    buildHandlerMap(saveHandlerTable(), map);
    EXPECT_EQ(map.size(), 23u);
    EXPECT_EQ(map["INFO"], &patchQuest);
}

} // namespace
} // namespace orvella
