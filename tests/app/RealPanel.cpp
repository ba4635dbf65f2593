#include "tests/app/RealPanel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "res/ControlPanelTemplate.h"
#include "res/DialogTemplate.h"
#include "tests/app/DesktopTools.h"

namespace zintrel::testing {

void ClickPanelControl(const std::string& panelWindow, int controlId, int button) {
  const res::DialogTemplate& t = res::kControlPanelTemplate;
  const res::ControlTemplate* control = nullptr;
  for (const auto& c : t.controls) {
    if (c.id == controlId) control = &c;
  }
  ASSERT_NE(control, nullptr) << "no control " << controlId;
  // Dialog units scale linearly into the panel's client area, which is the
  // whole window when there is no window manager.
  const WindowBox box = Geometry(panelWindow);
  const int x = box.x + (2 * control->x + control->width) * box.width / (2 * t.width);
  const int y = box.y + (2 * control->y + control->height) * box.height / (2 * t.height);
  MoveMouse({x, y});
  ShellOutput("xdotool click " + std::to_string(button));
}

std::vector<std::string> VisibleWindowsOf(pid_t pid) {
  std::istringstream ids(
      ShellOutput("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
  std::vector<std::string> found;
  for (std::string id; ids >> id;) found.push_back(id);
  return found;
}

bool WaitForWindowsOf(pid_t pid, std::size_t count, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (VisibleWindowsOf(pid).size() >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

}  // namespace zintrel::testing
