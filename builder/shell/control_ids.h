// Control ids of the main window and the about box. Other parts of the
// program (the build, the merge, the settings, the pickers) reach the main
// window's controls through these numbers.
#pragma once

// Main window.
constexpr int kStartButton = 1001;
constexpr int kSectionCombo = 1003;
constexpr int kAboutButton = 1004;
constexpr int kPagesFolderField = 1005;
constexpr int kPagesFolderPicker = 1006;
constexpr int kForumFilterCheck = 1008;
constexpr int kDateFilterCheck = 1009;
constexpr int kStartDatePicker = 1010;
constexpr int kProgressBar = 1011;
constexpr int kBuildStopButton = 1012;
constexpr int kNewBaseField = 1013;
constexpr int kOldBaseField = 1014;
constexpr int kNewBasePicker = 1015;
constexpr int kOldBasePicker = 1016;
constexpr int kMergeButton = 1017;
constexpr int kTitleBanner = 1019;
constexpr int kBuildGroup = 1020;
constexpr int kMergeGroup = 1021;
constexpr int kPagesFolderLabel = 1022;
constexpr int kSectionLabel = 1023;
constexpr int kForumFilterLabel = 1024;
constexpr int kDateFilterLabel = 1025;
constexpr int kNewBaseLabel = 1026;
constexpr int kOldBaseLabel = 1027;
constexpr int kBackupLabel = 1028;
constexpr int kExitButton = 1030;
constexpr int kMergeStopButton = 1031;

// About box.
constexpr int kAboutTextEdit = 1001;
constexpr int kAboutBanner = 299;
constexpr int kAboutCreditLine = 300;
constexpr int kAboutCloseButton = 305;
