#include "translate/TableFile.h"

#include "game/AsciiFold.h"
#include "game/UserTexts.h"

#include <algorithm>
#include <set>

namespace orvella {

namespace {

// Splits one line at tabs.
std::vector<std::string_view> splitColumns(std::string_view line) {
    std::vector<std::string_view> columns;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        columns.push_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return columns;
        start = tab + 1;
    }
}

} // namespace

// Bytes that Windows-1252 leaves undefined, and control characters, have no place in a name.
bool isValidTableText(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
            byte == 0x9D)
            return false;
    }
    return true;
}

const char* topicTableFileName(Game game) {
    return game == Game::Base       ? BaseTopicTableFile
           : game == Game::Tribunal ? TribunalTopicTableFile
                                    : BloodmoonTopicTableFile;
}

TopicOrder topicOrderOf(Game game) {
    return game == Game::Tribunal ? TopicOrder::Alphabetical : TopicOrder::LongestFirst;
}

namespace {

struct Line {
    std::size_t number;
    std::vector<std::string_view> columns;
};

// Reads the data lines of a table file after checking its header; a final line feed is optional, CR LF
// allowed.
bool readLines(std::string_view bytes, std::string_view fileName, std::string_view header,
               std::vector<Line>& lines, TableFileError& error) {
    error = TableFileError{std::string(fileName), 0, {}};
    std::size_t number = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::string_view line =
            bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? bytes.size() : end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (number == 1) {
            if (line != header) {
                error.line = 1;
                error.problem = texts::tableHeaderExpected(header);
                return false;
            }
            continue;
        }
        if (line.empty() && start >= bytes.size())
            break;
        lines.push_back({number, splitColumns(line)});
    }
    if (number == 0) {
        error.line = 1;
        error.problem = texts::EmptyTable;
        return false;
    }
    return true;
}

bool checkColumns(const Line& line, std::size_t count, TableFileError& error) {
    error.line = line.number;
    if (line.columns.size() != count) {
        error.problem = texts::tableColumnsExpected(count);
        return false;
    }
    for (std::string_view column : line.columns) {
        if (!isValidTableText(column)) {
            error.problem = texts::TableBytesInvalid;
            return false;
        }
    }
    return true;
}

} // namespace

std::string TableFileError::message() const {
    return texts::invalidTable(fileName, line, problem);
}

bool parseTopicTable(std::string_view bytes, std::string_view fileName, TopicOrder order,
                     std::vector<TopicRow>& rows, TableFileError& error) {
    rows.clear();
    std::vector<Line> lines;
    if (!readLines(bytes, fileName, "english\titalian", lines, error))
        return false;
    std::set<std::string_view> english;
    std::set<std::string_view> italian;
    for (const Line& line : lines) {
        if (!checkColumns(line, 2, error))
            return false;
        TopicRow row{line.columns[0], line.columns[1]};
        if (row.english.empty() || row.italian.empty()) {
            error.problem = texts::EmptyTopicName;
            return false;
        }
        if (!english.insert(row.english).second || !italian.insert(row.italian).second) {
            error.problem = texts::TextRepeatedInColumn;
            return false;
        }
        if (!rows.empty()) {
            std::string_view previous = rows.back().english;
            bool inOrder = order == TopicOrder::LongestFirst ? row.english.size() <= previous.size()
                                                             : compareFolded(previous, row.english) < 0;
            if (!inOrder) {
                error.problem = order == TopicOrder::LongestFirst ? texts::RowsNotLongestFirst
                                                                  : texts::RowsNotAlphabetical;
                return false;
            }
        }
        rows.push_back(row);
    }
    return true;
}

bool parseJournalFixTable(std::string_view bytes, std::string_view fileName, std::vector<JournalFixRow>& rows,
                          TableFileError& error) {
    rows.clear();
    std::vector<Line> lines;
    if (!readLines(bytes, fileName, "questId\tenglish\titalian", lines, error))
        return false;
    for (const Line& line : lines) {
        if (!checkColumns(line, 3, error))
            return false;
        JournalFixRow row{line.columns[0], line.columns[1], line.columns[2]};
        if (row.english.empty() != row.italian.empty()) {
            error.problem = texts::FixTextsApart;
            return false;
        }
        rows.push_back(row);
    }
    return true;
}

