#include "platform/audio/ToneService.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "platform/audio/QuietAlsa.h"
#include "platform/audio/SquareOscillator.h"
#include "platform/audio/ToneQueue.h"

// How Beep paces its callers
// --------------------------
// Beep queues (frequency, length in samples) and the audio callback renders
// the queue back to back, counting the tone samples it has consumed. The k-th
// tone ends at E(k) = the sum of the lengths of tones 1..k on that count.
// Beep returns once
//
//     consumed >= E(k) - 2B        (B = the device buffer SDL gave us)
//
// i.e. when the callback has handed over every buffer that lies wholly before
// the tone's last 2B samples. The callback consumes B samples at a time, so at
// that moment between B + 1 and 2B samples of the tone are still to be
// rendered: a caller that loops has at least one whole buffer period, and
// usually two (5 to 10 ms at 48 kHz), to queue its next tone, and the two
// tones then join without a silent sample, the phase running on. (With a lead
// of one buffer the margin was 0 to 5 ms, and on a busy two-core machine the
// caller missed it now and then.) A loop of tones is paced by the device:
// each call takes, on average, exactly its tone's length, and a tone shorter
// than 2B returns at once only while less than 2B samples are queued ahead.
//
// A tone that starts from silence begins at the next callback, so its call
// blocks between (length - 3B) and (length - 2B) samples' worth of time; the
// rest of it, and a fade of about 1 ms, play after the call returns.
//
// The callback never blocks, allocates or calls the system; it reads the
// steady clock (vDSO on Linux) once in a buffer that starts a sounding tone,
// for LastToneBegan. The caller waits by sleeping on a condition variable of
// its own: until the count is due to cross the mark less a margin, then in
// steps of half a millisecond. Should the count stop moving for kStallLimit
// (a device that vanished), the service says so once and carries on in
// silence, so a tone can never hang its caller.

namespace zintrel::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWantedRate = 48000;
// 5 ms at 48 kHz. SDL's disk driver sleeps frames * 1000 / rate whole
// milliseconds per buffer, which is then exact.
constexpr int kWantedFrames = 240;
// Buffers of a tone still to render when Beep returns (see above).
constexpr std::uint64_t kLeadBuffers = 2;
constexpr auto kPollStep = std::chrono::microseconds(500);
constexpr auto kStallLimit = std::chrono::seconds(2);
// How long the destructor lets the last tone and its fade play out.
constexpr auto kDrainLimit = std::chrono::milliseconds(500);

}  // namespace

struct ToneService::Impl {
  bool sdlStarted = false;
  SDL_AudioDeviceID device = 0;
  int rate = 0;
  std::uint64_t bufferFrames = 0;

  // Caller side.
  std::mutex callerMutex;       // one Beep at a time
  std::uint64_t queuedEnd = 0;  // tone samples queued so far; under callerMutex
  std::mutex wakeMutex;         // for `wake` only, never held long
  std::condition_variable wake;

  // Shared with the callback.
  ToneQueue queue;
  std::atomic<std::uint64_t> consumed{0};  // tone samples the callback has rendered
  std::atomic<bool> idle{true};            // nothing playing, fade finished
  std::atomic<bool> interrupted{false};
  std::atomic<bool> stalled{false};
  // steady_clock nanoseconds of the latest sounding tone's first sample; 0: none yet.
  std::atomic<std::int64_t> toneBegan{0};
  static_assert(std::atomic<std::int64_t>::is_always_lock_free);

  // Callback only.
  SquareOscillator oscillator{1};
  std::uint64_t remaining = 0;  // samples left of the tone being rendered
  bool sounding = false;
  std::uint64_t consumedCount = 0;

  static void SDLCALL Callback(void* self, Uint8* stream, int bytes) {
    static_cast<Impl*>(self)->Render(reinterpret_cast<float*>(stream),
                                     bytes / static_cast<int>(sizeof(float)));
  }

