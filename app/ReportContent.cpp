#include "app/ReportContent.h"

#include "game/UserTexts.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace orvella {

namespace {

// The dialog formats its error texts into a buffer of 512 characters.
std::string errorText(const char* format, const std::string& logPath) {
    char buffer[512];
    int length = std::snprintf(buffer, sizeof buffer, format, logPath.c_str());
    if (length < 0)
        return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

} // namespace

ReportContent loadReportContent(FileSystem& files, const std::string& logPath) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(files, logPath, bytes))
        return {texts::ReportErrorTitle, errorText(texts::UnreadableLogFormat, logPath)};
    // The log is handled as one NUL-terminated text, so a NUL inside it ends it.
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    text = text.substr(0, text.find('\0'));
    std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos)
        return {texts::ReportErrorTitle, errorText(texts::InvalidLogFormat, logPath)};
    std::string_view title = text.substr(0, lineFeed);
    if (!title.empty() && title.back() == '\r')
        title.remove_suffix(1);
    return {std::string(title), std::string(text.substr(lineFeed + 1))};
}

} // namespace orvella
