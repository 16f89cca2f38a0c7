#include "translate/SaveHandlers.h"

#include "job/JobState.h"

#include <string>

namespace orvella {

namespace {

// Writes a name from the maps as the game stores it: its bytes and one terminating NUL.
bool replaceWithText(Record& record, std::string_view tag, const std::string& text) {
    return record.replaceSubrecord(tag, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

} // namespace

bool keepRecord(Record&, JobState&) { return true; }

bool patchDialogue(Record& record, JobState& state) {
    if (state.deletedTopicsHeadingPending) {
        state.log.write(DeletedTopicsHeading);
        state.deletedTopicsHeadingPending = false;
    }
    auto name = record.findText("NAME");
    if (record.findSubrecord("DELE")) {
        state.log.write(name.value_or(""));
        state.log.write("\n");
        return false;
    }
    if (!name)
        return true;
    auto found = state.names.topicNameMap.find(std::string(*name));
    if (found != state.names.topicNameMap.end())
        replaceWithText(record, "NAME", found->second);
    return true;
}

// The name, journal and inventory handlers arrive with the translation data; until then they keep
// their records unchanged.
bool patchHeader(Record& record, JobState& state) { return keepRecord(record, state); }
bool patchQuest(Record& record, JobState& state) { return keepRecord(record, state); }
bool patchNpc(Record& record, JobState& state) { return keepRecord(record, state); }
bool patchItem(Record& record, JobState& state) { return keepRecord(record, state); }
bool patchKnownTopics(Record& record, JobState& state) { return keepRecord(record, state); }

} // namespace orvella
