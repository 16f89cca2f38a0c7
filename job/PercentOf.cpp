#include "job/PercentOf.h"

namespace orvella {

int percentOf(std::uint32_t done, std::uint32_t total) {
    float doneValue = static_cast<float>(done);
    float totalValue = static_cast<float>(total);
    if (totalValue == 0.0f)
        return 100;
    return static_cast<int>(static_cast<double>(doneValue) / static_cast<double>(totalValue) * 100.0);
}

} // namespace orvella
