#include "platform/audio/ToneService.h"

#include <SDL.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

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
// tones then join without a silent sample, the phase running on. A loop of
// tones is paced by the device: each call takes, on average, exactly its
// tone's length.
//
// The callback never blocks, allocates or calls the system; it reads the
// steady clock (vDSO on Linux) once in a buffer that starts a sounding tone,
// for LastToneBegan. The caller waits by sleeping on a condition variable of
// its own: until the count is due to cross the mark less a margin, then in
// steps of half a millisecond.
//
// When the device is open
// -----------------------
// An open device is a stream at the sound server, and SDL keeps its thread
// waking every buffer for as long as it is open (paused or not). So it is
// open only around sound: Beep opens it for an audible tone, ExpectTone
// opens it ahead of one on the housekeeping thread, and the housekeeping
// thread closes it once nothing has sounded for kIdleClose (at once after
// DropPendingTones), never while a Beep uses it. A silent tone never opens
// it; one that comes after kIdleClose of silence closes it and is waited out
// on the clock.
//
// A device that fails (SDL reports it stopped, or the callback's count
// stands still for kStallLimit) is closed and SDL's audio shut down, so that
// the next open starts afresh with a new connection to the sound server;
// the rest of the tone is waited out on the clock. Opens are retried no
// more often than every kRetry.

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
constexpr auto kRetry = std::chrono::seconds(2);
// ExpectTone calls closer together than this belong to one movement.
constexpr auto kExpectGap = std::chrono::milliseconds(250);
// How long a close waits for the last fade, and the destructor for the last tone.
constexpr auto kFadeCheck = std::chrono::milliseconds(10);
constexpr auto kDrainLimit = std::chrono::milliseconds(500);

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

}  // namespace

struct ToneService::Impl {
  bool keepOpen = false;  // SDL's disk driver: see the header

  // The device. Under deviceMutex, which is held across SDL's open and close.
  std::mutex deviceMutex;
  bool sdlStarted = false;
  SDL_AudioDeviceID device = 0;
  bool busy = false;              // a Beep uses the device
  bool failureSaid = false;       // an open failed and was reported
  bool lossSaid = false;          // a device failed and that was reported
  Clock::time_point retryAt{};    // no open before this
  Clock::time_point soundEnds{};  // when the latest audible tone ends
  std::atomic<bool> sdlRunning{false};
  std::atomic<bool> deviceOpen{false};
  std::atomic<int> rate{0};
  std::atomic<int> bufferFrames{0};

  // Caller side.
  std::mutex callerMutex;                   // one Beep at a time
  std::atomic<std::uint64_t> queuedEnd{0};  // tone samples queued so far
  std::mutex wakeMutex;                     // for the condition variables only
  std::condition_variable wake;             // Beep's naps
  std::condition_variable houseWake;        // the housekeeping thread
  bool kicked = false;                      // under wakeMutex
  bool quit = false;                        // under wakeMutex

  // Requests to the housekeeping thread.
  std::atomic<bool> openWanted{false};
  std::atomic<bool> closeSoon{false};
  std::atomic<std::int64_t> lastExpectNs{std::numeric_limits<std::int64_t>::min() / 2};
  std::thread housekeeper;

  // Shared with the callback.
  ToneQueue queue;
  std::atomic<std::uint64_t> consumed{0};  // tone samples the callback has rendered
  std::atomic<bool> idle{true};            // nothing playing, fade finished
  std::atomic<bool> interrupted{false};
  std::atomic<std::uint32_t> dropRequests{0};
  std::atomic<std::uint32_t> dropsDone{0};  // drop requests the callback has carried out
  // steady_clock nanoseconds of the latest sounding tone's first sample; 0: none yet.
  std::atomic<std::int64_t> toneBegan{0};
  std::atomic<std::uint64_t> gapSamples{0};  // silence rendered between two tones
  static_assert(std::atomic<std::int64_t>::is_always_lock_free);

