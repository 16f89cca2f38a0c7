#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella {

// Texts kept elsewhere, each to a number, in one flat table: a lookup probes a few neighbouring slots instead
// of following a list of nodes, each a block of its own, as an unordered_map does. The pairing looks up tens
// of thousands of response ids, and the journal thousands of paragraphs; that chase was most of what it cost.
class TextIndex {
public:
    // Room for about that many texts before the table grows.
    explicit TextIndex(std::size_t expected = 0) {
        resize(std::bit_ceil(std::max<std::size_t>(16, expected * 2)));
    }

    // The number kept under the text, and whether the text was added now, with the value given; the number
    // stays where it is until the next call adds a text.
    std::pair<std::uint32_t&, bool> tryEmplace(std::string_view text, std::uint32_t value) {
        if (2 * (count_ + 1) > slots_.size())
            resize(slots_.size() * 2);
        const std::size_t hash = std::hash<std::string_view>{}(text);
        Slot& slot = slots_[probe(text, hash)];
        if (slot.used)
            return {slot.value, false};
        slot = Slot{text.data(), static_cast<std::uint32_t>(text.size()), static_cast<std::uint32_t>(hash),
                    value, true};
        ++count_;
        return {slot.value, true};
    }
    // The number kept under the text, or null.
    const std::uint32_t* find(std::string_view text) const {
        const Slot& slot = slots_[probe(text, std::hash<std::string_view>{}(text))];
        return slot.used ? &slot.value : nullptr;
    }
    std::size_t size() const { return count_; }

private:
    struct Slot {
        const char* text = nullptr;
        std::uint32_t size = 0;
        std::uint32_t hash = 0;
        std::uint32_t value = 0;
        bool used = false;
    };

    // The slot that holds the text, or the free one where it would go.
    std::size_t probe(std::string_view text, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        const auto shortHash = static_cast<std::uint32_t>(hash);
        for (std::size_t at = shortHash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (!slot.used || (slot.hash == shortHash && std::string_view(slot.text, slot.size) == text))
                return at;
        }
    }
    void resize(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        const std::size_t mask = size - 1;
        for (const Slot& slot : old) {
            if (!slot.used)
                continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].used)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

} // namespace orvella
