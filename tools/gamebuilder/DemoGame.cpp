#include "gamebuilder/DemoGame.h"

#include "game/AsciiFold.h"
#include "game/TextEncoding.h"
#include "gamebuilder/GameBuilder.h"
#include "gamebuilder/OpenMwSaveBuilder.h"

#include <cstdint>
#include <vector>

namespace orvella::demo {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;

namespace {

// One text of the demo game in both languages.
struct DemoText {
    const char* id;
    const char* english;
    const char* italian;
};

const DemoText Months[] = {
    {"sMonthMorningstar", "Morning Star", "Stella del Mattino"},
    {"sMonthSunsdawn", "Sun's Dawn", "Alba del Sole"},
    {"sMonthFirstseed", "First Seed", "Primo Seme"},
    {"sMonthRainshand", "Rain's Hand", "Mano della Pioggia"},
    {"sMonthSecondseed", "Second Seed", "Secondo Seme"},
    {"sMonthMidyear", "Mid Year", "Met\xE0 Anno"},
    {"sMonthSunsheight", "Sun's Height", "Apice del Sole"},
    {"sMonthLastseed", "Last Seed", "Ultimo Seme"},
    {"sMonthHeartfire", "Hearthfire", "Focolare"},
    {"sMonthFrostfall", "Frostfall", "Cala il Gelo"},
    {"sMonthSunsdusk", "Sun's Dusk", "Tramonto del Sole"},
    {"sMonthEveningstar", "Evening Star", "Stella della Sera"},
};

const DemoText Npcs[] = {
    {"demo_guide", "Old Guide", "Vecchia Guida"},
    {"demo_smith", "Blacksmith", "Fabbro"},
    {"demo_priestess", "Temple Priestess", "Sacerdotessa del Tempio"},
};

struct DemoItem {
    const char* tag;
    DemoText text;
};

const DemoItem Items[] = {
    {"MISC", {"demo_coin", "Gold Coin", "Moneta d'Oro"}},
    {"WEAP", {"demo_sword", "Iron Longsword", "Spada Lunga di Ferro"}},
    {"ARMO", {"demo_helm", "Iron Helm", "Elmo di Ferro"}},
    {"BOOK", {"demo_diary", "The Guide's Diary", "Il Diario della Guida"}},
    {"ALCH", {"demo_potion", "Potion of Healing", "Pozione di Guarigione"}},
    {"CLOT", {"demo_shirt", "Common Shirt", "Camicia Comune"}},
    {"SPEL", {"demo_firebite", "Fire Bite", "Morso di Fuoco"}},
};

// A journal entry: its INFO id, whether it names the quest, and its text in both languages.
struct DemoEntry {
    bool questName;
    DemoText text;
};

struct DemoJournal {
    const char* topic;
    std::vector<DemoEntry> entries;
};

const DemoJournal Journals[] = {
    {"Demo_GuideErrand",
     {{true, {"demo_ge_0", "The Guide's Errand", "La Commissione della Guida"}},
      {false,
       {"demo_ge_10", "The old guide asked me, %Name, to bring him a gold coin.",
        "La vecchia guida ha chiesto a me, %Name, di portargli una moneta d'oro."}},
      {false,
       {"demo_ge_100", "I gave the old guide his coin.", "Ho dato alla vecchia guida la sua moneta."}}}},
    {"Demo_LostDiary",
     {{true, {"demo_ld_0", "The Lost Diary", "Il Diario Perduto"}},
      {false,
       {"demo_ld_10", "The guide lost his diary somewhere near the docks.",
        "La guida ha perso il suo diario vicino al porto della citt\xE0."}},
      // Names topics of the built-in tables and the rumours' topic, so the converted paragraph carries
      // hyperlinks.
      {false,
       {"demo_ld_20",
        "The guide says the Imperial Office of Census and Excise pays a tip "
        "to anyone who finds his diary in Vos, as the demo rumours tell.",
        "La guida dice che l'Ufficio Imperiale del Censo e delle Imposte paga un premio "
        "a chi trova il suo diario a Vos, come raccontano le dicerie demo."}}}},
};

const DemoText RumoursTopic = {"", "demo rumours", "dicerie demo"};
// Its variables are the speaker's race, class and faction, which OpenMW puts in the text it keeps.
const DemoText Rumour = {"demo_rumour_1", "They say the %Race %Class of the %Faction knows every road.",
                         "Dicono che la %Class %Race della %Faction conosca ogni strada."};

// The guide's race, class and faction, and the faction's ranks.
const DemoText Race = {"demo_imperial", "Imperial", "Imperiale"};
const DemoText Class = {"demo_guard", "Guard", "Guardia"};
const DemoText Faction = {"demo_guild", "Fighters Guild", "Gilda dei Guerrieri"};
const DemoText Ranks[] = {{"", "Associate", "Associato"}, {"", "Apprentice", "Apprendista"}};

// DATA of a topic: its type byte, 4 for a journal.
std::string topicType(char type) {
    return std::string(1, type);
}

// DATA of a journal entry: type 4 and the entry's index.
std::string journalEntryData(std::uint32_t index) {
    return std::string("\4\0\0\0", 4) + build::u32(index) + std::string(4, '\0');
}

// The records of one edition: its settings, names and journal texts, English or Italian.
void addTexts(GameFileBuilder& file, bool english) {
    auto pick = [english](const DemoText& text) { return english ? text.english : text.italian; };
    // Setting IDs and values carry no terminator in the game's files.
    for (const DemoText& month : Months)
        file.add(RecordBuilder("GMST").sub("NAME", month.id).sub("STRV", pick(month)));
    for (const DemoText& npc : Npcs)
        file.add(RecordBuilder("NPC_").text("NAME", npc.id).text("FNAM", pick(npc)).text("RNAM", Race.id));
    for (const DemoItem& item : Items)
        file.add(RecordBuilder(item.tag).text("NAME", item.text.id).text("FNAM", pick(item.text)));
    file.add(RecordBuilder("RACE").text("NAME", Race.id).text("FNAM", pick(Race)));
    file.add(RecordBuilder("CLAS").text("NAME", Class.id).text("FNAM", pick(Class)));
    RecordBuilder faction("FACT");
    faction.text("NAME", Faction.id).text("FNAM", pick(Faction));
    for (const DemoText& rank : Ranks) {
        std::string name = pick(rank);
        name.resize(32, '\0');
        faction.sub("RNAM", name);
    }
    file.add(std::move(faction));
    // The translation renames the topic and keeps its response's id, as the game's own translation does.
    file.add(RecordBuilder("DIAL")
                 .text("NAME", english ? RumoursTopic.english : RumoursTopic.italian)
                 .sub("DATA", topicType(0)));
    file.add(RecordBuilder("INFO")
                 .text("INAM", Rumour.id)
                 .sub("DATA", std::string(12, '\0'))
                 .sub("NAME", pick(Rumour)));
    if (!english) {
        // A topic of the translation's own, which no English topic answers to.
        file.add(RecordBuilder("DIAL").text("NAME", "voci del porto").sub("DATA", topicType(0)));
        file.add(RecordBuilder("INFO")
                     .text("INAM", "demo_porto_1")
                     .sub("DATA", std::string(12, '\0'))
                     .sub("NAME", "Dicono che al porto arrivi una nave ogni luna."));
    }
    for (const DemoJournal& journal : Journals) {
        file.add(RecordBuilder("DIAL").text("NAME", journal.topic).sub("DATA", topicType(4)));
        std::uint32_t index = 0;
        for (const DemoEntry& entry : journal.entries) {
            RecordBuilder info("INFO");
            info.text("INAM", entry.text.id)
                .sub("DATA", journalEntryData(index))
                .sub("NAME", pick(entry.text));
            if (entry.questName)
                info.sub("QSTN", std::string(1, '\1'));
            file.add(std::move(info));
            index += 10;
        }
    }
}

GameFileBuilder englishMaster() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Master, .description = "Synthetic demo master"});
    addTexts(file, true);
    file.add(RecordBuilder("CREA").text("NAME", "demo_rat").text("FNAM", "Rat"));
    file.add(RecordBuilder("CELL").text("NAME", "Seyda Neen").sub("DATA", std::string(12, '\0')));
    return file;
}

