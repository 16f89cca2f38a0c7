#pragma once

#include "game/Game.h"
#include "records/RecordStream.h"
#include "scan/DialogueTopics.h"
#include "scan/TranslationMap.h"

#include <cstdint>

namespace orvella {

// MasterPass texts are English, PluginPass texts Italian.
enum class ScanPass : std::int32_t {
    PluginPass = 0,
    MasterPass = 1,
};
using enum ScanPass;

// What a scan handler works on: the file being walked, the pass, and the maps it fills; the topics too when
// they are gathered, with the game whose master is walked.
struct ScanContext {
    RecordStream& stream;
    ScanPass pass;
    TranslationMaps& maps;
    DialogueTopics* topics = nullptr;
    Game game = Game::Base;
};

} // namespace orvella