  // Callback only (reset by Close while no callback runs).
  SquareOscillator oscillator;
  std::uint64_t remaining = 0;  // samples left of the tone being rendered
  bool sounding = false;
  std::uint64_t consumedCount = 0;
  std::uint32_t dropsSeen = 0;
  std::uint64_t idleRun = 0;  // samples with nothing to render since a tone ended
  bool toneSeen = false;      // a tone was rendered since the device opened
  int callbackRate = kWantedRate;

  static void SDLCALL Callback(void* self, Uint8* stream, int bytes) {
    static_cast<Impl*>(self)->Render(reinterpret_cast<float*>(stream),
                                     bytes / static_cast<int>(sizeof(float)));
  }

  void Render(float* out, int frames) {
    // Read once, and only in a callback that starts a sounding tone.
    std::int64_t callbackNs = -1;
    if (interrupted.load(std::memory_order_relaxed)) {
      queue.Clear();
      remaining = 0;
    }
    const std::uint32_t drops = dropRequests.load(std::memory_order_acquire);
    if (drops != dropsSeen) {
      // Tones queued but not begun count as rendered, so their callers return.
      dropsSeen = drops;
      QueuedTone dropped;
      while (queue.Pop(dropped)) consumedCount += dropped.samples;
      consumed.store(consumedCount, std::memory_order_release);
      dropsDone.store(drops, std::memory_order_release);
    }
    int i = 0;
    while (i < frames) {
      if (remaining == 0) {
        QueuedTone next;
        if (queue.Pop(next)) {
          if (toneSeen && idleRun > 0) {
            gapSamples.store(gapSamples.load(std::memory_order_relaxed) + idleRun,
                             std::memory_order_release);
          }
          idleRun = 0;
          toneSeen = true;
          remaining = next.samples;
          sounding = next.step > 0.0;
          if (sounding) {
            oscillator.SetStep(next.step);
            if (callbackNs < 0) callbackNs = NowNs();
            const std::int64_t offsetNs = std::int64_t{i} * 1'000'000'000 / callbackRate;
            toneBegan.store(callbackNs + offsetNs, std::memory_order_release);
          }
        } else {
          sounding = false;
        }
      }
      // One stretch of constant frequency: to the tone's end or the buffer's.
      int n = frames - i;
      if (remaining > 0 && remaining < static_cast<std::uint64_t>(n))
        n = static_cast<int>(remaining);
      oscillator.Render(out + i, n, sounding);
      if (remaining > 0) {
        remaining -= static_cast<std::uint64_t>(n);
        consumedCount += static_cast<std::uint64_t>(n);
      } else {
        idleRun += static_cast<std::uint64_t>(n);
      }
      i += n;
    }
    consumed.store(consumedCount, std::memory_order_release);
    idle.store(remaining == 0 && oscillator.Silent(), std::memory_order_release);
  }

  bool Interrupted() const { return interrupted.load(std::memory_order_acquire); }

  // Sleeps up to `d`; returns early on Interrupt, and on DropPendingTones
  // after `drops` such calls.
  void Nap(Clock::duration d, std::uint32_t drops) {
    std::unique_lock lock(wakeMutex);
    wake.wait_for(lock, d, [this, drops] {
      return interrupted.load(std::memory_order_acquire) ||
             dropRequests.load(std::memory_order_acquire) != drops;
    });
  }
  void Nap(Clock::duration d) { Nap(d, dropRequests.load(std::memory_order_acquire)); }

  void Kick() {
    {
      std::lock_guard lock(wakeMutex);
      kicked = true;
    }
    houseWake.notify_one();
  }

