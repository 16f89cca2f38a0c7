#pragma once

#include "records/RecordStream.h"
#include "scan/TranslationMap.h"

#include <cstdint>

namespace orvella {

// MasterPass texts are English, PluginPass texts Italian.
enum class ScanPass : std::int32_t {
    PluginPass = 0,
    MasterPass = 1,
};
using enum ScanPass;

// What a scan handler works on: the file being walked, the pass, and the maps it fills.
struct ScanContext {
    RecordStream& stream;
    ScanPass pass;
    TranslationMaps& maps;
};

} // namespace orvella
