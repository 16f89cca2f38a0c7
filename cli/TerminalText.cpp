#include "TerminalText.h"
#include "game/TextEncoding.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvella::cli {

std::string toTerminal(std::string_view text) {
#ifdef _WIN32
    return std::string(text);
#else
    return cp1252ToUtf8(text);
#endif
}

std::string utf8ToTerminal(std::string_view text) {
#ifdef _WIN32
    return utf8ToCp1252Replacing(text);
#else
    return std::string(text);
#endif
}

std::string toTerminal(std::string_view text, std::string_view fileName) {
    if (fileName.empty())
        return toTerminal(text);
    std::string out;
    for (std::size_t at = text.find(fileName); at != std::string_view::npos; at = text.find(fileName)) {
        out += toTerminal(text.substr(0, at));
        out += fileName;
        text.remove_prefix(at + fileName.size());
    }
    return out + toTerminal(text);
}

std::string withLineFeeds(std::string_view text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

std::string pathText(std::string_view path) {
    std::string shown(path);
#ifndef _WIN32
    for (char& c : shown)
        if (c == '\\')
            c = '/';
#endif
    return shown;
}

bool stdoutIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

} // namespace orvella::cli
