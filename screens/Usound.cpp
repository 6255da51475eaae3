#include "screens/Usound.h"

#include "club/Ufile.h"
#include "club/Upaths.h"

#ifdef VANTOREL_HAVE_SDL2
#include <SDL2/SDL.h>
#endif

TSoundPlayer::TSoundPlayer() {
#ifdef VANTOREL_HAVE_SDL2
  // SDL would otherwise take over SIGINT and SIGTERM and turn them into
  // events nobody reads: Ctrl+C and kill must still end the game.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  SDL_AudioSpec want{}, have{};
  want.freq = 22050;
  want.format = AUDIO_S16LSB;
  want.channels = 1;
  want.samples = 1024;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ != 0) {
    bytesPerMs_ = 22050 * 2 / 1000;
    SDL_PauseAudioDevice(device_, 0);
  }
#endif
}

TSoundPlayer::~TSoundPlayer() {
#ifdef VANTOREL_HAVE_SDL2
  if (device_ != 0) SDL_CloseAudioDevice(device_);
#endif
}

void TSoundPlayer::LoadMatchSounds() {
  waves_.clear();
  for (int k = 0; k < 7; ++k) {
    std::string path = ShippedPath("sound/m" + std::to_string(k) + ".wav");
    std::vector<uint8_t> file = ReadWholeFile(path, 16u << 20);
    Wave w;
#ifdef VANTOREL_HAVE_SDL2
    SDL_AudioSpec wav{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (!SDL_LoadWAV_RW(rw, 1, &wav, &buf, &len)) throw FileError(path, "音声ファイルを読めません");
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, AUDIO_S16LSB, 1, 22050) < 0) {
      SDL_FreeWAV(buf);
      throw FileError(path, "対応していない音声形式です");
    }
    std::vector<uint8_t> work(static_cast<std::size_t>(len) * static_cast<std::size_t>(cvt.len_mult));
    std::copy(buf, buf + len, work.begin());
    SDL_FreeWAV(buf);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(len);
    if (cvt.needed) SDL_ConvertAudio(&cvt);
    work.resize(static_cast<std::size_t>(cvt.needed ? cvt.len_cvt : static_cast<int>(len)));
    w.ms = static_cast<int>(work.size() / (22050 * 2 / 1000));
    w.pcm = std::move(work);
#else
    if (file.size() < 44 || std::string(file.begin(), file.begin() + 4) != "RIFF")
      throw FileError(path, "音声ファイルを読めません");
#endif
    waves_.push_back(std::move(w));
  }
}

int TSoundPlayer::Play(int k) {
#ifdef VANTOREL_HAVE_SDL2
  if (device_ == 0 || k < 0 || k >= static_cast<int>(waves_.size())) return 0;
  const Wave& w = waves_[k];
  SDL_QueueAudio(device_, w.pcm.data(), static_cast<Uint32>(w.pcm.size()));
  return PendingMs();
#else
  (void)k;
  return 0;
#endif
}

int TSoundPlayer::PendingMs() const {
#ifdef VANTOREL_HAVE_SDL2
  if (device_ == 0 || bytesPerMs_ == 0) return 0;
  return static_cast<int>(SDL_GetQueuedAudioSize(device_) / static_cast<Uint32>(bytesPerMs_));
#else
  return 0;
#endif
}

void TSoundPlayer::Stop() {
#ifdef VANTOREL_HAVE_SDL2
  if (device_ != 0) SDL_ClearQueuedAudio(device_);
#endif
}
