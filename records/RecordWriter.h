#pragma once

#include "records/Record.h"

#include <cstdint>
#include <vector>

namespace orvella {

// Appends the record's bytes as the game stores them: header words as kept, subrecords in list order.
void serializeRecord(const Record& record, std::vector<std::uint8_t>& out);

} // namespace orvella
