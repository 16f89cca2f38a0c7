#pragma once

#include "scan/ScanContext.h"
#include "scan/TranslationMap.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvella {

// The tag of the Italian text a translation plugin gives a kept record.
inline constexpr std::string_view TranslationTag = "-TR-";

// Keeps the first record met under an ID, copied out of the stream. A later record brings only its text
// (the subrecord textTag): a master's English text overwrites the kept one, a plugin's Italian text becomes
// the translation; nothing else of it is copied.
void mergeScannedRecord(ScanPass pass, TranslationMap& map, std::string_view key, const RecordView& record,
                        std::string_view textTag);

} // namespace orvella
