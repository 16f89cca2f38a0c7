#pragma once

#include "translate/ConversionContext.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvella::test {

// A log that keeps what is written in a string the test reads afterwards.
class StringLog final : public ConversionLog {
public:
    void write(std::string_view text) override { this->text.append(text); }
    std::string text;
};

// A conversion's context without a job: handlers and map builders can be called on its data directly. The
// journal's progress is kept as (done, total) pairs.
struct ConversionFixture {
    explicit ConversionFixture(ConversionDirection direction = EnglishToItalian) { reset(direction); }
    ConversionFixture(const ConversionFixture&) = delete;
    ConversionFixture& operator=(const ConversionFixture&) = delete;

    void reset(ConversionDirection direction) {
        maps = TranslationMaps();
        names = NameMaps();
        log = StringLog();
        journalProgress.clear();
        context.direction = direction;
        context.pluginEntries.clear();
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
