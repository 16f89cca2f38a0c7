#pragma once

#include "game/Game.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvella {

enum class ConversionDirection : std::uint32_t {
    EnglishToItalian = 0,
    ItalianToEnglish = 1,
    BetaUnsupported = 2,
};
// The directions are named everywhere without their type's name; as an enum class they are no numbers.
using enum ConversionDirection;

// Whether a save's header lists one game's master and its translation plugin.
struct UsedGame {
    bool master = false;
    bool plugin = false;

    bool operator==(const UsedGame&) const = default;
};

// What a save was made with, and so which way it converts; the summary fields come from its header.
struct SaveInfo {
    std::array<UsedGame, GameCount> games{};
    ConversionDirection direction = EnglishToItalian;
    std::uint32_t formatVersion = 0; // of an OpenMW save's format

    std::string playerName;
    std::string saveName;
    std::string cellName;
    float day = 0;
    float health = 0;
    float maxHealth = 0;

    UsedGame& used(Game game) { return games[indexOf(game)]; }
    const UsedGame& used(Game game) const { return games[indexOf(game)]; }
};

} // namespace orvella
