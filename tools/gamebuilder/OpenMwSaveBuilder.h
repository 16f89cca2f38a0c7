#pragma once

#include "gamebuilder/GameBuilder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella::build {

// The FORM value of the saves each OpenMW release writes. 34 is the newest format whose layout is known, that
// of the builds after 0.48.
inline constexpr std::uint32_t OpenMw047Format = 15;
inline constexpr std::uint32_t OpenMw048Format = 21;
inline constexpr std::uint32_t OpenMw049Format = 34;

// Subrecord payloads as OpenMW's writer makes them at a format version, one function per writer call.
// writeHNString: the text without a NUL; an empty one is a single NUL.
std::string hString(std::string_view text);
// writeHNCString: the text and a NUL, unless it already ends in one.
std::string hcString(std::string_view text);
// writeHNRefId: the plain text up to format 23; then a typed id, kind 2 and the text, or kind 0 when empty.
std::string refId(std::string_view text, std::uint32_t version);
// writeHNCRefId: the text and a NUL up to format 23; then the same bytes as refId.
std::string cRefId(std::string_view text, std::uint32_t version);
// The other kinds of typed id, from format 24: a string with its length (kind 1), a content file's form id
// (3), an id made in game (4), a record type's index (5) and an exterior cell (6).
std::string sizedRefId(std::string_view text);
std::string formRefId(std::uint32_t index, std::int32_t contentFile);
std::string generatedRefId(std::uint64_t counter);
std::string indexRefId(std::string_view recordType, std::uint32_t index);
std::string exteriorRefId(std::int32_t x, std::int32_t y);
// writeMaybeFixedSizeString, without a subrecord header: NUL padded to size up to format 22 (a longer text
// is cut, where OpenMW refuses it), then a u32 length and the text.
std::string maybeFixedString(std::string_view text, std::size_t size, std::uint32_t version);
// writeMaybeFixedSizeRefId: as maybeFixedString up to format 23, then a sized id (kind 0 when empty).
std::string maybeFixedRefId(std::string_view text, std::size_t size, std::uint32_t version);

// A journal record. Quest entries belong to their quest's record; diary entries carry the date, topic
// entries the speaker's name.
enum class JournalKind : std::int32_t { Diary = 0, Topic = 1, Quest = 2 };
struct OpenMwJournalEntry {
    JournalKind kind = JournalKind::Diary;
    std::string topic;
    std::string info;
    std::string text;
    std::string actorName;
    std::int32_t daysPassed = 1;
    std::int32_t month = 7;
    std::int32_t day = 16;
};
RecordBuilder journalRecord(const OpenMwJournalEntry& entry);

// A quest's state, and the entries it received, which OpenMW writes right after it.
struct OpenMwQuest {
    std::string id;
    std::int32_t stage = 0;
    bool finished = false;
    std::vector<OpenMwJournalEntry> entries;
};
RecordBuilder questRecord(const OpenMwQuest& quest, std::uint32_t version);

// The known topics and the faction reactions changed by scripts.
struct OpenMwFactionReactions {
    std::string faction;
    std::vector<std::pair<std::string, std::int32_t>> reactions; // other faction, reaction
};
struct OpenMwDialogueState {
    std::vector<std::string> topics;
    std::vector<OpenMwFactionReactions> factions;
};
RecordBuilder dialogueRecord(const OpenMwDialogueState& state, std::uint32_t version);

// The player's NPC, or one made in game, as the store of records made in game saves it.
struct OpenMwNpc {
    std::string id = "player";
    std::string name = "Nerevar"; // omitted when empty, as every optional text
    std::string model;
    std::string race = "Dark Elf";
    std::string className = "Warrior";
    std::string faction;
    std::string head = "b_n_dark elf_m_head_01";
    std::string hair = "b_n_dark elf_m_hair_01";
    std::string script;
    std::string data = std::string(52, '\0'); // NPDT
    std::uint32_t flags = 8;
    std::vector<std::pair<std::int32_t, std::string>> inventory; // count, item id
};
RecordBuilder npcRecord(const OpenMwNpc& npc, std::uint32_t version);

