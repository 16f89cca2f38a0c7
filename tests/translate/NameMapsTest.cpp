#include "translate/NameMaps.h"
#include "JobFixture.h"
#include "gamebuilder/GameBuilder.h"

#include <cstring>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::JobFixture;

// Synthetic tables of the real tables' sizes, with one pair shared by the two expansions.
struct FullSizeTables {
    FullSizeTables() {
        for (int i = 0; i < 1698; ++i)
            add(base, "base " + std::string(static_cast<std::size_t>(i % 30), 'x') + std::to_string(i),
                i % 4 == 0 ? "" : "base it " + std::to_string(i));
        for (int i = 0; i < 216; ++i)
            add(tribunal, "tribunal " + std::to_string(i), "tribunale " + std::to_string(i));
        add(tribunal, "shared topic", "argomento comune");
        for (int i = 0; i < 183; ++i)
            add(bloodmoon, "bloodmoon " + std::to_string(i), "luna di sangue " + std::to_string(i));
        add(bloodmoon, "shared topic", "argomento comune");
        tables = TopicTables{base, tribunal, bloodmoon, {}};
    }
    void add(std::vector<TopicRow>& rows, const std::string& english, const std::string& italian) {
        texts.push_back(std::make_unique<std::string>(english));
        const std::string& en = *texts.back();
        // Some rows carry the same name in both languages, as many real ones do.
        texts.push_back(std::make_unique<std::string>(italian.empty() ? english : italian));
        rows.push_back({en, *texts.back()});
    }
    std::vector<std::unique_ptr<std::string>> texts;
    std::vector<TopicRow> base, tribunal, bloodmoon;
    TopicTables tables;
};

struct TopicLoading : testing::Test {
    FullSizeTables full;
    JobFixture fixture;

    NameMaps& load(ConversionDirection direction, bool tribunal, bool bloodmoon) {
        fixture.job.tables = &full.tables;
        fixture.job.saveInfo = SaveInfo{};
        fixture.job.saveInfo.usesTribunalMaster = fixture.job.saveInfo.usesTribunalPlugin = tribunal;
        fixture.job.saveInfo.usesBloodmoonMaster = fixture.job.saveInfo.usesBloodmoonPlugin = bloodmoon;
        fixture.reset(direction);
        loadTopicTables(*fixture.state);
        return fixture.state->names;
    }
};

TEST_F(TopicLoading, FullTablesGiveTheKnownCounts) {
    NameMaps& all = load(EnglishToItalian, true, true);
    EXPECT_EQ(all.topicNameMap.size(), 2098u);
    EXPECT_EQ(all.englishTopicLinks.size(), 2099u);
    EXPECT_EQ(all.italianTopicLinks.size(), 2099u);
    EXPECT_EQ(load(ItalianToEnglish, true, true).topicNameMap.size(), 2098u);
    EXPECT_EQ(load(EnglishToItalian, false, false).topicNameMap.size(), 1698u);
}

TEST_F(TopicLoading, LinkListsAreOrderedLongestFirst) {
    NameMaps& names = load(EnglishToItalian, true, true);
    for (const auto* links : {&names.englishTopicLinks, &names.italianTopicLinks}) {
        std::uint32_t longest = 0;
        for (const TopicLink& link : *links) {
            longest = std::max(longest, link.fromLength);
            EXPECT_EQ(link.fromLength, link.from.size());
        }
        EXPECT_EQ(links->front().fromLength, longest);
        for (std::size_t i = 1; i < links->size(); ++i)
            ASSERT_LE((*links)[i].fromLength, (*links)[i - 1].fromLength) << i;
    }
}

TEST_F(TopicLoading, MapsGoFromTheSourceLanguageAndTheFirstPairWins) {
    NameMaps& italian = load(EnglishToItalian, true, true);
    EXPECT_EQ(italian.topicNameMap.at("tribunal 3"), "tribunale 3");
    EXPECT_EQ(italian.topicNameMap.at("base 0"), "base 0"); // same in both languages
    NameMaps& english = load(ItalianToEnglish, true, true);
    EXPECT_EQ(english.topicNameMap.at("luna di sangue 7"), "bloodmoon 7");
    EXPECT_EQ(english.topicNameMap.count("bloodmoon 7"), 0u);

    // Tribunal's row of the shared pair is inserted first; a changed Bloodmoon row shows which one won.
    full.bloodmoon.back().italian = "argomento di Solstheim";
    EXPECT_EQ(load(EnglishToItalian, true, true).topicNameMap.at("shared topic"), "argomento comune");
}

TEST_F(TopicLoading, ExpansionTablesFollowTheSaveAndTheInstalledPlugins) {
    struct Case {
        ConversionDirection direction;
        bool usesMaster, usesPlugin, hasPlugin, loaded;
    };
    const Case cases[] = {
        {EnglishToItalian, true, false, true, true},   {EnglishToItalian, true, false, false, false},
        {EnglishToItalian, false, false, true, false}, {ItalianToEnglish, true, true, false, true},
        {ItalianToEnglish, true, false, true, false},  {ItalianToEnglish, false, true, true, false},
    };
    for (const Case& c : cases) {
        fixture.job.tables = &full.tables;
        fixture.installation.hasTribunalPlugin = fixture.installation.hasBloodmoonPlugin = c.hasPlugin;
        fixture.job.saveInfo = SaveInfo{};
        fixture.job.saveInfo.usesTribunalMaster = fixture.job.saveInfo.usesBloodmoonMaster = c.usesMaster;
        fixture.job.saveInfo.usesTribunalPlugin = fixture.job.saveInfo.usesBloodmoonPlugin = c.usesPlugin;
        fixture.reset(c.direction);
        loadTopicTables(*fixture.state);
        EXPECT_EQ(fixture.state->names.topicNameMap.size(), c.loaded ? 2098u : 1698u)
            << c.direction << c.usesMaster << c.usesPlugin << c.hasPlugin;
    }
}