GameFileBuilder italianPlugin() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Plugin,
                                    .description = "Synthetic demo translation plugin",
                                    .masters = {{"Morrowind.esm", 0}}});
    addTexts(file, false);
    return file;
}

// The player's inventory as the game writes it in English: by name, the worn shirt and helm and the drawn
// sword named by WIDX, the helm and sword with their condition attached.
RecordBuilder playerInventory() {
    auto item = [](std::uint32_t count, const char* id) { return build::u32(count) + build::z(id); };
    auto equipped = [](std::uint32_t position) { return build::u32(position) + build::u32(0); };
    return RecordBuilder("NPCC")
        .text("NAME", "PlayerSaveGame")
        .sub("NPDT", std::string(8, '\0'))
        .sub("NPCO", item(1, "demo_shirt"))
        .sub("NPCO", item(25, "demo_coin"))
        .sub("NPCO", item(1, "demo_helm"))
        .sub("XHLT", build::u32(60))
        .sub("NPCO", item(1, "demo_sword"))
        .sub("XHLT", build::u32(450))
        .sub("NPCO", item(2, "demo_brew"))
        .sub("NPCO", item(3, "demo_potion"))
        .sub("NPCO", item(1, "demo_diary"))
        .sub("WIDX", equipped(0))
        .sub("WIDX", equipped(2))
        .sub("WIDX", equipped(3));
}

