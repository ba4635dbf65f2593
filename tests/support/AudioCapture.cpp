#include "tests/support/AudioCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace zintrel::testing {

// The file is named in a directory only we can write to, so nothing can be
// planted under its name (a symlink, say) before SDL opens it for writing.
DiskAudioFile::DiskAudioFile(const std::string& name) : path_(dir_.File(name + ".raw")) {
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  // (With no directory the test has failed already: play into nothing.)
  ::setenv("SDL_DISKAUDIOFILE", path_.empty() ? "/dev/null" : path_.c_str(), 1);
}

DiskAudioFile::~DiskAudioFile() {
  ::unsetenv("SDL_DISKAUDIOFILE");
  // ZINTREL_KEEP_AUDIO=1 keeps the file for listening (sox -t f32 -r 48000 -c 1 ...).
  const char* keep = std::getenv("ZINTREL_KEEP_AUDIO");
  if (keep && *keep) {
    std::fprintf(stderr, "kept %s\n", path_.c_str());
    dir_.Keep();
  }
}

AudioCapture AudioCapture::Load(const std::string& path, int sampleRate) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read the audio file " << path;
    return AudioCapture({}, sampleRate);
  }
  in.seekg(0, std::ios::end);
  const auto bytes = static_cast<std::size_t>(in.tellg());
  in.seekg(0);
  std::vector<float> samples(bytes / sizeof(float));
  in.read(reinterpret_cast<char*>(samples.data()),
          static_cast<std::streamsize>(samples.size() * sizeof(float)));
  return AudioCapture(std::move(samples), sampleRate);
}

AudioCapture::AudioCapture(std::vector<float> samples, int sampleRate)
    : samples_(std::move(samples)), rate_(sampleRate > 0 ? sampleRate : 1) {}

float AudioCapture::Peak() const {
  float peak = 0.0f;
  for (float s : samples_) peak = std::max(peak, std::fabs(s));
  return peak;
}

float AudioCapture::Level() const {
  const float peak = Peak();
  std::vector<float> loud;
  for (float s : samples_) {
    if (std::fabs(s) >= peak / 2.0f) loud.push_back(std::fabs(s));
  }
  if (loud.empty()) return 0.0f;
  std::nth_element(loud.begin(), loud.begin() + static_cast<std::ptrdiff_t>(loud.size() / 2),
                   loud.end());
  return loud[loud.size() / 2];
}

std::vector<Sound> AudioCapture::Sounds(float threshold) const {
  if (threshold <= 0.0f) threshold = Level() / 2.0f;
  std::vector<Sound> sounds;
  if (threshold <= 0.0f) return sounds;
  // The wave itself dips below the threshold where it changes sign: for a
  // sample or two in a square wave, for longer in a tone near half the
  // sample rate, whose samples beat. A dip shorter than 1 ms is no silence.
  const std::size_t bridge = std::max<std::size_t>(4, static_cast<std::size_t>(rate_ / 1000));
  bool open = false;
  std::size_t lastLoud = 0;
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    const float magnitude = std::fabs(samples_[i]);
    if (magnitude < threshold) continue;
    if (open && i - lastLoud <= bridge) {
      Sound& s = sounds.back();
      s.length = i + 1 - s.start;
      s.peak = std::max(s.peak, magnitude);
    } else {
      sounds.push_back(Sound{i, 1, magnitude});
      open = true;
    }
    lastLoud = i;
  }
  for (Sound& s : sounds) {
    for (std::size_t i = s.start; i < s.start + s.length; ++i) {
      s.peak = std::max(s.peak, std::fabs(samples_[i]));
    }
  }
  return sounds;
}

std::vector<double> AudioCapture::ZeroCrossings(const Sound& sound) const {
  std::vector<double> crossings;
  const std::size_t end = std::min(samples_.size(), sound.start + sound.length);
  const float hysteresis = sound.peak * 0.1f;
  int side = 0;             // -1 below, +1 above, 0 not yet known
  double candidate = -1.0;  // last sign change towards the other side
  for (std::size_t i = sound.start; i < end; ++i) {
    const float x = samples_[i];
    if (i > sound.start) {
      const float prev = samples_[i - 1];
      if ((prev >= 0.0f) != (x >= 0.0f)) {
        candidate = static_cast<double>(i - 1) + prev / (prev - x);
      }
    }
    if (side <= 0 && x > hysteresis) {
      if (side < 0 && candidate >= 0.0) crossings.push_back(candidate);
      side = 1;
    } else if (side >= 0 && x < -hysteresis) {
      if (side > 0 && candidate >= 0.0) crossings.push_back(candidate);
      side = -1;
    }
  }
  return crossings;
}

double AudioCapture::Hertz(const Sound& sound) const {
  const double margin = rate_ / 1000.0;
  std::vector<double> inside;
  for (double c : ZeroCrossings(sound)) {
    if (c >= sound.start + margin && c <= sound.start + sound.length - margin) inside.push_back(c);
  }
  if (inside.size() < 2) return 0.0;
  const double halfPeriods = static_cast<double>(inside.size() - 1);
  return halfPeriods / (2.0 * (inside.back() - inside.front())) * rate_;
}

}  // namespace zintrel::testing
