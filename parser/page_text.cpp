#include "parser/page_text.h"

#include "parser/page_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr char kEndOfFile = 0x1A;

constexpr std::array<unsigned char, 256> MakeUpperCaseTable() {
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

constexpr std::array<unsigned char, 256> kUpperCase = MakeUpperCaseTable();

constexpr std::string_view kRecordStart = "'MESSAGE";
constexpr std::string_view kTableStart = "<TABLE";
constexpr std::string_view kTableEnd = "</TABLE>";
// A record start or a table mark is seen whole once the bytes up to 7 past
// its first byte are there.
constexpr std::size_t kLookahead = 7;

bool At(const char* text, std::size_t available, std::size_t at, std::string_view marker) {
    return available - at >= marker.size() &&
           std::memcmp(text + at, marker.data(), marker.size()) == 0;
}

// Upper-cases tags, notes table marks and guards record starts in a text
// that grows at its end as the line ends are taken out in front of it.
// Everything before `done_` is final.
class TextScan {
  public:
    // Room is made for as many tag starts as a page dense with markup has.
    TextScan(char* text, std::size_t size) : text_(text) { tags_.reserve(size / 16 + 16); }

    // Takes in the text up to `available`; with `last`, that is all of it.
    // Without it, the last bytes wait for what follows: a mark or a record
    // start may run on into it.
    void Walk(std::size_t available, bool last) {
        available_ = available;
        const std::size_t limit = last ? available : available - std::min(available, kLookahead);
        while (done_ < limit) {
            if (!inTag_) {
                const void* open = std::memchr(text_ + done_, '<', limit - done_);
                if (open == nullptr) {
                    done_ = limit;
                    break;
                }
                done_ = static_cast<const char*>(open) - text_;
                OpenTag();
                ++done_;
            }
            // Locals, since a byte written through the text could be one of
            // the members as far as the compiler knows.
            char* const text = text_;
            std::size_t at = done_;
            for (; at < limit; ++at) {
                const unsigned char byte = static_cast<unsigned char>(text[at]);
                if (byte == '>' || byte == '<') {
                    break;
                }
                text[at] = static_cast<char>(kUpperCase[byte]);
            }
            done_ = at;
            if (at == limit) {
                break;
            }
            if (text[at] == '>') {
                inTag_ = false;
                ++done_;
                NoteMark();
            } else {
                NoteMark();
                OpenTag();
                ++done_;
            }
        }
        if (markPending_ && (last || done_ > markAt_ + kLookahead)) {
            NoteMark();
        }
        GuardRecordStarts();
    }

    std::vector<TableMark> TakeMarks() { return std::move(marks_); }
    std::vector<uint32_t> TakeTagStarts() { return std::move(tags_); }

  private:
    void OpenTag() {
        inTag_ = true;
        markAt_ = done_;
        markPending_ = true;
        tags_.push_back(static_cast<uint32_t>(done_));
    }

    // The bytes of a mark after its "<" are final once the tag's run of
    // upper-cased bytes has passed them or has ended (with a ">" or "<",
    // which no mark has in the middle).
    void NoteMark() {
        if (!markPending_) {
            return;
        }
        markPending_ = false;
        if (At(text_, available_, markAt_, kTableStart)) {
            marks_.push_back({static_cast<uint32_t>(markAt_), false});
        } else if (At(text_, available_, markAt_, kTableEnd)) {
            marks_.push_back({static_cast<uint32_t>(markAt_), true});
        }
    }

    // Upper-casing turns a "'message" inside a tag into a record start too,
    // so the guard looks at final bytes only.
    void GuardRecordStarts() {
        while (guarded_ + kRecordStart.size() <= done_) {
            const void* quote = std::memchr(text_ + guarded_, '\'', done_ - kLookahead - guarded_);
            if (quote == nullptr) {
                guarded_ = done_ - kLookahead;
                return;
            }
            const std::size_t at = static_cast<const char*>(quote) - text_;
            if (std::memcmp(text_ + at, kRecordStart.data(), kRecordStart.size()) == 0) {
                std::memcpy(text_ + at + 2, "essage", 6);
            }
            guarded_ = at + 1;
        }
    }

    char* const text_;
    std::size_t available_ = 0;
    std::size_t done_ = 0;
    std::size_t guarded_ = 0;
    bool inTag_ = false;
    std::size_t markAt_ = 0;
    bool markPending_ = false;
    std::vector<TableMark> marks_;
    std::vector<uint32_t> tags_;
};

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

PreparedPage PreparePage(std::span<char> bytes) {
    char* const text = bytes.data();
    std::size_t size = bytes.size();
    if (size == 0) {
        return {};
    }
    if (const void* end = std::memchr(text, kEndOfFile, size)) {
        size = static_cast<const char*>(end) - text;
    }
    // Each line moves up behind the text before it, and is then taken in
    // while it is fresh in the cache.
    TextScan scan(text, size);
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < size) {
        const void* found = std::memchr(text + in, '\r', size - in);
        const std::size_t lineEnd =
            found == nullptr ? size : static_cast<const char*>(found) - text;
        if (out != in) {
            std::memmove(text + out, text + in, lineEnd - in);
        }
        out += lineEnd - in;
        in = lineEnd + 1;
        if (in < size && text[in] == '\n') {
            ++in;
        }
        scan.Walk(out, in >= size);
    }
    return {out, scan.TakeMarks(), scan.TakeTagStarts()};
}

std::string PreparedPageText(std::string bytes) {
    bytes.resize(PreparePage(bytes).size);
    return bytes;
}