std::unique_ptr<TranslatedRecord> journalEntry(const std::string& text, const char* translation, bool quest) {
    RecordBuilder builder("INFO");
    builder.text("INAM", "id").text("NAME", text);
    if (quest)
        builder.sub("QSTN", std::string(1, '\1'));
    auto plain = builder.build();
    auto record = std::make_unique<TranslatedRecord>(plain->tag(), 0, 0, 0);
    for (const auto& subrecord : plain->subrecords())
        record->appendSubrecord(std::make_unique<Subrecord>(subrecord->tag, subrecord->data));
    if (translation)
        record->setTranslation("-TR-", translation, static_cast<std::uint32_t>(std::strlen(translation) + 1));
    return record;
}

TEST(QuestNames, TheLowestEntryIdGivesTheNameAndAnUntranslatedEntryMapsToItself) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        JobFixture fixture(direction);
        TranslationMap& entries = fixture.state->maps.journalEntryMap;
        entries.emplace("200", journalEntry("Rescue", "Salvataggio B", true));
        entries.emplace("100", journalEntry("Rescue", "Salvataggio A", true));
        entries.emplace("150", journalEntry("Not a quest name", "Non un nome", false));
        entries.emplace("300", journalEntry("Lonely Quest", nullptr, true));
        buildQuestNameMap(*fixture.state);
        NameMap& quests = fixture.state->names.questNameMap;
        EXPECT_EQ(quests.count("Not a quest name") + quests.count("Non un nome"), 0u);
        EXPECT_EQ(quests.at("Lonely Quest"), "Lonely Quest");
        if (direction == EnglishToItalian) {
            EXPECT_EQ(quests.at("Rescue"), "Salvataggio A");
            EXPECT_EQ(quests.size(), 2u);
        } else {
            EXPECT_EQ(quests.at("Salvataggio A"), "Rescue");
            EXPECT_EQ(quests.at("Salvataggio B"), "Rescue");
        }
    }
}

std::unique_ptr<TranslatedRecord> setting(const char* english, const char* italian) {
    auto record = std::make_unique<TranslatedRecord>(Tag("GMST"), 0, 0, 0);
    if (english)
        record->appendSubrecord(
            std::make_unique<Subrecord>("STRV", english, static_cast<std::uint32_t>(std::strlen(english))));
    if (italian)
        record->setTranslation("-TR-", italian, static_cast<std::uint32_t>(std::strlen(italian)));
    return record;
}

const char* const Months[] = {"sMonthMorningstar", "sMonthSunsdawn",   "sMonthFirstseed",
                              "sMonthRainshand",   "sMonthSecondseed", "sMonthMidyear",
                              "sMonthSunsheight",  "sMonthLastseed",   "sMonthHeartfire",
                              "sMonthFrostfall",   "sMonthSunsdusk",   "sMonthEveningstar"};

TEST(MonthNames, AMissingMonthFailsAfterTheEarlierPairs) {
    JobFixture fixture(EnglishToItalian);
    for (const char* id : Months)
        if (std::string(id) != "sMonthMidyear")
            fixture.state->maps.gmstMap.emplace(id, setting(id + 6, (std::string("it ") + (id + 6)).c_str()));
    EXPECT_FALSE(buildMonthNameMap(*fixture.state));
    EXPECT_EQ(fixture.state->names.monthNameMap.size(), 5u);
    EXPECT_EQ(fixture.state->names.monthNameMap.at("Secondseed"), "it Secondseed");
}

TEST(MonthNames, ASettingWithOneTextFallsBackToIt) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        JobFixture fixture(direction);
        for (const char* id : Months)
            fixture.state->maps.gmstMap.emplace(id, setting(id + 6, "Mese"));
        fixture.state->maps.gmstMap["sMonthFrostfall"] = setting("Frostfall", nullptr);
        fixture.state->maps.gmstMap["sMonthSunsdusk"] = setting(nullptr, "Tramonto");
        ASSERT_TRUE(buildMonthNameMap(*fixture.state));
        NameMap& months = fixture.state->names.monthNameMap;
        EXPECT_EQ(months.at("Frostfall"), "Frostfall");
        EXPECT_EQ(months.at("Tramonto"), "Tramonto");
        // The first month named "Mese" wins in the reverse direction.
        EXPECT_EQ(months.at(direction == EnglishToItalian ? "Morningstar" : "Mese"),
                  direction == EnglishToItalian ? "Mese" : "Morningstar");

        fixture.state->names.monthNameMap.clear();
        fixture.state->maps.gmstMap["sMonthMidyear"] = setting(nullptr, nullptr);
        EXPECT_FALSE(buildMonthNameMap(*fixture.state));
    }
}

} // namespace
} // namespace orvella
