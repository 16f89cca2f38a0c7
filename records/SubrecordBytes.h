#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvella {

// The bytes of one subrecord. A subrecord read from a file borrows its bytes from the block that its record
// holds for all of them, and takes a copy of its own only when it is changed or taken out of the record: a
// game holds hundreds of thousands of subrecords, and a heap block of their own for each was most of what
// building and freeing the records cost. Up to InlineCapacity bytes of its own live inside the object.
class SubrecordBytes {
public:
    static constexpr std::size_t InlineCapacity = 40;

    SubrecordBytes() = default;
    SubrecordBytes(const std::uint8_t* first, const std::uint8_t* last) { assign(first, last); }
    explicit SubrecordBytes(const std::vector<std::uint8_t>& bytes)
        : SubrecordBytes(bytes.data(), bytes.data() + bytes.size()) {}
    SubrecordBytes(const SubrecordBytes& other) : SubrecordBytes(other.begin(), other.end()) {}
    SubrecordBytes(SubrecordBytes&& other) noexcept { take(other); }
    SubrecordBytes& operator=(const SubrecordBytes& other);
    SubrecordBytes& operator=(SubrecordBytes&& other) noexcept;
    ~SubrecordBytes() { release(); }

    // Bytes that someone else keeps for as long as these are borrowed.
    static SubrecordBytes borrowing(const std::uint8_t* bytes, std::size_t size);

    void assign(const std::uint8_t* first, const std::uint8_t* last);
    // Takes a copy of borrowed bytes, so that they outlive the block they were borrowed from.
    void own();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Changing the bytes needs a copy of one's own.
    std::uint8_t* data() {
        own();
        return onHeap() || borrowed() ? heap_ : local_;
    }
    const std::uint8_t* data() const { return onHeap() || borrowed() ? heap_ : local_; }
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + size_; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + size_; }
    std::uint8_t& operator[](std::size_t index) { return data()[index]; }
    std::uint8_t operator[](std::size_t index) const { return data()[index]; }
    std::uint8_t back() const { return data()[size_ - 1]; }

    friend bool operator==(const SubrecordBytes& a, const SubrecordBytes& b);

private:
    static constexpr std::uint32_t Borrowed = 0;

    bool onHeap() const { return capacity_ > InlineCapacity; }
    bool borrowed() const { return capacity_ == Borrowed; }
    void release();
    void take(SubrecordBytes& other);

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = InlineCapacity; // Borrowed for bytes that are not this object's
    union {
        std::uint8_t local_[InlineCapacity];
        std::uint8_t* heap_;
    };
};

} // namespace orvella
