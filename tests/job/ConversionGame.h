#pragma once

#include "JobHarness.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvella::test {

// One name in the English master and the Italian plugin: an object or a journal entry.
struct GamePair {
    const char* tag;
    const char* id;
    const char* english;
    const char* italian;
    bool quest = false;
};

inline constexpr GamePair GamePairs[] = {
    {"NPC_", "guard_01", "Guard", "Guardia"},
    {"WEAP", "iron sword", "Iron Sword", "Spada di Ferro"},
    {"SPEL", "fire bite", "Fire Bite", "Morso di Fuoco"},
    {"MISC", "misc_axe", "Axe", "Scure"},
    {"MISC", "misc_bucket", "Bucket", "Secchio"},
    {"MISC", "misc_candle", "Candle", "Candela"},
    {"DIAL", "A1_Rescue", "", ""},
    {"INFO", "1001", "Rescue the Prisoner", "Salva il Prigioniero", true},
    {"INFO", "1002", "I must take the ring to Caius Cosades in Balmora.",
     "Devo portare l'anello a Caius Cosades a Balmora."},
    {"INFO", "1003", "Caius Cosades calls me %Name, his new agent.",
     "Caius Cosades mi chiama %Name, il suo nuovo agente."},
};

// A game folder whose master and translation plugin name the same months ("Lastseed" is "Mese Lastseed"),
// NPC, items, quests and journal entries in English and Italian (made-up texts: only their pairing matters),
// with a harness that converts the saves put into it.
struct ConversionGame {
    ConversionGame() {
        build::GameFileBuilder master({.kind = build::FileKind::Master});
        build::GameFileBuilder plugin({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
        for (const char* id : {"sMonthMorningstar", "sMonthSunsdawn", "sMonthFirstseed", "sMonthRainshand",
                               "sMonthSecondseed", "sMonthMidyear", "sMonthSunsheight", "sMonthLastseed",
                               "sMonthHeartfire", "sMonthFrostfall", "sMonthSunsdusk", "sMonthEveningstar"}) {
            master.add(build::RecordBuilder("GMST").sub("NAME", id).text("STRV", id + 6));
            plugin.add(
                build::RecordBuilder("GMST").sub("NAME", id).text("STRV", std::string("Mese ") + (id + 6)));
        }
        for (const GamePair& pair : GamePairs) {
            master.add(record(pair, pair.english));
            plugin.add(record(pair, pair.italian));
        }
        master.writeTo(game.data(MorrowindMasterName));
        const std::string pluginBytes = plugin.bytes();
        build::writeBytes(game.data(MorrowindPluginName), pluginBytes);
        harness.installation.hasMorrowindMaster = harness.installation.hasMorrowindPlugin = true;
        harness.installation.morrowindPluginSize = static_cast<std::uint32_t>(pluginBytes.size());
        harness.tables = &tables;
        harness.saveInfo.usesMorrowindMaster = true;
    }

    static build::RecordBuilder record(const GamePair& pair, const char* text) {
        const std::string_view tag = pair.tag;
        if (tag == "DIAL")
            return build::RecordBuilder("DIAL").text("NAME", pair.id).sub("DATA", "\4");
        if (tag != "INFO")
            return build::RecordBuilder(pair.tag).text("NAME", pair.id).text("FNAM", text);
        build::RecordBuilder info("INFO");
        info.text("INAM", pair.id).text("NAME", text);
        return pair.quest ? info.sub("QSTN", "\1") : info;
    }

    // Converts the save from English to Italian (or back, as a save that lists the plugin), expecting the
    // exit code, and gives the save's bytes afterwards.
    std::string convert(const std::string& save, ConversionDirection direction,
                        std::uint32_t expectedExit = 0) {
        build::writeBytes(game.save("s.ess"), save);
        harness.saveInfo.usesMorrowindPlugin = direction == ItalianToEnglish;
        result = harness.run("s.ess", direction);
        EXPECT_EQ(result.exitCode, expectedExit) << harness.messages.shown.size();
        return build::readBytes(game.save("s.ess"));
    }

    static inline const std::vector<TopicRow> TopicRows = {{"Caius Cosades", "Caius Cosades"},
                                                           {"latest rumors", "ultime dicerie"},
                                                           {"Balmora", "Balmora"},
                                                           {"duties", "doveri"},
                                                           {"ring", "anello"}};

    GameFolder game;
    JobHarness harness{game};
    TopicTables tables{TopicRows, {}, {}, {}};
    PatchResult result;
};

} // namespace orvella::test
