#include "game/AsciiFold.h"
#include "game/TextEncoding.h"
#include "game/UserTexts.h"
#include "records/Bytes.h"
#include "records/SaveId.h"
#include "scan/ItemTags.h"
#include "translate/OpenMwConversion.h"
#include "translate/ResponseText.h"
#include "translate/SaveHandlers.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

namespace {

enum JournalEntryType : std::int32_t { JournalType = 0, TopicType = 1, QuestType = 2 };

const OpenMwConversion& openMw(const ConversionContext& context) {
    return *context.openMw;
}

std::span<const std::uint8_t> bytesOf(const Subrecord& subrecord) {
    return {subrecord.data.data(), subrecord.size()};
}

bool hasCapital(std::string_view text) {
    for (char c : text)
        if (c >= 'A' && c <= 'Z')
            return true;
    return false;
}

bool namesPlugin(std::string_view name, const ConversionContext& context) {
    for (const PluginEntry& plugin : context.pluginEntries)
        if (compareFolded(name, plugin.name) == 0)
            return true;
    return false;
}

bool isAscii(std::string_view text) {
    return asciiRunEnd(text) == text.size();
}

// A UTF-8 text in Windows-1252: the text itself when it is ASCII, which both spell alike, or else its
// encoding kept in the storage; nothing when it holds a character that the code page lacks.
std::optional<std::string_view> inCp1252(std::string_view text, std::string& storage) {
    if (isAscii(text))
        return text;
    std::optional<std::string> encoded = utf8ToCp1252(text);
    if (!encoded)
        return std::nullopt;
    storage = std::move(*encoded);
    return std::string_view(storage);
}

// Whether a Windows-1252 text reads as the UTF-8 one, without the whole of it converted.
bool sameAsUtf8(std::string_view cp1252, std::string_view utf8) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < cp1252.size();) {
        const std::size_t run = asciiRunEnd(cp1252, i) - i;
        if (utf8.substr(at, run) != cp1252.substr(i, run))
            return false;
        i += run;
        at += run;
        if (i == cp1252.size())
            break;
        const std::string character = cp1252ToUtf8(cp1252.substr(i++, 1));
        if (utf8.substr(at, character.size()) != character)
            return false;
        at += character.size();
    }
    return at == utf8.size();
}

// Whether a response text may hold a variable: both markers are the same byte in either encoding.
bool hasMarker(std::string_view text) {
    return text.find('%') != std::string_view::npos || text.find('^') != std::string_view::npos;
}

// The topic's pair in the map by its name in Windows-1252, or none.
const std::string* topicPair(std::string_view name, const ConversionContext& context) {
    const FoldedNameMap& topics = openMw(context).topicNames;
    auto found = topics.find(name);
    return found == topics.end() ? nullptr : &found->second;
}

// A topic's new name in UTF-8 as its id is spelled: an id kept in lower case (as OpenMW 0.47 and 0.48 keep
// them all) stays so; any other takes the spelling of the map.
std::string renamedSpelling(std::string_view id, const std::string& name) {
    return cp1252ToUtf8(hasCapital(id) ? name : foldedAscii(name));
}

// The new name of a topic, in UTF-8, by its id.
std::optional<std::string> renamedTopic(std::string_view id, const ConversionContext& context) {
    std::string storage;
    const std::optional<std::string_view> name = inCp1252(id, storage);
    const std::string* pair = name ? topicPair(*name, context) : nullptr;
    if (!pair)
        return std::nullopt;
    return renamedSpelling(id, *pair);
}

