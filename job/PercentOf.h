#pragma once

#include <cstdint>

namespace orvella {

// (done, total) -> whole percent, both rounded to single precision first; 100 when total is 0.
int percentOf(std::uint32_t done, std::uint32_t total);

} // namespace orvella
