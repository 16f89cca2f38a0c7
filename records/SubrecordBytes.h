#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvella {

// The bytes of one subrecord. Most subrecords are IDs, names and small numbers, so up to InlineCapacity
// bytes live inside the object itself: a game holds hundreds of thousands of them, and one heap block
// fewer for each is most of what building and freeing the records costs.
class SubrecordBytes {
public:
    static constexpr std::size_t InlineCapacity = 40;

    SubrecordBytes() = default;
    SubrecordBytes(const std::uint8_t* first, const std::uint8_t* last) { assign(first, last); }
    explicit SubrecordBytes(const std::vector<std::uint8_t>& bytes)
        : SubrecordBytes(bytes.data(), bytes.data() + bytes.size()) {}
    SubrecordBytes(const SubrecordBytes& other) : SubrecordBytes(other.begin(), other.end()) {}
    SubrecordBytes& operator=(const SubrecordBytes& other);
    ~SubrecordBytes() { release(); }

    void assign(const std::uint8_t* first, const std::uint8_t* last);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t* data() { return onHeap() ? heap_ : local_; }
    const std::uint8_t* data() const { return onHeap() ? heap_ : local_; }
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + size_; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + size_; }
    std::uint8_t& operator[](std::size_t index) { return data()[index]; }
    std::uint8_t operator[](std::size_t index) const { return data()[index]; }
    std::uint8_t back() const { return data()[size_ - 1]; }

    friend bool operator==(const SubrecordBytes& a, const SubrecordBytes& b);

private:
    bool onHeap() const { return capacity_ > InlineCapacity; }
    void release();

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = InlineCapacity;
    union {
        std::uint8_t local_[InlineCapacity];
        std::uint8_t* heap_;
    };
};

} // namespace orvella
