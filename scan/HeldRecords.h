#pragma once

#include "records/ByteChunks.h"
#include "scan/RecordKeeper.h"
#include "scan/ScanContext.h"
#include "scan/TranslationMap.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// The records of files scanned on a second thread while the maps are still being filled by the files before
// them: each is held as bytes among chunks, so that keeping one costs no allocation, and only those whose ID
// the maps lack become records of a map once the files before them are in.
class HeldRecords final : public RecordKeeper {
public:
    explicit HeldRecords(ScanPass pass) : pass_(pass) {}

    void keep(MapKind kind, std::string_view key, const RecordView& record,
              std::string_view textTag) override;

    // Puts the held records in the order that mergeInto takes them, by map and ID; the second thread does it
    // while the first is still scanning.
    void arrange();
    // Adds the records that each set holds to the maps, set after set, as if their files had been scanned
    // straight into them after the files already in: an ID the maps know takes the last text given under it;
    // a new ID takes its first record, with the last text of a later record. A plugin's text becomes the
    // translation, a master's replaces the record's own. One walk of each map serves all the sets. Nothing is
    // held afterwards but the chunks the records were held in.
    static void mergeInto(TranslationMaps& maps, std::span<HeldRecords* const> sets);
    // The chunks the records were held in, for whoever writes into them next.
    ByteChunks takeBytes() { return std::move(bytes_); }

private:
    static constexpr std::uint32_t NoText = UINT32_MAX;

    struct Held {
        MapKind kind;
        Tag tag;
        std::uint32_t size, headerWord, flags;
        const char* key; // followed by the subrecords, each as tag, size and data
        std::uint32_t keySize, subrecordsSize;
        std::uint32_t text = NoText, textSize = 0; // the text's offset from the key
    };

    static std::string_view keyOf(const Held& held) { return {held.key, held.keySize}; }
    // Orders held records by their map alone.
    struct KindOrder {
        const std::vector<Held>& held;
        bool operator()(std::uint32_t index, MapKind kind) const { return held[index].kind < kind; }
        bool operator()(MapKind kind, std::uint32_t index) const { return kind < held[index].kind; }
    };

    static void mergeInto(TranslationMaps& maps, MapKind kind, std::span<HeldRecords* const> sets);
    // The held records of the map, by ID.
    std::span<const std::uint32_t> orderOf(MapKind kind) const;
    // Adds the records of one ID, group, the map's records from at on being those with that ID or later ones;
    // at is left on the ID's record.
    void merge(TranslationMap& map, ByteChunks& bytes, TranslationMap::iterator& at,
               std::span<const std::uint32_t> group, RecordView& view) const;
    static std::unique_ptr<TranslatedRecord> build(const Held& held, RecordView& view, ByteChunks& bytes);
    void translate(TranslatedRecord& record, const Held& held, ByteChunks& bytes) const;

    // A held record's place in the order of arrange: its map and the first fifteen bytes of its key as two
    // numbers, taken while the key is at hand, so that sorting seldom reads the held records or their keys.
    struct SortKey {
        std::uint64_t high, low;
        std::uint32_t index;
    };

    ScanPass pass_;
    std::vector<Held> held_;
    std::vector<SortKey> sortKeys_;
    std::vector<std::uint32_t> order_;
    ByteChunks bytes_;
};

} // namespace orvella
