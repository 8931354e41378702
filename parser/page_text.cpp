#include "parser/page_text.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

constexpr char kEndOfFile = 0x1A;

std::array<unsigned char, 256> MakeUpperCaseTable() {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        table[byte] = static_cast<unsigned char>(byte);
    }
    for (int letter = 'a'; letter <= 'z'; ++letter) {
        table[letter] = static_cast<unsigned char>(letter - 'a' + 'A');
    }
    // Code page 437: ü é ä å ç ö ñ and their capitals.
    constexpr std::array<std::array<unsigned char, 2>, 7> accented{{{0x81, 0x9A},
                                                                    {0x82, 0x90},
                                                                    {0x84, 0x8E},
                                                                    {0x86, 0x8F},
                                                                    {0x87, 0x80},
                                                                    {0x94, 0x99},
                                                                    {0xA4, 0xA5}}};
    for (const auto& [small, capital] : accented) {
        table[small] = capital;
    }
    return table;
}

const std::array<unsigned char, 256> kUpperCase = MakeUpperCaseTable();

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void ReplaceRecordHeaderGuard(std::string& text) {
    constexpr std::string_view header = "'MESSAGE";
    std::string::size_type at = 0;
    while ((at = text.find(header, at)) != std::string::npos) {
        // Same length, so the text can be patched in place.
        std::memcpy(&text[at + 2], "essage", 6);
        at += header.size();
    }
}

// A "<" opens a tag (also inside one) and a ">" closes it; only bytes in
// between change. Text between tags is skipped to the next "<" at once.
void UpperCaseTags(std::string& text) {
    char* byte = text.data();
    char* const end = byte + text.size();
    while (byte < end) {
        byte = static_cast<char*>(std::memchr(byte, '<', end - byte));
        if (byte == nullptr) {
            return;
        }
        for (++byte; byte < end && *byte != '>'; ++byte) {
            *byte = static_cast<char>(kUpperCase[static_cast<unsigned char>(*byte)]);
        }
    }
}

} // namespace

unsigned char UpperCaseByte(unsigned char byte) {
    return kUpperCase[byte];
}

std::string PageTextFromFileBytes(std::string bytes) {
    if (const auto end = bytes.find(kEndOfFile); end != std::string::npos) {
        bytes.resize(end);
    }
    // Drop every CR and a LF that directly follows it, compacting in place
    // from one CR to the next.
    char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < size) {
        const void* found = std::memchr(data + in, '\r', size - in);
        const std::size_t lineEnd =
            found == nullptr ? size : static_cast<const char*>(found) - data;
        std::memmove(data + out, data + in, lineEnd - in);
        out += lineEnd - in;
        in = lineEnd + 1;
        if (in < size && data[in] == '\n') {
            ++in;
        }
    }
    bytes.resize(out);
    return bytes;
}

std::string ReadPageText(const char* path) {
    // fopen shares the file for reading and writing on Windows as well.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        return {};
    }
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        return {};
    }
    return PageTextFromFileBytes(std::move(bytes));
}

void PreparePageText(std::string& text) {
    ReplaceRecordHeaderGuard(text);
    UpperCaseTags(text);
}
