#include "Options.h"

#include <gtest/gtest.h>

namespace orvella::cli {
namespace {

TEST(SaveName, OnlyAPlainFileNameNamesASave) {
    for (const char* name : {"Demo0001.ess", "quick save.ess", "..ess", "a..b.ess"})
        EXPECT_EQ(saveNameProblem(name), std::nullopt) << name;
    for (const char* name : {"", ".", "..", "../Up.ess", "../Saves/Inner.ess", "Inner/x.ess", "/abs.ess",
                             "..\\Up.ess", "a\\b.ess", "x.ess/"})
        EXPECT_EQ(saveNameProblem(name),
                  "\"" + std::string(name) +
                      "\" is not a save name: it must be the name of a file in the Saves "
                      "folder, with no path")
            << name;
}

} // namespace
} // namespace orvella::cli
