// The bundled sample pages give the checked-in forum 3 base, byte for byte:
// natively through the static parser, on Windows through parvex.dll.
#include "builder/base/build_run.h"
#include "builder/base/tests/quiet_control.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"
#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SampleBase, SamplePagesGiveTheExpectedForumBase) {
    TempFolder folder;
    std::filesystem::copy(ZELTRAN_SAMPLE_PAGES, folder.path());
    BuildSettings settings;
    settings.sectionIndex = 2;
    settings.pagesFolder = folder.path().string();
    QuietControl control;
    const BuildResult result = BuildBase(PlatformFileSystem(), settings, control);
    EXPECT_EQ(result.outcome, Outcome::BaseBuilt);
    EXPECT_EQ(result.recordsWritten, 10);
    const std::string expected = ZELTRAN_EXPECTED_BASE;
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.DAT")), ReadWholeFile(expected + "/FORUM3.DAT"));
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")), ReadWholeFile(expected + "/FORUM3.IDX"));
}

// Saved pages are named after their threads' titles. Names the Windows code
// page cannot hold, one of them on a path longer than MAX_PATH, give the
// records that plain names in the same place of the order give. These names
// sort alike everywhere: after all others, in descending order of their
// UTF-8 bytes.
TEST(SampleBase, PagesNamedInAnyLettersGiveTheRecordsOfPlainNames) {
    const struct {
        const char* sample;
        std::string name;
        const char* plainName;
    } pages[] = {
        {"t1024.html", "\xF0\x9F\x98\x80.html", "e.html"},
        {"t1016.html", "\xE6\x97\xA5.html", "d.html"},
        {"t1022.html", "\xCE\xA9_\xCF\x89" + std::string(240, 'w') + ".html", "c.html"},
        {"t1018.html", "\xCE\xA9_\xCF\x89.html", "b.html"},
        {"t1019.html", "\xC3\xA9_\xC3\xBC_\xC3\x9F.html", "a.html"},
    };
    TempFolder named;
    TempFolder plain;
    for (const auto& page : pages) {
        const std::filesystem::path sample =
            std::filesystem::path(ZELTRAN_SAMPLE_PAGES) / page.sample;
        const std::u8string name(page.name.begin(), page.name.end());
        std::filesystem::copy_file(sample, named.path() / std::filesystem::path(name));
        std::filesystem::copy_file(sample, plain.path() / page.plainName);
    }
    for (const TempFolder* folder : {&named, &plain}) {
        BuildSettings settings;
        settings.sectionIndex = 2;
        settings.pagesFolder = folder->path().string();
        QuietControl control;
        const BuildResult result = BuildBase(PlatformFileSystem(), settings, control);
        EXPECT_EQ(result.outcome, Outcome::BaseBuilt);
        EXPECT_EQ(result.recordsWritten, 5);
    }
    EXPECT_EQ(ReadWholeFile(named.Path("FORUM3.DAT")), ReadWholeFile(plain.Path("FORUM3.DAT")));
    EXPECT_EQ(ReadWholeFile(named.Path("FORUM3.IDX")), ReadWholeFile(plain.Path("FORUM3.IDX")));
}
