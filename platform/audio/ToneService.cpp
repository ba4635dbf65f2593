#include "platform/audio/ToneService.h"

#include <chrono>
#include <thread>

namespace zintrel::platform {

struct ToneService::Impl {};

ToneService::ToneService() : impl_(std::make_unique<Impl>()) {}
ToneService::~ToneService() = default;
void ToneService::Beep(std::int64_t, std::int32_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
void ToneService::Interrupt() {}
bool ToneService::HasDevice() const { return false; }
int ToneService::SampleRate() const { return 0; }

}  // namespace zintrel::platform