  Clock::duration SamplesToTime(std::uint64_t samples) const {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(samples) / static_cast<double>(rate.load())));
  }

  // --- Opening and closing; under deviceMutex ---

  void SayOnce(const char* what) {
    if (failureSaid) return;
    failureSaid = true;
    const char* why = SDL_GetError();
    std::fprintf(stderr, "zintrel: %s (%s); tones will be silent\n", what,
                 why && *why ? why : "no reason given");
  }

  bool StartSdl() {
    if (sdlStarted) return true;
    QuietAlsa quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    sdlStarted = true;
    sdlRunning.store(true);
    return true;
  }

  void StopSdl() {
    if (!sdlStarted) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdlStarted = false;
    sdlRunning.store(false);
  }

  void Open(Clock::time_point now) {
    if (device != 0 || now < retryAt) return;
    if (!StartSdl()) {
      SayOnce("no audio device found");
      retryAt = now + kRetry;
      return;
    }
    SDL_AudioSpec want{};
    want.freq = kWantedRate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = kWantedFrames;
    want.callback = &Impl::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    QuietAlsa quiet;
    // Mono float32 is converted by SDL if the device wants otherwise; rate
    // and buffer size are taken as the device offers them.
    SDL_AudioDeviceID opened =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (opened != 0 && (have.freq < 1000 || have.samples == 0)) {
      SDL_CloseAudioDevice(opened);
      opened = 0;
      SDL_SetError("the device offered no usable format");
    }
    if (opened == 0) {
      SayOnce("no audio device found");
      retryAt = now + kRetry;
      return;
    }
    failureSaid = false;
    device = opened;
    rate.store(have.freq);
    bufferFrames.store(have.samples);
    // The callback does not run before the device is unpaused.
    callbackRate = have.freq;
    oscillator = SquareOscillator(have.freq, (have.freq + 500) / 1000);
    soundEnds = std::max(soundEnds, now);
    deviceOpen.store(true);
    SDL_PauseAudioDevice(device, 0);
  }

  // Closes the device; once it returns no callback runs, so the callback's
  // state can be reset here. A lost device also shuts SDL's audio down.
  void Close(bool lost) {
    if (device == 0) return;
    SDL_CloseAudioDevice(device);
    device = 0;
    deviceOpen.store(false);
    queue.Reset();
    remaining = 0;
    sounding = false;
    oscillator = SquareOscillator(callbackRate, (callbackRate + 500) / 1000);
    consumedCount = queuedEnd.load();
    consumed.store(consumedCount);
    dropsSeen = dropRequests.load();
    dropsDone.store(dropsSeen);
    idleRun = 0;
    toneSeen = false;
    idle.store(true);
    if (lost) {
      if (!lossSaid) {
        lossSaid = true;
        std::fprintf(stderr,
                     "zintrel: the audio device stopped playing; tones are silent until it "
                     "can be opened again\n");
      }
      StopSdl();
      retryAt = Clock::now() + kRetry;
    }
  }

  // --- Playing ---

  // Polls until `done()` while the callback keeps consuming; `left()` is the
  // number of samples still to be consumed, used to sleep through the bulk of
  // the wait in one go. False when the device failed on the way.
  template <typename Done, typename Left>
  bool WaitForCallback(SDL_AudioDeviceID dev, Done done, Left left) {
    std::uint64_t seen = consumed.load(std::memory_order_acquire);
    Clock::time_point lastMove = Clock::now();
    const std::uint64_t buffer = static_cast<std::uint64_t>(bufferFrames.load());
    const std::uint32_t drops = dropRequests.load(std::memory_order_acquire);
    while (!Interrupted() && !done()) {
      if (SDL_GetAudioDeviceStatus(dev) == SDL_AUDIO_STOPPED) return false;
      const std::uint64_t now = consumed.load(std::memory_order_acquire);
      const Clock::time_point t = Clock::now();
      if (now != seen) {
        seen = now;
        lastMove = t;
      } else if (t - lastMove > kStallLimit) {
        return false;
      }
      // The mark is at least ceil(left / B) callbacks away, hence at least
      // (left - B) samples' worth of time; sleep through most of that.
      const std::uint64_t samplesLeft = left();
      Clock::duration sleep = kPollStep;
      // While a drop waits for the callback, poll: it may release this wait.
      const bool dropping =
          dropRequests.load(std::memory_order_acquire) != dropsDone.load(std::memory_order_acquire);
      if (samplesLeft > buffer && !dropping) {
        const Clock::duration bulk = SamplesToTime(samplesLeft - buffer) - 2 * kPollStep;
        if (bulk > sleep) sleep = bulk;
      }
      Nap(sleep, drops);
    }
    return true;
  }

  // Queues the tone and waits for it. Returns the samples of the wait that
  // are left when the device failed (0 otherwise).
  std::uint64_t Play(SDL_AudioDeviceID dev, double step, std::int32_t milliseconds) {
    const int r = rate.load();
    std::uint64_t samples =
        (static_cast<std::uint64_t>(milliseconds) * static_cast<std::uint64_t>(r) + 500) / 1000;
    if (samples == 0) samples = 1;
    if (!WaitForCallback(
            dev, [this] { return !queue.Full(); }, [] { return std::uint64_t{0}; })) {
      return samples;
    }
    if (Interrupted()) return 0;
    queue.Push(QueuedTone{step, samples});
    const std::uint64_t end = queuedEnd.load() + samples;
    queuedEnd.store(end);
    const std::uint64_t lead = kLeadBuffers * static_cast<std::uint64_t>(bufferFrames.load());
    const std::uint64_t mark = end > lead ? end - lead : 0;
    const auto left = [this, mark] {
      const std::uint64_t c = consumed.load(std::memory_order_acquire);
      return mark > c ? mark - c : 0;
    };
    if (!WaitForCallback(
            dev, [this, mark] { return consumed.load(std::memory_order_acquire) >= mark; }, left)) {
      return std::max<std::uint64_t>(left(), 1);
    }
    return 0;
  }

  void Beep(std::int64_t hertz, std::int32_t milliseconds) {
    const bool audible = ToneService::Audible(hertz);
    SDL_AudioDeviceID dev = 0;
    {
      std::lock_guard lock(deviceMutex);
      const Clock::time_point now = Clock::now();
      if (audible) {
        closeSoon.store(false);
        Open(now);
      } else if (device != 0 && !keepOpen && now - soundEnds >= kIdleClose) {
        Close(false);
      }
      dev = device;
      busy = dev != 0;
    }
    if (dev == 0) {
      Nap(std::chrono::milliseconds(milliseconds));
      return;
    }
    // Below half the device's rate, too.
    const int r = rate.load();
    const double step = audible && hertz < r / 2 ? static_cast<double>(hertz) / r : 0.0;
    const std::uint64_t left = Play(dev, step, milliseconds);
    {
      std::lock_guard lock(deviceMutex);
      busy = false;
      if (left > 0) {
        Close(true);
      } else if (audible) {
        const std::uint64_t c = consumed.load();
        const std::uint64_t q = queuedEnd.load();
        soundEnds = std::max(soundEnds, Clock::now() + SamplesToTime(q > c ? q - c : 0));
      }
    }
    Kick();
    if (left > 0) Nap(SamplesToTime(left));
  }

  // --- The housekeeping thread ---

  void Housekeep() {
    std::unique_lock wl(wakeMutex);
    while (!quit) {
      kicked = false;
      wl.unlock();
      Clock::time_point next = Clock::time_point::max();
      {
        std::lock_guard lock(deviceMutex);
        const Clock::time_point now = Clock::now();
        if (openWanted.exchange(false) && !Interrupted()) {
          if (device == 0) {
            Open(now);
          } else {
            soundEnds = std::max(soundEnds, now);
          }
        }
        if (device != 0 && !keepOpen && !busy) {
          const bool rendered = consumed.load() >= queuedEnd.load() && idle.load();
          const Clock::time_point due = closeSoon.load() ? now : soundEnds + kIdleClose;
          if (now >= due && rendered) {
            Close(false);
          } else {
            next = now >= due ? now + kFadeCheck : due;
          }
        }
      }
      wl.lock();
      if (next == Clock::time_point::max()) {
        houseWake.wait(wl, [this] { return quit || kicked; });
      } else {
        houseWake.wait_until(wl, next, [this] { return quit || kicked; });
      }
    }
  }

  // Lets the last tone and its fade reach the device before it is closed.
  void Drain() {
    const Clock::time_point deadline = Clock::now() + kDrainLimit;
    while (Clock::now() < deadline) {
      const bool allRendered =
          Interrupted() || consumed.load(std::memory_order_acquire) >= queuedEnd.load();
      if (allRendered && idle.load(std::memory_order_acquire)) return;
      if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) return;
      std::unique_lock lock(wakeMutex);
      wake.wait_for(lock, kPollStep);
    }
  }
};

