#include "translate/SaveHandlers.h"

#include "game/UserTexts.h"
#include "records/Bytes.h"

#include <string>

namespace orvella {

namespace {

// Writes a name from the maps as the game stores it: its bytes and one terminating NUL.
bool replaceWithText(Record& record, std::string_view tag, const std::string& text) {
    return record.replaceSubrecord(tag, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

void insertPluginEntry(Record& header, const std::string& name, std::uint32_t size) {
    std::string mast = name + '\0';
    std::uint8_t data[8] = {};
    storeU32(data, size);
    header.insertSubrecordBefore("GMDT", "MAST", mast.data(), static_cast<std::uint32_t>(mast.size()));
    header.insertSubrecordBefore("GMDT", "DATA", data, sizeof data);
}

bool patchDisplayName(Record& record, ConversionContext& context, const TranslationMap& map) {
    auto id = record.findText("NAME");
    if (!id)
        return true;
    auto found = map.find(std::string(*id));
    if (found == map.end())
        return true;
    if (const Subrecord* name = found->second->textIn(targetLanguage(context.direction), "FNAM"))
        record.replaceSubrecord("FNAM", name->data.data(), name->size());
    return true;
}

} // namespace

bool patchHeader(Record& record, ConversionContext& context) {
    const std::vector<PluginEntry>& plugins = context.pluginEntries;
    if (context.direction == EnglishToItalian) {
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

bool patchDialogue(Record& record, ConversionContext& context) {
    // Kept as the program has always written it: the heading comes at the first topic, deleted or not.
    context.log.writeDeletedTopicsHeading();
    auto name = record.findText("NAME");
    if (!name)
        return true;
    if (record.findSubrecord("DELE")) {
        context.log.write(*name);
        context.log.write("\n");
        return false;
    }
    auto found = context.names.topicNameMap.find(std::string(*name));
    if (found != context.names.topicNameMap.end())
        replaceWithText(record, "NAME", found->second);
    return true;
}

bool patchQuest(Record& record, ConversionContext& context) {
    auto name = record.findText("NAME");
    if (!name)
        return true;
    auto found = context.names.questNameMap.find(std::string(*name));
    if (found != context.names.questNameMap.end()) {
        replaceWithText(record, "NAME", found->second);
        return true;
    }
    context.log.writeQuestsNotFoundHeading();
    context.log.write(texts::questNotFoundLine(*name));
    return true;
}

bool patchNpc(Record& record, ConversionContext& context) {
    const Subrecord* id = record.findSubrecord("NAME");
    static const char Player[] = "player";
    // Kept as the program has always checked it: the id must be "player" with its terminating NUL.
    if (id && id->size() >= sizeof Player && std::string_view(id->text()) == "player" &&
        id->data[sizeof Player - 1] == 0)
        return true;
    return patchDisplayName(record, context, context.maps[MapKind::Npc]);
}

bool patchItem(Record& record, ConversionContext& context) {
    return patchDisplayName(record, context, context.maps[MapKind::Item]);
}

bool patchKnownTopics(Record& record, ConversionContext& context) {
    std::uint32_t untranslated = 0;
    for (std::size_t i = 0; i < record.subrecordCount(); ++i) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (!subrecord.tag.is("DNAM"))
            continue;
        std::string topic(subrecord.text());
        auto found = context.names.topicNameMap.find(topic);
        if (found != context.names.topicNameMap.end()) {
            const std::string& text = found->second;
            record.replaceSubrecordAt(i, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
            continue;
        }
        if (context.maps[MapKind::JournalTopic].count(topic))
            continue;
        if (++untranslated == 1)
            context.log.write(texts::UntranslatedTopicsHeading);
        context.log.write(topic);
        context.log.write("\n");
    }
    return true;
}

} // namespace orvella