void replaceId(Record& record, std::size_t index, std::string_view text, const IdForm& form) {
    const std::vector<std::uint8_t> bytes = saveIdBytes(text, form);
    record.replaceSubrecordAt(index, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Where a subrecord of the tag stands in the record, or the record's size when none does.
std::size_t indexOf(const Record& record, std::string_view tag) {
    for (std::size_t i = 0; i < record.subrecordCount(); ++i)
        if (record.subrecordAt(i).tag.is(tag))
            return i;
    return record.subrecordCount();
}

// Where the subrecords that follow the last of the tag go: behind it, and behind the one after it when
// that one is of the paired tag; behind the first of the fallback tag when there is none.
std::size_t afterLast(const Record& record, std::string_view tag, std::string_view pairedTag,
                      std::string_view fallback) {
    const std::size_t count = record.subrecordCount();
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < count; ++i)
        if (record.subrecordAt(i).tag.is(tag))
            last = i;
    if (!last) {
        const std::size_t anchor = indexOf(record, fallback);
        return anchor == count ? count : anchor + 1;
    }
    std::size_t at = *last + 1;
    if (!pairedTag.empty() && at < count && record.subrecordAt(at).tag.is(pairedTag))
        ++at;
    return at;
}

// Removes each subrecord of the tag that names a translation plugin, and the one of the paired tag right
// behind it.
void removePluginNames(Record& record, std::string_view tag, std::string_view pairedTag,
                       const ConversionContext& context) {
    std::size_t i = 0;
    while (i < record.subrecordCount()) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (!subrecord.tag.is(tag) || !namesPlugin(subrecord.text(), context)) {
            ++i;
            continue;
        }
        record.removeSubrecordAt(i);
        if (!pairedTag.empty() && i < record.subrecordCount() && record.subrecordAt(i).tag.is(pairedTag))
            record.removeSubrecordAt(i);
    }
}

// A subrecord's text in UTF-8, as OpenMW reads it: up to a NUL, which it may or may not end with.
std::string_view textOf(const Subrecord* subrecord) {
    return subrecord ? subrecord->text() : std::string_view();
}

