#include "demo/SaveNames.h"

#include "platform/FileSystem.h"
#include "records/RecordStream.h"

namespace orvella::demo {

namespace {

bool isItemTag(const Tag& tag) {
    for (const char* item : {"BOOK", "CONT", "WEAP", "ARMO", "LOCK", "PROB", "REPA", "CLOT", "INGR", "LIGH",
                             "SPEL", "ALCH", "MISC", "APPA"})
        if (tag.is(item))
            return true;
    return false;
}

void describeRecord(const Record& record, std::string& out) {
    const Tag& tag = record.tag();
    auto line = [&](std::string_view label, std::string_view text) {
        out += "  ";
        out += label;
        out += ": ";
        out += text;
        out += "\n";
    };
    if (tag.is("TES3")) {
        for (const auto& subrecord : record.subrecords())
            if (subrecord.tag.is("MAST"))
                line("master", subrecord.text());
    } else if (tag.is("DIAL") || tag.is("QUES")) {
        line(tag.is("DIAL") ? "topic" : "quest", record.findText("NAME").value_or(""));
    } else if (tag.is("NPC_") || isItemTag(tag)) {
        std::string label = std::string(tag.str()) + " " + std::string(record.findText("NAME").value_or(""));
        line(label, record.findText("FNAM").value_or(""));
    } else if (tag.is("PCDT")) {
        for (const auto& subrecord : record.subrecords())
            if (subrecord.tag.is("DNAM"))
                line("known topic", subrecord.text());
    } else if (tag.is("JOUR")) {
        out += "  journal:\n";
        std::string_view text = record.findText("NAME").value_or("");
        while (!text.empty()) {
            std::size_t end = text.find('\n');
            out += "    " + std::string(text.substr(0, end)) + "\n";
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        }
    } else if (tag.is("NPCC") && record.findText("NAME") == "PlayerSaveGame") {
        for (const auto& subrecord : record.subrecords()) {
            if (subrecord.tag.is("NPCO"))
                line("inventory", subrecord.textAt(4));
            else if (subrecord.tag.is("WIDX") && subrecord.size() >= 4)
                line("equipped entry", std::to_string(subrecord.data[0] | subrecord.data[1] << 8));
        }
    }
}

} // namespace

std::string describeSave(const std::string& path) {
    auto file = nativeFileSystem().open(path, "rb");
    if (!file)
        return "cannot open " + path + "\n";
    RecordStream stream(*file, path);
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return stream.error().message() + "\n";
    std::string out;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            return out + stream.error().message() + "\n";
        describeRecord(*record, out);
    }
    return out;
}

} // namespace orvella::demo
