// The subcommands of zeltran-cli. Each takes its own arguments (after the
// subcommand's name) and returns the process exit status.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Arguments = std::vector<std::string>;

// Exit status for a command line that cannot be used.
constexpr int kUsageError = 2;

int RunInfo(const Arguments& arguments);
int RunCell(const Arguments& arguments);
int RunBuild(const Arguments& arguments);
int RunMerge(const Arguments& arguments);
int RunCheck(const Arguments& arguments);
int RunReindex(const Arguments& arguments);

// Writes "zeltran-cli: <message>" and the usage hint to standard error and
// returns kUsageError.
int UsageError(const std::string& message);

// Writes "zeltran-cli: no such file: <path>" to standard error and returns
// kUsageError.
int NoSuchFile(const std::string& path);

// The whole of `text` as a decimal 32-bit integer, a leading minus allowed.
bool ParseInt32(std::string_view text, int32_t& value);
