// The progress dialog: which commands close it or open the report, and what the report shows of a log.

#include "TestFolder.h"
#include "app/ProgressDialogState.h"
#include "app/ReportContent.h"
#include "app/resource.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

TEST(ProgressDialogStateTest, OnlyOkAfterTheWorkerHasEndedClosesAndViewLogOpensTheReportEveryTime) {
    ProgressDialogState state;
    for (int command : {int{IDOK}, int{IDCANCEL}, 0})
        EXPECT_EQ(state.onCommand(command, std::nullopt), ProgressAction::Ignore) << command;
    EXPECT_EQ(state.onCommand(IDCANCEL, 0u), ProgressAction::Ignore);
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(state.onCommand(IDC_VIEW_LOG, 0u), ProgressAction::OpenReport);
    EXPECT_FALSE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 1u), ProgressAction::Close);
    EXPECT_TRUE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 0u), ProgressAction::Ignore);
    EXPECT_EQ(state.result(), 1);
}

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