// The journal as the game writes it: dated headings, the player's name in place of "%Name", and the topics
// it knows marked with "@" and "#". The Italian one ends with a day that no entry tells of.
std::string journal(bool english) {
    if (!english)
        return "<FONT COLOR=\"9F0000\">16 Ultimo Seme (Giorno 1)</FONT><BR>\n"
               "La vecchia guida ha chiesto a me, Nerevar, di portargli una moneta d'oro.<P>\n"
               "<FONT COLOR=\"9F0000\">18 Ultimo Seme (Giorno 3)</FONT><BR>\n"
               "La guida dice che l'@Ufficio Imperiale del Censo e delle Imposte# paga un @premio# "
               "a chi trova il suo diario a @Vos#, come raccontano le @dicerie demo#.<P>\n"
               "<FONT COLOR=\"9F0000\">19 Ultimo Seme (Giorno 4)</FONT><BR>\n"
               "Uno straniero in un mantello grigio mi osservava dal fondo del porto.<P>\n";
    return "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\n"
           "The old guide asked me, Nerevar, to bring him a gold coin.<P>\n"
           "<FONT COLOR=\"9F0000\">18 Last Seed (Day 3)</FONT><BR>\n"
           "The guide says the @Imperial Office of Census and Excise# pays a @tip# "
           "to anyone who finds his diary in @Vos#, as the @demo rumours# tell.<P>\n";
}

// The topics that the saves know besides the journal's own: two of the built-in tables, and one that only
// the game's files name in both languages.
const DemoText Topics[] = {
    {"", "tip", "premio"},
    {"", "Imperial Office of Census and Excise", "Ufficio Imperiale del Censo e delle Imposte"},
    RumoursTopic};

