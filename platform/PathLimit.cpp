#include "platform/PathLimit.h"

namespace orvella {

std::optional<std::string> tooLongPathMessage(std::initializer_list<std::string> paths) {
    for (const std::string& path : paths)
        if (pathTooLong(path))
            return "Il percorso \"" + path + "\" \xE8 troppo lungo (al massimo " +
                   std::to_string(PathLimit - 1) + " caratteri).";
    return std::nullopt;
}

} // namespace orvella
