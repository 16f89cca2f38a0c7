#include "translate/SaveHandlers.h"

#include "game/Expansions.h"
#include "job/JobState.h"

#include <string>

namespace orvella {

namespace {

// Writes a name from the maps as the game stores it: its bytes and one terminating NUL.
bool replaceWithText(Record& record, std::string_view tag, const std::string& text) {
    return record.replaceSubrecord(tag, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

void insertPluginEntry(Record& header, const std::string& name, std::uint32_t size) {
    std::string mast = name + '\0';
    std::uint8_t data[8] = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                            static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    header.insertSubrecordBefore("GMDT", "MAST", mast.data(), static_cast<std::uint32_t>(mast.size()));
    header.insertSubrecordBefore("GMDT", "DATA", data, sizeof data);
}

// The target-language name of a map entry: the Italian translation when there is one, else its own FNAM.
const Subrecord* targetName(const TranslatedRecord& entry, ConversionDirection direction) {
    if (direction == EnglishToItalian && entry.translation())
        return entry.translation();
    return entry.findSubrecord("FNAM");
}

bool patchDisplayName(Record& record, JobState& state, const TranslationMap& map) {
    auto id = record.findText("NAME");
    if (!id)
        return true;
    auto found = map.find(std::string(*id));
    if (found == map.end())
        return true;
    if (const Subrecord* name = targetName(*found->second, state.direction()))
        record.replaceSubrecord("FNAM", name->data.data(), name->size());
    return true;
}

} // namespace

bool keepRecord(Record&, JobState&) {
    return true;
}

bool patchHeader(Record& record, JobState& state) {
    const std::vector<PluginEntry> plugins = translationPlugins(state.job.saveInfo, state.installation());
    if (state.direction() == EnglishToItalian) {
        for (const PluginEntry& plugin : plugins)
            insertPluginEntry(record, plugin.name, plugin.size);
        return true;
    }
    auto isPlugin = [&](std::string_view name) {
        for (const PluginEntry& plugin : plugins)
            if (name == plugin.name)
                return true;
        return false;
    };
    std::size_t i = 0;
    while (i < record.subrecordCount()) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (!subrecord.tag.is("MAST") || !isPlugin(subrecord.text())) {
            ++i;
            continue;
        }
        record.removeSubrecordAt(i);
        // Only the entry's own DATA goes with it: whatever else follows belongs to the save.
        if (i < record.subrecordCount() && record.subrecordAt(i).tag.is("DATA"))
            record.removeSubrecordAt(i);
    }
    return true;
}

bool patchDialogue(Record& record, JobState& state) {
    if (state.deletedTopicsHeadingPending) {
        state.log.write(DeletedTopicsHeading);
        state.deletedTopicsHeadingPending = false;
    }
    auto name = record.findText("NAME");
    if (!name)
        return true;
    if (record.findSubrecord("DELE")) {
        state.log.write(*name);
        state.log.write("\n");
        return false;
    }
    auto found = state.names.topicNameMap.find(std::string(*name));
    if (found != state.names.topicNameMap.end())
        replaceWithText(record, "NAME", found->second);
    return true;
}

bool patchQuest(Record& record, JobState& state) {
    auto name = record.findText("NAME");
    if (!name)
        return true;
    auto found = state.names.questNameMap.find(std::string(*name));
    if (found != state.names.questNameMap.end()) {
        replaceWithText(record, "NAME", found->second);
        return true;
    }
    if (state.questsNotFoundHeadingPending) {
        state.log.write(QuestsNotFoundHeading);
        state.questsNotFoundHeadingPending = false;
    }
    state.log.write("Nome Quest: ");
    state.log.write(*name);
    state.log.write("\n");
    return true;
}

bool patchNpc(Record& record, JobState& state) {
    const Subrecord* id = record.findSubrecord("NAME");
    static const char Player[] = "player";
    if (id && id->size() >= sizeof Player && std::string_view(id->text()) == "player" &&
        id->data[sizeof Player - 1] == 0)
        return true;
    return patchDisplayName(record, state, state.maps.npcNameMap);
}

bool patchItem(Record& record, JobState& state) {
    return patchDisplayName(record, state, state.maps.itemNameMap);
}

bool patchKnownTopics(Record& record, JobState& state) {
    std::uint32_t untranslated = 0;
    for (std::size_t i = 0; i < record.subrecordCount(); ++i) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (!subrecord.tag.is("DNAM"))
            continue;
        std::string topic(subrecord.text());
        auto found = state.names.topicNameMap.find(topic);
        if (found != state.names.topicNameMap.end()) {
            const std::string& text = found->second;
            record.replaceSubrecordAt(i, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
            continue;
        }
        if (state.maps.journalTopicMap.count(topic))
            continue;
        if (++untranslated == 1)
            state.log.write(UntranslatedTopicsHeading);
        state.log.write(topic);
        state.log.write("\n");
    }
    return true;
}

} // namespace orvella
