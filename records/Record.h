#pragma once

#include "records/ByteChunks.h"
#include "records/Subrecord.h"
#include "records/Tag.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace orvella {

using SubrecordList = std::vector<Subrecord>;

// One record in memory. It owns its subrecords in file order, and every edit moves `size` by exactly the
// bytes it adds or removes, so a record that was consistent when read stays consistent when written. The
// subrecords read with it borrow their bytes from one block that the record holds, or that its reader lends
// it for as long as the record lives.
class Record {
public:
    explicit Record(std::string_view tagName);
    Record(Tag tagValue, std::uint32_t size, std::uint32_t headerWord, std::uint32_t flags);
    virtual ~Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    const Tag& tag() const { return tag_; }
    std::uint32_t size() const { return size_; }
    std::uint32_t headerWord() const { return headerWord_; }
    std::uint32_t flags() const { return flags_; }
    const SubrecordList& subrecords() const { return subrecords_; }
    std::size_t subrecordCount() const { return subrecords_.size(); }
    Subrecord& subrecordAt(std::size_t index) { return subrecords_[index]; }
    const Subrecord& subrecordAt(std::size_t index) const { return subrecords_[index]; }

    // The subrecord of the tag added earliest: the first of the list unless an insertion put a subrecord of
    // that tag in front of it. An edit of the record's list of subrecords may move it.
    Subrecord* findSubrecord(std::string_view tagName);
    const Subrecord* findSubrecord(std::string_view tagName) const;
    // The text of the first subrecord with the tag, or nothing when the record has none.
    std::optional<std::string_view> findText(std::string_view tagName) const;

    bool replaceSubrecord(std::string_view tagName, const void* bytes, std::uint32_t size);
    bool replaceSubrecordAt(std::size_t index, const void* bytes, std::uint32_t size);
    void appendSubrecord(Subrecord subrecord);
    // Places the subrecord before the element at index (0 to the number of subrecords).
    void insertSubrecordAt(std::size_t index, Subrecord subrecord);
    // Appends when beforeTag is empty; inserts nothing when no subrecord has beforeTag.
    void insertSubrecordBefore(std::optional<std::string_view> beforeTag, std::string_view tagName,
                               const void* bytes, std::uint32_t size);
    void removeSubrecordAt(std::size_t index);
    // Takes the subrecords [first, end) out of the record, each with bytes of its own, and hands them to the
    // caller.
    SubrecordList removeSubrecordRange(std::size_t first, std::size_t end);

    // Makes room for the bytes of the subrecords as the reader meets them, count of them in all, and gives
    // the block that they borrow from, taken from the lender when one is given; called once, before the first
    // is adopted.
    std::uint8_t* readBlock(std::size_t bytes, std::size_t count, ByteChunks* lender = nullptr);
    // Adds a subrecord as the reader meets it, its bytes in the read block: the size already counts it.
    void adoptReadSubrecord(Tag tag, std::uint8_t* bytes, std::uint32_t size) {
        if (!addedTurn_.empty())
            addedTurn_.push_back(static_cast<std::uint32_t>(subrecords_.size()));
        subrecords_.emplace_back(tag, SubrecordBytes::borrowing(bytes, size));
    }

private:
    void replaceData(Subrecord& subrecord, const void* bytes, std::uint32_t size);
    std::size_t findIndex(std::string_view tagName) const;
    void backToFileOrder();

    Tag tag_;
    std::uint32_t size_ = 0;
    std::uint32_t headerWord_ = 0;
    std::uint32_t flags_ = 0;
    SubrecordList subrecords_;
    std::unique_ptr<std::uint8_t[]> readBlock_;
    // For each subrecord, the turn in which it was added, which a lookup takes the earliest of. It stays
    // empty while that order is the file order, which holds until a subrecord is inserted in front of
    // another; removing a subrecord puts it back to file order.
    std::vector<std::uint32_t> addedTurn_;
};

} // namespace orvella
