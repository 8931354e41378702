// Outcome codes of a build run and a merge, and the fixed Russian texts that
// tell the user about them. One table for everything that shows an outcome.
#pragma once

#include <string>

constexpr int kBaseBuilt = 10;       // build went through all pages, wrote records
constexpr int kNothingToWrite = 11;  // build went through all pages, wrote none
constexpr int kBuildStopped = 12;    // build ended early by the stop request
constexpr int kNoForumSelected = 13; // build: no forum section chosen
constexpr int kMergeFinished = 14;   // merge: both files replaced
constexpr int kFileMissing = 15;     // merge: an input file is missing
constexpr int kBaseWriteFailed = 16; // build: base not written, or its folder busy
constexpr int kMergeFailed = 17;     // merge: not done, the old base is as it was

// The outcome's text in UTF-8; null for a code without one.
const char* OutcomeText(int code);

// The same text in Windows-1251, the bytes a Windows message box or console
// shows; empty for a code without one.
std::string OutcomeTextWindows1251(int code);

// Converts UTF-8 text of ASCII and Russian letters to Windows-1251; any other
// character becomes "?".
std::string Utf8ToWindows1251(const std::string& text);
