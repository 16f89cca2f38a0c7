#pragma once

#include <cstdint>
#include <string_view>

namespace orvella {

// The log as the save's handlers write it: their lines, the two headings that a conversion writes once each,
// and the count of the journal's paragraphs that stayed untranslated. One log serves one conversion.
class ConversionLog {
public:
    virtual ~ConversionLog() = default;

    // Adds the text as it stands.
    virtual void write(std::string_view text) = 0;

    // The first call writes the heading, later ones nothing.
    void writeDeletedTopicsHeading();
    void writeQuestsNotFoundHeading();

    // The untranslated paragraphs of the journal that was translated last.
    std::uint32_t untranslatedJournalCount() const { return untranslatedJournalCount_; }
    void startJournal() { untranslatedJournalCount_ = 0; }
    void countUntranslatedParagraph() { ++untranslatedJournalCount_; }

private:
    bool deletedTopicsHeadingWritten_ = false;
    bool questsNotFoundHeadingWritten_ = false;
    std::uint32_t untranslatedJournalCount_ = 0;
};

} // namespace orvella
