#pragma once

#include "records/Record.h"

#include <memory>

namespace orvella {

// A record of a translation map: it also owns the other language's text, which is never written and
// never counted in the record's size.
class TranslatedRecord : public Record {
public:
    using Record::Record;

    const Subrecord* translation() const { return translation_.get(); }
    void setTranslation(std::string_view tagName, const void* bytes, std::uint32_t size) {
        translation_ = std::make_unique<Subrecord>(tagName, bytes, size);
    }

private:
    std::unique_ptr<Subrecord> translation_;
};

} // namespace orvella
