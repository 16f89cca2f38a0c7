#include "scan/MasterScan.h"
#include "TestFolder.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"
#include "records/Bytes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace orvella {
namespace {

using build::RecordBuilder;

build::GameFileBuilder masterFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Master});
}
build::GameFileBuilder pluginFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
}

// Runs only the master and plugin scan of a job over a game folder, with fresh maps each time, and keeps what
// it told, each event followed by "|": "masters 1/2" for records done of a file, "masters done" once a pass
// is complete.
struct ScanHarness : ScanProgress {
    ScanHarness() {
        installation.installPath = game.path();
        installation.tribunalPluginName = TribunalPluginName;
    }

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
    // Writes the two files every scan needs.
    void writeBase(const build::GameFileBuilder& master, const build::GameFileBuilder& plugin) const {
        write(MorrowindMasterName, master);
        write(MorrowindPluginName, plugin);
    }

    // Every expansion file takes part: an English save that lists both masters, with both plugins installed.
    void includeExpansions() {
        saveInfo.direction = EnglishToItalian;
        saveInfo.usesTribunalMaster = saveInfo.usesBloodmoonMaster = true;
        installation.hasTribunalPlugin = installation.hasBloodmoonPlugin = true;
    }

    bool scan() {
        told.clear();
        error = ScanError();
        maps = TranslationMaps();
        return scanMastersAndPlugins(nativeFileSystem(), installation,
                                     includedExpansions(saveInfo, installation), maps, *this, error);
    }

    test::GameFolder game;
    GameInstallation installation;
    SaveInfo saveInfo;
    std::string told;
    ScanError error;
    TranslationMaps maps;
};

// A kept entry in one line: "TAG=data" of each subrecord, then of the translation, every byte kept and a NUL
// shown as "~".
std::string describe(const TranslatedRecord& entry) {
    std::string out;
    for (const auto& subrecord : entry.subrecords())
        out += std::string(subrecord->tag.str()) + "=" +
               std::string(subrecord->data.begin(), subrecord->data.end()) + " ";
    if (const Subrecord* translation = entry.translation())
        out += "-TR-=" + std::string(translation->data.begin(), translation->data.end());
    std::replace(out.begin(), out.end(), '\0', '~');
    return out;
}

RecordBuilder gmst(const std::string& id, const std::string& tag, const std::string& value) {
    return RecordBuilder("GMST").sub("NAME", id).sub(tag, value);
}
RecordBuilder named(const char* tag, const std::string& id, const std::string& name) {
    return RecordBuilder(tag).text("NAME", id).text("FNAM", name);
}

// The map's keys, and each entry's description when asked for.
std::string contents(const TranslationMap& map, bool described = false) {
    std::string out;
    for (const auto& [key, entry] : map)
        out += key + (described ? ": " + describe(*entry) : "") + "|";
    return out;
}

// Journal topics keep their entries, plain topics nothing; the entries of a deleted topic or one without ID
// or type, and entries without ID or text, are passed over.

// Game settings keep the first record with the last master's text and the last plugin's translation; NPCs
// and items keep the first record by case-sensitive ID and take later names only where they have one.
TEST(ScanCollisions, KeepTheFirstRecordAndTakeTheLastTexts) {
    ScanHarness harness;
    harness.includeExpansions();
    harness.writeBase(
        masterFile()
            .add(gmst("sMonthMidyear", "STRV", "Mid Year"))
            .add(gmst("iLevelUp", "INTV", build::u32(10)))
            .add(gmst("sNoTerm\xE8", "STRV", "x"))
            .add(RecordBuilder("NPC_", 7).text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "1"))
            .add(named("MISC", "shared id", "Misc Name"))
            .add(named("WEAP", "shared id", "Weapon Name"))
            .add(named("BOOK", "book", "Old Book"))
            // IDs are case-sensitive; creatures and other records are not kept.
            .add(named("CREA", "rat", "Rat"))
            .add(named("MISC", "Gold", "Gold"))
            .add(named("CELL", "gold", "Cell"))
            .add(named("MISC", "gold", "gold")),
        pluginFile()
            .add(gmst("sMonthMidyear", "STRV", "Mezz'anno"))
            .add(gmst("iLevelUp", "INTV", build::u32(12)))
            .add(named("NPC_", "fargoth", "Fargoth MW"))
            .add(named("BOOK", "book", "Libro"))
            .add(named("SPEL", "shared id", "Nome")));
    harness.write(TribunalMasterName,
                  masterFile()
                      .add(gmst("sMonthMidyear", "STRV", "Midyear").sub("X", "t"))
                      .add(gmst("iLevelUp", "STRV", "ten"))
                      .add(named("NPC_", "fargoth", "Fargoth the Second"))
                      .add(RecordBuilder("BOOK").text("NAME", "book").sub("TEXT", "no name")));
    // Tribunal's plugin defines an ID no master has: its first text stays, a later plugin's is the
    // translation.
    harness.write(TribunalPluginName,
                  pluginFile().add(named("ARMO", "tr_helm", "Elmo")).add(named("CLOT", "tr_robe", "Tunica")));
    harness.write(BloodmoonPluginName, pluginFile()
                                           .add(gmst("sMonthMidyear", "STRV", "Meta anno"))
                                           .add(named("NPC_", "fargoth", "Fargoth BM"))
                                           .add(named("CLOT", "tr_robe", "Veste")));
    ASSERT_TRUE(harness.scan());
    // A setting without a text stays as the first master had it; IDs without a terminator keep every byte.
    EXPECT_EQ(
        contents(harness.maps.gmstMap, true),
        "iLevelUp: NAME=iLevelUp INTV=\n~~~ |sMonthMidyear: NAME=sMonthMidyear STRV=Midyear -TR-=Meta anno|"
        "sNoTerm\xE8: NAME=sNoTerm\xE8 STRV=x |");
    EXPECT_EQ(harness.maps.gmstMap.at("sMonthMidyear")->size(), 8 + 13 + 8 + 7u);
    EXPECT_EQ(contents(harness.maps.npcNameMap, true),
              "fargoth: NAME=fargoth~ FNAM=Fargoth the Second~ NPDT=1 -TR-=Fargoth BM~|");
    EXPECT_EQ(harness.maps.npcNameMap.at("fargoth")->headerWord(), 7u);
    // Within one master too, a later record of the same ID brings only its name.
    EXPECT_EQ(contents(harness.maps.itemNameMap, true),
              "Gold: NAME=Gold~ FNAM=Gold~ |book: NAME=book~ FNAM=Old Book~ -TR-=Libro~|gold: NAME=gold~ "
              "FNAM=gold~ |"
              "shared id: NAME=shared id~ FNAM=Weapon Name~ -TR-=Nome~|tr_helm: NAME=tr_helm~ FNAM=Elmo~ |"
              "tr_robe: NAME=tr_robe~ FNAM=Tunica~ -TR-=Veste~|");
    EXPECT_TRUE(harness.maps.itemNameMap.at("shared id")->tag().is("MISC"));
}

