#include "translate/NameMaps.h"
#include "ConversionFixture.h"
#include "RecordViews.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::ConversionFixture;
using test::mapEntry;

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
    // Rows without an Italian text carry the same name in both languages, as many real ones do.
    void add(std::vector<TopicRow>& rows, const std::string& english, const std::string& italian) {
        texts.push_back(std::make_unique<std::string>(english));
        texts.push_back(std::make_unique<std::string>(italian.empty() ? english : italian));
        rows.push_back({*texts[texts.size() - 2], *texts.back()});
    }
    std::vector<std::unique_ptr<std::string>> texts;
    std::vector<TopicRow> base, tribunal, bloodmoon;
    TopicTables tables;
};

struct TopicLoading : testing::Test {
    FullSizeTables full;
    ConversionFixture fixture;

    NameMaps& load(ConversionDirection direction, bool usesMaster, bool usesPlugin, bool hasPlugin) {
        GameInstallation installation;
        installation.hasTribunalPlugin = installation.hasBloodmoonPlugin = hasPlugin;
        const SaveInfo save{.usesTribunalMaster = usesMaster,
                            .usesTribunalPlugin = usesPlugin,
                            .usesBloodmoonMaster = usesMaster,
                            .usesBloodmoonPlugin = usesPlugin,
                            .direction = direction};
        fixture.reset(direction);
        loadTopicTables(full.tables, direction, includedExpansions(save, installation), fixture.names);
        return fixture.names;
    }
};

TEST_F(TopicLoading, ExpansionTablesFollowTheSaveAndTheInstalledPluginsWithTheKnownCounts) {
    const struct {
        ConversionDirection direction;
        bool usesMaster, usesPlugin, hasPlugin, loaded;
    } cases[] = {
        {EnglishToItalian, true, false, true, true},   {EnglishToItalian, true, false, false, false},
        {EnglishToItalian, false, false, true, false}, {ItalianToEnglish, true, true, false, true},
        {ItalianToEnglish, true, false, true, false},  {ItalianToEnglish, false, true, true, false},
    };
    for (const auto& c : cases) {
        NameMaps& names = load(c.direction, c.usesMaster, c.usesPlugin, c.hasPlugin);
        EXPECT_EQ(names.topicNameMap.size(), c.loaded ? 2098u : 1698u)
            << c.direction << c.usesMaster << c.usesPlugin << c.hasPlugin;
        EXPECT_EQ(names.englishTopicLinks.size(), c.loaded ? 2099u : 1698u);
        EXPECT_EQ(names.italianTopicLinks.size(), names.englishTopicLinks.size());
    }
}

TEST_F(TopicLoading, MapsGoFromTheSourceLanguageTheFirstPairWinsAndLinksAreLongestFirst) {
    NameMaps& italian = load(EnglishToItalian, true, false, true);
    EXPECT_EQ(italian.topicNameMap.at("tribunal 3"), "tribunale 3");
    EXPECT_EQ(italian.topicNameMap.at("base 0"), "base 0");
    for (const auto* links : {&italian.englishTopicLinks, &italian.italianTopicLinks}) {
        for (std::size_t i = 0; i < links->size(); ++i) {
            EXPECT_EQ((*links)[i].fromLength, (*links)[i].from.size());
            ASSERT_TRUE(i == 0 || (*links)[i].fromLength <= (*links)[i - 1].fromLength) << i;
        }
    }

    NameMaps& english = load(ItalianToEnglish, true, true, true);
    EXPECT_EQ(english.topicNameMap.at("luna di sangue 7"), "bloodmoon 7");
    EXPECT_EQ(english.topicNameMap.count("bloodmoon 7"), 0u);
    // Tribunal's row of the shared pair is inserted first; a changed Bloodmoon row shows which one won.
    full.bloodmoon.back().italian = "argomento di Solstheim";
    EXPECT_EQ(load(EnglishToItalian, true, false, true).topicNameMap.at("shared topic"), "argomento comune");
}

