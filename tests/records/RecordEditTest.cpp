#include "RecordViews.h"
#include "records/TranslatedRecord.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::bytesOf;
using test::payloadSize;

std::unique_ptr<Subrecord> makeSub(std::string_view tag, std::string_view bytes) {
    return std::make_unique<Subrecord>(tag, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

TEST(RecordEdit, EveryEditKeepsTheSizeEqualToTheSubrecords) {
    auto record =
        RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "1234").build();
    // Any single edit that miscounts shows in the total, whatever follows it.
    EXPECT_TRUE(record->replaceSubrecord("FNAM", "A longer name\0", 14));
    EXPECT_TRUE(record->replaceSubrecordAt(0, "x", 1));
    record->insertSubrecordBefore("NPDT", "ANAM", "faction", 7);
    record->insertSubrecordBefore(std::nullopt, "SCRI", "script", 6);
    record->insertSubrecordAt(1, makeSub("XSCL", "1234"));
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->removeSubrecordAt(0);
    SubrecordList taken = record->removeSubrecordRange(1, 3);
    EXPECT_EQ(record->size(), payloadSize(*record));
    for (auto& subrecord : taken)
        record->insertSubrecordAt(0, std::move(subrecord));
    EXPECT_EQ(test::layout(*record), "ANAM=faction|FNAM=A longer name|XSCL=1234|NPDT=1234|SCRI=script");
    EXPECT_EQ(record->size(), payloadSize(*record));

    // A size that never matched its subrecords moves by the difference, not recomputed.
    Record inconsistent(Tag("TEST"), 1000, 7, 9);
    inconsistent.appendSubrecord(makeSub("DATA", "abcd"));
    inconsistent.replaceSubrecord("DATA", "ab", 2);
    EXPECT_EQ(inconsistent.size(), 1010u);
    EXPECT_EQ(inconsistent.headerWord(), 7u);
    EXPECT_EQ(inconsistent.flags(), 9u);
    EXPECT_EQ(bytesOf(Record("GAME")), std::string("GAME") + std::string(12, '\0'));

    // Edits of a missing tag or index change nothing.
    const std::string before = bytesOf(*record);
    EXPECT_FALSE(record->replaceSubrecord("GMDT", "x", 1));
    EXPECT_FALSE(record->replaceSubrecordAt(9, "x", 1));
    record->insertSubrecordBefore("GMDT", "MAST", "x\0", 2);
    EXPECT_EQ(bytesOf(*record), before);
}

// Find, replace and insert-before take the first of equal tags; inserted subrecords are found after the ones
// read with the record, until a removal rebuilds the order.
TEST(RecordEdit, EqualTagsAreFoundInReadOrderThenInsertedOnesUntilARemoval) {
    auto record = RecordBuilder("INFO").sub("NAME", "n").sub("DATA", "old").sub("DATA", "2").build();
    record->insertSubrecordBefore("DATA", "MAST", "m", 1);
    EXPECT_TRUE(record->replaceSubrecord("DATA", "one", 3));
    record->insertSubrecordAt(0, makeSub("DATA", "new"));
    record->insertSubrecordBefore("NAME", "DATA", "newer", 5);
    EXPECT_EQ(test::layout(*record), "DATA=new|DATA=newer|NAME=n|MAST=m|DATA=one|DATA=2");
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "one");
    record->removeSubrecordAt(record->subrecordCount() - 1);
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "new");
    record->removeSubrecordAt(0);
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "newer");
    while (record->subrecordCount())
        record->removeSubrecordAt(0);
    EXPECT_EQ(record->findSubrecord("DATA"), nullptr);
    EXPECT_EQ(record->size(), 0u);
}

TEST(RecordEdit, ATranslationIsNeitherCountedNorWritten) {
    TranslatedRecord record(Tag("NPC_"), 0, 0, 0);
    record.appendSubrecord(makeSub("FNAM", "Guard"));
    const std::string before = bytesOf(record);
    record.setTranslation("-TR-", "Guardia", 7);
    record.setTranslation("-TR-", "Guardia!", 8);
    EXPECT_EQ(record.size(), 13u);
    EXPECT_EQ(bytesOf(record), before);
    EXPECT_EQ(record.translation()->text(), "Guardia!");
    EXPECT_EQ(record.findSubrecord("-TR-"), nullptr);
}

TEST(SubrecordText, EndsAtTheFirstNulOrTheEndOfTheData) {
    const Subrecord withoutNul("NAME", "abc", 3);
    EXPECT_EQ(Subrecord("NAME", "abc\0garbage", 11).text(), "abc");
    EXPECT_EQ(withoutNul.text(), "abc");
    EXPECT_EQ(withoutNul.textAt(1), "bc");
    EXPECT_EQ(withoutNul.textAt(99), "");
}

// Data moves between the object and the heap as it grows and shrinks across the inline capacity, and may be
// replaced by a part of itself.
TEST(SubrecordBytes, KeepsEveryByteAcrossTheInlineCapacity) {
    const std::string longText(SubrecordBytes::InlineCapacity * 3, 'x');
    std::string expected;
    auto record = RecordBuilder("BOOK").text("NAME", "short").build();
    for (std::size_t size : {SubrecordBytes::InlineCapacity, SubrecordBytes::InlineCapacity + 1,
                             longText.size(), std::size_t{3}, std::size_t{0}, longText.size()}) {
        std::string text = longText.substr(0, size);
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        ASSERT_TRUE(record->replaceSubrecord("NAME", text.data(), static_cast<std::uint32_t>(size)));
        const SubrecordBytes& data = record->findSubrecord("NAME")->data;
        EXPECT_EQ(std::string(data.begin(), data.end()), text) << size;
        EXPECT_EQ(payloadSize(*record), record->size());
    }
    SubrecordBytes& data = record->findSubrecord("NAME")->data;
    const std::string tail(data.begin() + 5, data.end());
    data.assign(data.begin() + 5, data.end());
    EXPECT_EQ(std::string(data.begin(), data.end()), tail);
    SubrecordBytes copy = data;
    EXPECT_TRUE(copy == data);
    copy[0] = '!';
    EXPECT_FALSE(copy == data);
    copy = data;
    EXPECT_TRUE(copy == data);
}

} // namespace
} // namespace orvella
