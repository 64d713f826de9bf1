// The Windows side of child_process.h. The child runs in a job object of
// its own: the job carries the memory and processor-time limits a POSIX
// child sets on itself with setrlimit, and closing it (or terminating it at
// the deadline or the output limit) ends the child and anything it
// started. Each output stream is read by a thread of its own, so a child
// that fills one pipe while the other is read does not stall.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

#include "io/system_path.h"
#include "platform/child_process.h"
#include "platform/posix_paths.h"

namespace platform {

namespace {

constexpr std::size_t kMaxErrorText = 4096;
constexpr DWORD kChunk = 1 << 16;
// Exit codes from here up are the exceptions (NTSTATUS of severity
// "error") that Windows ends a process with when nothing handled them.
constexpr DWORD kFirstExceptionCode = 0xC0000000;

// A handle that closes itself.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : m_h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  HANDLE Get() const { return m_h; }
  HANDLE* Out() { return &m_h; }
  void Close() {
    if (m_h != nullptr) CloseHandle(m_h);
    m_h = nullptr;
  }

 private:
  HANDLE m_h = nullptr;
};

// One argument as the C runtime's command-line parser gives it back:
// quoted when it holds blanks or quotes or is empty, a quote escaped with a
// backslash, and backslashes doubled only where a quote follows them.
void AppendQuoted(const std::wstring& arg, std::wstring& line) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::wstring line;
  AppendQuoted(syspath::Widen(program), line);
  for (const std::string& a : args) {
    line += L' ';
    AppendQuoted(syspath::Widen(a), line);
  }
  return line;
}

// The job that holds the child: killed with it when the last handle goes,
// each process in it capped as limits asks.
bool MakeJob(const ChildLimits& limits, Handle& job) {
  *job.Out() = CreateJobObjectW(nullptr, nullptr);
  if (job.Get() == nullptr) return false;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (limits.memory != 0) {
    info.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    info.ProcessMemoryLimit = static_cast<SIZE_T>(limits.memory);
  }
  if (limits.processorTime.count() > 0) {
    // In units of 100 ns.
    info.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_TIME;
    info.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart =
        static_cast<LONGLONG>(limits.processorTime.count()) * 10'000'000;
  }
  return SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &info,
                                 sizeof info) != 0;
}

// A pipe whose write end the child inherits and whose read end stays here.
bool MakePipe(Handle& read, Handle& write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (!CreatePipe(read.Out(), write.Out(), &inherit, 0)) return false;
  return SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

// Reads from pipe until its end, keeping at most room bytes; past them,
// sets over and keeps reading, so the child is never held up.
void ReadPipe(HANDLE pipe, std::vector<std::uint8_t>& into, std::size_t room, HANDLE over) {
  std::vector<std::uint8_t> buffer(kChunk);
  DWORD n = 0;
  while (ReadFile(pipe, buffer.data(), kChunk, &n, nullptr) && n > 0) {
    const std::size_t take = std::min<std::size_t>(n, room - into.size());
    into.insert(into.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(take));
    if (take < n && over != nullptr) SetEvent(over);
  }
}

ChildResult CannotStart(DWORD code) {
  ChildResult result;
  result.status = ChildStatus::kCannotStart;
  result.reason = syspath::ErrorText(code);
  return result;
}

// Starts the child suspended, puts it in the job, then lets it run: no
// instruction of it runs outside its limits.
bool Start(const std::string& program, const std::vector<std::string>& args, HANDLE job, HANDLE out,
           HANDLE err, HANDLE nul, PROCESS_INFORMATION& process) {
  // Only these three handles go to the child, not whatever else of ours
  // happens to be inheritable at the moment, which could hold another
  // child's pipe open.
  HANDLE inherited[3] = {nul, out, err};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<std::uint8_t> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  const bool listed = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                inherited, sizeof inherited, nullptr, nullptr) != 0;
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = nul;
  startup.StartupInfo.hStdOutput = out;
  startup.StartupInfo.hStdError = err;
  startup.lpAttributeList = attributes;
  const std::wstring path = syspath::Widen(program);
  std::wstring line = CommandLine(program, args);
  // No console window flashes up when the window program imports.
  const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT;
  const bool started =
      listed && CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                               nullptr, &startup.StartupInfo, &process) != 0;
  const DWORD code = GetLastError();
  DeleteProcThreadAttributeList(attributes);
  if (!started) {
    SetLastError(code);
    return false;
  }
  if (!AssignProcessToJobObject(job, process.hProcess)) {
    const DWORD jobCode = GetLastError();
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    SetLastError(jobCode);
    return false;
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return true;
}

