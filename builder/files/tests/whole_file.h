// Whole files written and read back in one call, byte for byte, beside (not
// through) the code under test: how tests lay out files and look at what a
// run left behind.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Empty when the file cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
