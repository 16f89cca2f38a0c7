#include "records/RecordWriter.h"

#include "records/Bytes.h"

namespace orvella {

void serializeRecord(const Record& record, std::vector<std::uint8_t>& out) {
    out.insert(out.end(), record.tag().text, record.tag().text + 4);
    appendU32(out, record.size());
    appendU32(out, record.headerWord());
    appendU32(out, record.flags());
    for (const auto& subrecord : record.subrecords()) {
        out.insert(out.end(), subrecord.tag.text, subrecord.tag.text + 4);
        appendU32(out, subrecord.size());
        out.insert(out.end(), subrecord.data.begin(), subrecord.data.end());
    }
}

} // namespace orvella