GameFileBuilder save(bool english) {
    FileHeader header{
        .kind = FileKind::Save, .description = "Demo", .masters = {{"Morrowind.esm", demoMaster().size()}}};
    if (!english)
        header.masters.emplace_back(MorrowindPluginName, demoPlugin().size());
    header.playerName = "Nerevar";
    header.daysPassed = 3;
    GameFileBuilder file(header);
    auto pick = [english](const DemoText& text) { return english ? text.english : text.italian; };
    auto named = [&](const char* tag, const DemoText& text) {
        return RecordBuilder(tag).text("NAME", text.id).text("FNAM", pick(text));
    };
    file.add(named("NPC_", Npcs[0])).add(named("NPC_", Npcs[1]));
    file.add(named(Items[0].tag, Items[0].text)).add(named(Items[1].tag, Items[1].text));
    file.add(named(Items[6].tag, Items[6].text));
    // A potion the player brewed: no master knows it, so it keeps its own name.
    file.add(RecordBuilder("ALCH").text("NAME", "demo_brew").text("FNAM", "Nerevar's Brew"));
    file.add(RecordBuilder("GLOB").text("NAME", "DemoCounter").sub("FNAM", "l").sub("FLTV", build::f32(7)));
    // The known topics, a topic the save marks as deleted, and the quests the journal names.
    for (const DemoText& topic : Topics)
        file.add(RecordBuilder("DIAL").text("NAME", pick(topic)).sub("DATA", topicType(0)));
    file.add(RecordBuilder("DIAL")
                 .text("NAME", english ? "forgotten rumour" : "diceria dimenticata")
                 .sub("DATA", topicType(0))
                 .sub("DELE", build::u32(0)));
    for (std::uint32_t quest = 0; quest < 2; ++quest)
        file.add(RecordBuilder("QUES")
                     .text("NAME", pick(Journals[quest].entries[0].text))
                     .sub("DATA", build::u32(10 * quest + 10)));
    file.add(RecordBuilder("PCDT")
                 .sub("DNAM", build::z(pick(Topics[0])))
                 .sub("DNAM", build::z(pick(Topics[1])))
                 .sub("DNAM", build::z(pick(Topics[2])))
                 .sub("DNAM", build::z("Vos"))
                 .sub("DNAM", build::z("Demo_LostDiary")));
    file.add(playerInventory());
    file.add(RecordBuilder("JOUR").sub("NAME", journal(english) + '\0'));
    return file;
}

// The demo's save as OpenMW keeps it: the journal's entries hold their texts with the variables filled in,
// as the guide spoke them; one entry names a response that the game lacks, and stays as it is.
build::OpenMwSaveBuilder openMwSave(bool english, std::uint32_t version) {
    auto pick = [english](const DemoText& text) {
        return cp1252ToUtf8(english ? text.english : text.italian);
    };
    build::OpenMwSaveHeader header{.version = version, .contentFiles = {MorrowindMasterName}};
    if (!english)
        header.contentFiles.push_back(MorrowindPluginName);
    header.description = "Demo";
    build::OpenMwSaveBuilder save(header);
    const std::string guide = pick(Npcs[0]);
    auto entry = [&](build::JournalKind kind, const char* topic, const DemoEntry& demo) {
        std::string text = pick(demo.text);
        if (auto at = text.find("%Name"); at != std::string::npos)
            text.replace(at, 5, guide);
        return build::OpenMwJournalEntry{kind, topic, demo.text.id, text};
    };
    for (const DemoJournal& journal : Journals) {
        build::OpenMwQuest quest{journal.topic, 10};
        for (std::size_t i = 1; i < journal.entries.size(); ++i)
            quest.entries.push_back(entry(build::JournalKind::Quest, journal.topic, journal.entries[i]));
        save.quest(quest);
    }
    for (const DemoJournal& journal : Journals)
        for (std::size_t i = 1; i < journal.entries.size(); ++i)
            save.journal(entry(build::JournalKind::Diary, journal.topic, journal.entries[i]));
    // OpenMW 0.47 and 0.48 keep topic ids in lower case; later versions as the game's files spell them.
    auto topicId = [&](const DemoText& topic) {
        std::string id = pick(topic);
        if (version < 24)
            for (char& c : id)
                c = foldAscii(c);
        return id;
    };
    const std::string rumour = english ? "They say the Imperial Guard of the Fighters Guild knows every road."
                                       : "Dicono che la Guardia Imperiale della Gilda dei Guerrieri conosca "
                                         "ogni strada.";
    save.journal({build::JournalKind::Topic, topicId(RumoursTopic), Rumour.id, rumour, guide});
    // Written before the game knew the response, it stays as it is in either edition.
    save.journal(
        {build::JournalKind::Topic, "demo rumours", "demo_rumour_9", "A ship came in at dawn.", "Old Guide"});
    save.dialogue({{topicId(Topics[1]), topicId(Topics[0]), topicId(RumoursTopic)}, {}});
    save.add(build::npcRecord(
        {.id = version < 24 ? "player" : "Player", .race = Race.id, .className = Class.id}, version));
    save.add(build::itemRecord(
        {.kind = build::ItemKind::Book, .id = Items[3].text.id, .name = pick(Items[3].text)}, version));
    // A blade the player enchanted and named: its id is one OpenMW made.
    save.add(build::itemRecord({.kind = build::ItemKind::Weapon,
                                .id = "$dynamic0",
                                .idBytes = version < 24 ? std::string() : build::generatedRefId(7),
                                .name = "Nerevar's Blade",
                                .model = "w\\blade.nif"},
                               version));
    save.add(build::globalRecord("DemoCounter", 'l', 7, version));
    return save;
}

