#include "tests/app/DesktopTools.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

extern char** environ;

namespace zintrel::testing {

std::string ShellOutput(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run: " << command;
    return out;
  }
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

XY ScreenSize() {
  XY size;
  std::istringstream(ShellOutput("xdotool getdisplaygeometry")) >> size.x >> size.y;
  return size;
}

XY MouseAt() {
  XY at{-1, -1};
  std::istringstream lines(ShellOutput("xdotool getmouselocation --shell"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("X=", 0) == 0) at.x = std::stoi(line.substr(2));
    if (line.rfind("Y=", 0) == 0) at.y = std::stoi(line.substr(2));
  }
  return at;
}

void MoveMouse(XY to) {
  ShellOutput("xdotool mousemove " + std::to_string(to.x) + " " + std::to_string(to.y));
}

std::vector<std::string> FindWindows(const std::string& name, bool visibleOnly) {
  std::istringstream ids(ShellOutput(std::string("xdotool search ") +
                                     (visibleOnly ? "--onlyvisible " : "") + "--name '^" + name +
                                     "$' 2>/dev/null"));
  std::vector<std::string> found;
  for (std::string id; ids >> id;) found.push_back(id);
  return found;
}

std::string WaitForVisibleWindow(const std::string& name, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    const std::vector<std::string> ids = FindWindows(name, true);
    if (!ids.empty()) return ids.front();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

WindowBox Geometry(const std::string& window) {
  WindowBox box;
  std::istringstream lines(ShellOutput("xdotool getwindowgeometry --shell " + window));
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::stoi(line.substr(eq + 1));
    if (key == "X") box.x = value;
    if (key == "Y") box.y = value;
    if (key == "WIDTH") box.width = value;
    if (key == "HEIGHT") box.height = value;
  }
  return box;
}

std::string WindowPixels(const std::string& window) {
  return ShellOutput("import -window " + window + " -depth 8 rgb:- 2>/dev/null");
}

Glide::Glide(int y, int fromX, int toX, int stepPx, int stepMs, int rounds) {
  // Placed with one warp, then moved the way a mouse moves it: relative
  // motion through XTest, which raises the device's motion events.
  std::vector<std::string> words{"xdotool", "mousemove", std::to_string(fromX), std::to_string(y)};
  const std::string pause = std::to_string(stepMs / 1000.0);
  auto step = [&](int dx) {
    words.insert(words.end(),
                 {"sleep", pause, "mousemove_relative", "--", std::to_string(dx), "0"});
  };
  const int steps = stepPx > 0 ? (toX - fromX) / stepPx : 0;
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < steps; ++i) step(stepPx);
    for (int i = 0; i < steps; ++i) step(-stepPx);
  }
  words.insert(words.end(), {"sleep", pause});
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  if (posix_spawnp(&pid_, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start xdotool";
  }
}

Glide::~Glide() { Wait(); }

void Glide::Wait() {
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace zintrel::testing
