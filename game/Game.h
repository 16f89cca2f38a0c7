#pragma once

#include <array>
#include <cstddef>

namespace orvella {

// The base game and its two expansions, each with its master, its translation plugin and its topic table.
enum class Game { Base, Tribunal, Bloodmoon };

inline constexpr std::size_t GameCount = 3;
inline constexpr std::array<Game, GameCount> AllGames = {Game::Base, Game::Tribunal, Game::Bloodmoon};
inline constexpr std::array<Game, GameCount - 1> AllExpansions = {Game::Tribunal, Game::Bloodmoon};

inline constexpr std::size_t indexOf(Game game) {
    return static_cast<std::size_t>(game);
}

} // namespace orvella
