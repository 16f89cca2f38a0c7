#include "platform/PathLimit.h"

namespace orvella {

std::optional<std::string> firstTooLongPath(std::initializer_list<std::string> paths) {
    for (const std::string& path : paths)
        if (pathTooLong(path))
            return path;
    return std::nullopt;
}

} // namespace orvella
