#pragma once

#include "game/Language.h"
#include "records/Record.h"

#include <cstring>
#include <optional>

namespace orvella {

// A record of a translation map: it also owns the other language's text, which is never written and
// never counted in the record's size.
class TranslatedRecord : public Record {
public:
    using Record::Record;

    const Subrecord* translation() const { return translation_ ? &*translation_ : nullptr; }
    // The record's text as the edition reads it: its own subrecord of the tag in the English one, the
    // translation on top of it in the Italian one; null when there is none.
    const Subrecord* textIn(Language language, std::string_view tagName) const {
        if (language == Language::Italian && translation_)
            return &*translation_;
        return findSubrecord(tagName);
    }
    void setTranslation(std::string_view tagName, const void* bytes, std::uint32_t size) {
        translation_.emplace(tagName, bytes, size);
    }
    // The same, its bytes copied into the lender's chunks, which outlive the record.
    void setTranslation(std::string_view tagName, const void* bytes, std::uint32_t size, ByteChunks& lender) {
        auto* copy = reinterpret_cast<std::uint8_t*>(lender.extend(size));
        if (size > 0)
            std::memcpy(copy, bytes, size);
        translation_.emplace(Tag(tagName), SubrecordBytes::borrowing(copy, size));
    }

    // Whether a translation plugin, and no master, gave the record: it is then in the Italian edition alone.
    bool fromPlugin() const { return fromPlugin_; }
    void setFromPlugin() { fromPlugin_ = true; }

private:
    bool fromPlugin_ = false;
    // Held in place: most records of a map get one, and a block of its own for each would add tens of
    // thousands of blocks to every job.
    std::optional<Subrecord> translation_;
};

} // namespace orvella
