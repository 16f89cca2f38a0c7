#include "translate/BuiltInTables.h"

namespace orvella {

// The compiled-in rows arrive with the table data; until then every table is empty.
const TopicTables& builtInTables() {
    static const TopicTables tables{};
    return tables;
}

} // namespace orvella
