#pragma once

#include <string>

namespace orvella::bench {

inline constexpr const char* BenchSaveName = "Bench0001.ess";
inline constexpr const char* BenchPlayerName = "Nerevar";
// The OpenMW save, as its character's folder and slot name it.
inline constexpr const char* BenchOpenMwSaveName = "Nerevar/Bench.omwsave";

// Where a generated benchmark game lives: the game folder, the topic tables, OpenMW's user data folder and
// the English saves as they were generated, from which every run starts.
struct BenchFolder {
    std::string root;

    std::string game() const { return root + "/game"; }
    std::string dataFile(const std::string& name) const { return game() + "/Data Files/" + name; }
    std::string save() const { return game() + "/Saves/" + BenchSaveName; }
    std::string tables() const { return root + "/tables"; }
    std::string englishSave() const { return root + "/english.ess"; }
    // OpenMW's user data folder, whose saves folder holds the OpenMW save; OpenMW reads the game's files from
    // the game's own Data Files.
    std::string openMwUserData() const { return root + "/openmw"; }
    std::string openMwSave() const { return openMwUserData() + "/saves/" + BenchOpenMwSaveName; }
    std::string englishOpenMwSave() const { return root + "/english.omwsave"; }
    std::string stamp() const { return root + "/generated.txt"; }
};

// Writes the full-size synthetic game into the folder unless a complete one of the same generator version is
// already there. The output depends on nothing but the generator, so every machine gets the same bytes.
// False, with the reason, when a file cannot be written.
bool prepareBenchGame(const BenchFolder& folder, bool& generated, std::string& error);

} // namespace orvella::bench
