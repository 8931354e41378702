#include "builder/outcomes/outcomes.h"

#include <cstddef>

namespace {

struct OutcomeMessage {
    int code;
    const char* text;
};

constexpr OutcomeMessage kMessages[] = {
    {kBaseBuilt, "Формирование базы закончено"},   {kNothingToWrite, "Нет данных для записи"},
    {kBuildStopped, "Формирование базы прервано"}, {kNoForumSelected, "Не корректный форум"},
    {kMergeFinished, "Объединение окончено."},     {kFileMissing, "Ошибка! файл не существует"},
    {kBaseWriteFailed, "Ошибка записи базы"},      {kMergeFailed, "Ошибка! базы не объединены"},
};

// Windows-1251 places А..я (U+0410..U+044F) at 0xC0..0xFF, Ё at 0xA8 and ё at
// 0xB8.
char CyrillicToWindows1251(unsigned codePoint) {
    if (codePoint >= 0x410 && codePoint <= 0x44F) {
        return static_cast<char>(0xC0 + (codePoint - 0x410));
    }
    if (codePoint == 0x401) {
        return static_cast<char>(0xA8);
    }
    if (codePoint == 0x451) {
        return static_cast<char>(0xB8);
    }
    return '?';
}

} // namespace

const char* OutcomeText(int code) {
    for (const OutcomeMessage& message : kMessages) {
        if (message.code == code) {
            return message.text;
        }
    }
    return nullptr;
}

std::string OutcomeTextWindows1251(int code) {
    const char* text = OutcomeText(code);
    return text ? Utf8ToWindows1251(text) : std::string();
}

std::string Utf8ToWindows1251(const std::string& text) {
    std::string converted;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            converted += static_cast<char>(lead);
            ++at;
        } else if ((lead & 0xE0) == 0xC0 && at + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[at + 1]);
            converted += CyrillicToWindows1251(((lead & 0x1Fu) << 6) | (trail & 0x3Fu));
            at += 2;
        } else {
            // Longer sequences hold nothing Windows-1251 has a Russian letter for.
            converted += '?';
            ++at;
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
                ++at;
            }
        }
    }
    return converted;
}
