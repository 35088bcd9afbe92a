// framefit-cli, the real binary with the real media library, on files that are damaged or are not
// files at all: whatever it is given, it must end on its own within seconds with exit status 0 or 1
// and one JSON line per file. Should the media library itself fault on a file, the last-chance
// path must say so (exit status 216, "Runtime error 216 at ..." on standard error).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "damage.h"
#include "run_process.h"

namespace framefit {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::Pick;
using testing::ProcessResult;
using testing::RunProcess;
using Json = nlohmann::json;

constexpr unsigned kSeed = 20240611;
// Files per framefit-cli call; a batch that does not end with 0 or 1 is run again file by file.
constexpr std::size_t kBatchSize = 8;
constexpr int kBatchSeconds = 20;
constexpr int kFileSeconds = 5;

const char* const kMediaFixtures[] = {"xvid_mp3.avi", "h264_aac.mkv",   "video_only.mp4",     "audio_only.mp3",
                                      "short_clip.avi", "truncated.avi", "Über größe clip.avi"};
const std::set<std::string> kErrorKinds = {"division by zero", "invalid operation", "overflow", "no video", "no file"};

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

ProcessResult Cli(const std::vector<std::string>& files, int timeout_seconds) {
  std::vector<std::string> args{"--json"};
  args.insert(args.end(), files.begin(), files.end());
  return RunProcess(FRAMEFIT_CLI, args, {}, timeout_seconds);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What a run says about each file; a line that is not the file's JSON object fails the test.
std::vector<Json> CheckedResults(const std::vector<std::string>& files, const ProcessResult& run) {
  const std::string context = "framefit-cli --json on " + files.front() + (files.size() > 1 ? " and the next ones" : "");
  EXPECT_TRUE(run.exit_status == 0 || run.exit_status == 1) << context << " ended with " << run.exit_status << "\n" << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  EXPECT_EQ(lines.size(), files.size()) << context << "\n" << run.out;
  EXPECT_TRUE(run.out.empty() || run.out.back() == '\n') << context;
  std::vector<Json> results;
  bool any_error = false;
  for (std::size_t i = 0; i < std::min(lines.size(), files.size()); ++i) {
    const Json json = Json::parse(lines[i], nullptr, false);
    EXPECT_TRUE(json.is_object()) << files[i] << ": not a JSON object: " << lines[i];
    if (!json.is_object()) continue;
    EXPECT_EQ(json.value("file", ""), files[i]);
    EXPECT_TRUE(json["summary"].is_array()) << files[i];
    const Json& error = json["error"];
    if (!error.is_null()) {
      any_error = true;
      EXPECT_TRUE(kErrorKinds.contains(error.value("kind", ""))) << files[i] << ": " << error;
      // The reason goes to standard error as well.
      EXPECT_NE(run.err.find("framefit-cli: " + error.value("message", "") + "\n"), std::string::npos) << files[i];
    }
    results.push_back(json);
  }
  EXPECT_EQ(run.exit_status, any_error ? 1 : 0) << context;
  return results;
}

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "framefit-hostile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  // Kept when a test failed, so the files that broke it can be looked at.
  void TearDown() override {
    if (HasFailure()) {
      std::cout << "The damaged files are kept in " << dir_ << "\n";
    } else {
      fs::remove_all(dir_);
    }
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Add(const std::string& name, const Bytes& bytes) {
    WriteFile(Path(name), bytes);
    return Path(name);
  }

  fs::path dir_;
};

// At least 200 files derived from the fixtures: bits flipped anywhere and in the headers, cut at
// random points, headers zeroed, and size fields of AVI chunks, MP4 boxes and Matroska elements
// set to 0xFFFFFFFF (or the largest a short field holds) and to 0.
// add writes one file and gives its path.
std::vector<std::string> DeriveDamagedFiles(const std::string& fixtures,
                                            const std::function<std::string(const std::string&, const Bytes&)>& add) {
  std::vector<std::string> paths;
  unsigned index = 0;
  for (const char* name : kMediaFixtures) {
    const Bytes original = ReadFile(fs::path(fixtures) / fs::u8path(name));
    EXPECT_GT(original.size(), 1024u) << name;
    if (original.size() <= 1024) continue;
    std::seed_seq seed{kSeed, index++};
    std::mt19937 random(seed);
    const auto derive = [&](const std::string& how, const Bytes& bytes) { paths.push_back(add(how + " " + name, bytes)); };

    for (int i = 0; i < 8; ++i) {
      Bytes bytes = original;
      testing::FlipBits(bytes, static_cast<int>(Pick(random, 1, 16)), bytes.size(), random);
      derive("flips-" + std::to_string(i), bytes);
    }
    for (int i = 0; i < 8; ++i) {
      Bytes bytes = original;
      testing::FlipBits(bytes, static_cast<int>(Pick(random, 1, 8)), 4096, random);
      derive("header-flips-" + std::to_string(i), bytes);
    }
    for (int i = 0; i < 6; ++i) {
      const std::size_t length = Pick(random, 1, original.size() - 1);
      derive("cut-at-" + std::to_string(length), Bytes(original.begin(), original.begin() + static_cast<long>(length)));
    }
    for (int i = 0; i < 3; ++i) {
      Bytes bytes = original;
      const std::size_t length = Pick(random, 4, 1024);
      std::fill(bytes.begin(), bytes.begin() + static_cast<long>(length), 0);
      derive("zeroed-" + std::to_string(length), bytes);
    }

    const std::vector<testing::SizeField> fields = testing::FindSizeFields(original);
    if (std::string(name).ends_with(".mp3")) continue;  // no sizes to patch in a bare MP3 stream
    EXPECT_GE(fields.size(), 5u) << name << ": the container walk found too few size fields";
    if (fields.empty()) continue;
    for (int i = 0; i < 9; ++i) {
      const testing::SizeField& field = fields[Pick(random, 0, fields.size() - 1)];
      const std::uint64_t size = i < 6 ? 0xFFFFFFFF : 0;
      Bytes bytes = original;
      testing::WriteSize(bytes, field, size);
      derive((size == 0 ? "zero-size-at-" : "huge-size-at-") + std::to_string(field.offset), bytes);
    }
  }
  return paths;
}

TEST_F(HostileFiles, DamagedMediaEndWithOneJsonLineEach) {
  const std::vector<std::string> files = DeriveDamagedFiles(
      FRAMEFIT_FIXTURES, [this](const std::string& name, const Bytes& bytes) { return Add(name, bytes); });
  ASSERT_GE(files.size(), 200u);

  std::vector<std::string> library_faults;
  for (std::size_t begin = 0; begin < files.size(); begin += kBatchSize) {
    const std::vector<std::string> batch(files.begin() + static_cast<long>(begin),
                                         files.begin() + static_cast<long>(std::min(files.size(), begin + kBatchSize)));
    const ProcessResult run = Cli(batch, kBatchSeconds);
    if (run.exit_status == 0 || run.exit_status == 1) {
      CheckedResults(batch, run);
      continue;
    }
    // A fault or a hang ended the batch: file by file, to find which.
    for (const std::string& file : batch) {
      const auto start = std::chrono::steady_clock::now();
      const ProcessResult single = Cli({file}, kFileSeconds);
      const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (single.exit_status == 216 && single.err.starts_with("Runtime error 216 at ") && single.out.empty()) {
        library_faults.push_back(file);
        continue;
      }
      EXPECT_LT(seconds, kFileSeconds) << file << ": did not end within " << kFileSeconds << " s";
      CheckedResults({file}, single);
    }
  }
  for (const std::string& file : library_faults) {
    std::cout << "The media library faulted on " << file << " (reported by the last-chance path)\n";
  }
}

// Not a media file, or not a file at all. A FIFO is never opened: nobody writes to it, so reading
// it would block for good.
TEST_F(HostileFiles, NonFilesAreRefusedWithoutBlocking) {
  fs::create_directory(Path("a directory.avi"));
  ASSERT_EQ(mkfifo(Path("fifo.avi").c_str(), 0600), 0);
  fs::create_symlink(Path("fifo.avi"), Path("link to fifo.avi"));
  fs::create_symlink(Path("missing.avi"), Path("dangling link.avi"));
  Add("empty.avi", {});

  const struct {
    std::string name;
    std::string kind;
  } cases[] = {{"a directory.avi", "no file"},    {"fifo.avi", "no file"},  {"link to fifo.avi", "no file"},
               {"dangling link.avi", "no file"}, {"empty.avi", "no video"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Json> results = CheckedResults({Path(c.name)}, Cli({Path(c.name)}, kFileSeconds));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]["error"]["kind"], c.kind);
    EXPECT_EQ(results[0]["summary"], Json::array());
    EXPECT_TRUE(results[0]["size"].is_null());
  }
}

// Mode 000 stops a normal user, but not root (CI runs as root): whether this process can open the
// file decides what to expect. Readable, it is analysed like the original; otherwise the library
// cannot open it and finds no video.
TEST_F(HostileFiles, FileWithoutReadPermission) {
  const std::string original = std::string(FRAMEFIT_FIXTURES) + "/xvid_mp3.avi";
  const std::string locked = Add("locked.avi", ReadFile(original));
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  const int fd = open(locked.c_str(), O_RDONLY);
  const bool readable = fd >= 0;
  if (readable) close(fd);
  std::cout << "Mode 000 is " << (readable ? "still readable here (euid " : "unreadable here (euid ") << geteuid() << ")\n";

  const std::vector<Json> results = CheckedResults({locked}, Cli({locked}, kFileSeconds));
  ASSERT_EQ(results.size(), 1u);
  if (readable) {
    Json expected = CheckedResults({original}, Cli({original}, kFileSeconds)).at(0);
    expected["file"] = locked;
    EXPECT_EQ(results[0], expected);
  } else {
    EXPECT_EQ(results[0]["error"]["kind"], "no video");
    EXPECT_EQ(results[0]["summary"], Json::array());
  }
}

}  // namespace
}  // namespace framefit
