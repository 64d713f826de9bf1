// Real input for window tests: xdotool puts mouse and key events into the
// X server (XTEST), and they reach the view through GTK and wx exactly as a
// user's would. The event loop keeps running while xdotool works, and an
// observer pushed onto the view tells when the last event of a sequence has
// arrived, so tests wait for facts instead of sleeping.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/window.h>

#ifdef _WIN32
// Starts a Linux shell script beside the test (which runs under Wine) and
// returns the Linux path of the file its exit status will be written to;
// empty when it could not start.
std::string StartLinuxShell(const std::string& script);
#endif

// Counts the events a window receives, before the window's own handlers see
// them (it sits on top of the window's handler stack and passes everything
// on).
class EventObserver : public wxEvtHandler {
 public:
  explicit EventObserver(wxWindow* window);
  ~EventObserver() override;
  EventObserver(const EventObserver&) = delete;
  EventObserver& operator=(const EventObserver&) = delete;

  int Count(wxEventType type) const;
  int KeyDowns(int keyCode) const;
  bool TryBefore(wxEvent& event) override;

 private:
  wxWindow* m_pWindow;
  std::map<wxEventType, int> m_counts;
  std::map<int, int> m_keyDowns;
};

// Drives one window with xdotool and waits for the sequence to land.
class InputDriver {
 public:
  explicit InputDriver(wxWindow* window);

  // Screen position of a point of the window's client area.
  wxPoint Screen(wxPoint client) const;

  // Runs "xdotool args..." and then waits until the observer has seen
  // `count` more events of `last` than before. False when xdotool failed
  // or the events never came.
  bool Run(const std::vector<std::string>& args, wxEventType last, int count = 1);

  // xdotool arguments that move the pointer to a client point.
  std::vector<std::string> MoveTo(wxPoint client) const;

  // One step of a drag each, waiting for the view to see it: the pointer
  // to a client point (a motion event, unless it is there already), a
  // button (1 left, 3 right) down, arriving as `expected` (a second press
  // soon after the first arrives as a double-click), a button up. Steps
  // are sent one at a time, as a hand makes them: a motion that reaches
  // GTK in the same moment as the release is never reported.
  bool Move(wxPoint client);
  bool Press(int button, wxEventType expected);
  bool Release(int button);

  // Puts the pointer over the client point, waits for it to arrive and
  // gives the window the keyboard focus.
  bool Hover(wxPoint client);

  // Presses and releases one key (an X keysym name such as "Page_Up",
  // "KP_Add", "1") and waits for the key to come up again.
  bool Key(const std::string& keysym);

  const EventObserver& observer() const { return m_observer; }

 private:
  wxWindow* m_pWindow;
  EventObserver m_observer;
};
