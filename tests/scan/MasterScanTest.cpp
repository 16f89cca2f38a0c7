#include "scan/MasterScan.h"
#include "TestFolder.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"
#include "scan/TextIndex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvella {
namespace {

using build::RecordBuilder;

build::GameFileBuilder masterFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Master});
}
build::GameFileBuilder pluginFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
}

// Runs only the scan over a game folder with fresh maps, keeping what it told, each event followed by "|":
// "masters 1/2" for records done of a file, "masters done" once a pass is complete.
struct ScanHarness : ScanProgress {
    void scanned(ScanPass pass, std::uint32_t done, std::uint32_t total) override {
        told += std::string(pass == MasterPass ? "masters " : "plugins ") + std::to_string(done) + "/" +
                std::to_string(total) + "|";
    }
    void passCompleted(ScanPass pass) override {
        told += pass == MasterPass ? "masters done|" : "plugins done|";
    }

    void write(const std::string& name, const std::string& bytes) const {
        build::writeBytes(game.data(name), bytes);
    }
    void write(const std::string& name, const build::GameFileBuilder& file) const {
        write(name, file.bytes());
    }
    bool scan() {
        told.clear();
        error = ScanError();
        maps = TranslationMaps();
        return scanMastersAndPlugins(nativeFileSystem(), installation, included, maps, *this, error);
    }

    test::GameFolder game;
    GameInstallation installation{game.path()};
    IncludedGames included;
    std::string told;
    ScanError error;
    TranslationMaps maps;
};

RecordBuilder gmst(const std::string& id, const std::string& tag, const std::string& value) {
    return RecordBuilder("GMST").sub("NAME", id).sub(tag, value);
}
RecordBuilder named(const char* tag, const std::string& id, const std::string& name) {
    return RecordBuilder(tag).text("NAME", id).text("FNAM", name);
}
RecordBuilder dial(const std::string& id, const std::string& type) {
    return RecordBuilder("DIAL").text("NAME", id).sub("DATA", type);
}
RecordBuilder info(const std::string& id, const std::string& text) {
    return RecordBuilder("INFO").text("INAM", id).text("NAME", text);
}

// Each key with its entry: "TAG=data" of each subrecord, then of the translation, a NUL shown as "~".
std::string contents(const TranslationMap& map) {
    std::string out;
    for (const auto& [key, entry] : map) {
        out += key + ":";
        for (const auto& subrecord : entry->subrecords())
            out += " " + std::string(subrecord.tag.str()) + "=" +
                   std::string(subrecord.data.begin(), subrecord.data.end());
        if (const Subrecord* translation = entry->translation())
            out += " -TR-=" + std::string(translation->data.begin(), translation->data.end());
        out += "|";
    }
    std::replace(out.begin(), out.end(), '\0', '~');
    return out;
}