const std::string Journal(1, '\4');
const std::string Topic(1, '\0');

RecordBuilder dial(const std::string& id, const std::string& type) {
    return RecordBuilder("DIAL").text("NAME", id).sub("DATA", type);
}
RecordBuilder info(const std::string& id, const std::string& text) {
    return RecordBuilder("INFO").text("INAM", id).text("NAME", text);
}

TEST(ScanDialogues, JournalTopicsKeepTheirEntriesPlainTopicsKeepNothing) {
    ScanHarness harness;
    harness.includeExpansions();
    harness.writeBase(masterFile()
                          .add(dial("A1_Deleted", Journal).sub("DELE", build::u32(0)))
                          .add(info("501", "Deleted entry"))
                          .add(info("502", "Another deleted entry"))
                          .add(RecordBuilder("DIAL").text("NAME", "A1_NoType"))
                          .add(info("503", "Entry of a topic without type"))
                          .add(RecordBuilder("DIAL").text("NAME", "A1_EmptyType").sub("DATA", ""))
                          .add(info("504", "Entry of a topic with an empty type"))
                          .add(RecordBuilder("DIAL").sub("DATA", Journal))
                          .add(info("505", "Entry of a topic without ID"))
                          .add(dial("A3_Quest", Journal))
                          .add(RecordBuilder("INFO").text("NAME", "No ID"))
                          .add(RecordBuilder("INFO").text("INAM", "601"))
                          .add(info("602", "Kept"))
                          .add(RecordBuilder("GMST").sub("STRV", "setting without ID"))
                          .add(RecordBuilder("NPC_").text("FNAM", "NPC without ID"))
                          .add(RecordBuilder("LIGH").text("FNAM", "Light without ID"))
                          .add(RecordBuilder("LIGH").text("NAME", "torch").text("FNAM", "Torch"))
                          .add(dial("A1_Quest", Journal).sub("X", "first"))
                          .add(info("101", "English one").sub("QSTN", "\1"))
                          .add(info("102", "English two"))
                          .add(dial("rumours", Topic))
                          .add(info("201", "A plain answer"))
                          .add(RecordBuilder("NPC_").text("NAME", "after").text("FNAM", "After"))
                          .add(dial("A2_Last", Journal))
                          .add(info("301", "At the end of the file")),
                      pluginFile()
                          .add(dial("A3_Quest", Journal))
                          .add(RecordBuilder("INFO").text("INAM", "602"))
                          .add(dial("A1_Quest", Journal))
                          .add(info("101", "Italiano uno"))
                          .add(dial("rumours", Topic))
                          .add(info("201", "Risposta"))
                          .add(dial("P_Only", Journal))
                          .add(info("401", "Solo nel plugin")));
    harness.write(TribunalMasterName,
                  masterFile().add(dial("A1_Quest", Journal)).add(info("102", "English two, new")));
    harness.write(BloodmoonPluginName,
                  pluginFile().add(dial("A1_Quest", Journal)).add(info("101", "Ultimo")));
    ASSERT_TRUE(harness.scan());

    const TranslationMaps& maps = harness.maps;
    EXPECT_EQ(contents(maps.journalTopicMap), "A1_Quest|A2_Last|A3_Quest|P_Only|");
    EXPECT_EQ(describe(*maps.journalTopicMap.at("A1_Quest")), "NAME=A1_Quest~ DATA=\4 X=first ");
    EXPECT_EQ(contents(maps.journalEntryMap, true),
              "101: INAM=101~ NAME=English one~ QSTN=\1 -TR-=Ultimo~|102: INAM=102~ NAME=English two, new~ |"
              "301: INAM=301~ NAME=At the end of the file~ |401: INAM=401~ NAME=Solo nel plugin~ |"
              "602: INAM=602~ NAME=Kept~ |");
    // The record behind a topic's entries is scanned.
    EXPECT_EQ(contents(maps.npcNameMap) + contents(maps.itemNameMap) + contents(maps.gmstMap),
              "after|torch|");
}

