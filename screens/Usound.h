// Sound: plays in-memory wave files through SDL2 audio. Without an audio
// device (or without SDL2) everything is silent and nothing fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TSoundPlayer {
 public:
  TSoundPlayer();
  ~TSoundPlayer();
  TSoundPlayer(const TSoundPlayer&) = delete;
  TSoundPlayer& operator=(const TSoundPlayer&) = delete;

  // Loads "data/sound/m0.wav" .. "m6.wav". A missing or unreadable file
  // raises FileError naming it.
  void LoadMatchSounds();
  // Queues sound k behind what is playing. Returns the milliseconds until
  // everything queued has been heard (0 when silent).
  int Play(int k);
  // Milliseconds of sound still queued.
  int PendingMs() const;
  void Stop();
  bool HasDevice() const { return device_ != 0; }

 private:
  struct Wave {
    std::vector<uint8_t> pcm;  // converted to the device's format
    int ms = 0;
  };
  std::vector<Wave> waves_;
  uint32_t device_ = 0;
  int bytesPerMs_ = 0;
};
