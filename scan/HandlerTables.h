#pragma once

#include "records/Record.h"
#include "scan/ScanContext.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace orvella {

struct JobState;

// Reads its record (and any that belong to it) from the context's stream, lowering remaining by one
// for each record consumed; false when the file is malformed.
using ScanHandler = bool (*)(ScanContext& context, std::int32_t& remaining);
// Edits a record of the save in place; true keeps it in the output, false drops it.
using SaveHandler = bool (*)(Record& record, JobState& state);

template <typename Handler> struct HandlerRow {
    char tag[5];
    Handler handler;
};

using ScanHandlerMap = std::map<std::string, ScanHandler>;
using SaveHandlerMap = std::map<std::string, SaveHandler>;

std::span<const HandlerRow<ScanHandler>> scanHandlerTable();
std::span<const HandlerRow<SaveHandler>> saveHandlerTable();

// Adds the table's rows in order; a tag already in the map keeps its handler.
template <typename Handler>
void buildHandlerMap(std::span<const HandlerRow<Handler>> table, std::map<std::string, Handler>& map) {
    for (const auto& row : table)
        map.emplace(std::string(row.tag), row.handler);
}

} // namespace orvella
