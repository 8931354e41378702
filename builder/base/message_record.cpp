#include "builder/base/message_record.h"

#include "common/ascii_case.h"
#include "common/blanks.h"

#include <algorithm>

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(from, start)) != std::string_view::npos;
         start = found + from.size()) {
        result.append(text.substr(start, found - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::string ReplaceFirst(std::string_view text, std::string_view from, std::string_view to) {
    const std::size_t found = text.find(from);
    if (found == std::string_view::npos) {
        return std::string(text);
    }
    std::string result(text.substr(0, found));
    result.append(to);
    result.append(text.substr(found + from.size()));
    return result;
}

std::string RemoveAll(std::string_view text, char removed) {
    std::string result(text);
    result.erase(std::remove(result.begin(), result.end(), removed), result.end());
    return result;
}

} // namespace

void AppendHeaderLine(std::string& record, std::string_view label, std::string_view value) {
    record += label;
    record += value;
    record += '\n';
}

std::optional<int> SectionIndexOfForumCell(std::string_view forumCell) {
    constexpr std::string_view kNumber = "&number=";
    const std::string_view cell = StripBlanks(forumCell);
    const std::size_t found = FindIgnoringAsciiCase(cell, kNumber);
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    int number = 0;
    for (char c : cell.substr(found + kNumber.size(), 2)) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + (c - '0');
    }
    return number - 1;
}

std::string TopicOfCell(std::string_view topicCell) {
    constexpr std::size_t kLabelSize = 6; // "Topic:"
    const std::string joined = ReplaceAll(StripBlanks(topicCell), kCrLf, "");
    if (joined.size() < kLabelSize) {
        return {};
    }
    return std::string(StripBlanks(std::string_view(joined).substr(kLabelSize)));
}

std::string NameOfAuthorCell(std::string_view authorCell) {
    const std::string firstBreak = ReplaceFirst(authorCell, kCrLf, ", ");
    const std::string name = ReplaceAll(RemoveAll(firstBreak, '\t'), kCrLf, "");
    return std::string(StripBlanks(name));
}

std::string_view IndexAuthorOfName(std::string_view name) {
    return StripBlanks(name.substr(0, name.find(',')));
}

PostText SplitPostText(std::string_view textCell) {
    std::size_t link = FindIgnoringAsciiCase(textCell, "http");
    if (link == std::string_view::npos) {
        link = std::min(textCell.find(kCrLf), textCell.size());
    }
    const std::string_view fromLink = textCell.substr(link);
    const std::size_t lineBreak = fromLink.find(kCrLf);
    PostText post{textCell.substr(0, link), {}};
    if (lineBreak != std::string_view::npos) {
        post.body = ReplaceAll(fromLink.substr(lineBreak), kCrLf, "\n");
    }
    return post;
}

std::string_view FirstPostDateText(std::string_view beforeLink) {
    const std::size_t blank = beforeLink.find(' ');
    return StripBlanks(blank == std::string_view::npos ? beforeLink : beforeLink.substr(blank + 1));
}

void AppendFollowUp(std::string& record, std::string_view authorCell, std::string_view textCell) {
    const std::string lines = ReplaceAll(authorCell, kCrLf, "\n");
    const std::string author = RemoveAll(ReplaceFirst(lines, "\n", ", "), '\t');
    const PostText post = SplitPostText(textCell);
    record += kFollowUpLine;
    record += "\n'";
    record += StripBlanks(author);
    record += '\'';
    record += StripBlanks(post.beforeLink);
    record += '\n';
    record += post.body;
}

std::string IndexField(std::string_view text) {
    std::string field(text);
    field.erase(std::remove_if(field.begin(), field.end(),
                               [](char c) { return c == '\t' || c == '\r' || c == '\n'; }),
                field.end());
    return field;
}

std::string IndexPrefix(std::string_view topic, std::string_view author,
                        std::string_view dateText) {
    return IndexField(topic) + '\t' + IndexField(author) + '\t' + IndexField(dateText) + '\t';
}

std::string IndexLine(std::string_view indexPrefix, int64_t recordNumber, int64_t offset,
                      int64_t length) {
    std::string line(indexPrefix);
    line += std::to_string(recordNumber) + '\t' + std::to_string(offset) + '\t' +
            std::to_string(length) + "\r\n";
    return line;
}
