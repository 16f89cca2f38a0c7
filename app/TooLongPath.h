#pragma once

#include <initializer_list>
#include <optional>
#include <string>

namespace orvella {

// The message naming the first of the paths that the platform refuses for its length (PathLimit), in the
// order given; nothing when every path fits.
std::optional<std::string> tooLongPathMessage(std::initializer_list<std::string> paths);

} // namespace orvella