// An item made in game, or one a converted save carries whole.
enum class ItemKind { Book, Weapon, Armor, Clothing };
struct OpenMwItem {
    ItemKind kind = ItemKind::Book;
    std::string id;
    std::string idBytes; // NAME as it stands, for an id of another kind than text
    std::string name;
    std::string model = "m\\Text_Octavo_05.nif";
    std::string data; // the kind's data subrecord, zeros of its size when empty
    std::string script;
    std::string icon;
    std::string text; // books only
    std::string enchantment;
};
RecordBuilder itemRecord(const OpenMwItem& item, std::uint32_t version);

RecordBuilder globalRecord(std::string_view id, char type, float value, std::uint32_t version);

// A cell as OpenMW names it in cell states, the player's position and markers.
struct OpenMwCell {
    std::string name; // an interior's
    bool exterior = false;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
// Adds the cell's id: SPAC (a worldspace for an exterior) with CIDX for an exterior up to format 26, then
// one NAME with a typed id.
RecordBuilder& addCellId(RecordBuilder& record, const OpenMwCell& cell, std::uint32_t version);
// A cell's state with no references; the caller may add them.
RecordBuilder cellStateRecord(const OpenMwCell& cell, std::uint32_t version);

// A small JPEG stand-in for the screenshot.
std::string smallJpeg();

// The header record's and the SAVE record's fields.
struct OpenMwSaveHeader {
    std::uint32_t version = OpenMw049Format;
    std::vector<std::string> contentFiles = {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm"};
    // HEDR's count; unset, the records after TES3, as OpenMW counts them.
    std::optional<std::int32_t> recordCount;
    std::string author;
    std::string fileDescription;

    std::string playerName = "Nerevar";
    std::int32_t playerLevel = 1;
    std::string playerClassId = "Warrior"; // PLCL; empty for a custom class, whose name PLCN then holds
    std::string playerClassName;
    std::string cellName = "Seyda Neen";
    float gameHour = 9;
    std::int32_t day = 16;
    std::int32_t month = 7;
    std::int32_t year = 427;
    double timePlayed = 600;
    std::string description = "Seyda Neen";
    std::optional<std::vector<std::string>> dependencies; // DEPE; unset, the content files
    std::string screenshot = smallJpeg();
    // Written only after 0.48's format.
    std::int32_t daysPassed = 1;
    float health = 50;
    float maxHealth = 50;
};

// A whole OpenMW save: TES3, SAVE, then the journal (each quest with its entries, the diary, the topic
// entries), the dialogue state and the other records, grouped as OpenMW writes them, each group in the
// order given.
class OpenMwSaveBuilder {
public:
    explicit OpenMwSaveBuilder(OpenMwSaveHeader header = {}) : header_(std::move(header)) {}

    OpenMwSaveHeader& header() { return header_; }
    std::uint32_t version() const { return header_.version; }
    OpenMwSaveBuilder& quest(OpenMwQuest quest);
    // A diary or a topic entry.
    OpenMwSaveBuilder& journal(OpenMwJournalEntry entry);
    // The dialogue state, which every save has, empty unless set.
    OpenMwSaveBuilder& dialogue(OpenMwDialogueState state);
    // Any other record, written after the dialogue state.
    OpenMwSaveBuilder& add(RecordBuilder record);

    RecordBuilder headerRecord() const;
    RecordBuilder saveRecord() const;
    std::vector<RecordBuilder> recordsAfterSave() const;
    std::string bytes() const;
    bool writeTo(const std::string& path) const;

private:
    std::vector<RecordBuilder> journalAndDialogue() const;

    OpenMwSaveHeader header_;
    std::vector<OpenMwQuest> quests_;
    std::vector<OpenMwJournalEntry> entries_;
    OpenMwDialogueState dialogue_;
    std::vector<RecordBuilder> records_;
};

} // namespace orvella::build
