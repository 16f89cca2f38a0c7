#pragma once

#include "game/Game.h"
#include "records/RecordStream.h"
#include "scan/DialogueTopics.h"
#include "scan/RecordKeeper.h"

#include <cstdint>

namespace orvella {

// MasterPass texts are English, PluginPass texts Italian.
enum class ScanPass : std::int32_t {
    PluginPass = 0,
    MasterPass = 1,
};
using enum ScanPass;

// What a scan handler works on: the file being walked, the pass, and where it keeps its records; the side
// that the pass's topics are declared on too when they are gathered, with the game whose master is walked.
struct ScanContext {
    RecordStream& stream;
    ScanPass pass;
    RecordKeeper& kept;
    TopicSide* topics = nullptr;
    Game game = Game::Base;
};

} // namespace orvella
