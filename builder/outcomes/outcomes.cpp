#include "builder/outcomes/outcomes.h"

#include <cstddef>

namespace {

// Exit statuses 1 and 2 keep their meaning of earlier versions (failed, usage
// error), 130 is the shell's for an interrupt; each newer outcome that needs
// telling apart from a failure has a number of its own.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitAlreadyMerged = 3;
constexpr int kExitPagesUnread = 4;
constexpr int kExitFolderBusy = 5;
constexpr int kExitInterrupted = 130;

struct OutcomeEntry {
    const char* text;
    int exitStatus;
};

OutcomeEntry EntryOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::BaseBuilt: return {"Формирование базы закончено", kExitDone};
    case Outcome::NothingToWrite: return {"Нет данных для записи", kExitDone};
    case Outcome::BuildStopped: return {"Формирование базы прервано", kExitInterrupted};
    case Outcome::NoForumSelected: return {"Не корректный форум", kExitUsage};
    case Outcome::MergeFinished: return {"Объединение окончено.", kExitDone};
    case Outcome::FileMissing: return {"Ошибка! файл не существует", kExitFailed};
    case Outcome::BaseWriteFailed: return {"Ошибка записи базы", kExitFailed};
    case Outcome::MergeFailed: return {"Ошибка! базы не объединены", kExitFailed};
    case Outcome::AlreadyMerged:
        return {"Эта новая база уже есть в старой. Базы не объединены.", kExitAlreadyMerged};
    case Outcome::PagesUnread:
        return {"Формирование базы закончено, но не все страницы прочитаны", kExitPagesUnread};
    case Outcome::FolderBusy:
        return {"Папка занята другой сборкой или объединением. Повторите позже.", kExitFolderBusy};
    }
    return {"", kExitFailed};
}

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

const char* OutcomeText(Outcome outcome) {
    return EntryOf(outcome).text;
}

std::string OutcomeTextWindows1251(Outcome outcome) {
    return Utf8ToWindows1251(OutcomeText(outcome));
}

int OutcomeExitStatus(Outcome outcome) {
    return EntryOf(outcome).exitStatus;
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
