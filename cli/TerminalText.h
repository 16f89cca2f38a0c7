#pragma once

#include <string>
#include <string_view>

namespace orvella::cli {

// Windows-1252 text as the terminal shows it: UTF-8 off Windows, the bytes themselves on Windows.
std::string toTerminal(std::string_view text);

// toTerminal for a text that may name a file: every occurrence of the file name keeps its bytes, since
// file names are the file system's bytes and not Windows-1252 text.
std::string toTerminal(std::string_view text, std::string_view fileName);

// UTF-8 text, as an OpenMW save holds it, as the terminal shows it: as it is off Windows, in Windows-1252 on
// Windows, "?" in place of what that cannot hold.
std::string utf8ToTerminal(std::string_view text);

// A message box's or the summary's CR LF line ends as the terminal's own line feeds.
std::string withLineFeeds(std::string_view text);

// A path formed as the program forms it ("DIR\\Saves\\NAME.ess"), shown with the platform's separator and
// its bytes as they are.
std::string pathText(std::string_view path);

bool stdoutIsTerminal();

} // namespace orvella::cli
