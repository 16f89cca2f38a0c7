#include "translate/BuiltInTables.h"

#include "translate/TableFile.h"

#include <cstdio>
#include <cstdlib>

namespace orvella::data {
extern const unsigned char BaseTopicTable[];
extern const std::size_t BaseTopicTableSize;
extern const unsigned char TribunalTopicTable[];
extern const std::size_t TribunalTopicTableSize;
extern const unsigned char BloodmoonTopicTable[];
extern const std::size_t BloodmoonTopicTableSize;
extern const unsigned char JournalFixTable[];
extern const std::size_t JournalFixTableSize;
} // namespace orvella::data

namespace orvella {

namespace {

std::string_view view(const unsigned char* bytes, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

} // namespace

std::string_view embeddedTableFile(const char* fileName) {
    using namespace data;
    std::string_view name = fileName;
    if (name == BaseTopicTableFile)
        return view(BaseTopicTable, BaseTopicTableSize);
    if (name == TribunalTopicTableFile)
        return view(TribunalTopicTable, TribunalTopicTableSize);
    if (name == BloodmoonTopicTableFile)
        return view(BloodmoonTopicTable, BloodmoonTopicTableSize);
    return view(JournalFixTable, JournalFixTableSize);
}

const TopicTables& builtInTables() {
    static const TableSet* const tables = [] {
        auto* set = new TableSet;
        TableFileError error;
        if (!set->load(embeddedTableFile(BaseTopicTableFile), embeddedTableFile(TribunalTopicTableFile),
                       embeddedTableFile(BloodmoonTopicTableFile), embeddedTableFile(JournalFixTableFile),
                       error)) {
            // The tests check the shipped tables at every build, so this only stops a broken build.
            std::fprintf(stderr, "%s\n", error.message().c_str());
            std::abort();
        }
        return set;
    }();
    return tables->tables();
}

} // namespace orvella