ToneService::ToneService() : impl_(std::make_unique<Impl>()) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // How the desktop's mixer lists the stream.
  SDL_SetHint(SDL_HINT_APP_NAME, "Zintrel");
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Zintrel");
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Tones");
  // SDL has no hint for the icon; the sound server's client library takes
  // extra properties from PULSE_PROP (a user's own setting wins).
  ::setenv("PULSE_PROP", "application.icon_name=zintrel", 0);
  Impl& impl = *impl_;
  {
    std::lock_guard lock(impl.deviceMutex);
    if (!impl.StartSdl()) {
      impl.SayOnce("no audio device found");
      impl.retryAt = Clock::now() + kRetry;
    } else {
      const char* driver = SDL_GetCurrentAudioDriver();
      impl.keepOpen = driver && std::strcmp(driver, "disk") == 0;
      if (impl.keepOpen) impl.Open(Clock::now());
    }
  }
  impl.housekeeper = std::thread([&impl] {
    pthread_setname_np(pthread_self(), "zintrel-audio");
    impl.Housekeep();
  });
}

ToneService::~ToneService() {
  Impl& impl = *impl_;
  {
    std::lock_guard lock(impl.wakeMutex);
    impl.quit = true;
  }
  impl.houseWake.notify_one();
  impl.housekeeper.join();
  std::lock_guard caller(impl.callerMutex);  // no Beep in progress
  std::lock_guard lock(impl.deviceMutex);
  if (impl.device != 0) {
    impl.Drain();
    SDL_CloseAudioDevice(impl.device);
    impl.device = 0;
  }
  impl.StopSdl();
}

