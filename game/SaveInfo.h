#pragma once

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

// What a save was made with, and so which way it converts; the summary fields come from its header.
struct SaveInfo {
    bool usesMorrowindMaster = false;
    bool usesMorrowindPlugin = false;
    bool usesTribunalMaster = false;
    bool usesTribunalPlugin = false;
    bool usesBloodmoonMaster = false;
    bool usesBloodmoonPlugin = false;
    ConversionDirection direction = EnglishToItalian;

    std::string playerName;
    std::string saveName;
    std::string cellName;
    float day = 0;
    float health = 0;
    float maxHealth = 0;
};

} // namespace orvella