// Whether the child ended because its job took its processor time away:
// the ending Windows gives it then is an ordinary exit code.
bool UsedUpProcessorTime(HANDLE process, const ChildLimits& limits) {
  if (limits.processorTime.count() <= 0) return false;
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
  const ULONGLONG used = (ULONGLONG{user.dwHighDateTime} << 32) | user.dwLowDateTime;
  return used >= static_cast<ULONGLONG>(limits.processorTime.count()) * 10'000'000;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildLimits& limits) {
  Handle job, outRead, outWrite, errRead, errWrite;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         OPEN_EXISTING, 0, nullptr));
  Handle over(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!MakeJob(limits, job) || !MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite) ||
      nul.Get() == nullptr || over.Get() == nullptr) {
    return CannotStart(GetLastError());
  }
  PROCESS_INFORMATION process{};
  if (!Start(program, args, job.Get(), outWrite.Get(), errWrite.Get(), nul.Get(), process)) {
    return CannotStart(GetLastError());
  }
  Handle child(process.hProcess);
  // Only the child holds the write ends now: its end is the pipes' end.
  outWrite.Close();
  errWrite.Close();

  ChildResult result;
  std::vector<std::uint8_t> errBytes;
  std::thread outReader(ReadPipe, outRead.Get(), std::ref(result.out), limits.maxOutput,
                        over.Get());
  std::thread errReader(ReadPipe, errRead.Get(), std::ref(errBytes), kMaxErrorText, nullptr);
  const HANDLE waits[2] = {child.Get(), over.Get()};
  const DWORD deadline = static_cast<DWORD>(
      std::min<std::chrono::milliseconds::rep>(limits.deadline.count(), INFINITE - 1));
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, deadline);
  bool killed = true;
  if (woke == WAIT_OBJECT_0) {
    killed = false;
  } else if (woke == WAIT_OBJECT_0 + 1) {
    result.status = ChildStatus::kTooMuchOutput;
  } else {
    result.status = ChildStatus::kTimedOut;
  }
  // Whatever the child started goes with it, and with them the last
  // holders of the pipes, so the readers come to their end.
  TerminateJobObject(job.Get(), 1);
  WaitForSingleObject(child.Get(), INFINITE);
  outReader.join();
  errReader.join();
  result.err.assign(errBytes.begin(), errBytes.end());
  if (killed) return result;
  // The child ended by itself, but may have written past the limit just
  // before it did.
  if (WaitForSingleObject(over.Get(), 0) == WAIT_OBJECT_0) {
    result.status = ChildStatus::kTooMuchOutput;
    return result;
  }
  DWORD code = 0;
  GetExitCodeProcess(child.Get(), &code);
  if (UsedUpProcessorTime(child.Get(), limits) && code != 0) {
    result.status = ChildStatus::kCpuTime;
  } else if (code >= kFirstExceptionCode) {
    result.status = ChildStatus::kSignalled;
    result.signal = static_cast<int>(code);
  } else {
    result.exitCode = static_cast<int>(code);
  }
  return result;
}

std::string AbnormalEnd(const ChildResult& result) {
  char text[32];
  std::snprintf(text, sizeof text, "exception 0x%08lX",
                static_cast<unsigned long>(static_cast<DWORD>(result.signal)));
  return text;
}

// The Windows program is one folder: its helpers sit beside it.
std::string HelperProgramPath(const char* name) {
  const std::string dir = ExecutableDirectory();
  if (dir.empty()) return {};
  const std::string path = dir + name + ".exe";
  const DWORD attributes = GetFileAttributesW(syspath::Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return {};
  return path;
}

}  // namespace platform
