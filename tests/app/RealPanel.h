#pragma once

// Driving the real binary's panel from outside, as a user would: clicks on
// its controls found through the panel's template, and the windows the
// process has on screen.

#include <sys/types.h>

#include <string>
#include <vector>

namespace zintrel::testing {

inline const std::string kPanelTitle = "Zintrel v1.0";

// Clicks (mouse `button`) the middle of the panel's control `controlId`;
// `panelWindow` is the panel's window id as xdotool gives it.
void ClickPanelControl(const std::string& panelWindow, int controlId, int button = 1);

// The mapped windows of process `pid` (by the _NET_WM_PID the toolkit sets).
std::vector<std::string> VisibleWindowsOf(pid_t pid);

// Waits up to `seconds` until process `pid` has `count` or more mapped
// windows; false if it never had.
bool WaitForWindowsOf(pid_t pid, std::size_t count, int seconds);

}  // namespace zintrel::testing
