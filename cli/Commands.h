#pragma once

#include "Options.h"

#include <string>

namespace orvella::cli {

inline constexpr int UsageError = 2;

// Prints the problem and the help text to stderr; returns the usage exit status.
int usage(const std::string& problem);

int convertCommand(const Options& options);
int infoCommand(const Options& options);
int listCommand(const Options& options);
int restoreCommand(const Options& options);

} // namespace orvella::cli
