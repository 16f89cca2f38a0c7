#pragma once

#include "Options.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <optional>
#include <string>
#include <vector>

namespace orvella::cli {

inline constexpr int CommandFailed = 1;
inline constexpr int UsageError = 2;

// Runs the command line (the arguments after the program's name) against the file system, which is the
// machine's own outside the tests; gives the exit status.
int runCommandLine(const std::vector<std::string>& arguments, FileSystem& files);

// Prints what was wrong with the command line on one line, and where the help is, to stderr; returns the
// usage exit status.
int usage(const std::string& problem);

// Prints why the command failed to stderr; returns the exit status of a failed command.
int failure(const std::string& problem);

// The usage error's status unless the command line names exactly one save.
std::optional<int> checkOneSaveName(const Options& options);

// Starts up as the dialog program does, then checks that DIR/Saves/NAME exists; gives the exit status when
// either fails, having said why.
std::optional<int> startUpWithSave(const Options& options, const std::string& saveFileName,
                                   GameInstallation& installation, MessageBoxes& messages, FileSystem& files);

int convertCommand(const Options& options, FileSystem& files);
int infoCommand(const Options& options, FileSystem& files);
int listCommand(const Options& options, FileSystem& files);
int restoreCommand(const Options& options, FileSystem& files);
int tablesCommand(const Options& options, FileSystem& files);

} // namespace orvella::cli
