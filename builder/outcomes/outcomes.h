// Outcomes of a build run and a merge: their codes, the fixed Russian texts
// that tell the user about them, and the exit status zeltran-cli gives for
// each. One table for everything that shows an outcome.
#pragma once

#include <string>

// The numbers are the codes the user messages have always had; tests and
// scripts read them in zeltran-cli's output.
enum class Outcome {
    BaseBuilt = 10,       // build went through all pages, wrote records
    NothingToWrite = 11,  // build went through all pages, wrote none
    BuildStopped = 12,    // build ended early by the stop request
    NoForumSelected = 13, // build: no forum section chosen
    MergeFinished = 14,   // merge: both files replaced
    FileMissing = 15,     // merge: an input file is missing
    BaseWriteFailed = 16, // build: base not written, the previous pair kept
    MergeFailed = 17,     // merge: not done, the old base is as it was
    AlreadyMerged = 18,   // merge: the old base begins with the new one; nothing done
    PagesUnread = 19,     // build went through all pages, but some could not be read
    FolderBusy = 20,      // build or merge: another run holds the folder; nothing done
};

// The outcome's number, as the user messages and zeltran-cli show it.
constexpr int OutcomeCode(Outcome outcome) {
    return static_cast<int>(outcome);
}

// The outcome's text in UTF-8.
const char* OutcomeText(Outcome outcome);

// The same text in Windows-1251, the bytes a Windows message box or console
// shows.
std::string OutcomeTextWindows1251(Outcome outcome);

// zeltran-cli's exit status for the outcome: 0 when the job is done.
int OutcomeExitStatus(Outcome outcome);

// Converts UTF-8 text of ASCII and Russian letters to Windows-1251; any other
// character becomes "?".
std::string Utf8ToWindows1251(const std::string& text);
