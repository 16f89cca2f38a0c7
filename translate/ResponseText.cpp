#include "translate/ResponseText.h"
#include "game/AsciiFold.h"

namespace orvella {

namespace {

// clang-format off
constexpr std::string_view WordNames[TextWordCount] = {
    "actionslideright", "actionreadymagic", "actionprevweapon", "actionnextweapon", "actiontogglerun",
    "actionslideleft", "actionreadyitem", "actionprevspell", "actionnextspell", "actionrestmenu",
    "actionmenumode", "actionactivate", "actionjournal", "actionforward", "actioncrouch", "actionjump",
    "actionback", "actionuse", "actionrun", "pccrimelevel", "nextpcrank", "pcnextrank", "faction", "pcclass",
    "pcname", "pcrace", "pcrank", "class", "race", "cell", "rank", "name"};
// clang-format on

// The first word whose letters begin the text, in any case.
std::optional<TextWord> wordAtStart(std::string_view text) {
    for (std::size_t i = 0; i < TextWordCount; ++i) {
        const std::string_view name = WordNames[i];
        if (text.size() < name.size())
            continue;
        std::size_t same = 0;
        while (same < name.size() && foldAscii(text[same]) == name[same])
            ++same;
        if (same == name.size())
            return static_cast<TextWord>(i);
    }
    return std::nullopt;
}

// Where the next "%" or "^" stands from a place on; a loop, since find_first_of looks each byte up in the set
// with a call of its own.
std::size_t nextMarker(std::string_view text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at)
        if (text[at] == '%' || text[at] == '^')
            return at;
    return std::string_view::npos;
}

void setFirst(WordValues& values, TextWord word, std::string_view value) {
    if (!values[indexOf(word)])
        values[indexOf(word)].emplace(value);
}

} // namespace

std::string_view textWordName(TextWord word) {
    return WordNames[indexOf(word)];
}

std::vector<ResponseTextPiece> splitResponseText(std::string_view responseText) {
    std::vector<ResponseTextPiece> pieces;
    std::size_t plainStart = 0;
    for (std::size_t at = nextMarker(responseText, 0); at != std::string_view::npos;
         at = nextMarker(responseText, at)) {
        const std::optional<TextWord> word = wordAtStart(responseText.substr(at + 1));
        if (!word) {
            ++at;
            continue;
        }
        if (at > plainStart)
            pieces.push_back({responseText.substr(plainStart, at - plainStart), std::nullopt});
        const std::size_t length = 1 + textWordName(*word).size();
        pieces.push_back({responseText.substr(at, length), word});
        at += length;
        plainStart = at;
    }
    if (plainStart < responseText.size())
        pieces.push_back({responseText.substr(plainStart), std::nullopt});
    return pieces;
}

// The search that tries each value from the shortest up needs no backtracking: a variable that another
// follows is left empty, since the next one can take whatever it would; and a plain piece goes to its
// leftmost place, since wherever a later place lets the rest of the text be made, so does the leftmost, the
// variable after the piece taking the difference. Only the last piece, when plain, has no variable after it
// and must end the text.
std::optional<WordValues> matchResponseText(std::string_view responseText, std::string_view text) {
    const std::vector<ResponseTextPiece> pieces = splitResponseText(responseText);
    WordValues values;
    std::size_t at = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const ResponseTextPiece& piece = pieces[i];
        if (!piece.word) {
            if (text.substr(at, piece.text.size()) != piece.text)
                return std::nullopt;
            at += piece.text.size();
            continue;
        }
        std::size_t end = text.size();
        if (i + 1 < pieces.size() && pieces[i + 1].word) {
            end = at;
        } else if (i + 2 == pieces.size()) {
            if (text.size() - at < pieces[i + 1].text.size())
                return std::nullopt;
            end = text.size() - pieces[i + 1].text.size();
        } else if (i + 2 < pieces.size()) {
            end = text.find(pieces[i + 1].text, at);
            if (end == std::string_view::npos)
                return std::nullopt;
        }
        setFirst(values, *piece.word, text.substr(at, end - at));
        at = end;
    }
    if (at != text.size())
        return std::nullopt;
    return values;
}

std::optional<std::string> fillResponseText(std::string_view responseText, const WordValues& values) {
    std::string text;
    text.reserve(responseText.size());
    for (const ResponseTextPiece& piece : splitResponseText(responseText)) {
        if (!piece.word) {
            text += piece.text;
        } else if (const std::optional<std::string>& value = values[indexOf(*piece.word)]) {
            text += *value;
        } else {
            return std::nullopt;
        }
    }
    return text;
}

} // namespace orvella
