#pragma once

#include <string>

namespace orvella::demo {

// What a conversion changes in a save, one line per item: master list, topics, quests, names, journal and
// the player's inventory order. Empty with a message line when the save cannot be read.
std::string describeSave(const std::string& path);

} // namespace orvella::demo
