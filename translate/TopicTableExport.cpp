#include "translate/TopicTableExport.h"

#include "game/AsciiFold.h"
#include "game/UserTexts.h"
#include "translate/TableFile.h"

#include <algorithm>
#include <set>

namespace orvella {

namespace {

// The names a table file already holds, to refuse a derived row that would stand twice.
struct TakenNames {
    std::set<std::string, std::less<>> english;
    std::set<std::string, std::less<>> italian;
    // The Tribunal table runs strictly alphabetically without regard to case, so two English names that
    // differ only in case cannot both stand there.
    std::set<std::string, std::less<>> foldedEnglish;
    std::set<std::string_view> base;

    void take(const TopicRow& row) {
        english.emplace(row.english);
        italian.emplace(row.italian);
        std::string folded;
        foldAsciiInto(row.english, folded);
        foldedEnglish.insert(folded);
    }

    const char* problemWith(const TopicRow& row, TopicOrder order) const {
        if (row.english.empty() || row.italian.empty() || !isValidTableText(row.english) ||
            !isValidTableText(row.italian))
            return texts::ExportNameUnfit;
        std::string folded;
        foldAsciiInto(row.english, folded);
        if (english.count(row.english) || (order == TopicOrder::Alphabetical && foldedEnglish.count(folded)))
            return texts::ExportEnglishTaken;
        if (italian.count(row.italian))
            return texts::ExportItalianTaken;
        if (base.count(row.english) || base.count(row.italian))
            return texts::ExportNameInBaseTable;
        return nullptr;
    }
};

} // namespace

ExportedTable exportTopicTable(Game game, const TopicTables& tables, const DerivedTopicRows& derived,
                               const ExportedTable* baseTable) {
    const TopicOrder order = topicOrderOf(game);
    ExportedTable table;
    TakenNames taken;
    if (baseTable)
        for (const TopicRow& row : baseTable->rows)
            taken.base.insert({row.english, row.italian});
    for (const TopicRow& row : tables.topicRows(game)) {
        table.rows.push_back(row);
        taken.take(row);
    }
    table.builtIn = table.rows.size();
    for (const DerivedRow& row : derived.of(game)) {
        if (const char* problem = taken.problemWith(row.row, order)) {
            table.leftOut.push_back({row.row, problem});
            continue;
        }
        table.rows.push_back(row.row);
        taken.take(row.row);
        ++(row.by == PairedBy::ResponseIds ? table.byIds : table.byConditions);
    }
    if (order == TopicOrder::Alphabetical)
        std::stable_sort(table.rows.begin(), table.rows.end(), [](const TopicRow& a, const TopicRow& b) {
            return compareFolded(a.english, b.english) < 0;
        });
    else
        std::stable_sort(table.rows.begin(), table.rows.end(), [](const TopicRow& a, const TopicRow& b) {
            return a.english.size() > b.english.size();
        });
    table.bytes = "english\titalian\n";
    for (const TopicRow& row : table.rows) {
        table.bytes.append(row.english);
        table.bytes += '\t';
        table.bytes.append(row.italian);
        table.bytes += '\n';
    }
    return table;
}

} // namespace orvella
