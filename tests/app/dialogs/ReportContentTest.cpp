#include "app/ReportContent.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

class ReportContentTest : public ::testing::Test {
protected:
    ReportContent load(const std::string& bytes) {
        EXPECT_TRUE(build::writeBytes(folder.file("a.ess.log"), bytes));
        return loadReportContent(nativeFileSystem(), folder.file("a.ess.log"));
    }

    TestFolder folder;
};

TEST_F(ReportContentTest, FirstLineIsTheTitleAndTheRestTheBody) {
    ReportContent report = load("File di Log per a.ess\r\n\r\nJournal:\r\nriga \xE8\r\n");
    EXPECT_EQ(report.title, "File di Log per a.ess");
    EXPECT_EQ(report.body, "\r\nJournal:\r\nriga \xE8\r\n");

    report = load("Titolo\nsolo LF\n");
    EXPECT_EQ(report.title, "Titolo");
    EXPECT_EQ(report.body, "solo LF\n");

    // Only a carriage return right before the line feed belongs to the line ending.
    report = load("a\r\rb\r\n");
    EXPECT_EQ(report.title, "a\r\rb");
    EXPECT_EQ(report.body, "");
}

TEST_F(ReportContentTest, TextEndsAtANul) {
    ReportContent report = load(std::string("Titolo\r\ncorpo\0nascosto\n", 24));
    EXPECT_EQ(report.title, "Titolo");
    EXPECT_EQ(report.body, "corpo");
    EXPECT_EQ(load(std::string("Titolo\0\r\n", 9)).title, "Errore!");
}

TEST_F(ReportContentTest, UnreadableLogNamesItsPath) {
    std::string path = folder.file("gone.log");
    ReportContent report = loadReportContent(nativeFileSystem(), path);
    EXPECT_EQ(report.title, "Errore!");
    EXPECT_EQ(report.body, "Impossibile caricare il fle di log:\n" + path);
}

TEST_F(ReportContentTest, LogWithoutLineFeedIsInvalid) {
    ReportContent report = load("File di Log per a.ess senza fine riga");
    EXPECT_EQ(report.title, "Errore!");
    EXPECT_EQ(report.body, "Il File di LOG " + folder.file("a.ess.log") + " non \xE8 valido");
}

TEST_F(ReportContentTest, ErrorTextsStopAt511Characters) {
    std::string path = folder.file(std::string(600, 'p'));
    ReportContent report = loadReportContent(nativeFileSystem(), path);
    ASSERT_EQ(report.body.size(), 511u);
    EXPECT_EQ(report.body, ("Impossibile caricare il fle di log:\n" + path).substr(0, 511));
}

} // namespace
} // namespace orvella::test
