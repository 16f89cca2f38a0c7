// Feeds arbitrary bytes to the journal handler as a JOUR record's NAME, both ways, against the demo game's
// entries, topics and months, and compares everything with the literal journal translation.

#include "FuzzSupport.h"
#include "literaljournal/LiteralJournal.h"
#include "translate/SaveHandlers.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvella::fuzz {
namespace {

void patchBothWays(const std::string& data, std::string_view text) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionContext& context = preparedContext(direction);
        Record record("JOUR");
        record.appendSubrecord(Subrecord("NAME", data.data(), static_cast<std::uint32_t>(data.size())));
        require(patchJournal(record, context) && sizeAddsUp(record),
                "a journal record dropped, or one whose size does not add up");
        const literal::JournalOutput expected =
            literal::translateJournal(text, context.maps[MapKind::JournalEntry], direction, context.names);
        const Subrecord* name = record.findSubrecord("NAME");
        require(name && std::string(name->data.begin(), name->data.end()) == expected.text + '\0',
                "a journal text other than the literal one, or without its NUL");
        require(context.log.untranslatedJournalCount() == expected.untranslated,
                "untranslated paragraphs counted unlike the literal translation");
    }
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);
    orvella::fuzz::patchBothWays(data, std::string_view(data).substr(0, data.find('\0')));
    return 0;
}