// Settings keep the first record with the last master's text and the last plugin's translation; NPCs and
// items the first record by case-sensitive ID, taking later names only where they have one. Journal topics
// keep their entries, other topics and those deleted or without ID or type none, nor entries without either.
// Of a record, a map keeps its ID and the texts a conversion reads.
TEST(ScanMaps, KeepTheFirstRecordTakeTheLastTextsAndOnlyTheJournalsEntries) {
    const std::string journal(1, '\4'), topic(1, '\0');
    ScanHarness harness;
    harness.included.games = {true, true, true};
    harness.installation.installed(Game::Tribunal).pluginName = TribunalPluginName;
    harness.write(
        MorrowindMasterName,
        masterFile()
            .add(gmst("sMonthMidyear", "STRV", "Mid Year"))
            .add(gmst("iLevelUp", "INTV", build::u32(10)))
            .add(gmst("sNoTerm\xE8", "STRV", "x"))
            .add(RecordBuilder("NPC_", 7).text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "1"))
            .add(named("MISC", "shared id", "Misc Name"))
            .add(named("WEAP", "shared id", "Weapon Name"))
            .add(named("BOOK", "book", "Old Book"))
            // IDs are case-sensitive; other records, creatures among them, are not kept.
            .add(named("MISC", "Gold", "Gold"))
            .add(named("CELL", "gold", "Cell"))
            .add(named("MISC", "gold", "gold"))
            // IDs alike in their first fifteen bytes, met in the plugin in the other order.
            .add(named("MISC", "misc_long_shared_1", "First"))
            .add(named("MISC", "misc_long_shared_2", "Second"))
            .add(dial("A1_Deleted", journal).sub("DELE", build::u32(0)))
            .add(info("501", "Deleted entry"))
            .add(info("502", "Another deleted entry"))
            .add(RecordBuilder("DIAL").text("NAME", "A1_NoType"))
            .add(info("503", "Entry of a topic without type"))
            .add(RecordBuilder("DIAL").text("NAME", "A1_EmptyType").sub("DATA", ""))
            .add(info("504", "Entry of a topic with an empty type"))
            .add(RecordBuilder("DIAL").sub("DATA", journal))
            .add(info("505", "Entry of a topic without ID"))
            .add(dial("A3_Quest", journal))
            .add(RecordBuilder("INFO").text("NAME", "No ID"))
            .add(RecordBuilder("INFO").text("INAM", "601"))
            .add(info("602", "Kept"))
            .add(RecordBuilder("GMST").sub("STRV", "setting without ID"))
            .add(RecordBuilder("NPC_").text("FNAM", "NPC without ID"))
            .add(RecordBuilder("LIGH").text("FNAM", "Light without ID"))
            .add(dial("A1_Quest", journal).sub("X", "first"))
            .add(info("101", "English one").sub("QSTN", "\1").text("PNAM", ""))
            .add(info("102", "English two"))
            .add(dial("rumours", topic))
            .add(info("201", "A plain answer"))
            // The record behind a topic's entries is scanned.
            .add(named("LIGH", "torch", "Torch"))
            .add(dial("A2_Last", journal))
            .add(info("301", "At the end of the file")));
    harness.write(MorrowindPluginName, pluginFile()
                                           .add(gmst("sMonthMidyear", "STRV", "Mezz'anno"))
                                           .add(gmst("iLevelUp", "INTV", build::u32(12)))
                                           .add(named("NPC_", "fargoth", "Fargoth MW"))
                                           .add(named("BOOK", "book", "Libro"))
                                           .add(named("SPEL", "shared id", "Nome"))
                                           .add(named("MISC", "misc_long_shared_2", "Secondo"))
                                           .add(named("MISC", "misc_long_shared_1", "Primo"))
                                           .add(dial("A3_Quest", journal))
                                           .add(RecordBuilder("INFO").text("INAM", "602"))
                                           .add(dial("A1_Quest", journal))
                                           .add(info("101", "Italiano uno"))
                                           .add(dial("rumours", topic))
                                           .add(info("201", "Risposta"))
                                           .add(dial("P_Only", journal))
                                           .add(info("401", "Solo nel plugin")));
    harness.write(TribunalMasterName,
                  masterFile()
                      .add(gmst("sMonthMidyear", "STRV", "Midyear").sub("X", "t"))
                      .add(gmst("iLevelUp", "STRV", "ten"))
                      .add(named("NPC_", "fargoth", "Fargoth the Second"))
                      .add(RecordBuilder("BOOK").text("NAME", "book").sub("TEXT", "no name"))
                      .add(dial("A1_Quest", journal))
                      .add(info("102", "English two, new")));
    // Tribunal's plugin defines an ID no master has: its first text stays, a later plugin's is the
    // translation.
    harness.write(TribunalPluginName, pluginFile()
                                          .add(named("ARMO", "tr_helm", "Elmo"))
                                          .add(named("CLOT", "tr_robe", "Tunica").text("MODL", "robe.nif")));
    harness.write(BloodmoonPluginName, pluginFile()
                                           .add(gmst("sMonthMidyear", "STRV", "Meta anno"))
                                           .add(named("NPC_", "fargoth", "Fargoth BM"))
                                           .add(named("CLOT", "tr_robe", "Veste"))
                                           .add(dial("A1_Quest", journal))
                                           .add(info("101", "Ultimo")));
    ASSERT_TRUE(harness.scan());
    const TranslationMaps& maps = harness.maps;
    // A setting without a text stays as the first master had it; IDs without a terminator keep every byte.
    EXPECT_EQ(contents(maps[MapKind::Gmst]),
              "iLevelUp: NAME=iLevelUp|sMonthMidyear: NAME=sMonthMidyear STRV=Midyear -TR-=Meta anno|"
              "sNoTerm\xE8: NAME=sNoTerm\xE8 STRV=x|");
    EXPECT_EQ(maps[MapKind::Gmst].at("sMonthMidyear")->size(), 8 + 13 + 8 + 7u);
    EXPECT_EQ(contents(maps[MapKind::Npc]),
              "fargoth: NAME=fargoth~ FNAM=Fargoth the Second~ -TR-=Fargoth BM~|");
    EXPECT_EQ(maps[MapKind::Npc].at("fargoth")->headerWord(), 7u);
    // A record's size counts the subrecords its map keeps, whichever thread held it.
    EXPECT_EQ(maps[MapKind::Npc].at("fargoth")->size(), 8 + 8 + 8 + 19u);
    EXPECT_EQ(maps[MapKind::Item].at("tr_robe")->size(), 8 + 8 + 8 + 7u);
    // Within one master too, a later record of the same ID brings only its name.
    EXPECT_EQ(
        contents(maps[MapKind::Item]),
        "Gold: NAME=Gold~ FNAM=Gold~|book: NAME=book~ FNAM=Old Book~ -TR-=Libro~|gold: NAME=gold~ FNAM=gold~|"
        "misc_long_shared_1: NAME=misc_long_shared_1~ FNAM=First~ -TR-=Primo~|"
        "misc_long_shared_2: NAME=misc_long_shared_2~ FNAM=Second~ -TR-=Secondo~|"
        "shared id: NAME=shared id~ FNAM=Weapon Name~ -TR-=Nome~|torch: NAME=torch~ FNAM=Torch~|"
        "tr_helm: NAME=tr_helm~ FNAM=Elmo~|tr_robe: NAME=tr_robe~ FNAM=Tunica~ -TR-=Veste~|");
    EXPECT_TRUE(maps[MapKind::Item].at("shared id")->tag().is("MISC"));
    EXPECT_EQ(
        contents(maps[MapKind::JournalTopic]),
        "A1_Quest: NAME=A1_Quest~|A2_Last: NAME=A2_Last~|A3_Quest: NAME=A3_Quest~|P_Only: NAME=P_Only~|");
    EXPECT_EQ(contents(maps[MapKind::JournalEntry]),
              "101: INAM=101~ NAME=English one~ QSTN=\1 -TR-=Ultimo~|102: INAM=102~ NAME=English two, new~|"
              "301: INAM=301~ NAME=At the end of the file~|401: INAM=401~ NAME=Solo nel plugin~|"
              "602: INAM=602~ NAME=Kept~|");
}