void replaceText(Record& record, std::string_view tag, std::string bytes) {
    const std::size_t index = indexOf(record, tag);
    if (index == record.subrecordCount())
        return;
    const Subrecord& old = record.subrecordAt(index);
    // A text keeps the NULs it was written with.
    bytes.append(old.size() - old.text().size(), '\0');
    record.replaceSubrecordAt(index, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::optional<NameGroup> groupOf(TextWord word) {
    switch (word) {
    case TextWord::Name:
        return NameGroup::Name;
    case TextWord::Race:
    case TextWord::PcRace:
        return NameGroup::Race;
    case TextWord::Class:
    case TextWord::PcClass:
        return NameGroup::Class;
    case TextWord::Faction:
        return NameGroup::Faction;
    case TextWord::Rank:
    case TextWord::PcRank:
    case TextWord::NextPcRank:
    case TextWord::PcNextRank:
        return NameGroup::Rank;
    default:
        return std::nullopt;
    }
}

// A UTF-8 name in the target language when its group's map holds it; as it is otherwise.
std::string translatedName(std::string_view value, NameGroup group, const ConversionContext& context) {
    const std::optional<std::string> name = utf8ToCp1252(value);
    if (!name)
        return std::string(value);
    const NameMap& names = openMw(context).namesOf(group);
    auto found = names.find(*name);
    return found == names.end() ? std::string(value) : cp1252ToUtf8(found->second);
}

// One journal entry read from its record.
struct JournalEntryRecord {
    std::int32_t type = JournalType;
    SaveId topic;
    SaveId response;
    std::string_view text;
    const Subrecord* speaker = nullptr;
};

std::optional<JournalEntryRecord> readEntry(const Record& record, std::uint32_t formatVersion) {
    const Subrecord* type = record.findSubrecord("JETY");
    const Subrecord* topic = record.findSubrecord("YETO");
    const Subrecord* response = record.findSubrecord("YEIN");
    const Subrecord* text = record.findSubrecord("TEXT");
    if (!topic || !response || !text)
        return std::nullopt;
    JournalEntryRecord entry;
    if (type && type->size() == 4)
        entry.type = static_cast<std::int32_t>(loadU32(type->data.data()));
    std::optional<SaveId> topicId = readSaveId(bytesOf(*topic), formatVersion, false);
    std::optional<SaveId> responseId = readSaveId(bytesOf(*response), formatVersion, false);
    if (!topicId || !responseId || !topicId->isText || !responseId->isText)
        return std::nullopt;
    entry.topic = *topicId;
    entry.response = *responseId;
    entry.text = text->text();
    entry.speaker = entry.type == TopicType ? record.findSubrecord("ACT_") : nullptr;
    return entry;
}

// What a translated entry becomes.
struct TranslatedEntry {
    std::optional<std::string> topic; // a topic entry's new topic, when renamed
    std::string response;
    std::string text;
    std::optional<std::string> speaker;
};

// Translates one entry by the game's responses, or gives nothing when the entry must stay as it is.
std::optional<TranslatedEntry> translateEntry(const JournalEntryRecord& entry,
                                              const ConversionContext& context) {
    const OpenMwConversion& conversion = openMw(context);
    std::string topicStorage, idStorage;
    const std::optional<std::string_view> topic = inCp1252(entry.topic.text, topicStorage);
    const std::optional<std::string_view> id = inCp1252(entry.response.text, idStorage);
    if (!topic || !id)
        return std::nullopt;
    const bool journal = entry.type != TopicType;
    TranslatedEntry translated;
    std::string_view targetTopic = *topic;
    if (!journal)
        if (const std::string* pair = topicPair(*topic, context)) {
            targetTopic = *pair;
            translated.topic = renamedSpelling(entry.topic.text, *pair);
        }
    const Language source = sourceLanguage(context.direction), target = targetLanguage(context.direction);
    const Response* from = conversion.dialogue->response(source, journal, *topic, *id);
    if (!from)
        return std::nullopt;
    const Response* to = conversion.dialogue->response(target, journal, targetTopic, *id);
    if (!to)
        to = conversion.dialogue->onlyAlike(target, journal, targetTopic, TopicSide::conditions(*from));
    if (!to)
        return std::nullopt;
    // Most responses hold no variable: their text must be the entry's as it is.
    const std::string_view fromText = TopicSide::text(*from);
    std::optional<WordValues> values;
    if (hasMarker(fromText))
        values = matchResponseText(cp1252ToUtf8(fromText), entry.text);
    else if (sameAsUtf8(fromText, entry.text))
        values.emplace();
    if (!values)
        return std::nullopt;
    for (std::size_t word = 0; word < TextWordCount; ++word)
        if (auto group = groupOf(static_cast<TextWord>(word)); group && (*values)[word])
            (*values)[word] = translatedName(*(*values)[word], *group, context);
    if (entry.speaker)
        translated.speaker = translatedName(entry.speaker->text(), NameGroup::Name, context);
    // The words the source response lacks: the player's name from the save, a topic entry's speaker.
    std::optional<std::string>& playerName = (*values)[indexOf(TextWord::PcName)];
    if (!playerName)
        playerName = conversion.playerName;
    std::optional<std::string>& speakerName = (*values)[indexOf(TextWord::Name)];
    if (!speakerName && translated.speaker)
        speakerName = translated.speaker;
    const std::string_view toText = TopicSide::text(*to);
    std::optional<std::string> text =
        hasMarker(toText) ? fillResponseText(cp1252ToUtf8(toText), *values) : cp1252ToUtf8(toText);
    if (!text)
        return std::nullopt;
    translated.text = std::move(*text);
    translated.response = cp1252ToUtf8(TopicSide::id(*to));
    return translated;
}

void tellJournal(ConversionContext& context, std::uint32_t done, std::uint32_t total) {
    if (context.journalProgress)
        context.journalProgress(done, total);
}

} // namespace

bool patchContentFiles(Record& record, ConversionContext& context) {
    if (context.direction != EnglishToItalian) {
        removePluginNames(record, "MAST", "DATA", context);
        return true;
    }
    std::size_t at = afterLast(record, "MAST", "DATA", "HEDR");
    const std::uint8_t size[8] = {};
    for (const PluginEntry& plugin : context.pluginEntries) {
        const std::string name = plugin.name + '\0';
        record.insertSubrecordAt(at++,
                                 Subrecord("MAST", name.data(), static_cast<std::uint32_t>(name.size())));
        record.insertSubrecordAt(at++, Subrecord("DATA", size, sizeof size));
    }
    return true;
}

bool patchDependencies(Record& record, ConversionContext& context) {
    if (context.direction != EnglishToItalian) {
        removePluginNames(record, "DEPE", {}, context);
        return true;
    }
    std::size_t at = afterLast(record, "DEPE", {}, "DESC");
    for (const PluginEntry& plugin : context.pluginEntries)
        record.insertSubrecordAt(
            at++, Subrecord("DEPE", plugin.name.data(), static_cast<std::uint32_t>(plugin.name.size())));
    return true;
}

bool patchKnownTopicIds(Record& record, ConversionContext& context) {
    std::uint32_t untranslated = 0;
    for (std::size_t i = 0; i < record.subrecordCount(); ++i) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (!subrecord.tag.is("TOPI"))
            continue;
        const std::optional<SaveId> id = readSaveId(bytesOf(subrecord), openMw(context).formatVersion, true);
        if (!id || !id->isText)
            continue;
        if (std::optional<std::string> renamed = renamedTopic(id->text, context)) {
            replaceId(record, i, *renamed, id->form);
            continue;
        }
        if (++untranslated == 1)
            context.log.write(texts::UntranslatedTopicsHeading);
        context.log.write(utf8ToCp1252Replacing(id->text));
        context.log.write("\n");
    }
    return true;
}

