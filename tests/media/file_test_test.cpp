// IsExistingFile on real file-system objects in a fresh temporary folder.

#include "file_test.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace framefit {
namespace {

namespace fs = std::filesystem;

class IsExistingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "framefit-file-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    std::ofstream(folder_ / "clip.avi") << "RIFF";
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(IsExistingFileTest, OnlyRegularFilesCount) {
  fs::create_symlink(folder_ / "clip.avi", folder_ / "link.avi");
  fs::create_directory(folder_ / "clips");
  fs::create_symlink(folder_ / "clips", folder_ / "link-to-folder");
  fs::create_symlink(folder_ / "gone.avi", folder_ / "dangling.avi");
  ASSERT_EQ(::mkfifo((folder_ / "pipe.avi").c_str(), 0600), 0);

  EXPECT_TRUE(IsExistingFile((folder_ / "clip.avi").string()));
  EXPECT_TRUE(IsExistingFile((folder_ / "link.avi").string()));
  EXPECT_FALSE(IsExistingFile((folder_ / "clips").string()));
  EXPECT_FALSE(IsExistingFile((folder_ / "link-to-folder").string()));
  EXPECT_FALSE(IsExistingFile((folder_ / "dangling.avi").string()));
  EXPECT_FALSE(IsExistingFile((folder_ / "pipe.avi").string()));
  EXPECT_FALSE(IsExistingFile((folder_ / "missing.avi").string()));
  EXPECT_FALSE(IsExistingFile(""));
  EXPECT_FALSE(IsExistingFile("/dev/null"));  // a device
}

}  // namespace
}  // namespace framefit
