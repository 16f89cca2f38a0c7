#include "game/AsciiFold.h"
#include "translate/OpenMwConversion.h"

#include <initializer_list>
#include <set>

namespace orvella {

namespace {

// A record's name as the edition reads it; the English edition lacks a record that only a plugin gives.
const Subrecord* nameIn(const TranslatedRecord& record, Language edition, std::string_view tag) {
    if (edition == Language::English && record.fromPlugin())
        return nullptr;
    return record.textIn(edition, tag);
}

NameMap agreedNamesOf(const TranslationMaps& maps, std::initializer_list<MapKind> kinds, std::string_view tag,
                      ConversionDirection direction) {
    NameMap names;
    std::set<std::string> disputed;
    for (MapKind kind : kinds)
        for (const auto& [id, record] : maps[kind]) {
            const Subrecord* source = nameIn(*record, sourceLanguage(direction), tag);
            const Subrecord* target = nameIn(*record, targetLanguage(direction), tag);
            if (!source || !target || source->text().empty())
                continue;
            auto [entry, added] = names.try_emplace(std::string(source->text()), target->text());
            if (!added && entry->second != target->text())
                disputed.insert(entry->first);
        }
    for (const std::string& name : disputed)
        names.erase(name);
    return names;
}

} // namespace

FoldedNameMap foldedTopicNames(const NameMap& topicNameMap) {
    FoldedNameMap folded;
    folded.reserve(topicNameMap.size());
    std::string key;
    for (const auto& [from, to] : topicNameMap) {
        foldAsciiInto(from, key);
        folded.try_emplace(key, to);
    }
    return folded;
}

std::array<NameMap, NameGroupCount> agreedNames(const TranslationMaps& maps, ConversionDirection direction) {
    return {agreedNamesOf(maps, {MapKind::Npc, MapKind::Creature}, "FNAM", direction),
            agreedNamesOf(maps, {MapKind::Race}, "FNAM", direction),
            agreedNamesOf(maps, {MapKind::Class}, "FNAM", direction),
            agreedNamesOf(maps, {MapKind::Faction}, "FNAM", direction),
            agreedNamesOf(maps, {MapKind::Rank}, "RNAM", direction)};
}

} // namespace orvella
