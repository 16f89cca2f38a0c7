#pragma once

#include "app/OpenMwPlatform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// The folders that the tokens a path of openmw.cfg may begin with stand for. A token whose folder is not
// known here cannot be resolved, and a line whose path begins with it is passed over with a note.
struct OpenMwTokens {
    std::optional<std::string> userData;   // ?userdata?: the platform's default user data folder
    std::optional<std::string> userConfig; // ?userconfig?: the platform's default folder of openmw.cfg
    std::optional<std::string> local;      // ?local?: the folder of OpenMW's program
    std::optional<std::string> global;     // ?global?: OpenMW's global data folder
};

// A line of openmw.cfg that was passed over, or taken with a doubt. key is the setting the line gives
// ("data", "user-data"), empty for a line that gives none; text names the file and the line.
struct OpenMwConfigNote {
    std::string key;
    std::string text;
};

// What Orvella takes from one openmw.cfg, its paths resolved and written with "\\" between names.
struct OpenMwConfig {
    // Every data= in the file's order, then data-local= when it gives one.
    std::vector<std::string> dataFolders;
    std::optional<std::string> userData; // the last user-data=
    std::vector<OpenMwConfigNote> notes; // in the file's order
};

// Reads the text of the openmw.cfg at configPath as OpenMW reads it: a line whose first character other than
// white space is "#" is a comment, white space around keys and values is dropped, a value that begins with
// '"' ends at the next '"' with "&" taking the character after it as it is, any other value is taken whole,
// and a path that begins with a token or is relative (to the file's folder) is resolved. Only the lines that
// give data folders and the user data folder are read; a line that cannot be resolved is passed over with a
// note.
OpenMwConfig parseOpenMwConfig(std::string_view text, const std::string& configPath, OpenMwPlatform platform,
                               const OpenMwTokens& tokens);

} // namespace orvella