// A missing Morrowind master or plugin fails its pass without a message; a file with a count of 0 reads only
// its header. The scan takes every path that start-up takes, up to the platform's limit; one longer is named.
TEST(ScanRequiredFiles, AMissingOrTooLongMorrowindFileFailsItsPass) {
    ScanHarness missing;
    EXPECT_FALSE(missing.scan());
    EXPECT_EQ(missing.error.pass, MasterPass);
    missing.write(MorrowindMasterName, masterFile());
    EXPECT_FALSE(missing.scan());
    EXPECT_EQ(missing.error.pass, PluginPass);
    EXPECT_EQ(missing.error.message + missing.told, "");
    missing.write(MorrowindPluginName, pluginFile());
    ASSERT_TRUE(missing.scan());
    EXPECT_EQ(missing.told, "masters 1/1|masters done|plugins 1/1|plugins done|");
    EXPECT_EQ(missing.maps.recordCount(), 0u);

    const std::string suffix = std::string(DataFilesFolder) + MorrowindPluginName;
    for (std::size_t length : {PathLimit - 1, PathLimit}) {
        ScanHarness harness;
        const std::string folder = harness.game.makeFolderOfLength(length - suffix.size());
        harness.game.makeFolder(folder.substr(harness.game.path().size() + 1) + "/Data Files");
        harness.installation.installPath = folder;
        masterFile().writeTo(folder + "/Data Files/" + MorrowindMasterName);
        pluginFile().writeTo(folder + "/Data Files/" + MorrowindPluginName);
        EXPECT_EQ(harness.scan(), length < PathLimit) << harness.error.message;
        if (length < PathLimit)
            continue;
        EXPECT_EQ(harness.told, "");
        EXPECT_EQ(harness.error.pass, PluginPass);
        EXPECT_NE(harness.error.message.find("\"" + folder + suffix + "\""), std::string::npos);
        EXPECT_NE(harness.error.message.find(std::to_string(PathLimit - 1)), std::string::npos);
        EXPECT_EQ(harness.error.icon, MessageIcon::Warning);
    }
}

// A malformed file fails its own pass, naming the file and the offset; a bad master stops the scan before
// the plugins.
TEST(ScanFaults, AFileCutAnywhereOrWithInconsistentSizesFailsItsPass) {
    const std::string master(demo::demoMaster());
    const std::string plugin(demo::demoPlugin());
    const std::size_t first = 16 + loadU32(reinterpret_cast<const std::uint8_t*>(master.data()) + 4);
    std::vector<std::string> masters;
    for (std::size_t cut = 0; cut < master.size(); ++cut)
        masters.push_back(master.substr(0, cut));
    // A negative count, the largest count, negative and too large record and subrecord sizes.
    for (auto [offset, value] : {std::pair<std::size_t, std::uint32_t>{320, 0xFFFFFFFF},
                                 {320, 0x7FFFFFFF},
                                 {first + 4, 0x80000000},
                                 {first + 4, 0x7FFFFFF0},
                                 {first + 20, 2000},
                                 {first + 20, 0xFFFFFFF0}})
        masters.push_back(std::string(master).replace(offset, 4, build::u32(value)));
    ScanHarness harness;
    for (std::size_t i = 0; i <= masters.size(); ++i) {
        const bool badPlugin = i == masters.size();
        harness.write(MorrowindMasterName, badPlugin ? master : masters[i]);
        harness.write(MorrowindPluginName, badPlugin ? plugin.substr(0, plugin.size() - 5) : plugin);
        ASSERT_FALSE(harness.scan()) << i;
        const ScanError& error = harness.error;
        EXPECT_EQ(error.pass, badPlugin ? PluginPass : MasterPass) << i;
        EXPECT_EQ(error.icon, MessageIcon::Error);
        const std::string name = badPlugin ? MorrowindPluginName : MorrowindMasterName;
        EXPECT_NE(error.message.find("\"" + name + "\""), std::string::npos) << error.message;
        EXPECT_NE(error.message.find("offset "), std::string::npos) << error.message;
        const std::string& told = harness.told;
        EXPECT_EQ(told.find("masters done") != told.npos && told.find("plugins") != told.npos, badPlugin)
            << i;
        EXPECT_EQ(told.find("plugins done"), told.npos) << i;
    }
}

} // namespace
} // namespace orvella
