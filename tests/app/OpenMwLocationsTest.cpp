#include "app/OpenMwLocations.h"
#include "FakeUserEnvironment.h"
#include "FaultInjectingFileSystem.h"
#include "app/OpenMwConfig.h"

#include <gtest/gtest.h>
#include <map>

namespace orvella {
namespace {

using Strings = std::vector<std::string>;

// The line numbers of the notes, in order.
std::vector<int> noteLines(const OpenMwConfig& config) {
    std::vector<int> lines;
    for (const OpenMwConfigNote& note : config.notes)
        lines.push_back(std::stoi(note.text.substr(std::string("openmw.cfg line ").size())));
    return lines;
}

TEST(OpenMwConfig, ReadsDataFoldersAndUserDataAsOpenMwDoes) {
    struct Case {
        const char* what;
        OpenMwPlatform platform;
        std::string text;
        Strings data;
        std::optional<std::string> userData;
        std::vector<int> notes;
    };
    const OpenMwPlatform Linux = OpenMwPlatform::Linux, Windows = OpenMwPlatform::Windows;
    // clang-format off
    const Case cases[] = {
        {"comments, white space and a # inside a value", Linux,
         "# data=/no\n   \t# data=/no\n\n  data  =  /games/Data Files  \r\ndata=/a#b\n",
         {"\\games\\Data Files", "\\a#b"}},
        {"quotes end at the next quote; & takes the next character", Windows,
         "data=\"C:\\A&&B &\"Q&\" &x\"\ndata=\"C:\\open\ndata=C:\\\"raw\" &&\n",
         {"C:\\A&B \"Q\" x", "C:\\open", "C:\\\"raw\" &&"}},
        {"text after a closing quote is dropped with a note", Linux, "data=\"/a\" # b\n", {"\\a"}, {}, {1}},
        {"tokens", Linux,
         "data=\"?userdata?data\"\ndata=?userconfig?\ndata=?userdata?/x\ndata=?global?data\ndata=?local?\n"
         "data=?mine?x\ndata=?open\n",
         {"\\u\\share\\openmw\\data", "\\u\\config\\openmw", "\\u\\share\\openmw\\x"}, {}, {4, 5, 6, 7}},
        {"relative to the file's folder on POSIX", OpenMwPlatform::MacOs,
         "data=mods/a\ndata=../b\ndata=\\c\n",
         {"\\u\\config\\openmw\\mods\\a", "\\u\\config\\openmw\\..\\b", "\\c"}},
        {"relative, rooted, drive and server paths on Windows", Windows,
         "data=Mods\ndata=\\Games\\MW\ndata=D:/MW\ndata=\\\\srv\\mw\n",
         {"C:\\Docs\\OpenMW\\Mods", "C:\\Games\\MW", "D:\\MW", "\\\\srv\\mw"}},
        {"data-local comes after every data folder", Linux, "data-local=/l\ndata=/a\ndata=/b\n",
         {"\\a", "\\b", "\\l"}},
        {"the last user-data wins, with a note; an empty one is passed over", Linux,
         "user-data=/one\nuser-data=\"/two\"\nuser-data=\ndata-local=/x\ndata-local=/y\n", {"\\y"}, "\\two",
         {2, 3, 5}},
        {"lines OpenMW refuses or that Orvella does not follow", Linux,
         "no equals sign\nconfig=/other\nreplace=data\nData=/caps\ncontent=Morrowind.esm\n"
         "[section]\ndata=/in\n[d]\nata=/in too\n",
         {}, {}, {1, 2}},
    };
    // clang-format on
    OpenMwTokens tokens{.userData = "\\u\\share\\openmw", .userConfig = "\\u\\config\\openmw"};
    for (const Case& c : cases) {
        const std::string path = c.platform == OpenMwPlatform::Windows ? "C:\\Docs\\OpenMW\\openmw.cfg"
                                                                       : "\\u\\config\\openmw\\openmw.cfg";
        const OpenMwConfig config = parseOpenMwConfig(c.text, path, c.platform, tokens);
        EXPECT_EQ(config.dataFolders, c.data) << c.what;
        EXPECT_EQ(config.userData, c.userData) << c.what;
        EXPECT_EQ(noteLines(config), c.notes) << c.what;
    }
    const OpenMwConfigNote note =
        parseOpenMwConfig("data=?global?data", "o.cfg", OpenMwPlatform::Linux, tokens).notes.at(0);
    EXPECT_EQ(note.key + "|" + note.text,
              "data|openmw.cfg line 1 (data=?global?data) is passed over: the folder "
              "?global? stands for is not known here");
}

// The locations as one line, or the error.
std::string found(const OpenMwLocationsResult& result) {
    if (!result.locations)
        return result.error;
    const OpenMwLocations& found = *result.locations;
    EXPECT_EQ(found.savesFolder, found.userData + "\\saves");
    EXPECT_EQ(found.backupFolder, found.userData + "\\LRK Saves Backup");
    std::string line = found.configFile.value_or("no openmw.cfg") + " | " + found.userData + " |";
    for (const std::string& folder : found.dataFolders)
        line += " " + folder + ";";
    return line + " " + std::to_string(found.notes.size()) + " notes";
}

TEST(OpenMwLocations, FollowEachPlatformTheOptionsAndSayWhatToGiveWhenNotFound) {
    struct Case {
        OpenMwPlatform platform;
        std::optional<std::string> home, documents;
        std::map<std::string, std::string> variables;
        std::string config; // where the test writes openmw.cfg, with the text after "|"
        OpenMwOptions options;
        std::string expected;
    };
    const std::string games = "|data=\"/games/mw/Data Files\"\n";
    const std::string linux = "\\h\\.config\\openmw\\openmw.cfg";
    const std::string giveGame = "give --game DIR, the folder that holds \"Data Files\"";
    const OpenMwPlatform Linux = OpenMwPlatform::Linux, Windows = OpenMwPlatform::Windows;
    const std::string local = " | \\h\\.local\\share\\openmw";
    // clang-format off
    const Case cases[] = {
        {Linux, "/h", {}, {}, linux + games, {}, linux + local + " | \\games\\mw\\Data Files; 0 notes"},
        {Linux, "/h", {}, {{"XDG_CONFIG_HOME", "/x"}, {"XDG_DATA_HOME", ""}},
         "\\x\\openmw\\openmw.cfg" + games, {},
         "\\x\\openmw\\openmw.cfg" + local + " | \\games\\mw\\Data Files; 0 notes"},
        {Windows, {}, "C:\\D", {}, "C:\\D\\My Games\\OpenMW\\openmw.cfg|data=\"C:\\MW\\Data Files\"", {},
         "C:\\D\\My Games\\OpenMW\\openmw.cfg | C:\\D\\My Games\\OpenMW | C:\\MW\\Data Files; 0 notes"},
        {OpenMwPlatform::MacOs, "/U", {}, {}, "\\U\\Library\\Preferences\\openmw\\openmw.cfg" + games, {},
         "\\U\\Library\\Preferences\\openmw\\openmw.cfg | \\U\\Library\\Application Support\\openmw | "
         "\\games\\mw\\Data Files; 0 notes"},
        {Linux, "/h", {}, {}, linux + games + "data=/gone\nuser-data=\"?userdata?mine\"\n", {},
         linux + local + "\\mine | \\games\\mw\\Data Files; 1 notes"},
        {Linux, {}, {}, {}, "\\etc\\o.cfg" + games + "user-data=/no\n",
         {.config = "/etc/o.cfg", .userData = "/u"},
         "\\etc\\o.cfg | \\u | \\games\\mw\\Data Files; 0 notes"},
        {Linux, "/h", {}, {}, linux + games + "data=?global?x\nuser-data=/kept\n", {.game = "/mw"},
         linux + " | \\kept | \\mw\\Data Files; 0 notes"},
        {Windows, {}, "C:\\D", {}, "", {.game = "C:\\MW\\"},
         "no openmw.cfg | C:\\D\\My Games\\OpenMW | C:\\MW\\Data Files; 0 notes"},
        // What stops the search, and says what to give instead.
        {Linux, "/h", {}, {}, "", {}, "no openmw.cfg at " + linux + ": " + giveGame},
        {Linux, "/h", {}, {}, linux + "|content=Morrowind.esm\n", {},
         "openmw.cfg at " + linux + " names no data folder: " + giveGame},
        {Windows, {}, {}, {}, "C:\\o.cfg|data=Gone\n", {.config = "C:\\o.cfg"},
         "openmw.cfg at C:\\o.cfg names no data folder that exists: " + giveGame},
        {Windows, {}, {}, {}, "", {},
         "cannot tell where openmw.cfg is, as the Documents folder is not known: give --config FILE, or " +
             giveGame},
        {Linux, {}, {}, {}, "", {.config = "/o.cfg", .game = "/mw"},
         "no openmw.cfg at \\o.cfg, the file given with --config"},
        {OpenMwPlatform::MacOs, {}, {}, {}, "", {.game = "/mw"},
         "cannot tell where OpenMW keeps its saves, as the home folder is not known: give --user-data DIR"},
    };
    // clang-format on
    for (const Case& c : cases) {
        test::FakeUserEnvironment environment;
        environment.home = c.home;
        environment.documents = c.documents;
        environment.variables = c.variables;
        test::FaultInjectingFileSystem files;
        files.addFolder("\\games\\mw\\Data Files");
        files.addFolder("C:\\MW\\Data Files");
        if (const std::size_t bar = c.config.find('|'); bar != std::string::npos) {
            files.addFolder(c.config.substr(0, c.config.rfind('\\', bar)));
            files.writeFile(c.config.substr(0, bar), c.config.substr(bar + 1));
        }
        EXPECT_EQ(found(findOpenMwLocations(c.options, c.platform, environment, files)), c.expected);
    }
}

} // namespace
} // namespace orvella
