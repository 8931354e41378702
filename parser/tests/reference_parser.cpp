#include "parser/tests/reference_parser.h"

namespace reference {
namespace {

// 1-based position of `pattern` in `text` at or after `start`; 0 if none.
std::size_t InStr(std::size_t start, const std::string& text, const std::string& pattern) {
    if (start < 1) {
        start = 1;
    }
    if (start > text.size() + 1) {
        return 0;
    }
    const std::size_t found = text.find(pattern, start - 1);
    return found == std::string::npos ? 0 : found + 1;
}

std::string Mid(const std::string& text, std::size_t start,
                std::size_t length = std::string::npos) {
    if (start > text.size()) {
        return {};
    }
    return text.substr(start - 1, length);
}

std::string Replace(const std::string& text, const std::string& pattern,
                    const std::string& replacement) {
    std::string out;
    std::size_t position = 1;
    for (;;) {
        const std::size_t found = InStr(position, text, pattern);
        if (found == 0) {
            break;
        }
        out += Mid(text, position, found - position);
        out += replacement;
        position = found + pattern.size();
    }
    out += Mid(text, position);
    return out;
}

std::size_t CountOf(const std::string& text, const std::string& pattern) {
    std::size_t count = 0;
    std::size_t position = 1;
    for (;;) {
        const std::size_t found = InStr(position, text, pattern);
        if (found == 0) {
            return count;
        }
        ++count;
        position = found + pattern.size();
    }
}

unsigned char Upper(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') {
        return static_cast<unsigned char>(byte - 32);
    }
    switch (byte) {
    case 0x81: return 0x9A;
    case 0x82: return 0x90;
    case 0x84: return 0x8E;
    case 0x86: return 0x8F;
    case 0x87: return 0x80;
    case 0x94: return 0x99;
    case 0xA4: return 0xA5;
    default: return byte;
    }
}

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& byte : out) {
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<char>(byte + 32);
        }
    }
    return out;
}

bool ReplaceSpan(std::string& text, const std::string& open, const std::string& close,
                 const std::string& replacement, bool isAnchor, std::string& threadLink) {
    const std::size_t a = InStr(1, text, open);
    if (a == 0) {
        return false;
    }
    const std::size_t b = InStr(a, text, close);
    if (b == 0) {
        return false; // no closing marker: the rule ends, the text stays
    }
    const std::string with = isAnchor ? LinkText(Mid(text, a, b - a), threadLink) : replacement;
    text = Mid(text, 1, a - 1) + with + Mid(text, b + close.size());
    return true;
}

std::string NextLine(const std::string& text, std::size_t& position, bool reset) {
    if (reset) {
        position = 1;
        return {};
    }
    if (position == 0) {
        position = 1;
    }
    const std::size_t q = InStr(position, text, "\r\n");
    if (q == 0) {
        return {};
    }
    const std::string line = Mid(text, position, q - position);
    position = q + 2;
    return line;
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : value > high ? high : value;
}

} // namespace

std::string PageTextFromFileBytes(const std::string& bytes) {
    std::string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        // One text line.
        std::string line;
        bool endOfFile = false;
        while (i < bytes.size()) {
            const char byte = bytes[i];
            if (byte == 0x1A) {
                endOfFile = true;
                break;
            }
            ++i;
            if (byte == '\r') {
                if (i < bytes.size() && bytes[i] == '\n') {
                    ++i;
                }
                break;
            }
            line += byte;
        }
        text += line;
        if (endOfFile) {
            break;
        }
    }
    return text;
}

std::string LinkText(const std::string& span, std::string& threadLink) {
    const std::string lower = Lower(span);
    std::string result;
    if (threadLink.empty()) {
        const std::size_t p = InStr(1, lower, "&thread=http://");
        const std::size_t q = p == 0 ? 0 : InStr(p, lower, ".html&");
        if (p != 0 && q != 0) {
            threadLink = Mid(span, p + 8, q - p - 3);
        }
    }
    const std::size_t p = InStr(1, lower, "http://");
    const std::string tail = p == 0 ? span : Mid(span, p);
    const std::size_t d = InStr(1, tail, "\"");
    const std::size_t s = InStr(1, tail, " ");
    const std::size_t e = (d != 0 && s != 0) ? (d < s ? d : s) : d + s;
    if (p != 0 && e != 0) {
        result = Mid(tail, 1, e);
    }
    return result;
}

std::string ConvertMarkup(std::string text, std::string& threadLink) {
    struct Rule {
        bool span;
        const char* open;
        const char* close;
        const char* replacement;
    };
    static const Rule rules[] = {
        {false, "<BR>", "", "\r\n"},
        {false, "<P>", "", "\r\n"},
        {false, "<B>", "", ""},
        {false, "<I>", "", ""},
        {false, "</B>", "", ""},
        {false, "</FONT>", "", ""},
        {false, "</PRE>", "", "\r\n"},
        {false, "<PRE>", "", "\r\n"},
        {false, "<CENTER>", "", "\r\n"},
        {false, "</CENTER>", "", "\r\n"},
        {false, "&nbsp;", "", " "},
        {false, "&lt;", "", "<"},
        {false, "&gt;", "", ">"},
        {false, "<HR>", "", "\r\n"},
        {false, "</TABLE>", "", ""},
        {false, "<BLOCKQUOTE>", "", ""},
        {false, "</BLOCKQUOTE>", "", ""},
        {true, "<IMG SRC=", ">", ""},
        {true, "<A HREF=", "</A>", nullptr},
        {true, "<TR ", ">", "<TR>"},
        {true, "<TD ", ">", "<TD>"},
        {true, "<P ", "/P>", ""},
        {true, "<FONT ", ">", ""},
        {true, "<TABLE ", ">", ""},
        {true, "<FORM ", "</FORM>", ""},
        {false, "<TD>", "", "\r\n<TD>\r\n"},
        {false, "<TR>", "", "\r\n<TR>\r\n"},
        {false, "</TD>", "", "\r\n</TD>\r\n"},
        {false, "</TR>", "", "\r\n</TR>\r\n"},
    };
    for (const Rule& rule : rules) {
        if (!rule.span) {
            text = Replace(text, rule.open, rule.replacement);
            continue;
        }
        const bool isAnchor = rule.replacement == nullptr;
        const std::string replacement = isAnchor ? "" : rule.replacement;
        while (ReplaceSpan(text, rule.open, rule.close, replacement, isAnchor, threadLink)) {
        }
    }
    return text;
}

