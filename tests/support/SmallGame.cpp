#include "SmallGame.h"

#include "gamebuilder/GameBuilder.h"

#include <vector>

namespace orvella::test::smallgame {

namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;
using build::u32;
using build::z;

struct Pair {
    const char* id;
    const char* english;
    const char* italian;
};

const Pair Months[] = {
    {"sMonthMorningstar", "Morning Star", "Stella del Mattino"},
    {"sMonthSunsdawn", "Sun's Dawn", "Alba"},
    {"sMonthFirstseed", "First Seed", "Primo Seme"},
    {"sMonthRainshand", "Rain's Hand", "Pioggia"},
    {"sMonthSecondseed", "Second Seed", "Secondo Seme"},
    {"sMonthMidyear", "Mid Year", "Mezzo Anno"},
    {"sMonthSunsheight", "Sun's Height", "Culmine"},
    {"sMonthLastseed", "Last Seed", "Ultimo Seme"},
    {"sMonthHeartfire", "Heartfire", "Focolare"},
    {"sMonthFrostfall", "Frostfall", "Gelo"},
    {"sMonthSunsdusk", "Sun's Dusk", "Crepuscolo"},
    {"sMonthEveningstar", "Evening Star", "Vespro"},
};

const Pair Items[] = {
    {"misc_axe", "Axe", "Scure"},
    {"misc_bucket", "Bucket", "Secchio"},
    {"misc_candle", "Candle", "Candela"},
    {"iron_dagger", "Iron Dagger", "Pugnale di Ferro"},
};

// Journal entries of the quest "A1_Courier"; the one with QSTN names the quest.
const Pair Entries[] = {
    {"1001", "I must take the ring to Caius Cosades in Balmora.",
     "Devo portare l'anello a Caius Cosades a Balmora."},
    {"1002", "Caius Cosades calls me %Name, his new agent.",
     "Caius Cosades mi chiama %Name, il suo nuovo agente."},
    {"1003", "Report to Caius Cosades", "Rapporto a Caius Cosades"},
};

const TopicRow TopicRows[] = {
    {"latest rumors", "ultime voci"},
    {"Balmora", "Balmora"},
    {"ring", "anello"},
    {"Caius Cosades", "Caius Cosades"},
    {"Vivec City", "Citt\xE0 di Vivec"},
};

GameFileBuilder gameFile(bool italian) {
    GameFileBuilder file(italian ? FileHeader{.kind = FileKind::Plugin, .masters = {{"Morrowind.esm", 4321}}}
                                 : FileHeader{.kind = FileKind::Master});
    auto text = [italian](const Pair& pair) { return italian ? pair.italian : pair.english; };
    for (const Pair& month : Months)
        file.add(RecordBuilder("GMST").sub("NAME", month.id).text("STRV", text(month)));
    file.add(RecordBuilder("GMST").text("NAME", "iMaxLevel").sub("INTV", u32(100)));
    file.add(RecordBuilder("NPC_")
                 .text("NAME", "fargoth")
                 .text("FNAM", italian ? "Fargoth il Bosmer" : "Fargoth"));
    file.add(RecordBuilder("CREA").text("NAME", "mudcrab").text("FNAM", "Mudcrab"));
    for (std::size_t i = 0; i < std::size(Items); ++i)
        file.add(
            RecordBuilder(i == 3 ? "WEAP" : "MISC").text("NAME", Items[i].id).text("FNAM", text(Items[i])));
    file.add(RecordBuilder("DIAL").text("NAME", "latest rumors").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("INFO").text("INAM", "77").text("NAME", "Nothing new."));
    file.add(RecordBuilder("DIAL").text("NAME", "A1_Courier").sub("DATA", std::string(1, '\4')));
    for (const Pair& entry : Entries) {
        RecordBuilder info("INFO");
        info.text("INAM", entry.id).text("NAME", text(entry));
        if (std::string_view(entry.id) == "1003")
            info.sub("QSTN", std::string(1, '\1'));
        file.add(info);
    }
    file.add(RecordBuilder("BOOK").text("NAME", "bk_notes").text("FNAM", italian ? "Appunti" : "Notes"));
    return file;
}

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

RecordBuilder player() {
    return RecordBuilder("NPCC")
        .text("NAME", "PlayerSaveGame")
        .sub("NPDT", std::string(8, '\1'))
        .sub("NPCO", u32(1) + z("misc_candle"))
        .sub("NPCO", u32(2) + z("misc_axe"))
        .sub("XHLT", u32(40))
        .sub("NPCO", u32(1) + z("iron_dagger"))
        .sub("NPCO", u32(3) + z("misc_bucket"))
        .sub("NPCO", u32(1) + z("my_blade"))
        .sub("WIDX", u32(1) + u32(0))
        .sub("WIDX", u32(4) + u32(2));
}

GameFileBuilder save(bool italian) {
    FileHeader header{.kind = FileKind::Save, .masters = {{"Morrowind.esm", 4321}}};
    if (italian)
        header.masters.emplace_back("Morrowind LRK - Versione Finale.esp", 1234);
    header.screenshot = false;
    GameFileBuilder file(header);
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    file.add(RecordBuilder("NPC_", 0, 0x400)
                 .text("NAME", "fargoth")
                 .text("FNAM", italian ? "Fargoth il Bosmer" : "Fargoth")
                 .sub("NPDT", std::string(12, '\2')));
    file.add(RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar"));
    file.add(RecordBuilder("MISC").text("NAME", "misc_axe").text("FNAM", italian ? "Scure" : "Axe"));
    file.add(
        RecordBuilder("WEAP").text("NAME", "my_blade").text("FNAM", "Blade of Dawn").sub("WPDT", u32(9)));
    file.add(RecordBuilder("DIAL")
                 .text("NAME", italian ? "ultime voci" : "latest rumors")
                 .sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("INFO").text("INAM", "77").text("NAME", "Nothing new."));
    file.add(RecordBuilder("DIAL")
                 .text("NAME", "old rumour")
                 .sub("DATA", std::string(1, '\0'))
                 .sub("DELE", u32(0)));
    file.add(
        RecordBuilder("QUES").text("NAME", italian ? "Rapporto a Caius Cosades" : "Report to Caius Cosades"));
    file.add(RecordBuilder("QUES").text("NAME", "A forgotten errand"));
    file.add(RecordBuilder("PCDT")
                 .sub("DNAM", z(italian ? "ultime voci" : "latest rumors"))
                 .sub("DNAM", z("Balmora"))
                 .sub("DNAM", z("A1_Courier"))
                 .sub("DNAM", z("unheard topic")));
    file.add(player());
    file.add(RecordBuilder("NPCC").text("NAME", "fargoth").sub("NPCO", u32(1) + z("misc_bucket")));
    file.add(RecordBuilder("CREA").text("NAME", "mudcrab").text("FNAM", "Mudcrab"));
    std::string journal =
        italian
            ? heading("16 Ultimo Seme (Giorno 3)") +
                  "Devo portare l'@anello# a @Caius Cosades# a @Balmora#.<P>\n" +
                  heading("17 Ultimo Seme (Giorno 4)") + "Una frase che nessuna voce conosce.<P>\n"
            : heading("16 Last Seed (Day 3)") +
                  "I must take the @ring# to @Caius Cosades# in @Balmora#.<P>\n" +
                  heading("17 Last Seed (Day 4)") + "@Caius Cosades# calls me Nerevar, his new agent.<P>\n" +
                  heading("2 Heartfire (Day 50)") + "Report to @Caius Cosades#<P>\n";
    file.add(RecordBuilder("JOUR").sub("NAME", journal + '\0'));
    file.add(RecordBuilder("GAME").sub("GMDT", std::string(16, '\3')));
    return file;
}

} // namespace

std::string master() {
    static const std::string bytes = gameFile(false).bytes();
    return bytes;
}

std::string plugin() {
    static const std::string bytes = gameFile(true).bytes();
    return bytes;
}

const TopicTables& tables() {
    static const TopicTables topicTables{TopicRows, {}, {}, {}};
    return topicTables;
}

std::string englishSave() {
    static const std::string bytes = save(false).bytes();
    return bytes;
}

std::string italianSave() {
    static const std::string bytes = save(true).bytes();
    return bytes;
}

SaveInfo saveInfoFor(ConversionDirection direction) {
    SaveInfo info;
    info.usesMorrowindMaster = true;
    info.usesMorrowindPlugin = direction == ItalianToEnglish;
    info.direction = direction;
    return info;
}

void install(MemoryFileSystem& files, GameInstallation& installation) {
    const std::string root = InstallPath;
    files.addFolder(root + "\\Data Files");
    files.addFolder(root + "\\Saves");
    files.addFolder(root + "\\LRK Saves Backup");
    files.writeFile(root + DataFilesFolder + MorrowindMasterName, master());
    files.writeFile(root + DataFilesFolder + MorrowindPluginName, plugin());
    installation = GameInstallation{};
    installation.installPath = root;
    installation.hasMorrowindMaster = installation.hasMorrowindPlugin = true;
    installation.morrowindPluginSize = static_cast<std::uint32_t>(plugin().size());
    installation.gameVersion = GameVersion{1, 6, 1, 820};
}

std::string savePath(const std::string& saveFileName) {
    return InstallPath + std::string(SavesFolder) + saveFileName;
}

std::string backupPath(const std::string& saveFileName) {
    return InstallPath + std::string(BackupFolder) + saveFileName + ".bak";
}

PatchJob jobFor(const GameInstallation& installation, FileSystem& files, MessageBoxes& messages,
                ProgressView& progress, const std::string& saveFileName, ConversionDirection direction) {
    PatchJob job;
    job.installation = &installation;
    job.files = &files;
    job.messages = &messages;
    job.progressDialog = &progress;
    job.tables = &tables();
    job.saveInfo = saveInfoFor(direction);
    job.request.saveFileName = saveFileName;
    job.request.saveInfo = job.saveInfo;
    return job;
}

} // namespace orvella::test::smallgame
