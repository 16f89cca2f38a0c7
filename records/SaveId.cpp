#include "records/SaveId.h"

#include "records/Bytes.h"

#include <cstring>

namespace orvella {

namespace {

constexpr std::uint8_t FirstBlank = 0x20;
// Every kind that is no text holds two 32-bit numbers.
constexpr std::size_t NumberedIdSize = 8;

// The text up to its first NUL, and the NULs or leftovers after it.
SaveId textId(std::span<const std::uint8_t> bytes, IdForm form) {
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    const void* nul = bytes.empty() ? nullptr : std::memchr(text, 0, bytes.size());
    const std::size_t size =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : bytes.size();
    form.padding = static_cast<std::uint32_t>(bytes.size() - size);
    return SaveId{form, true, std::string_view(text, size)};
}

} // namespace

std::optional<SaveId> readSaveId(std::span<const std::uint8_t> data, std::uint32_t formatVersion,
                                 bool typedField) {
    const bool typed =
        formatVersion >= FirstTypedIdVersion && (typedField || (!data.empty() && data[0] < FirstBlank));
    if (!typed)
        return textId(data, IdForm{});
    if (data.empty())
        return std::nullopt;
    const auto kind = static_cast<IdKind>(data[0]);
    const std::span<const std::uint8_t> rest = data.subspan(1);
    switch (kind) {
    case IdKind::Empty:
        if (!rest.empty())
            return std::nullopt;
        return SaveId{IdForm{true, kind, 0}, true, {}};
    case IdKind::SizedText: {
        if (rest.size() < 4 || loadU32(rest.data()) != rest.size() - 4)
            return std::nullopt;
        return textId(rest.subspan(4), IdForm{true, kind});
    }
    case IdKind::Text:
        return textId(rest, IdForm{true, kind});
    case IdKind::FormId:
    case IdKind::Generated:
    case IdKind::Index:
    case IdKind::ExteriorCell:
        if (rest.size() != NumberedIdSize)
            return std::nullopt;
        return SaveId{IdForm{true, kind, 0}, false, {}};
    }
    return std::nullopt;
}

std::vector<std::uint8_t> saveIdBytes(std::string_view text, const IdForm& form) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() + form.padding + 5);
    if (form.typed) {
        // An empty text is an id of its own kind; any other text keeps the kind of the one it replaces.
        const IdKind kind = form.kind == IdKind::Empty && !text.empty() ? IdKind::Text : form.kind;
        bytes.push_back(static_cast<std::uint8_t>(kind));
        if (kind == IdKind::SizedText)
            appendU32(bytes, static_cast<std::uint32_t>(text.size() + form.padding));
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.insert(bytes.end(), form.padding, 0);
    return bytes;
}

} // namespace orvella