bool checkExpansionTables(const TopicTables& tables, TableFileError& error) {
    std::set<std::string_view> baseTexts;
    for (const TopicRow& row : tables.base) {
        baseTexts.insert(row.english);
        baseTexts.insert(row.italian);
    }
    auto check = [&](std::span<const TopicRow> rows, const char* fileName) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (baseTexts.count(rows[i].english) || baseTexts.count(rows[i].italian)) {
                error = TableFileError{fileName, i + 2, texts::TopicInBaseTable};
                return false;
            }
        }
        return true;
    };
    return check(tables.tribunal, TribunalTopicTableFile) && check(tables.bloodmoon, BloodmoonTopicTableFile);
}

std::string_view TableSet::keep(std::string bytes) {
    storage_.push_back(std::make_unique<std::string>(std::move(bytes)));
    return *storage_.back();
}

void TableSet::publish() {
    tables_ = TopicTables{base_, tribunal_, bloodmoon_, journalFixes_, tables_.suppliedAsFile};
}

bool TableSet::load(std::string_view base, std::string_view tribunal, std::string_view bloodmoon,
                    std::string_view journalFixes, TableFileError& error) {
    bool ok =
        parseTopicTable(base, BaseTopicTableFile, TopicOrder::LongestFirst, base_, error) &&
        parseTopicTable(tribunal, TribunalTopicTableFile, TopicOrder::Alphabetical, tribunal_, error) &&
        parseTopicTable(bloodmoon, BloodmoonTopicTableFile, TopicOrder::LongestFirst, bloodmoon_, error) &&
        parseJournalFixTable(journalFixes, JournalFixTableFile, journalFixes_, error);
    publish();
    return ok && checkExpansionTables(tables_, error);
}

bool TableSet::loadFolder(FileSystem& files, const std::string& folder, TableFileError& error) {
    auto read = [&](const char* fileName, std::string_view& bytes) {
        std::vector<std::uint8_t> content;
        std::string path = folder + "\\" + fileName;
        if (!files.exists(path))
            return true;
        if (!readWholeFile(files, path, content)) {
            error = TableFileError{fileName, 0, texts::CannotReadFile};
            return false;
        }
        bytes = keep(std::string(content.begin(), content.end()));
        return true;
    };
    const TopicTables& builtIn = builtInTables();
    std::string_view base, tribunal, bloodmoon, fixes;
    if (!read(BaseTopicTableFile, base) || !read(TribunalTopicTableFile, tribunal) ||
        !read(BloodmoonTopicTableFile, bloodmoon) || !read(JournalFixTableFile, fixes))
        return false;
    tables_.suppliedAsFile = {base.data() != nullptr, tribunal.data() != nullptr,
                              bloodmoon.data() != nullptr};
    bool ok =
        (base.data() ? parseTopicTable(base, BaseTopicTableFile, TopicOrder::LongestFirst, base_, error)
                     : (base_.assign(builtIn.base.begin(), builtIn.base.end()), true)) &&
        (tribunal.data()
             ? parseTopicTable(tribunal, TribunalTopicTableFile, TopicOrder::Alphabetical, tribunal_, error)
             : (tribunal_.assign(builtIn.tribunal.begin(), builtIn.tribunal.end()), true)) &&
        (bloodmoon.data() ? parseTopicTable(bloodmoon, BloodmoonTopicTableFile, TopicOrder::LongestFirst,
                                            bloodmoon_, error)
                          : (bloodmoon_.assign(builtIn.bloodmoon.begin(), builtIn.bloodmoon.end()), true)) &&
        (fixes.data()
             ? parseJournalFixTable(fixes, JournalFixTableFile, journalFixes_, error)
             : (journalFixes_.assign(builtIn.journalFixes.begin(), builtIn.journalFixes.end()), true));
    publish();
    return ok && checkExpansionTables(tables_, error);
}

} // namespace orvella
