#include "translate/JournalFixes.h"

#include <memory>
#include <string>

namespace orvella {

namespace {

std::string withNul(std::string_view text) {
    return std::string(text) + '\0';
}

} // namespace

void addJournalFixes(std::span<const JournalFixRow> rows, TranslationMaps& maps) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        // A row without texts keeps its number, so the rows after it keep theirs, but it adds no entry.
        if (rows[k].english.empty() && rows[k].italian.empty())
            continue;
        // "-" sorts before every digit and letter, so these entries are tried before the game's own.
        std::string id = "-";
        id += std::to_string(k);
        if (maps[MapKind::JournalEntry].contains(id))
            continue;
        // The map's key is the entry's id; nothing reads an INAM of the record.
        auto record = std::make_unique<TranslatedRecord>("INFO");
        const std::string english = withNul(rows[k].english);
        const std::string italian = withNul(rows[k].italian);
        record->appendSubrecord(
            Subrecord("NAME", english.data(), static_cast<std::uint32_t>(english.size())));
        record->setTranslation("-TR-", italian.data(), static_cast<std::uint32_t>(italian.size()));
        maps[MapKind::JournalEntry].emplace(id, std::move(record));
    }
}

} // namespace orvella
