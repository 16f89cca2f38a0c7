#include "app/ReportContent.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

TEST(ReportContentTest, FirstLineIsTheTitleAndTheRestTheBodyUpToANul) {
    TestFolder folder;
    const std::string path = folder.file("a.ess.log");
    const struct {
        std::string log, title, body;
    } cases[] = {
        {"File di Log per a.ess\r\n\r\nJournal:\r\nriga \xE8\r\n", "File di Log per a.ess",
         "\r\nJournal:\r\nriga \xE8\r\n"},
        {"Titolo\nsolo LF\n", "Titolo", "solo LF\n"},
        // Only a carriage return right before the line feed belongs to the line ending.
        {"a\r\rb\r\n", "a\r\rb", ""},
        {std::string("Titolo\r\ncorpo\0nascosto\n", 24), "Titolo", "corpo"},
        {std::string("Titolo\0\r\n", 9), "Errore!", "Il File di LOG " + path + " non \xE8 valido"},
        {"File di Log per a.ess senza fine riga", "Errore!", "Il File di LOG " + path + " non \xE8 valido"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(build::writeBytes(path, c.log));
        ReportContent report = loadReportContent(nativeFileSystem(), path);
        EXPECT_EQ(report.title, c.title) << c.log;
        EXPECT_EQ(report.body, c.body) << c.log;
    }
}

TEST(ReportContentTest, AnUnreadableLogNamesItsPathInAtMost511Characters) {
    TestFolder folder;
    for (const std::string& path : {folder.file("gone.log"), folder.file(std::string(600, 'p'))}) {
        ReportContent report = loadReportContent(nativeFileSystem(), path);
        EXPECT_EQ(report.title, "Errore!");
        EXPECT_EQ(report.body, ("Impossibile caricare il fle di log:\n" + path).substr(0, 511));
    }
}

} // namespace
} // namespace orvella::test
