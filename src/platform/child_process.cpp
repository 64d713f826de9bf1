#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix_paths.h"

#ifndef ZORVIK_MODULE_DIR_FROM_BIN
#define ZORVIK_MODULE_DIR_FROM_BIN "../lib/zorvik"
#endif

extern char** environ;

namespace platform {

namespace {

constexpr std::size_t kMaxErrorText = 4096;
constexpr std::size_t kChunk = 1 << 16;

class Pipe {
 public:
  Pipe() {
    if (pipe2(m_fd, O_CLOEXEC) != 0) m_fd[0] = m_fd[1] = -1;
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  bool Ok() const { return m_fd[0] >= 0; }
  int Read() const { return m_fd[0]; }
  int Write() const { return m_fd[1]; }
  void CloseRead() { Close(m_fd[0]); }
  void CloseWrite() { Close(m_fd[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  int m_fd[2] = {-1, -1};
};

// Takes what is there on fd; false once it is at its end.
bool Drain(int fd, std::vector<std::uint8_t>& into, std::size_t room) {
  std::uint8_t buffer[kChunk];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  const std::size_t take = std::min(static_cast<std::size_t>(n), room);
  into.insert(into.end(), buffer, buffer + take);
  return true;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildLimits& limits) {
  ChildResult result;
  Pipe out, err;
  if (!out.Ok() || !err.Ok()) {
    result.status = ChildStatus::kCannotStart;
    result.reason = std::strerror(errno);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.Write(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.Write(), STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  out.CloseWrite();
  err.CloseWrite();
  if (spawned != 0) {
    result.status = ChildStatus::kCannotStart;
    result.reason = std::strerror(spawned);
    return result;
  }

  const auto end = std::chrono::steady_clock::now() + limits.deadline;
  std::vector<std::uint8_t> errBytes;
  pollfd fds[2] = {{out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}};
  bool killed = false;
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.status = ChildStatus::kTimedOut;
      killed = true;
      break;
    }
    if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    if (fds[0].fd >= 0 && fds[0].revents != 0 &&
        !Drain(fds[0].fd, result.out, limits.maxOutput + 1 - result.out.size())) {
      fds[0].fd = -1;
    }
    if (fds[1].fd >= 0 && fds[1].revents != 0 &&
        !Drain(fds[1].fd, errBytes, kMaxErrorText - errBytes.size())) {
      fds[1].fd = -1;
    }
    if (result.out.size() > limits.maxOutput) {
      result.status = ChildStatus::kTooMuchOutput;
      killed = true;
      break;
    }
  }
  if (killed) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.err.assign(errBytes.begin(), errBytes.end());
  if (killed) return result;
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) {
    // Only the processor-time limit the child set on itself sends it.
    result.status = ChildStatus::kCpuTime;
  } else if (WIFSIGNALED(status)) {
    result.status = ChildStatus::kSignalled;
    result.signal = WTERMSIG(status);
  } else {
    result.exitCode = WEXITSTATUS(status);
  }
  return result;
}

std::string AbnormalEnd(const ChildResult& result) {
  return "signal " + std::to_string(result.signal);
}

std::string HelperProgramPath(const char* name) {
  const std::string dir = ExecutableDirectory();
  if (dir.empty()) return {};
  for (const std::string& path : {dir + name, dir + ZORVIK_MODULE_DIR_FROM_BIN + "/" + name}) {
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return {};
}

}  // namespace platform
