// The bundled sample pages give the checked-in forum 3 base, byte for byte:
// natively through the static parser, on Windows through parvex.dll.
#include "builder/base/build_run.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"
#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class QuietControl : public BuildControl {
  public:
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}
    void ClearStopRequest() override {}
    bool StopRequested() override { return false; }
    void PumpOneMessage() override {}
};

} // namespace

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
