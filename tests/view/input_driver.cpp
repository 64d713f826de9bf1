#include "input_driver.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <wx/app.h>
#include <wx/utils.h>

#include "app/window_fixture.h"

#ifndef _WIN32
extern char** environ;
#endif

using window_test::PumpUntil;

namespace {

using Clock = std::chrono::steady_clock;

void PumpOnce() {
  wxTheApp->Yield(true);
  wxTheApp->ProcessPendingEvents();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

#ifdef _WIN32
int RunXdotool(const std::vector<std::string>& args) {
  // The arguments are keysyms, button numbers and coordinates: no quotes.
  std::string script = "xdotool";
  for (const std::string& arg : args) script += " '" + arg + "'";
  const std::string status = StartLinuxShell(script);
  if (status.empty()) return -1;
  const std::filesystem::path file = "Z:" + status;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(file)) {
    if (Clock::now() > deadline) return -1;
    PumpOnce();
  }
  int code = -1;
  std::ifstream(file) >> code;
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return code;
}
#else
// Starts xdotool and keeps the toolkit responsive until it exits: a button
// press that takes a grab, for example, needs the application to answer
// before xdotool can go on. Returns xdotool's exit status, -1 if it could
// not start.
int RunXdotool(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"xdotool"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    PumpOnce();
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace

#ifdef _WIN32
// The Windows tests run under Wine, on the X server of a Linux machine,
// and a Windows program there may start a Linux one (Wine's Z: drive is
// the Linux root) but gets no handle to wait on or to end: the shell
// leaves the exit status in a file, and a script runs 30 seconds at most.
std::string StartLinuxShell(const std::string& script) {
  static int counter = 0;
  const std::string name = "/tmp/zorvik-shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(counter++);
  std::ofstream("Z:" + name + ".sh", std::ios::binary) << script << '\n';
  const std::string run = "timeout 30 sh " + name + ".sh; echo $? >" + name + ".part && mv " +
                          name + ".part " + name + "; rm -f " + name + ".sh";
  std::wstring command = L"sh -c \"" + std::wstring(run.begin(), run.end()) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return {};
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  return name;
}
#endif

EventObserver::EventObserver(wxWindow* window) : m_pWindow(window) {
  m_pWindow->PushEventHandler(this);
}

EventObserver::~EventObserver() { m_pWindow->RemoveEventHandler(this); }

int EventObserver::Count(wxEventType type) const {
  const auto it = m_counts.find(type);
  return it == m_counts.end() ? 0 : it->second;
}

int EventObserver::KeyDowns(int keyCode) const {
  const auto it = m_keyDowns.find(keyCode);
  return it == m_keyDowns.end() ? 0 : it->second;
}

bool EventObserver::TryBefore(wxEvent& event) {
  ++m_counts[event.GetEventType()];

  if (event.GetEventType() == wxEVT_KEY_DOWN) {
    ++m_keyDowns[static_cast<wxKeyEvent&>(event).GetKeyCode()];
  }
  return wxEvtHandler::TryBefore(event);
}

InputDriver::InputDriver(wxWindow* window) : m_pWindow(window), m_observer(window) {}

wxPoint InputDriver::Screen(wxPoint client) const { return m_pWindow->ClientToScreen(client); }

std::vector<std::string> InputDriver::MoveTo(wxPoint client) const {
  const wxPoint p = Screen(client);
  return {"mousemove", std::to_string(p.x), std::to_string(p.y)};
}

bool InputDriver::Run(const std::vector<std::string>& args, wxEventType last, int count) {
  const int target = m_observer.Count(last) + count;
  if (RunXdotool(args) != 0) return false;
  return PumpUntil([&] { return m_observer.Count(last) >= target; });
}

bool InputDriver::Move(wxPoint client) {
  if (wxGetMousePosition() == Screen(client)) return true;
  return Run(MoveTo(client), wxEVT_MOTION);
}

bool InputDriver::Press(int button, wxEventType expected) {
  return Run({"mousedown", std::to_string(button)}, expected);
}

bool InputDriver::Release(int button) {
  return Run({"mouseup", std::to_string(button)}, button == 1 ? wxEVT_LEFT_UP : wxEVT_RIGHT_UP);
}

bool InputDriver::Hover(wxPoint client) {
  if (RunXdotool(MoveTo(client)) != 0) return false;
  const wxPoint screen = Screen(client);
  const bool arrived = PumpUntil([&] { return wxGetMousePosition() == screen; });
  m_pWindow->SetFocus();
  PumpUntil([&] { return wxWindow::FindFocus() == m_pWindow; });
  return arrived;
}

bool InputDriver::Key(const std::string& keysym) { return Run({"key", keysym}, wxEVT_KEY_UP); }
