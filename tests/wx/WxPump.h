#pragma once

#include <wx/app.h>
#include <wx/evtloop.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace zintrel::test {

// Runs the wx event loop until `done` holds or `seconds` have passed.
// Returns whether `done` held.
inline bool PumpUntil(const std::function<bool()>& done, double seconds = 5.0) {
  // Inside a running loop (a dialog's), yield to it; otherwise activate one.
  std::unique_ptr<wxGUIEventLoop> own;
  std::unique_ptr<wxEventLoopActivator> active;
  if (wxEventLoopBase::GetActive() == nullptr) {
    own = std::make_unique<wxGUIEventLoop>();
    active = std::make_unique<wxEventLoopActivator>(own.get());
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_ALL);
    wxTheApp->ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

inline void PumpFor(double seconds) {
  PumpUntil([] { return false; }, seconds);
}

}  // namespace zintrel::test