bool translateJournalRecord(Record& record, const ConversionContext& context) {
    const std::optional<JournalEntryRecord> entry = readEntry(record, openMw(context).formatVersion);
    std::optional<TranslatedEntry> translated = entry ? translateEntry(*entry, context) : std::nullopt;
    if (!translated)
        return false;
    if (translated->topic)
        replaceId(record, indexOf(record, "YETO"), *translated->topic, entry->topic.form);
    replaceId(record, indexOf(record, "YEIN"), translated->response, entry->response.form);
    replaceText(record, "TEXT", std::move(translated->text));
    if (translated->speaker)
        replaceText(record, "ACT_", std::move(*translated->speaker));
    return true;
}

bool patchJournalEntry(Record& record, ConversionContext& context) {
    OpenMwConversion& conversion = *context.openMw;
    // The journal's entries are one record each: the log's heading and the count of what stays come once.
    if (conversion.journalEntriesDone == 0) {
        context.log.startJournal();
        context.log.write(texts::UntranslatedJournalHeading);
    }
    // An entry translated ahead is done; the rest are translated now.
    bool translated = false;
    if (conversion.preparedNext < conversion.preparedEntries.size() &&
        conversion.preparedEntries[conversion.preparedNext].record == &record)
        translated = conversion.preparedEntries[conversion.preparedNext++].translated;
    else
        translated = translateJournalRecord(record, context);
    if (!translated) {
        context.log.countUntranslatedParagraph();
        context.log.write(
            texts::untranslatedParagraphLines(utf8ToCp1252Replacing(textOf(record.findSubrecord("TEXT")))));
    }
    tellJournal(context, ++conversion.journalEntriesDone, conversion.journalEntries);
    return true;
}

bool patchHeldName(Record& record, ConversionContext& context) {
    const Subrecord* name = record.findSubrecord("NAME");
    const Subrecord* fullName = record.findSubrecord("FNAM");
    if (!name || !fullName)
        return true;
    const std::optional<SaveId> id = readSaveId(bytesOf(*name), openMw(context).formatVersion, true);
    if (!id || !id->isText || compareFolded(id->text, "player") == 0)
        return true;
    const std::optional<std::string> key = utf8ToCp1252(id->text);
    const std::optional<std::string> current = utf8ToCp1252(fullName->text());
    if (!key || !current)
        return true;
    const TranslationMap& map = context.maps[record.tag().is("NPC_") ? MapKind::Npc : MapKind::Item];
    auto found = map.find(foldedAscii(*key));
    // Items of the fourteen kinds share one map: the record must be of the save record's kind.
    if (found == map.end() || !found->second->tag().sameBytes(record.tag()) || found->second->fromPlugin())
        return true;
    const Subrecord* source = found->second->textIn(sourceLanguage(context.direction), "FNAM");
    const Subrecord* target = found->second->textIn(targetLanguage(context.direction), "FNAM");
    // A name that the player gave stays.
    if (!source || !target || source->text() != *current)
        return true;
    replaceText(record, "FNAM", cp1252ToUtf8(target->text()));
    return true;
}

} // namespace orvella
