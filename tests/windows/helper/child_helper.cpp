// A child for the runner's tests: does what its first argument names
// (or the file name it ends with).
//   args...   writes each further argument in brackets, as it arrived
//   exit N    writes "model" and "reason" on its two streams, exits N
//   crash     stops on an access violation
//   sleep     outlives any test's clock
//   flood     writes 5000 bytes and sleeps
//   input     reads its standard input to the end and writes what came
//   memory    commits 3 GiB; exits 0 when it got them, 5 when refused
//   spin      keeps a processor busy for 20 s
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  // A crash ends the process with its exception at once, as the import
  // worker's does, with no debugger or dialog to wait for.
  SetUnhandledExceptionFilter(
      [](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
  // Its streams as bytes, as the worker's.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  // By the last part of a path too, so the import can start it on a file.
  std::wstring what = argc > 1 ? argv[1] : L"";
  what = what.substr(what.find_last_of(L"\\/") + 1);
  if (what == L"args") {
    for (int i = 2; i < argc; ++i) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
      std::string utf8(static_cast<std::size_t>(size), '\0');
      WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), size, nullptr, nullptr);
      std::printf("[%s]", utf8.c_str());
    }
    return 0;
  }
  if (what == L"exit") {
    std::fputs("model", stdout);
    std::fputs("reason\n", stderr);
    return argc > 2 ? _wtoi(argv[2]) : 0;
  }
  if (what == L"crash") {
    *static_cast<volatile int*>(nullptr) = 1;
  }
  if (what == L"sleep" || what == L"flood") {
    if (what == L"flood") {
      for (int i = 0; i < 5000; ++i) std::fputc('x', stdout);
      std::fflush(stdout);
    }
    Sleep(30000);
    return 0;
  }
  if (what == L"input") {
    std::string text;
    for (int c; (c = std::getchar()) != EOF;) text += static_cast<char>(c);
    std::printf("[%s]", text.c_str());
    return 0;
  }
  if (what == L"memory") {
    const SIZE_T size = SIZE_T{3} << 30;
    return VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) ? 0 : 5;
  }
  if (what == L"spin") {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    volatile unsigned long n = 0;
    while (std::chrono::steady_clock::now() < end) n = n + 1;
    return 0;
  }
  return 2;
}