  void Render(float* out, int frames) {
    // Read once, and only in a callback that starts a sounding tone.
    std::int64_t callbackNs = -1;
    if (interrupted.load(std::memory_order_relaxed) || stalled.load(std::memory_order_relaxed)) {
      queue.Clear();
      remaining = 0;
    }
    for (int i = 0; i < frames; ++i) {
      if (remaining == 0) {
        QueuedTone next;
        if (queue.Pop(next)) {
          remaining = next.samples;
          sounding = next.step > 0.0;
          if (sounding) {
            oscillator.SetStep(next.step);
            if (callbackNs < 0) {
              callbackNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               Clock::now().time_since_epoch())
                               .count();
            }
            const std::int64_t offsetNs = std::int64_t{i} * 1'000'000'000 / rate;
            toneBegan.store(callbackNs + offsetNs, std::memory_order_release);
          }
        } else {
          sounding = false;
        }
      }
      if (remaining > 0) {
        --remaining;
        ++consumedCount;
      }
      out[i] = oscillator.Next(sounding);
    }
    consumed.store(consumedCount, std::memory_order_release);
    idle.store(remaining == 0 && oscillator.Silent(), std::memory_order_release);
  }

  bool Stopped() const {
    return interrupted.load(std::memory_order_acquire) || stalled.load(std::memory_order_acquire);
  }

  // Sleeps up to `d`; returns early on Interrupt.
  void Nap(Clock::duration d) {
    std::unique_lock lock(wakeMutex);
    wake.wait_for(lock, d, [this] { return interrupted.load(std::memory_order_acquire); });
  }

  Clock::duration SamplesToTime(std::uint64_t samples) const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(samples) / static_cast<double>(rate)));
  }

  // Polls until `done()` while the callback keeps consuming; `left()` is the
  // number of samples still to be consumed, used to sleep through the bulk of
  // the wait in one go.
  template <typename Done, typename Left>
  void WaitForCallback(Done done, Left left) {
    std::uint64_t seen = consumed.load(std::memory_order_acquire);
    Clock::time_point lastMove = Clock::now();
    while (!Stopped() && !done()) {
      const std::uint64_t now = consumed.load(std::memory_order_acquire);
      const Clock::time_point t = Clock::now();
      if (now != seen) {
        seen = now;
        lastMove = t;
      } else if (t - lastMove > kStallLimit) {
        ReportStall();
        return;
      }
      // The mark is at least ceil(left / B) callbacks away, hence at least
      // (left - B) samples' worth of time; sleep through most of that.
      const std::uint64_t samplesLeft = left();
      Clock::duration sleep = kPollStep;
      if (samplesLeft > bufferFrames) {
        const Clock::duration bulk = SamplesToTime(samplesLeft - bufferFrames) - 2 * kPollStep;
        if (bulk > sleep) sleep = bulk;
      }
      Nap(sleep);
    }
  }

  void ReportStall() {
    if (!stalled.exchange(true, std::memory_order_acq_rel)) {
      std::fprintf(stderr, "zintrel: the audio device stopped playing; tones will be silent\n");
    }
  }

  void Play(double step, std::int32_t milliseconds) {
    std::uint64_t samples =
        (static_cast<std::uint64_t>(milliseconds) * static_cast<std::uint64_t>(rate) + 500) / 1000;
    if (samples == 0) samples = 1;
    WaitForCallback([this] { return !queue.Full(); }, [] { return std::uint64_t{0}; });
    if (Stopped()) return;
    queue.Push(QueuedTone{step, samples});
    queuedEnd += samples;
    const std::uint64_t lead = kLeadBuffers * bufferFrames;
    const std::uint64_t mark = queuedEnd > lead ? queuedEnd - lead : 0;
    WaitForCallback([this, mark] { return consumed.load(std::memory_order_acquire) >= mark; },
                    [this, mark] {
                      const std::uint64_t c = consumed.load(std::memory_order_acquire);
                      return mark > c ? mark - c : 0;
                    });
  }

  // Lets the last tone and its fade reach the device before it is closed.
  void Drain() {
    const Clock::time_point deadline = Clock::now() + kDrainLimit;
    while (Clock::now() < deadline) {
      const bool allRendered = Stopped() || consumed.load(std::memory_order_acquire) >= queuedEnd;
      if (allRendered && idle.load(std::memory_order_acquire)) return;
      std::unique_lock lock(wakeMutex);
      wake.wait_for(lock, kPollStep);
    }
  }
};

ToneService::ToneService() : impl_(std::make_unique<Impl>()) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Zintrel");
  SDL_AudioSpec have{};
  QuietAlsa quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    impl_->sdlStarted = true;
    SDL_AudioSpec want{};
    want.freq = kWantedRate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = kWantedFrames;
    want.callback = &Impl::Callback;
    want.userdata = impl_.get();
    // Mono float32 is converted by SDL if the device wants otherwise; rate
    // and buffer size are taken as the device offers them.
    impl_->device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (impl_->device != 0 && (have.freq < 1000 || have.samples == 0)) {
      SDL_CloseAudioDevice(impl_->device);
      impl_->device = 0;
      SDL_SetError("the device offered no usable format");
    }
  }
  if (impl_->device == 0) {
    const char* why = SDL_GetError();
    std::fprintf(stderr, "zintrel: no audio device found (%s); tones will be silent\n",
                 why && *why ? why : "no reason given");
    if (impl_->sdlStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    impl_->sdlStarted = false;
    return;
  }
  impl_->rate = have.freq;
  impl_->bufferFrames = have.samples;
  // The callback does not run before the device is unpaused.
  impl_->oscillator = SquareOscillator((have.freq + 500) / 1000);
  SDL_PauseAudioDevice(impl_->device, 0);
}

ToneService::~ToneService() {
  std::lock_guard lock(impl_->callerMutex);  // no Beep in progress
  if (impl_->device != 0) {
    impl_->Drain();
    SDL_CloseAudioDevice(impl_->device);
  }
  if (impl_->sdlStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void ToneService::Beep(std::int64_t hertz, std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  std::lock_guard lock(impl_->callerMutex);
  if (impl_->interrupted.load(std::memory_order_acquire)) return;
  if (impl_->device == 0 || impl_->stalled.load(std::memory_order_acquire)) {
    impl_->Nap(std::chrono::milliseconds(milliseconds));
    return;
  }
  // Audible up to, not including, half the sample rate.
  const std::int64_t highest = (impl_->rate - 1) / 2;
  const double step = hertz >= 1 && hertz <= highest
                          ? static_cast<double>(hertz) / static_cast<double>(impl_->rate)
                          : 0.0;
  impl_->Play(step, milliseconds);
}

void ToneService::Interrupt() {
  impl_->interrupted.store(true, std::memory_order_release);
  { std::lock_guard lock(impl_->wakeMutex); }
  impl_->wake.notify_all();
}

std::chrono::steady_clock::time_point ToneService::LastToneBegan() const {
  const std::int64_t ns = impl_->toneBegan.load(std::memory_order_acquire);
  if (ns == 0) return {};
  return Clock::time_point(
      std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(ns)));
}

bool ToneService::HasDevice() const { return impl_->device != 0; }
int ToneService::SampleRate() const { return impl_->rate; }
int ToneService::BufferFrames() const { return static_cast<int>(impl_->bufferFrames); }

}  // namespace zintrel::platform
