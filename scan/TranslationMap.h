#pragma once

#include "records/TranslatedRecord.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace orvella {

// ID -> record, IDs compared byte by byte as unsigned values; the first record under an ID is kept.
using TranslationMap = std::map<std::string, std::unique_ptr<TranslatedRecord>>;

// The five maps filled from the masters and the translation plugins.
struct TranslationMaps {
    TranslationMap gmstMap;
    TranslationMap npcNameMap;
    TranslationMap itemNameMap;
    TranslationMap journalTopicMap;
    TranslationMap journalEntryMap;

    std::size_t recordCount() const {
        return gmstMap.size() + npcNameMap.size() + itemNameMap.size() + journalTopicMap.size() +
               journalEntryMap.size();
    }
};

} // namespace orvella
