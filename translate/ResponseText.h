#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// The words a response text's variables name, in the order they are tried: the first whose letters begin
// what follows the marker is the one taken.
enum class TextWord : std::uint8_t {
    ActionSlideRight,
    ActionReadyMagic,
    ActionPrevWeapon,
    ActionNextWeapon,
    ActionToggleRun,
    ActionSlideLeft,
    ActionReadyItem,
    ActionPrevSpell,
    ActionNextSpell,
    ActionRestMenu,
    ActionMenuMode,
    ActionActivate,
    ActionJournal,
    ActionForward,
    ActionCrouch,
    ActionJump,
    ActionBack,
    ActionUse,
    ActionRun,
    PcCrimeLevel,
    NextPcRank,
    PcNextRank,
    Faction,
    PcClass,
    PcName,
    PcRace,
    PcRank,
    Class,
    Race,
    Cell,
    Rank,
    Name
};
inline constexpr std::size_t TextWordCount = 32;

inline constexpr std::size_t indexOf(TextWord word) {
    return static_cast<std::size_t>(word);
}

// The word's letters in lower case.
std::string_view textWordName(TextWord word);

// A stretch of a response text: plain text, or a variable, "%" or "^" and a word's letters, in whatever case
// the text spells them. Whatever follows those letters is plain text, as is a marker that no word follows.
struct ResponseTextPiece {
    std::string_view text;        // a part of the text split
    std::optional<TextWord> word; // none for plain text
};

// The pieces of a UTF-8 response text, in order, with the plain text between two variables in one piece.
// They point into the text.
std::vector<ResponseTextPiece> splitResponseText(std::string_view responseText);

// A value for each word, indexed by indexOf.
using WordValues = std::array<std::optional<std::string>, TextWordCount>;

// The values that make the text from the response text, both UTF-8: the plain pieces stand in the text as
// they are, byte for byte and in order, and each variable takes what lies between them, perhaps nothing.
// Of several ways, the one that trying each variable's value from the shortest up, left to right, meets
// first. A word takes the value of its first variable; a later one of the same word may have taken another.
// Nothing when the text cannot be made so.
std::optional<WordValues> matchResponseText(std::string_view responseText, std::string_view text);

// The response text with each variable replaced by its word's value; nothing when a word that the text
// uses has none.
std::optional<std::string> fillResponseText(std::string_view responseText, const WordValues& values);

} // namespace orvella