bool writeFile(FileSystem& files, const std::string& path, const std::string& bytes) {
    auto file = files.open(path, "wb");
    return file && file->write(bytes.data(), bytes.size()) == bytes.size() && file->close();
}

} // namespace

std::string demoMaster() {
    static const std::string bytes = englishMaster().bytes();
    return bytes;
}

std::string demoPlugin() {
    static const std::string bytes = italianPlugin().bytes();
    return bytes;
}

std::string demoEnglishSave() {
    static const std::string bytes = save(true).bytes();
    return bytes;
}

std::string demoItalianSave() {
    static const std::string bytes = save(false).bytes();
    return bytes;
}

bool writeDemoGame(FileSystem& files, const std::string& folder) {
    for (const char* inner : {"\\Data Files", "\\Saves", "\\LRK Saves Backup"})
        makeFolders(files, folder + inner);
    return writeFile(files, folder + DataFilesFolder + MorrowindMasterName, demoMaster()) &&
           writeFile(files, folder + DataFilesFolder + MorrowindPluginName, demoPlugin()) &&
           writeFile(files, folder + SavesFolder + DemoSaveName, demoEnglishSave());
}

std::string demoOpenMwSave(bool english, std::uint32_t version) {
    return openMwSave(english, version).bytes();
}

bool writeDemoOpenMwGame(FileSystem& files, const std::string& folder) {
    const std::string userData = folder + "\\" + DemoOpenMwUserData;
    makeFolders(files, folder + "\\Data Files");
    makeFolders(files, userData + "\\saves\\Nerevar");
    // The configuration names its folders as the system spells them.
    auto native = [](std::string path) {
#ifndef _WIN32
        for (char& c : path)
            if (c == '\\')
                c = '/';
#endif
        return path;
    };
    const std::string config = "# The demo game for OpenMW\ndata=\"" + native(folder + "\\Data Files") +
                               "\"\nuser-data=\"" + native(userData) + "\"\ncontent=Morrowind.esm\n";
    return writeFile(files, folder + DataFilesFolder + MorrowindMasterName, demoMaster()) &&
           writeFile(files, folder + DataFilesFolder + MorrowindPluginName, demoPlugin()) &&
           writeFile(files, folder + "\\openmw.cfg", config) &&
           writeFile(files, userData + "\\saves\\" + DemoOpenMwSaveName, demoOpenMwSave(true, 34));
}

GameInstallation demoOpenMwInstallation(FileSystem& files, const std::string& folder) {
    GameInstallation installation = demoInstallation(folder);
    installation.installPath.clear();
    installation.saveKind = SaveKind::OpenMw;
    installation.userDataFolder = folder + "\\" + DemoOpenMwUserData;
    installation.dataFiles = DataFiles::inFolders(files, {folder + "\\Data Files"});
    installation.installed(Game::Tribunal).pluginName = TribunalPluginName;
    return installation;
}

GameInstallation demoInstallation(const std::string& folder) {
    GameInstallation installation;
    installation.installPath = folder;
    InstalledGame& base = installation.installed(Game::Base);
    base.hasMaster = base.hasPlugin = true;
    base.pluginSize = static_cast<std::uint32_t>(demoPlugin().size());
    installation.gameVersion = GameVersion{1, 6, 1, 820};
    installation.installed(Game::Tribunal).pluginName = tribunalPluginNameFor(installation.gameVersion);
    return installation;
}

} // namespace orvella::demo
