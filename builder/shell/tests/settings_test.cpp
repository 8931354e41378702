// prog.ini through the private-profile functions, under Wine: values are
// trimmed on the way in and come back whole, byte for byte.
#include "builder/shell/settings.h"

#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SettingsFile : public testing::Test {
  protected:
    std::string Bytes() const { return ReadWholeFile(path_); }

    TempFolder folder_;
    const std::string path_ = folder_.Path("prog.ini");
};

TEST_F(SettingsFile, MissingFileOrKeyReadsAsTheDefault) {
    EXPECT_EQ(ReadSetting(path_, "PATH", "gDir", ""), "");
    EXPECT_EQ(ReadSetting(path_, "PATH", "gDir", "none"), "none");
    WriteSetting(path_, "PATH", "gDir", "C:\\pages");
    EXPECT_EQ(ReadSetting(path_, "PATH", "gFileDist", ""), "");
}

TEST_F(SettingsFile, ValueIsStoredWithoutOuterSpaces) {
    const struct {
        std::string given;
        std::string stored;
    } cases[] = {
        {"  C:\\old base\\FORUM3.DAT  ", "C:\\old base\\FORUM3.DAT"},
        {"   ", ""},
        {"", ""},
        {"C:\\pages", "C:\\pages"},
    };
    for (const auto& example : cases) {
        WriteSetting(path_, "PATH", "gDir", example.given);
        EXPECT_EQ(Bytes(), "[PATH]\r\ngDir=" + example.stored + "\r\n")
            << "given '" << example.given << "'";
        EXPECT_EQ(ReadSetting(path_, "PATH", "gDir", "x"), example.stored);
    }
}

TEST_F(SettingsFile, LongAndCyrillicPathsComeBackWhole) {
    // 259 characters: the longest path the platform opens.
    const std::string longest = std::string("C:\\").append(252, 'a').append(".dat");
    ASSERT_EQ(longest.size(), 259u);
    // "C:\Форум\FORUM3.DAT" in Windows-1251 bytes.
    const std::string cyrillic = "C:\\\xD4\xEE\xF0\xF3\xEC\\FORUM3.DAT";
    for (const std::string& value : {longest, cyrillic}) {
        WriteSetting(path_, "PATH", "gFilesours", value);
        EXPECT_EQ(ReadSetting(path_, "PATH", "gFilesours", ""), value);
    }
}

} // namespace
