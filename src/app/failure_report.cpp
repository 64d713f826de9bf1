#include "app/failure_report.h"

#include <cstdio>
#include <new>
#include <stdexcept>

#include <wx/event.h>

#include "app/resources.h"
#include "platform/platform.h"

namespace {

struct EventWords {
  wxEventType type;
  const char* words;
};

// Events that are not commands, by what the program does in answer.
const EventWords kEventWords[] = {
    {wxEVT_PAINT, "drawing the model"},
    {wxEVT_SIZE, "resizing the window"},
    {wxEVT_KEY_DOWN, "a key command"},
    {wxEVT_LEFT_DOWN, "a mouse command"},
    {wxEVT_LEFT_UP, "a mouse command"},
    {wxEVT_LEFT_DCLICK, "a mouse command"},
    {wxEVT_RIGHT_DOWN, "a mouse command"},
    {wxEVT_RIGHT_UP, "a mouse command"},
    {wxEVT_MOTION, "a mouse command"},
    {wxEVT_CLOSE_WINDOW, "closing the window"},
    {wxEVT_UPDATE_UI, "updating the menus and buttons"},
    {wxEVT_IDLE, "updating the window"},
};

}  // namespace

// A command's short name is its tooltip where it has one, else its prompt.
std::string DescribeCommand(int id) {
  std::string name = CommandTooltip(id);
  if (name.empty()) name = CommandPrompt(id);
  return name.empty() ? "a command" : "\"" + name + "\"";
}

std::string DescribeFailedEvent(const wxEvent& event) {
  if (event.GetEventType() == wxEVT_MENU || event.GetEventType() == wxEVT_TOOL) {
    return DescribeCommand(event.GetId());
  }
  for (const EventWords& entry : kEventWords) {
    if (event.GetEventType() == entry.type) return entry.words;
  }
  return "an action of the window";
}

std::string DescribeException(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::exception& e) {
    const std::string what = e.what();
    return what.empty() ? "an unexpected error" : what;
  } catch (...) {
    return "an unexpected error";
  }
}

void ReportFailure(const std::string& what, const std::exception_ptr& error, bool command) {
  static bool showing = false;
  static std::string lastShown;
  const std::string text = "Error during " + what + ": " + DescribeException(error) +
                           "\r\nZorvik stopped that action and goes on.";
  std::fprintf(stderr, "zorvik: error during %s: %s\n", what.c_str(),
               DescribeException(error).c_str());
  // The failure may have left the busy cursor on.
  platform::Current().RestoreArrowCursor();
  if (showing || (!command && text == lastShown)) return;
  showing = true;
  lastShown = text;
  platform::Current().ShowMessage(text, platform::MsgIcon::Stop);
  showing = false;
}
