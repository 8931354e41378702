// The quick way through `check` for the base it mostly sees, a sound one:
// both files read once side by side, the k-th index line held against the
// k-th record of the .DAT while that record's bytes are at hand, nothing
// kept per record. It only confirms soundness; at the first thing that is
// not as a sound base has it, it gives up and leaves the full check to find
// and name every fault.
#pragma once

#include "builder/files/file_system.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The index read in blocks this large; a longer line grows the buffer.
constexpr std::size_t kIndexBlockSize = 64 * 1024;

// True when the base is sound, with `records` set to the records of the
// .DAT; false when a file cannot be read or anything is amiss. `blockSize`
// is for tests: small blocks split lines and records at every byte.
bool ConfirmSoundBase(FileSystem& files, const std::string& dataPath, const std::string& indexPath,
                      int64_t& records, std::size_t blockSize = 0);
