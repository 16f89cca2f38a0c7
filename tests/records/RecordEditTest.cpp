#include "gamebuilder/GameBuilder.h"
#include "records/RecordWriter.h"
#include "records/TranslatedRecord.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

std::uint32_t payloadSize(const Record& record) {
    std::uint32_t total = 0;
    for (const auto& subrecord : record.subrecords())
        total += 8 + subrecord->size();
    return total;
}

std::string bytesOf(const Record& record) {
    std::vector<std::uint8_t> out;
    serializeRecord(record, out);
    return std::string(out.begin(), out.end());
}

std::unique_ptr<Subrecord> makeSub(std::string_view tag, std::string_view bytes) {
    return std::make_unique<Subrecord>(tag, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

TEST(RecordEdit, EveryEditKeepsTheSizeEqualToTheSubrecords) {
    auto record = RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "12345678").build();
    ASSERT_EQ(record->size(), payloadSize(*record));

    EXPECT_TRUE(record->replaceSubrecord("FNAM", "A longer name\0", 14));
    EXPECT_EQ(record->size(), payloadSize(*record));
    EXPECT_TRUE(record->replaceSubrecordAt(0, "x", 1));
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->insertSubrecordBefore("NPDT", "ANAM", "faction", 7);
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->insertSubrecordBefore(std::nullopt, "SCRI", "script", 6);
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->insertSubrecordAt(1, makeSub("XSCL", "1234"));
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->removeSubrecordAt(0);
    EXPECT_EQ(record->size(), payloadSize(*record));
    SubrecordList taken = record->removeSubrecordRange(1, 3);
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_EQ(record->size(), payloadSize(*record));
    for (auto& subrecord : taken)
        record->insertSubrecordAt(0, std::move(subrecord));
    EXPECT_EQ(record->size(), payloadSize(*record));
}

TEST(RecordEdit, SizeMovesByTheDifferenceEvenWhenTheReadSizeWasInconsistent) {
    // A size that never matched its subrecords is carried, not recomputed.
    Record record(Tag("TEST"), 1000, 7, 9);
    record.appendSubrecord(makeSub("DATA", "abcd"));
    EXPECT_EQ(record.size(), 1012u);
    record.replaceSubrecord("DATA", "ab", 2);
    EXPECT_EQ(record.size(), 1010u);
    EXPECT_EQ(record.headerWord(), 7u);
    EXPECT_EQ(record.flags(), 9u);
}

TEST(RecordEdit, ReplaceOfAMissingTagChangesNothing) {
    auto record = RecordBuilder("DIAL").text("NAME", "topic").build();
    std::string before = bytesOf(*record);
    EXPECT_FALSE(record->replaceSubrecord("FNAM", "x", 1));
    EXPECT_FALSE(record->replaceSubrecordAt(1, "x", 1));
    EXPECT_EQ(bytesOf(*record), before);
}

TEST(RecordEdit, InsertBeforeAMissingTagInsertsNothing) {
    auto record = RecordBuilder("TES3").sub("HEDR", "h").build();
    std::string before = bytesOf(*record);
    record->insertSubrecordBefore("GMDT", "MAST", "x\0", 2);
    EXPECT_EQ(bytesOf(*record), before);
}

TEST(RecordEdit, InsertBeforeStopsAtTheFirstMatch) {
    auto record = RecordBuilder("TES3").sub("HEDR", "h").sub("GMDT", "1").sub("GMDT", "2").build();
    record->insertSubrecordBefore("GMDT", "MAST", "m", 1);
    ASSERT_EQ(record->subrecordCount(), 4u);
    EXPECT_TRUE(record->subrecordAt(1).tag.is("MAST"));
    EXPECT_TRUE(record->subrecordAt(2).tag.is("GMDT"));
}

TEST(RecordEdit, FindAndReplaceTakeTheFirstOfTwoEqualTags) {
    auto record = RecordBuilder("INFO").sub("DATA", "first").sub("DATA", "second").build();
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "first");
    record->replaceSubrecord("DATA", "1st", 3);
    EXPECT_EQ(record->subrecordAt(0).text(), "1st");
    EXPECT_EQ(record->subrecordAt(1).text(), "second");
    EXPECT_EQ(bytesOf(*record).find("second") != std::string::npos, true);
}

TEST(RecordEdit, AnInsertedDataBeforeAnOlderOneIsFoundOnlyAfterARemoval) {
    auto record = RecordBuilder("INFO").sub("NAME", "n").sub("DATA", "old").sub("SCVR", "s").build();
    record->insertSubrecordAt(0, makeSub("DATA", "new"));
    EXPECT_EQ(record->subrecordAt(0).text(), "new");
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "old");
    record->insertSubrecordBefore("NAME", "DATA", "newer", 5);
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "old");

    record->removeSubrecordAt(record->subrecordCount() - 1); // the SCVR
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "new");
}

TEST(RecordEdit, AfterARemovalTheNextSubrecordOfTheTagIsFound) {
    auto record = RecordBuilder("NPCC").sub("NPCO", "a").sub("NPCO", "b").build();
    record->removeSubrecordAt(0);
    EXPECT_EQ(record->findSubrecord("NPCO")->text(), "b");
    record->removeSubrecordAt(0);
    EXPECT_EQ(record->findSubrecord("NPCO"), nullptr);
    EXPECT_EQ(record->size(), 0u);
}

TEST(RecordEdit, ARangeRemovedAndInsertedBackInOrderGivesTheSameBytes) {
    auto record = RecordBuilder("NPCC").text("NAME", "PlayerSaveGame").sub("NPCO", "1").sub("XHLT", "2")
                      .sub("NPCO", "3").sub("WIDX", "4").build();
    std::string before = bytesOf(*record);
    SubrecordList taken = record->removeSubrecordRange(1, 4);
    for (std::size_t i = 0; i < taken.size(); ++i)
        record->insertSubrecordAt(1 + i, std::move(taken[i]));
    EXPECT_EQ(bytesOf(*record), before);
}

TEST(RecordEdit, ATranslationIsNeitherCountedNorWritten) {
    TranslatedRecord record(Tag("NPC_"), 0, 0, 0);
    record.appendSubrecord(makeSub("FNAM", "Guard"));
    std::string before = bytesOf(record);
    std::uint32_t size = record.size();
    record.setTranslation("-TR-", "Guardia", 7);
    record.setTranslation("-TR-", "Guardia!", 8);
    EXPECT_EQ(record.size(), size);
    EXPECT_EQ(bytesOf(record), before);
    EXPECT_EQ(record.translation()->text(), "Guardia!");
    EXPECT_EQ(record.findSubrecord("-TR-"), nullptr);
}

TEST(RecordEdit, AnEmptyRecordIsItsHeaderAlone) {
    Record record("GAME");
    EXPECT_EQ(bytesOf(record), std::string("GAME") + std::string(12, '\0'));
}

TEST(SubrecordText, EndsAtTheFirstNulOrTheEndOfTheData) {
    Subrecord withNul("NAME", "abc\0garbage", 11);
    Subrecord withoutNul("NAME", "abc", 3);
    EXPECT_EQ(withNul.text(), "abc");
    EXPECT_EQ(withoutNul.text(), "abc");
    EXPECT_EQ(withoutNul.textAt(1), "bc");
    EXPECT_EQ(withoutNul.textAt(3), "");
    EXPECT_EQ(withoutNul.textAt(99), "");
}

} // namespace
} // namespace orvella
