#pragma once

#include "RecordViews.h"
#include "translate/ConversionContext.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvella::test {

// A log that keeps what is written in a string the test reads afterwards.
struct StringLog final : ConversionLog {
    void write(std::string_view text) override { this->text.append(text); }
    std::string text;
};

// A conversion's context without a job: handlers and map builders can be called on its data directly. The
// journal's progress is kept as (done, total) pairs.
struct ConversionFixture {
    explicit ConversionFixture(ConversionDirection direction = EnglishToItalian) {
        context.direction = direction;
    }
    ConversionFixture(const ConversionFixture&) = delete;

    // A journal entry as the scan leaves it, the Italian text as its translation.
    void addJournalEntry(const std::string& id, std::string_view english,
                         std::optional<std::string_view> italian) {
        maps[MapKind::JournalEntry].emplace(
            id, mapEntry(build::RecordBuilder("INFO").text("INAM", id).text("NAME", english), italian));
    }

    TranslationMaps maps;
    NameMaps names;
    StringLog log;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> journalProgress;
    ConversionContext context{
        EnglishToItalian, maps, names, {}, log, [this](std::uint32_t done, std::uint32_t total) {
            journalProgress.emplace_back(done, total);
        }};
};

} // namespace orvella::test