std::string PreparedPageText(const std::string& fileBytes) {
    std::string page = PageTextFromFileBytes(fileBytes);
    page = Replace(page, "'MESSAGE", "'Message");
    bool inTag = false;
    for (char& byte : page) {
        if (byte == '<') {
            inTag = true;
        } else if (byte == '>') {
            if (inTag) {
                inTag = false;
            }
        } else if (inTag) {
            byte = static_cast<char>(Upper(static_cast<unsigned char>(byte)));
        }
    }
    return Replace(page, "'MESSAGE", "'Message");
}

int32_t LoadAndParse(State& state, const std::string& fileBytes) {
    state.threadLink.clear();
    const std::string page = PreparedPageText(fileBytes);

    // SplitTables
    state.tables.clear();
    bool startSeen = false;
    bool endSeen = false;
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t p = 1;
    while (p <= page.size()) {
        if (Mid(page, p, 6) == "<TABLE") {
            start = p;
            startSeen = true;
        }
        if (Mid(page, p, 8) == "</TABLE>") {
            end = p;
            endSeen = true;
        }
        if (startSeen && endSeen) {
            Table table;
            table.info.StartPos = static_cast<int32_t>(start);
            table.info.EndPos = static_cast<int32_t>(end);
            table.info.Length = static_cast<int32_t>(end) - static_cast<int32_t>(start) + 8;
            if (table.info.Length > 0) {
                table.text = Mid(page, start, static_cast<std::size_t>(table.info.Length));
            } else if (table.info.Length < 0) {
                table.text = Mid(page, start);
            }
            state.tables.push_back(table);
            startSeen = false;
            endSeen = false;
            p = end;
        }
        ++p;
    }

    for (Table& table : state.tables) {
        table.text = ConvertMarkup(table.text, state.threadLink);
        table.info.Lines = static_cast<int32_t>(CountOf(table.text, "\r\n"));
        table.info.Rows = static_cast<int32_t>(CountOf(table.text, "<TR>"));
        const std::size_t cells = CountOf(table.text, "<TD>");
        if (table.info.Rows == 0) {
            table.info.Cols = 0;
        } else {
            // Round half to even, in exact integer arithmetic.
            const std::size_t rows = static_cast<std::size_t>(table.info.Rows);
            std::size_t cols = cells / rows;
            const std::size_t rest = cells % rows;
            if (2 * rest > rows || (2 * rest == rows && cols % 2 == 1)) {
                ++cols;
            }
            table.info.Cols = static_cast<int32_t>(cols);
        }
    }
    return static_cast<int32_t>(state.tables.size());
}

std::string ReadCell(const State& state, int32_t table, int32_t row, int32_t column) {
    if (state.tables.empty()) {
        return {};
    }
    const int32_t n = static_cast<int32_t>(state.tables.size());
    const Table& t = state.tables[Clamp(table, 1, n) - 1];
    if (row < 1) {
        row = 1;
    }
    if (column < 1) {
        column = 1;
    }
    if (row > t.info.Rows) {
        row = t.info.Rows;
    }
    if (column > t.info.Cols) {
        column = t.info.Cols;
    }
    bool inRow = false;
    bool inCell = false;
    int32_t rowsSeen = 0;
    int32_t cellsSeen = 0;
    std::string result;
    std::size_t position = 0;
    NextLine(t.text, position, true);
    for (int32_t i = 0; i < t.info.Lines; ++i) {
        const std::string line = NextLine(t.text, position, false);
        if (line == "<TR>") {
            if (!inRow) {
                ++rowsSeen;
            }
        } else if (line == "<TD>") {
            if (!inCell && inRow) {
                ++cellsSeen;
            }
        } else if (line == "</TD>") {
            if (inRow && inCell) {
                return result;
            }
        } else if (inRow && inCell) {
            result += line + "\r\n";
        }
        if (row == rowsSeen && !inRow && !inCell) {
            inRow = true;
        } else if (column == cellsSeen && inRow && !inCell) {
            inCell = true;
        }
    }
    return result;
}

int32_t GetTableInfo(const State& state, int32_t what, int32_t table) {
    if (what == 0) {
        return state.tables.empty() ? -1 : static_cast<int32_t>(state.tables.size());
    }
    if (state.tables.empty()) {
        return 0;
    }
    const Table& t = state.tables[Clamp(table, 1, static_cast<int32_t>(state.tables.size())) - 1];
    switch (what) {
    case 1: return t.info.Rows;
    case 2: return t.info.Cols;
    case 3: return t.info.Lines;
    default: return 0;
    }
}

} // namespace reference
