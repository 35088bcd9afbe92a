#include "run_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace framefit::testing {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extra_env, int timeout_seconds) {
  char out_path[] = "/tmp/framefit-test-out-XXXXXX";
  char err_path[] = "/tmp/framefit-test-err-XXXXXX";
  const int out_fd = mkstemp(out_path);
  const int err_fd = mkstemp(err_path);
  if (out_fd < 0 || err_fd < 0) throw std::runtime_error("mkstemp failed");

  std::vector<std::string> env_text;
  for (char** entry = environ; *entry != nullptr; ++entry) env_text.emplace_back(*entry);
  for (const std::string& entry : extra_env) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    std::erase_if(env_text, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
    env_text.push_back(entry);
  }
  std::vector<char*> env;
  for (std::string& entry : env_text) env.push_back(entry.data());
  env.push_back(nullptr);
  std::vector<std::string> argv_text{program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out_fd);
  close(err_fd);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ProcessResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadAll(out_path);
  result.err = ReadAll(err_path);
  std::remove(out_path);
  std::remove(err_path);
  return result;
}

}  // namespace framefit::testing
