#pragma once

#include "game/AsciiFold.h"
#include "game/Game.h"
#include "game/SaveKind.h"
#include "records/RecordStream.h"
#include "scan/DialogueTopics.h"
#include "scan/RecordKeeper.h"

#include <cstdint>
#include <string>
#include <string_view>

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
    // The engine whose save the scan serves. OpenMW compares ids without regard to ASCII case, so its maps
    // are keyed by ids folded to lower case; its journal needs every response's text, the journals' too.
    SaveKind saveKind = SaveKind::Ess;
    TopicSide* journals = nullptr;

    // The key of an id in the maps.
    std::string_view key(std::string_view id) {
        if (saveKind == SaveKind::Ess)
            return id;
        foldAsciiInto(id, foldedKey);
        return foldedKey;
    }

    std::string foldedKey; // the last key folded, which key() gives a view of
};

} // namespace orvella
