// What the user hears when something goes wrong that no handler expected:
// an exception escapes a command or an event handler (memory runs out
// while a huge file is read, a library throws). The program shows what
// failed and why, and goes on running, so the settings are still saved at
// close; nothing ends it silently.
#pragma once

#include <exception>
#include <string>

class wxEvent;

// The words for what failed: the command's name for a menu, key or button
// command ("Open"), what the program was doing for any other event
// ("drawing the model").
std::string DescribeFailedEvent(const wxEvent& event);

// A command's short name, quoted ("\"Open\"").
std::string DescribeCommand(int id);

// The reason in the user's words ("out of memory").
std::string DescribeException(const std::exception_ptr& error);

// "Error during <what>: <reason>" with the stop icon, also on stderr. A
// failure that repeats by itself (a paint that fails at every repaint) is
// shown once, and none is shown while the box of another is open.
void ReportFailure(const std::string& what, const std::exception_ptr& error, bool command);
