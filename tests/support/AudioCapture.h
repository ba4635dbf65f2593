#pragma once

// Listening to what Zintrel played. SDL's `disk` audio driver writes every
// sample the tone service renders, unchanged and in real time, to a raw file:
// 32-bit float, native byte order, one channel, at the rate the tone service
// reports (ToneService::SampleRate(); 48000 with the disk driver). The file is
// complete once the device is closed (the ToneService destroyed, or the
// program ended).

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/ScratchDir.h"

namespace zintrel::testing {

// Points SDL's audio at a fresh raw file for as long as it lives: sets
// SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE in this process's environment
// (so child processes inherit them too). The file lives in a directory of
// its own made by mkdtemp, removed with it at the end.
// Set it up before the audio device is opened.
class DiskAudioFile {
 public:
  explicit DiskAudioFile(const std::string& name);
  ~DiskAudioFile();
  DiskAudioFile(const DiskAudioFile&) = delete;
  DiskAudioFile& operator=(const DiskAudioFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  ScratchDir dir_;
  std::string path_;
};

// One stretch of sound between silences.
struct Sound {
  std::size_t start = 0;   // first sample at or above the threshold
  std::size_t length = 0;  // samples, up to the last one at or above it
  float peak = 0.0f;       // largest magnitude within
};

class AudioCapture {
 public:
  // Reads a raw float32 mono file. An unreadable file fails the current test
  // and gives an empty capture.
  static AudioCapture Load(const std::string& path, int sampleRate);
  AudioCapture(std::vector<float> samples, int sampleRate);

  const std::vector<float>& Samples() const { return samples_; }
  int SampleRate() const { return rate_; }
  double Milliseconds(double samples) const { return samples * 1000.0 / rate_; }
  float Peak() const;  // largest magnitude in the whole capture
  // The level of the loud part: the median magnitude of the samples at or
  // above half the peak. For a band-limited square wave that is its flat
  // top, below the overshoot at its edges.
  float Level() const;

  // The stretches of sound, in order: runs of samples whose magnitude is at
  // least `threshold` (0: half of Level()), joined across dips shorter than
  // 1 ms (those of the wave itself). Fades of a tone's ends count
  // from where they cross the threshold, so a tone of N samples with
  // symmetric fades measures N (+/- 1) samples. Empty when all is silent.
  std::vector<Sound> Sounds(float threshold = 0.0f) const;

  // Where the wave crosses zero within `sound`, as fractional sample
  // positions (linear interpolation; a small hysteresis ignores ripple).
  std::vector<double> ZeroCrossings(const Sound& sound) const;
  // Fundamental frequency in hertz from the zero crossings, skipping the
  // first and last millisecond (the fades). 0 with fewer than two crossings.
  double Hertz(const Sound& sound) const;

 private:
  std::vector<float> samples_;
  int rate_;
};

}  // namespace zintrel::testing
