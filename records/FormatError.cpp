#include "records/FormatError.h"

namespace orvella {

std::string FormatError::message() const {
    std::string text = "Il file \"" + fileName + "\" non \xE8 valido: " + problem + ".\n";
    if (!recordTag.empty()) {
        text += "Record " + recordTag;
        if (recordIndex >= 0)
            text += " (n. " + std::to_string(recordIndex) + ")";
        text += ", ";
    }
    if (!subrecordTag.empty())
        text += "sottorecord " + subrecordTag + ", ";
    text += "offset " + std::to_string(offset) + ".";
    return text;
}

} // namespace orvella
