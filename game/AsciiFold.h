#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvella {

// The game's texts are Windows-1252: only A to Z are folded, so accented letters keep their bytes.
inline char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline void foldAsciiInto(std::string_view text, std::string& folded) {
    folded.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        folded[i] = foldAscii(text[i]);
}

inline std::string foldedAscii(std::string_view text) {
    std::string folded;
    foldAsciiInto(text, folded);
    return folded;
}

// Byte-wise order after folding, bytes taken as unsigned, a prefix before every longer text.
inline int compareFolded(std::string_view a, std::string_view b) {
    std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(foldAscii(a[i]));
        auto y = static_cast<unsigned char>(foldAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Hashes and compares texts as their folded forms, so that a table keyed by a text finds it in any case
// without a folded copy of the text being made for the look-up.
struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : text)
            hash = (hash ^ static_cast<unsigned char>(foldAscii(c))) * 1099511628211ull;
        return static_cast<std::size_t>(hash ^ (hash >> 32));
    }
};
struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return a.size() == b.size() && compareFolded(a, b) == 0;
    }
};

} // namespace orvella
