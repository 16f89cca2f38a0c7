#include "gamebuilder/OpenMwSaveBuilder.h"

#include <string>

namespace orvella::build {

namespace {

// The last format version of each layout that later versions changed, as OpenMW names them.
constexpr std::uint32_t MaxLimitedSizeStrings = 22;
constexpr std::uint32_t MaxStringRefId = 23;
constexpr std::uint32_t MaxSavedGameCellNameAsRefId = 24;
constexpr std::uint32_t MaxUseEsmCellId = 26;

std::string i32(std::int32_t value) {
    return u32(static_cast<std::uint32_t>(value));
}

void addIfAny(RecordBuilder& record, std::string_view tag, std::string_view text, const std::string& bytes) {
    if (!text.empty())
        record.sub(tag, bytes);
}

} // namespace

std::string hString(std::string_view text) {
    return text.empty() ? std::string(1, '\0') : std::string(text);
}

std::string hcString(std::string_view text) {
    return text.ends_with('\0') ? std::string(text) : z(text);
}

std::string refId(std::string_view text, std::uint32_t version) {
    if (version <= MaxStringRefId)
        return hString(text);
    return text.empty() ? std::string(1, '\0') : '\x02' + std::string(text);
}

std::string cRefId(std::string_view text, std::uint32_t version) {
    return version <= MaxStringRefId ? hcString(text) : refId(text, version);
}

std::string sizedRefId(std::string_view text) {
    return '\x01' + u32(static_cast<std::uint32_t>(text.size())) + std::string(text);
}

std::string formRefId(std::uint32_t index, std::int32_t contentFile) {
    return '\x03' + u32(index) + i32(contentFile);
}

std::string generatedRefId(std::uint64_t counter) {
    return '\x04' + u64(counter);
}

std::string indexRefId(std::string_view recordType, std::uint32_t index) {
    std::string type(recordType.substr(0, 4));
    type.resize(4, '\0');
    return '\x05' + type + u32(index);
}

std::string exteriorRefId(std::int32_t x, std::int32_t y) {
    return '\x06' + i32(x) + i32(y);
}

std::string maybeFixedString(std::string_view text, std::size_t size, std::uint32_t version) {
    if (version > MaxLimitedSizeStrings)
        return u32(static_cast<std::uint32_t>(text.size())) + std::string(text);
    std::string fixed(text.substr(0, size));
    fixed.resize(size, '\0');
    return fixed;
}

std::string maybeFixedRefId(std::string_view text, std::size_t size, std::uint32_t version) {
    if (version <= MaxStringRefId)
        return maybeFixedString(text, size, version);
    return text.empty() ? std::string(1, '\0') : sizedRefId(text);
}

RecordBuilder journalRecord(const OpenMwJournalEntry& entry) {
    RecordBuilder record("JOUR");
    record.sub("JETY", i32(static_cast<std::int32_t>(entry.kind)));
    // The ids here are plain strings in every version, unlike the quest's own.
    record.sub("YETO", hString(entry.topic))
        .sub("YEIN", hString(entry.info))
        .sub("TEXT", hString(entry.text));
    if (entry.kind == JournalKind::Diary)
        record.sub("JEDA", i32(entry.daysPassed)).sub("JEMO", i32(entry.month)).sub("JEDM", i32(entry.day));
    else if (entry.kind == JournalKind::Topic)
        record.sub("ACT_", hString(entry.actorName));
    return record;
}

RecordBuilder questRecord(const OpenMwQuest& quest, std::uint32_t version) {
    RecordBuilder record("QUES");
    record.sub("YETO", refId(quest.id, version)).sub("QSTA", i32(quest.stage));
    record.sub("QFIN", std::string(1, quest.finished ? '\1' : '\0'));
    return record;
}

RecordBuilder dialogueRecord(const OpenMwDialogueState& state, std::uint32_t version) {
    RecordBuilder record("DIAS");
    for (const auto& topic : state.topics)
        record.sub("TOPI", refId(topic, version));
    for (const auto& faction : state.factions) {
        record.sub("FACT", refId(faction.faction, version));
        for (const auto& [other, reaction] : faction.reactions)
            record.sub("REA2", refId(other, version)).sub("INTV", i32(reaction));
    }
    return record;
}

RecordBuilder npcRecord(const OpenMwNpc& npc, std::uint32_t version) {
    RecordBuilder record("NPC_");
    record.sub("NAME", cRefId(npc.id, version));
    addIfAny(record, "MODL", npc.model, hcString(npc.model));
    addIfAny(record, "FNAM", npc.name, hcString(npc.name));
    record.sub("RNAM", cRefId(npc.race, version))
        .sub("CNAM", cRefId(npc.className, version))
        .sub("ANAM", cRefId(npc.faction, version))
        .sub("BNAM", cRefId(npc.head, version))
        .sub("KNAM", cRefId(npc.hair, version));
    addIfAny(record, "SCRI", npc.script, cRefId(npc.script, version));
    record.sub("NPDT", npc.data).sub("FLAG", u32(npc.flags));
    for (const auto& [count, item] : npc.inventory)
        record.sub("NPCO", i32(count) + maybeFixedRefId(item, 32, version));
    record.sub("AIDT", std::string(12, '\0'));
    return record;
}

RecordBuilder itemRecord(const OpenMwItem& item, std::uint32_t version) {
    struct Layout {
        const char* tag;
        const char* dataTag;
        std::size_t dataSize;
    };
    static constexpr Layout layouts[] = {
        {"BOOK", "BKDT", 20}, {"WEAP", "WPDT", 32}, {"ARMO", "AODT", 24}, {"CLOT", "CTDT", 12}};
    const Layout& layout = layouts[static_cast<int>(item.kind)];
    const std::string data = item.data.empty() ? std::string(layout.dataSize, '\0') : item.data;

    RecordBuilder record(layout.tag);
    record.sub("NAME", item.idBytes.empty() ? cRefId(item.id, version) : item.idBytes)
        .sub("MODL", hcString(item.model));
    addIfAny(record, "FNAM", item.name, hcString(item.name));
    // Armour alone names its script before its data.
    if (item.kind == ItemKind::Armor)
        addIfAny(record, "SCRI", item.script, cRefId(item.script, version));
    record.sub(layout.dataTag, data);
    if (item.kind != ItemKind::Armor)
        addIfAny(record, "SCRI", item.script, cRefId(item.script, version));
    addIfAny(record, "ITEX", item.icon, hcString(item.icon));
    if (item.kind == ItemKind::Book)
        addIfAny(record, "TEXT", item.text, item.text);
    addIfAny(record, "ENAM", item.enchantment, cRefId(item.enchantment, version));
    return record;
}

RecordBuilder globalRecord(std::string_view id, char type, float value, std::uint32_t version) {
    RecordBuilder record("GLOB");
    record.sub("NAME", cRefId(id, version)).sub("FNAM", std::string(1, type)).sub("FLTV", f32(value));
    return record;
}

RecordBuilder& addCellId(RecordBuilder& record, const OpenMwCell& cell, std::uint32_t version) {
    if (version > MaxUseEsmCellId)
        return record.sub("NAME", cell.exterior ? exteriorRefId(cell.x, cell.y) : refId(cell.name, version));
    if (!cell.exterior)
        return record.sub("SPAC", hString(cell.name));
    return record.sub("SPAC", "sys::default").sub("CIDX", i32(cell.x) + i32(cell.y));
}

RecordBuilder cellStateRecord(const OpenMwCell& cell, std::uint32_t version) {
    RecordBuilder record("CSTA");
    addCellId(record, cell, version);
    if (!cell.exterior)
        record.sub("WLVL", f32(0));
    record.sub("HFOW", i32(0)).sub("RESP", f32(0) + i32(0));
    return record;
}

std::string smallJpeg() {
    using namespace std::string_literals;
    return "\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xFF\xD9"s;
}

OpenMwSaveBuilder& OpenMwSaveBuilder::quest(OpenMwQuest quest) {
    quests_.push_back(std::move(quest));
    return *this;
}

OpenMwSaveBuilder& OpenMwSaveBuilder::journal(OpenMwJournalEntry entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

OpenMwSaveBuilder& OpenMwSaveBuilder::dialogue(OpenMwDialogueState state) {
    dialogue_ = std::move(state);
    return *this;
}

OpenMwSaveBuilder& OpenMwSaveBuilder::add(RecordBuilder record) {
    records_.push_back(std::move(record));
    return *this;
}

RecordBuilder OpenMwSaveBuilder::headerRecord() const {
    const std::uint32_t version = header_.version;
    std::size_t after = quests_.size() + entries_.size() + 1 + records_.size();
    for (const auto& quest : quests_)
        after += quest.entries.size();
    const std::int32_t count = header_.recordCount.value_or(static_cast<std::int32_t>(1 + after));
    RecordBuilder record("TES3");
    if (version > 0)
        record.sub("FORM", u32(version));
    record.sub("HEDR", u32(0) + i32(0) + maybeFixedString(header_.author, 32, version) +
                           maybeFixedString(header_.fileDescription, 256, version) + i32(count));
    for (const auto& name : header_.contentFiles)
        record.sub("MAST", hcString(name)).sub("DATA", u64(0));
    return record;
}

RecordBuilder OpenMwSaveBuilder::saveRecord() const {
    const OpenMwSaveHeader& h = header_;
    RecordBuilder record("SAVE");
    record.sub("PLNA", hString(h.playerName)).sub("PLLE", i32(h.playerLevel));
    if (!h.playerClassId.empty())
        record.sub("PLCL", refId(h.playerClassId, h.version));
    else
        record.sub("PLCN", hString(h.playerClassName));
    record.sub("PLCE",
               h.version <= MaxSavedGameCellNameAsRefId ? refId(h.cellName, h.version) : hString(h.cellName));
    record.sub("TSTM", f32(h.gameHour) + i32(h.day) + i32(h.month) + i32(h.year));
    record.sub("TIME", f64(h.timePlayed)).sub("DESC", hString(h.description));
    for (const auto& file : h.dependencies.value_or(h.contentFiles))
        record.sub("DEPE", hString(file));
    record.sub("SCRN", h.screenshot);
    // Added in the 0.49 cycle at a format version the sources do not pin down; every format after 0.48's
    // has them here.
    if (h.version > OpenMw048Format)
        record.sub("CDAY", i32(h.daysPassed)).sub("CHLT", f32(h.health)).sub("MHLT", f32(h.maxHealth));
    return record;
}

std::vector<RecordBuilder> OpenMwSaveBuilder::journalAndDialogue() const {
    std::vector<RecordBuilder> records;
    for (const auto& quest : quests_) {
        records.push_back(questRecord(quest, header_.version));
        for (const auto& entry : quest.entries)
            records.push_back(journalRecord(entry));
    }
    for (bool topics : {false, true})
        for (const auto& entry : entries_)
            if ((entry.kind == JournalKind::Topic) == topics)
                records.push_back(journalRecord(entry));
    records.push_back(dialogueRecord(dialogue_, header_.version));
    return records;
}

std::vector<RecordBuilder> OpenMwSaveBuilder::recordsAfterSave() const {
    std::vector<RecordBuilder> records = journalAndDialogue();
    records.insert(records.end(), records_.begin(), records_.end());
    return records;
}

std::string OpenMwSaveBuilder::bytes() const {
    std::string out = headerRecord().bytes() + saveRecord().bytes();
    for (const auto& record : journalAndDialogue())
        out += record.bytes();
    for (const auto& record : records_)
        out += record.bytes();
    return out;
}

bool OpenMwSaveBuilder::writeTo(const std::string& path) const {
    return writeBytes(path, bytes());
}

} // namespace orvella::build
