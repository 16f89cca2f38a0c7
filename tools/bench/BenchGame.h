#pragma once

#include <string>

namespace orvella::bench {

inline constexpr const char* BenchSaveName = "Bench0001.ess";
inline constexpr const char* BenchPlayerName = "Nerevar";

// Where a generated benchmark game lives: the game folder, the topic tables and the English save as it was
// generated, from which every run starts.
struct BenchFolder {
    std::string root;

    std::string game() const { return root + "/game"; }
    std::string dataFile(const std::string& name) const { return game() + "/Data Files/" + name; }
    std::string save() const { return game() + "/Saves/" + BenchSaveName; }
    std::string tables() const { return root + "/tables"; }
    std::string englishSave() const { return root + "/english.ess"; }
    std::string stamp() const { return root + "/generated.txt"; }
};

// Writes the full-size synthetic game into the folder unless a complete one of the same generator version is
// already there. The output depends on nothing but the generator, so every machine gets the same bytes.
// False, with the reason, when a file cannot be written.
bool prepareBenchGame(const BenchFolder& folder, bool& generated, std::string& error);

} // namespace orvella::bench
