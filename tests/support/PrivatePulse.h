#pragma once

// A PulseAudio server of the test's own: a null sink ("zsink") that plays
// into nothing, its monitor recorded with parec, the open streams listed
// with pactl. It lives in a private runtime directory (mkdtemp) and this
// process's PULSE_SERVER points SDL, parec and pactl at it. The server is
// ended, and the directory removed, when the object goes.

#include <sys/types.h>

#include <string>

#include "tests/support/AudioCapture.h"

namespace zintrel::testing {

class PrivatePulse {
 public:
  static constexpr int kRate = 48000;

  // Starts the server and sets SDL_AUDIODRIVER=pulseaudio and PULSE_SERVER.
  PrivatePulse();
  ~PrivatePulse();
  PrivatePulse(const PrivatePulse&) = delete;
  PrivatePulse& operator=(const PrivatePulse&) = delete;

  // False (with the reason in Error()) when the server did not come up.
  bool Ready() const { return ready_; }
  const std::string& Error() const { return error_; }

  // Ends the server at once (SIGKILL), as a crashed or removed sound server.
  void Kill();
  // Starts it again on the same socket; waits until it answers.
  bool Restart();

  // What `pactl list sink-inputs` says: one block per open stream.
  std::string SinkInputs() const;
  int Streams() const;  // how many streams are open now

  // Records the null sink's monitor (float32 mono at kRate) until
  // StopRecording, which gives what was heard.
  bool StartRecording();
  AudioCapture StopRecording();

 private:
  bool Launch();
  std::string dir_;
  std::string error_;
  pid_t server_ = -1;
  pid_t recorder_ = -1;
  bool ready_ = false;
};

}  // namespace zintrel::testing
