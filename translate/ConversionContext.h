#pragma once

#include "game/Expansions.h"
#include "game/SaveInfo.h"
#include "scan/TranslationMap.h"
#include "translate/ConversionLog.h"
#include "translate/NameMaps.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace orvella {

class JournalTranslator;
struct OpenMwConversion;

// What the save's handlers work with: the direction, the translation data they only read, the plugin
// entries of the header, the log they write, and where the journal tells how far it is.
struct ConversionContext {
    ConversionDirection direction = EnglishToItalian;
    const TranslationMaps& maps;
    const NameMaps& names;
    // As translationPlugins gives them for the save: added to an English save's header, removed from any
    // other.
    std::vector<PluginEntry> pluginEntries;
    ConversionLog& log;
    // Called as the journal is translated with the bytes done out of its length, then once with done equal
    // to total when the journal is done. May be empty.
    std::function<void(std::uint32_t done, std::uint32_t total)> journalProgress;
    // The journal's translator when the caller made it ahead, from these maps and names; when null, the
    // journal handler makes its own.
    const JournalTranslator* journalTranslator = nullptr;
    // What the conversion of an OpenMW save works with besides; null for the original engine's saves.
    OpenMwConversion* openMw = nullptr;
};

} // namespace orvella
