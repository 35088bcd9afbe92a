#include "file_test.h"

#include <sys/stat.h>

namespace framefit {

bool IsExistingFile(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace framefit
