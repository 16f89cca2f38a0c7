#include "app/OpenMwSave.h"
#include <string_view>

namespace orvella {
namespace {

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

} // namespace

OpenMwSaveNameCheck checkOpenMwSaveName(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos && isPlainName(std::string_view(text).substr(0, slash)) &&
        isPlainName(std::string_view(text).substr(slash + 1)))
        return {OpenMwSaveName{text.substr(0, slash), text.substr(slash + 1)}, {}};
    return {std::nullopt,
            "\"" + text +
                "\" is not an OpenMW save name: it must be CHARACTER/SLOT.omwsave, a character's "
                "folder in saves and a save in it, with no other path"};
}

} // namespace orvella
