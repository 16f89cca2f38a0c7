#pragma once

#include "records/ScanContext.h"
#include "records/TranslationMap.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvella {

// The tag of the Italian text a translation plugin gives a kept record.
inline constexpr std::string_view TranslationTag = "-TR-";

// Keeps the first record met under an ID. A later record brings only its text (the subrecord textTag):
// a master's English text overwrites the kept one, a plugin's Italian text becomes the translation.
void mergeScannedRecord(ScanPass pass, TranslationMap& map, std::string key,
                        std::unique_ptr<TranslatedRecord> record, std::string_view textTag);

} // namespace orvella