void ToneService::Beep(std::int64_t hertz, std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  std::lock_guard lock(impl_->callerMutex);
  if (impl_->Interrupted()) return;
  impl_->Beep(hertz, milliseconds);
}

void ToneService::ExpectTone() {
  const std::int64_t now = NowNs();
  const std::int64_t previous = impl_->lastExpectNs.exchange(now, std::memory_order_relaxed);
  if (now - previous < std::chrono::nanoseconds(kExpectGap).count()) return;
  impl_->openWanted.store(true);
  impl_->Kick();
}

void ToneService::DropPendingTones() {
  impl_->dropRequests.fetch_add(1, std::memory_order_acq_rel);
  impl_->closeSoon.store(true);
  { std::lock_guard lock(impl_->wakeMutex); }
  impl_->wake.notify_all();  // a caller waiting for a dropped tone
  impl_->Kick();
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

std::uint64_t ToneService::GapSamples() const { return impl_->gapSamples.load(); }

bool ToneService::HasDevice() const { return impl_->sdlRunning.load(); }
bool ToneService::DeviceOpen() const { return impl_->deviceOpen.load(); }
int ToneService::SampleRate() const { return impl_->rate.load(); }
int ToneService::BufferFrames() const { return impl_->bufferFrames.load(); }

}  // namespace zintrel::platform