TEST(QuestNames, TheLowestEntryIdGivesTheNameAndAnUntranslatedEntryMapsToItself) {
    auto entry = [](const char* text, bool quest) {
        RecordBuilder info("INFO");
        info.text("INAM", "id").text("NAME", text);
        return quest ? info.sub("QSTN", "\1") : info;
    };
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionFixture fixture(direction);
        TranslationMap& entries = fixture.maps.journalEntryMap;
        entries.emplace("200", mapEntry(entry("Rescue", true), "Salvataggio B"));
        entries.emplace("100", mapEntry(entry("Rescue", true), "Salvataggio A"));
        entries.emplace("150", mapEntry(entry("Not a quest name", false), "Non un nome"));
        entries.emplace("300", mapEntry(entry("Lonely Quest", true)));
        buildQuestNameMap(fixture.maps, fixture.context.direction, fixture.names);
        const NameMap expected = direction == EnglishToItalian
                                     ? NameMap{{"Rescue", "Salvataggio A"}, {"Lonely Quest", "Lonely Quest"}}
                                     : NameMap{{"Salvataggio A", "Rescue"},
                                               {"Salvataggio B", "Rescue"},
                                               {"Lonely Quest", "Lonely Quest"}};
        EXPECT_EQ(fixture.names.questNameMap, expected);
    }
}

const char* const Months[] = {"sMonthMorningstar", "sMonthSunsdawn",   "sMonthFirstseed",
                              "sMonthRainshand",   "sMonthSecondseed", "sMonthMidyear",
                              "sMonthSunsheight",  "sMonthLastseed",   "sMonthHeartfire",
                              "sMonthFrostfall",   "sMonthSunsdusk",   "sMonthEveningstar"};

std::unique_ptr<TranslatedRecord> setting(const char* english, std::optional<std::string_view> italian) {
    RecordBuilder gmst("GMST");
    return mapEntry(english ? gmst.sub("STRV", english) : gmst, italian);
}

TEST(MonthNames, AMissingMonthFailsAfterTheEarlierPairs) {
    ConversionFixture fixture(EnglishToItalian);
    for (const char* id : Months)
        if (std::string(id) != "sMonthMidyear")
            fixture.maps.gmstMap.emplace(id, setting(id + 6, std::string("it ") + (id + 6)));
    EXPECT_FALSE(buildMonthNameMap(fixture.maps, fixture.context.direction, fixture.names));
    EXPECT_EQ(fixture.names.monthNameMap.size(), 5u);
    EXPECT_EQ(fixture.names.monthNameMap.at("Secondseed"), "it Secondseed");
}

// A setting with only one of its texts falls back to it; one with neither fails like a missing one.
TEST(MonthNames, ASettingWithOneTextFallsBackToIt) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionFixture fixture(direction);
        TranslationMap& settings = fixture.maps.gmstMap;
        for (const char* id : Months)
            settings.emplace(id, setting(id + 6, "Mese"));
        settings["sMonthFrostfall"] = setting("Frostfall", std::nullopt);
        settings["sMonthSunsdusk"] = setting(nullptr, "Tramonto");
        ASSERT_TRUE(buildMonthNameMap(fixture.maps, fixture.context.direction, fixture.names));
        NameMap& months = fixture.names.monthNameMap;
        EXPECT_EQ(months.at("Frostfall"), "Frostfall");
        EXPECT_EQ(months.at("Tramonto"), "Tramonto");
        // The first month named "Mese" wins in the reverse direction.
        EXPECT_EQ(direction == EnglishToItalian ? months.at("Morningstar") : months.at("Mese"),
                  direction == EnglishToItalian ? "Mese" : "Morningstar");

        months.clear();
        settings["sMonthMidyear"] = setting(nullptr, std::nullopt);
        EXPECT_FALSE(buildMonthNameMap(fixture.maps, fixture.context.direction, fixture.names));
    }
}

} // namespace
} // namespace orvella
