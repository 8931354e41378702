#include "parser/page_text.h"

#include "parser/page_file.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>

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

void ReplaceRecordHeaderGuard(std::span<char> text) {
    constexpr std::string_view header = "'MESSAGE";
    const std::string_view whole(text.data(), text.size());
    for (std::size_t at = whole.find(header); at != std::string_view::npos;
         at = whole.find(header, at + header.size())) {
        // Same length, so the text is patched in place.
        std::memcpy(text.data() + at + 2, "essage", 6);
    }
}

// A "<" opens a tag (also inside one) and a ">" closes it; only bytes in
// between change. Text between tags is skipped to the next "<" at once.
void UpperCaseTags(std::span<char> text) {
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

PageBlock MakePageBlock(std::size_t size) {
    // Room in front for an eighth of the page: real pages shrink when they
    // are converted, and a table that grows more than that is given memory
    // of its own.
    if (size > SIZE_MAX / 2) {
        throw std::bad_alloc();
    }
    const std::size_t front = size / 8 + 4096;
    PageBlock block;
    block.bytes = PageMemory(front + size);
    block.front = front;
    block.size = size;
    return block;
}

PageBlock PageBlockOf(std::string_view bytes) {
    PageBlock block = MakePageBlock(bytes.size());
    if (!bytes.empty()) {
        std::memcpy(block.page(), bytes.data(), bytes.size());
    }
    return block;
}

PageBlock ReadPageFile(const char* path) {
    PageFile file(path);
    if (!file.IsOpen()) {
        return {};
    }
    // The size the file has now, and one byte more: a read that gives fewer
    // bytes than asked for has met the end of the file, so a file that keeps
    // its size is read with one call. One that grows meanwhile fills the
    // block and moves to larger ones; one whose size is not known (a pipe,
    // whose reads may come back short) is read until a read gives nothing.
    const uint64_t known = file.Size();
    if (known >= SIZE_MAX / 4) {
        throw std::bad_alloc();
    }
    PageBlock block = MakePageBlock(static_cast<std::size_t>(known) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == block.size) {
            PageBlock larger = MakePageBlock(2 * block.size);
            std::memcpy(larger.page(), block.page(), got);
            block = std::move(larger);
        }
        const int64_t read = file.Read(block.page() + got, block.size - got);
        if (read < 0) {
            return {};
        }
        const std::size_t asked = block.size - got;
        got += static_cast<std::size_t>(read);
        if (read == 0 || (known > 0 && static_cast<std::size_t>(read) < asked)) {
            break;
        }
    }
    block.size = got;
    return block;
}

std::size_t PageTextInPlace(std::span<char> bytes) {
    if (bytes.empty()) {
        return 0;
    }
    char* const data = bytes.data();
    std::size_t size = bytes.size();
    if (const void* end = std::memchr(data, kEndOfFile, size)) {
        size = static_cast<const char*>(end) - data;
    }
    // Drop every CR and a LF that directly follows it, compacting in place
    // from one CR to the next.
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
    return out;
}

std::string PageTextFromFileBytes(std::string bytes) {
    bytes.resize(PageTextInPlace(bytes));
    return bytes;
}

void PreparePageText(std::span<char> text) {
    ReplaceRecordHeaderGuard(text);
    UpperCaseTags(text);
    // Upper-casing turns a "'message" inside a tag into a record start.
    ReplaceRecordHeaderGuard(text);
}