// A missing Morrowind master or plugin fails its pass without a message, a damaged one naming the file and
// the offset; a bad master stops the scan before the plugins, and a file with a count of 0 reads only its
// header. The scan takes every path that start-up takes, up to the platform's limit; one longer is named.
TEST(ScanFailures, AMissingDamagedOrTooLongMorrowindFileFailsItsPass) {
    ScanHarness harness;
    EXPECT_FALSE(harness.scan());
    EXPECT_EQ(harness.error.pass, MasterPass);
    harness.write(MorrowindMasterName, masterFile());
    EXPECT_FALSE(harness.scan());
    EXPECT_EQ(harness.error.pass, PluginPass);
    EXPECT_EQ(harness.error.message + harness.told, "");
    harness.write(MorrowindPluginName, pluginFile());
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(harness.told, "masters 1/1|masters done|plugins 1/1|plugins done|");
    EXPECT_EQ(harness.maps.recordCount(), 0u);

    // A count that the file's length could just hold is taken, and the file refused where a record breaks.
    for (std::size_t stray : {12, 2}) {
        std::string fits = masterFile().bytes() + std::string(stray, 'x');
        harness.write(MorrowindMasterName,
                      fits.replace(RecordCountOffset, 4, build::u32(fits.size() / 16 - 1)));
        ASSERT_FALSE(harness.scan());
        EXPECT_NE(harness.error.message.find(stray > 4 ? "offset 324" : "troncata"), std::string::npos)
            << harness.error.message;
    }

    const std::string master(demo::demoMaster()), plugin(demo::demoPlugin());
    for (bool badPlugin : {false, true}) {
        harness.write(MorrowindMasterName, badPlugin ? master : master.substr(0, master.size() - 5));
        harness.write(MorrowindPluginName, badPlugin ? plugin.substr(0, plugin.size() - 5) : plugin);
        ASSERT_FALSE(harness.scan());
        const std::string name = badPlugin ? MorrowindPluginName : MorrowindMasterName;
        EXPECT_EQ(std::pair(harness.error.pass, harness.error.icon),
                  std::pair(badPlugin ? PluginPass : MasterPass, MessageIcon::Error));
        EXPECT_TRUE(harness.error.message.find("\"" + name + "\"") != std::string::npos &&
                    harness.error.message.find("offset ") != std::string::npos)
            << harness.error.message;
        const std::string& told = harness.told;
        EXPECT_EQ(told.find("masters done") != told.npos && told.find("plugins") != told.npos, badPlugin);
        EXPECT_EQ(told.find("plugins done"), told.npos);
    }

    // OpenMW's data folders without the plugin fail its pass as the game folder without it does.
    ScanHarness openMw;
    openMw.write(MorrowindMasterName, masterFile());
    openMw.installation.dataFiles =
        DataFiles::inFolders(nativeFileSystem(), {openMw.game.path() + "/Data Files"});
    EXPECT_FALSE(openMw.scan());
    EXPECT_EQ(std::pair(openMw.error.pass, openMw.error.message), std::pair(PluginPass, std::string()));

    for (const char* name : {MorrowindPluginName, MorrowindMasterName}) {
        const std::string suffix = std::string(DataFilesFolder) + name;
        for (std::size_t length : {PathLimit - 1, PathLimit}) {
            ScanHarness atLimit;
            const std::string folder = atLimit.game.makeFolderOfLength(length - suffix.size());
            atLimit.game.makeFolder(folder.substr(atLimit.game.path().size() + 1) + "/Data Files");
            atLimit.installation.installPath = folder;
            masterFile().writeTo(folder + "/Data Files/" + MorrowindMasterName);
            pluginFile().writeTo(folder + "/Data Files/" + MorrowindPluginName);
            const bool plugin = name == std::string(MorrowindPluginName);
            EXPECT_EQ(atLimit.scan(), length < PathLimit && plugin) << atLimit.error.message;
            if (length < PathLimit)
                continue;
            EXPECT_EQ(atLimit.told, "");
            EXPECT_EQ(std::pair(atLimit.error.pass, atLimit.error.icon),
                      std::pair(plugin ? PluginPass : MasterPass, MessageIcon::Warning));
            EXPECT_TRUE(atLimit.error.message.find("\"" + folder + suffix + "\"") != std::string::npos &&
                        atLimit.error.message.find(std::to_string(PathLimit - 1)) != std::string::npos)
                << atLimit.error.message;
        }
    }
}

// The pairing sizes its index for the responses it knows of; one that outgrows its guess must still find
// every text, keep the first number given under each, and tell a text from its prefixes.
TEST(TextIndex, FindsEveryTextAfterGrowingAndKeepsTheFirstNumber) {
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i)
        texts.push_back(std::string(static_cast<std::size_t>(i % 7), 'x') + std::to_string(i));
    TextIndex index(4);
    for (std::uint32_t i = 0; i < texts.size(); ++i)
        EXPECT_TRUE(index.tryEmplace(texts[i], i).second);
    for (std::uint32_t i = 0; i < texts.size(); ++i) {
        auto [value, added] = index.tryEmplace(texts[i], 1000 + i);
        EXPECT_FALSE(added);
        EXPECT_EQ(value, i);
        const std::uint32_t* found = index.find(texts[i]);
        ASSERT_NE(found, nullptr) << texts[i];
        EXPECT_EQ(*found, i);
    }
    EXPECT_EQ(index.size(), texts.size());
    EXPECT_EQ(index.find("xxxxxx"), nullptr);
    EXPECT_EQ(index.find(""), nullptr);
}

} // namespace
} // namespace orvella
