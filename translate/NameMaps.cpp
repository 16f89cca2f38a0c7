#include "translate/NameMaps.h"

#include <algorithm>

namespace orvella {

namespace {

const char MonthSettingNames[12][20] = {
    "sMonthMorningstar", "sMonthSunsdawn",  "sMonthFirstseed",  "sMonthRainshand",
    "sMonthSecondseed",  "sMonthMidyear",   "sMonthSunsheight", "sMonthLastseed",
    "sMonthHeartfire",   "sMonthFrostfall", "sMonthSunsdusk",   "sMonthEveningstar",
};

// A subrecord's data taken as text up to its size: the terminator added by the reader is not part of it.
std::string dataText(const Subrecord& subrecord) {
    return std::string(subrecord.text());
}

void addTopicRow(const TopicRow& row, ConversionDirection direction, NameMaps& names) {
    names.englishTopicLinks.push_back(
        {row.english, row.italian, static_cast<std::uint32_t>(row.english.size())});
    names.italianTopicLinks.push_back(
        {row.italian, row.english, static_cast<std::uint32_t>(row.italian.size())});
    if (direction == EnglishToItalian)
        names.topicNameMap.emplace(row.english, row.italian);
    else
        names.topicNameMap.emplace(row.italian, row.english);
}

// A table's rows, then the pairs derived for it from the game's files.
void addTopicTable(const TopicTables& tables, const DerivedTopicRows& derived, Game game,
                   ConversionDirection direction, NameMaps& names) {
    for (const TopicRow& row : tables.topicRows(game))
        addTopicRow(row, direction, names);
    for (const DerivedRow& row : derived.of(game))
        addTopicRow(row.row, direction, names);
}

void sortLongestFirst(std::vector<TopicLink>& links) {
    std::stable_sort(links.begin(), links.end(),
                     [](const TopicLink& a, const TopicLink& b) { return a.fromLength > b.fromLength; });
}

} // namespace

void loadTopicTables(const TopicTables& tables, const DerivedTopicRows& derived,
                     ConversionDirection direction, const IncludedGames& included, NameMaps& names) {
    for (Game game : AllGames)
        if (included.includes(game))
            addTopicTable(tables, derived, game, direction, names);
    sortLongestFirst(names.englishTopicLinks);
    sortLongestFirst(names.italianTopicLinks);
}

void buildQuestNameMap(const TranslationMaps& maps, ConversionDirection direction, NameMaps& names) {
    for (const auto& [id, record] : maps[MapKind::JournalEntry]) {
        if (!record->findSubrecord("QSTN"))
            continue;
        const Subrecord* name = record->findSubrecord("NAME");
        if (!name)
            continue;
        std::string english = dataText(*name);
        std::string other = dataText(*record->textIn(Language::Italian, "NAME"));
        if (direction == EnglishToItalian)
            names.questNameMap.emplace(std::move(english), std::move(other));
        else
            names.questNameMap.emplace(std::move(other), std::move(english));
    }
}

bool buildMonthNameMap(const TranslationMaps& maps, ConversionDirection direction, NameMaps& names) {
    for (const char* id : MonthSettingNames) {
        auto found = maps[MapKind::Gmst].find(id);
        if (found == maps[MapKind::Gmst].end())
            return false;
        const TranslatedRecord& record = *found->second;
        // A setting without one of its texts falls back to the other, so the journal keeps readable dates.
        const Subrecord* strv = record.findSubrecord("STRV");
        const Subrecord* translation = record.translation();
        if (!strv && !translation)
            return false;
        std::string english = dataText(strv ? *strv : *translation);
        std::string italian = dataText(translation ? *translation : *strv);
        if (direction == EnglishToItalian)
            names.monthNameMap.emplace(std::move(english), std::move(italian));
        else
            names.monthNameMap.emplace(std::move(italian), std::move(english));
    }
    return true;
}

} // namespace orvella
