// The conversion rules of kMarkupRules in one pass, where it applies, and
// rule by rule from where it gives up.
#include "parser/convert_markup_fast.h"

#include "parser/convert_markup.h"
#include "parser/markup_rules.h"

namespace {

std::size_t ExpectedSize(std::string_view table) {
    return table.size() + table.size() / 4 + 16;
}

} // namespace

std::string ConvertMarkup(std::string_view table, std::string& threadLink) {
    one_pass::Output out(ExpectedSize(table));
    one_pass::Convert<kMarkupRules>(table, threadLink, out);
    return std::move(out.Own());
}

ConvertedText ConvertMarkupInBlock(char* block, std::size_t at, std::string_view table,
                                   std::string& threadLink) {
    one_pass::Output out(block + at, ExpectedSize(table));
    const bool onePass = one_pass::Convert<kMarkupRules>(table, threadLink, out);
    ConvertedText converted;
    if (out.InBlock()) {
        converted.begin = at;
        converted.end = at + out.Size();
    } else {
        converted.inBlock = false;
        converted.own = std::move(out.Own());
    }
    if (onePass && out.IndexKnown()) {
        converted.cells = std::move(out.Index());
    } else {
        converted.cells = IndexCells(converted.inBlock ? std::string_view(block + at, out.Size())
                                                       : std::string_view(converted.own));
    }
    return converted;
}

std::optional<std::string> ConvertWellFormedMarkup(std::string_view table,
                                                   std::string& threadLink) {
    one_pass::Output out(ExpectedSize(table));
    one_pass::Converter<kMarkupRules> converter(table, threadLink, out);
    if (!converter.Run()) {
        return std::nullopt;
    }
    threadLink = converter.threadLink();
    return std::move(out.Own());
}
