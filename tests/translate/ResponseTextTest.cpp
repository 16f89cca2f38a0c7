#include "translate/ResponseText.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

// The pieces between bars, a variable as {word:text}.
std::string layout(std::string_view responseText) {
    std::string out;
    for (const ResponseTextPiece& piece : splitResponseText(responseText))
        out += (out.empty() ? "" : "|") + (piece.word ? "{" + std::string(textWordName(*piece.word)) + ":" +
                                                            std::string(piece.text) + "}"
                                                      : std::string(piece.text));
    return out;
}

// A word in any case after either marker, the first of the list that begins what follows; the rest is plain.
TEST(ResponseText, SplitsVariablesByTheFirstWordThatBeginsWhatFollowsTheMarker) {
    // clang-format off
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Hello %PCName.", "Hello |{pcname:%PCName}|."}, {"", ""},
        {"%PCNameXYZ%Namer", "{pcname:%PCName}|XYZ|{name:%Name}|r"},
        {"%pcclass, %Class", "{pcclass:%pcclass}|, |{class:%Class}"},
        {"%nextpcrank%PCNextRank%pcrankS",
         "{nextpcrank:%nextpcrank}|{pcnextrank:%PCNextRank}|{pcrank:%pcrank}|S"},
        {"^cElL %%name 100%", "{cell:^cElL}| %|{name:%name}| 100%"},
        {"%Game %nam ^ %^Race\xC3\xA8", "%Game %nam ^ %|{race:^Race}|\xC3\xA8"},
        {"%actionrunning%ActionSlideRight",
         "{actionrun:%actionrun}|ning|{actionslideright:%ActionSlideRight}"}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(layout(text), expected) << text;
}

// The plain backtracking search, each value tried from the shortest up; a word keeps its first value.
std::optional<WordValues> backtrack(std::string_view responseText, std::string_view text) {
    const std::vector<ResponseTextPiece> pieces = splitResponseText(responseText);
    std::vector<std::string_view> taken(pieces.size());
    const std::function<bool(std::size_t, std::size_t)> from = [&](std::size_t i, std::size_t at) {
        if (i == pieces.size() || !pieces[i].word)
            return i == pieces.size() ? at == text.size()
                                      : text.substr(at, pieces[i].text.size()) == pieces[i].text &&
                                            from(i + 1, at + pieces[i].text.size());
        for (std::size_t end = at; end <= text.size(); ++end)
            if (taken[i] = text.substr(at, end - at); from(i + 1, end))
                return true;
        return false;
    };
    if (!from(0, 0))
        return std::nullopt;
    WordValues values;
    for (std::size_t i = pieces.size(); i-- > 0;)
        if (pieces[i].word)
            values[indexOf(*pieces[i].word)] = std::string(taken[i]);
    return values;
}

// On random response texts the match finds what the backtracking search finds, on texts filled from them
// and on others; a filled text is always matched, and filled back the same when no word repeats (a repeated
// word's later variables may have taken other values than its first).
TEST(ResponseText, MatchesAsTheBacktrackingSearchAndFillsBackWhatItMatched) {
    std::mt19937 random(20240611);
    const auto pick = [&](std::size_t count) { return random() % count; };
    const std::string_view tokens[] = {"%name", "^Race", "%CELL", "%pcname", "a", "b",       "ab",
                                       "%",     "^",     "%nam",  "e",       "r", "%Global", "\xC3\xA8"};
    const std::string_view letters[] = {"a", "b", "%", "e", "\xC3\xA8", "%name"};
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string responseText, other;
        for (std::size_t n = pick(7); n > 0; --n)
            responseText += tokens[pick(std::size(tokens))];
        for (std::size_t n = pick(8); n > 0; --n)
            other += letters[pick(3)];
        WordValues values;
        for (auto& value : values)
            for (value.emplace(); pick(3) > 0;)
                *value += letters[pick(std::size(letters))];
        const std::string filled = *fillResponseText(responseText, values);
        const std::optional<WordValues> match = matchResponseText(responseText, filled);
        ASSERT_TRUE(match) << responseText << " / " << filled;
        ASSERT_EQ(match, backtrack(responseText, filled)) << responseText << " / " << filled;
        ASSERT_EQ(matchResponseText(responseText, other), backtrack(responseText, other))
            << responseText << " / " << other;
        refused += !matchResponseText(responseText, other);
        std::array<int, TextWordCount> seen{};
        bool repeats = false;
        for (const ResponseTextPiece& piece : splitResponseText(responseText))
            repeats = repeats || (piece.word && seen[indexOf(*piece.word)]++ > 0);
        if (!repeats) {
            EXPECT_EQ(fillResponseText(responseText, *match), filled) << responseText << " / " << filled;
        }
    }
    EXPECT_GT(refused, 1000);
    EXPECT_LT(refused, 19000);
}

} // namespace
} // namespace orvella
