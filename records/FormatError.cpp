#include "records/FormatError.h"

#include "game/UserTexts.h"

namespace orvella {

std::string FormatError::message() const {
    return texts::invalidFile(fileName, problem, recordTag, recordIndex, subrecordTag, offset);
}

} // namespace orvella
