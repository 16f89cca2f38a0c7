#pragma once

#include "platform/FileSystem.h"
#include "translate/BuiltInTables.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

inline constexpr const char* BaseTopicTableFile = "BaseTopicTable.tsv";
inline constexpr const char* TribunalTopicTableFile = "TribunalTopicTable.tsv";
inline constexpr const char* BloodmoonTopicTableFile = "BloodmoonTopicTable.tsv";
inline constexpr const char* JournalFixTableFile = "JournalFixTable.tsv";

// Why a table file was refused: the file, the 1-based line, and what is wrong there.
struct TableFileError {
    std::string fileName;
    std::size_t line = 0;
    std::string problem;

    std::string message() const;
};

enum class TopicOrder { LongestFirst, Alphabetical };

const char* topicTableFileName(Game game);
// The base and Bloodmoon tables run longest English name first, the Tribunal table alphabetically.
TopicOrder topicOrderOf(Game game);
// False for a text with a control character or a byte that Windows-1252 leaves undefined.
bool isValidTableText(std::string_view text);

// Splits a tab-separated topic table (header line "english\titalian") into rows that point into bytes, and
// checks its rules: two columns, Windows-1252 text, no text twice within a column, the table's order.
bool parseTopicTable(std::string_view bytes, std::string_view fileName, TopicOrder order,
                     std::vector<TopicRow>& rows, TableFileError& error);
// The same for the journal fixes (header line "questId\tenglish\titalian").
bool parseJournalFixTable(std::string_view bytes, std::string_view fileName, std::vector<JournalFixRow>& rows,
                          TableFileError& error);

// A complete set of tables with the storage its rows point into.
class TableSet {
public:
    TableSet() = default;
    TableSet(const TableSet&) = delete;
    TableSet& operator=(const TableSet&) = delete;

    // Parses the four tables from their files' bytes and checks the rules between them: no base text in an
    // expansion table.
    bool load(std::string_view base, std::string_view tribunal, std::string_view bloodmoon,
              std::string_view journalFixes, TableFileError& error);
    // Replaces each table whose file is present in the folder; the others keep the built-in rows.
    bool loadFolder(FileSystem& files, const std::string& folder, TableFileError& error);

    const TopicTables& tables() const { return tables_; }

private:
    std::string_view keep(std::string bytes);
    void publish();

    std::vector<std::unique_ptr<std::string>> storage_;
    std::vector<TopicRow> base_;
    std::vector<TopicRow> tribunal_;
    std::vector<TopicRow> bloodmoon_;
    std::vector<JournalFixRow> journalFixes_;
    TopicTables tables_;
};

// Checks that no text of the base table stands in an expansion table.
bool checkExpansionTables(const TopicTables& tables, TableFileError& error);

} // namespace orvella
