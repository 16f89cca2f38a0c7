#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvella {

// The bytes of one subrecord. A subrecord read from a file borrows its bytes from the block that its record
// holds for all of them, and takes a block of its own only when it changes size or is taken out of the
// record: a game holds hundreds of thousands of subrecords, and a heap block for each was most of what
// building and freeing the records cost.
class SubrecordBytes {
public:
    SubrecordBytes() = default;
    SubrecordBytes(const std::uint8_t* first, const std::uint8_t* last) { assign(first, last); }
    explicit SubrecordBytes(const std::vector<std::uint8_t>& bytes)
        : SubrecordBytes(bytes.data(), bytes.data() + bytes.size()) {}
    SubrecordBytes(const SubrecordBytes& other) : SubrecordBytes(other.begin(), other.end()) {}
    SubrecordBytes(SubrecordBytes&& other) noexcept { take(other); }
    SubrecordBytes& operator=(const SubrecordBytes& other);
    SubrecordBytes& operator=(SubrecordBytes&& other) noexcept;
    ~SubrecordBytes() { release(); }

    // Bytes in a block that someone else keeps, and lets these change in place, for as long as they are
    // borrowed.
    static SubrecordBytes borrowing(std::uint8_t* bytes, std::size_t size) {
        SubrecordBytes borrowed;
        borrowed.bytes_ = bytes;
        borrowed.size_ = static_cast<std::uint32_t>(size);
        return borrowed;
    }

    void assign(const std::uint8_t* first, const std::uint8_t* last);
    // Takes a copy of borrowed bytes, so that they outlive the block they were borrowed from.
    void own();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t* data() { return bytes_; }
    const std::uint8_t* data() const { return bytes_; }
    std::uint8_t* begin() { return bytes_; }
    std::uint8_t* end() { return bytes_ + size_; }
    const std::uint8_t* begin() const { return bytes_; }
    const std::uint8_t* end() const { return bytes_ + size_; }
    std::uint8_t& operator[](std::size_t index) { return bytes_[index]; }
    std::uint8_t operator[](std::size_t index) const { return bytes_[index]; }
    std::uint8_t back() const { return bytes_[size_ - 1]; }

    friend bool operator==(const SubrecordBytes& a, const SubrecordBytes& b);

private:
    bool borrowed() const { return capacity_ == 0 && bytes_ != nullptr; }
    // Inline, as these run for every subrecord that a record reads, moves or frees.
    void release() {
        if (capacity_ > 0)
            delete[] bytes_;
        bytes_ = nullptr;
        capacity_ = 0;
    }
    void take(SubrecordBytes& other) {
        bytes_ = other.bytes_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.bytes_ = nullptr;
        other.size_ = 0;
        other.capacity_ = 0;
    }

    std::uint8_t* bytes_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0; // of the block this object owns; none for borrowed bytes
};

} // namespace orvella
