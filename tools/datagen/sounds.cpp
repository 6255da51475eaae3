// Match sounds: data/sound/m0.wav .. m6.wav, 22050 Hz 16-bit mono PCM,
// synthesised here so that every byte is reproducible:
//   m0 kick-off whistle, m1 half-time whistle, m2 final whistle,
//   m3 ball off the post, m4 goal cheer, m5 the home crowd's cheer that
//   follows a home goal, m6 the crowd's "oh" at a save.
// Noise comes from a private generator with fixed seeds, never from the
// game's own random numbers.
#include <algorithm>
#include <cmath>
#include <functional>

#include "datagen.h"

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Wave = std::vector<double>;

int Samples(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

// SplitMix64: a tiny generator of our own for the noise.
class Noise {
 public:
  explicit Noise(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
  double White() { return 2.0 * Uniform() - 1.0; }
  double Between(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

 private:
  uint64_t state_;
};

// Second-order filter (direct form I) with the usual audio-cookbook designs.
class Biquad {
 public:
  static Biquad BandPass(double freq, double q) {
    double w = 2 * kPi * freq / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    return Biquad(alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0);
  }
  static Biquad LowPass(double freq, double q) {
    double w = 2 * kPi * freq / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    return Biquad((1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  static Biquad HighPass(double freq, double q) {
    double w = 2 * kPi * freq / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    return Biquad((1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  double operator()(double x) {
    double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  Biquad(double b0, double b1, double b2, double a1, double a2) : b0_(b0), b1_(b1), b2_(b2), a1_(a1), a2_(a2) {}
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Attack-sustain-release envelope with raised-cosine edges (no clicks).
double Envelope(double t, double length, double attack, double release) {
  if (t < 0 || t >= length) return 0;
  if (t < attack) return 0.5 - 0.5 * std::cos(kPi * t / attack);
  if (t > length - release) return 0.5 - 0.5 * std::cos(kPi * (length - t) / release);
  return 1;
}

void MixAt(Wave& into, const Wave& part, double startSeconds, double gain = 1.0) {
  std::size_t start = static_cast<std::size_t>(Samples(startSeconds));
  if (into.size() < start + part.size()) into.resize(start + part.size(), 0.0);
  for (std::size_t i = 0; i < part.size(); ++i) into[start + i] += gain * part[i];
}

// One blast of a pea whistle: a bright tone whose pitch and loudness flutter
// as the pea spins, over a breath of filtered air. Kept soft: the tone sits
// at a moderate pitch and carries only a faint second harmonic.
Wave WhistleBlast(double seconds, double pitch, uint64_t seed) {
  Noise noise(seed);
  Biquad breath = Biquad::BandPass(pitch, 4.0);
  Biquad flutterSmooth = Biquad::LowPass(60, 0.7);
  Wave w(static_cast<std::size_t>(Samples(seconds)));
  double phase = 0;
  const double flutterRate = 31.0;  // turns of the pea per second
  for (std::size_t i = 0; i < w.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double jitter = flutterSmooth(noise.White());
    double rise = std::min(1.0, t / 0.05);  // the pitch settles as the breath builds
    double vibrato = std::sin(2 * kPi * flutterRate * t);
    double freq = pitch * (0.97 + 0.03 * rise) + 55.0 * vibrato + 40.0 * jitter;
    phase += 2 * kPi * freq / kRate;
    double tremolo = 0.78 + 0.22 * std::sin(2 * kPi * flutterRate * t + 1.3);
    double tone = std::sin(phase) + 0.12 * std::sin(2 * phase + 0.4);
    double air = breath(noise.White()) * 0.35;
    w[i] = Envelope(t, seconds, 0.025, 0.06) * (tremolo * tone + air);
  }
  return w;
}

Wave Whistle(const std::vector<std::pair<double, double>>& blasts, uint64_t seed) {
  Wave w;
  double at = 0.03;
  for (std::size_t k = 0; k < blasts.size(); ++k) {
    MixAt(w, WhistleBlast(blasts[k].first, 2350.0, seed + k), at);
    at += blasts[k].first + blasts[k].second;
  }
  w.resize(w.size() + static_cast<std::size_t>(Samples(0.05)), 0.0);
  return w;
}

// The ball strikes the post: a dull low thump with a short, muffled ring of
// the metal above it.
Wave PostThump() {
  Noise noise(0x9057);
  Biquad knock = Biquad::LowPass(900, 0.7);
  Wave w(static_cast<std::size_t>(Samples(0.45)));
  double phase = 0;
  const double rings[3][3] = {{523.0, 0.30, 9.0}, {1187.0, 0.14, 14.0}, {1731.0, 0.06, 20.0}};  // Hz, level, decay
  for (std::size_t i = 0; i < w.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double freq = 95.0 + 60.0 * std::exp(-t * 40.0);  // the thump drops in pitch
    phase += 2 * kPi * freq / kRate;
    double attack = std::min(1.0, t / 0.002);
    double thump = std::sin(phase) * std::exp(-t * 16.0);
    double click = knock(noise.White()) * std::exp(-t * 120.0) * 0.5;
    double ring = 0;
    for (const auto& r : rings) ring += r[1] * std::sin(2 * kPi * r[0] * t) * std::exp(-t * r[2]);
    w[i] = attack * (thump + click + ring) * Envelope(t, 0.45, 0.0005, 0.08);
  }
  return w;
}

// A crowd: many voices shouting a vowel at their own pitch, wavering and
// swelling, over a bed of breathy noise, with applause on top.
struct CrowdShape {
  double Seconds;
  int Voices;
  double Formants[3];  // vowel of the shout ("a", "o")
  double VoiceLevel, HissLevel, ClapLevel;
  double ClapsPerSecond;
  double RhythmHz;                      // 0: free applause; else claps gather on a beat
  std::function<double(double)> Swell;  // loudness over time, 0 .. 1
  uint64_t Seed;
};

Wave Crowd(const CrowdShape& c) {
  Noise noise(c.Seed);
  const std::size_t n = static_cast<std::size_t>(Samples(c.Seconds));
  Wave voices(n, 0.0), hiss(n, 0.0), claps(n, 0.0);

  // Voices: a rich buzz per person (a few harmonics), pitch wavering.
  for (int v = 0; v < c.Voices; ++v) {
    double f0 = noise.Between(120.0, 300.0);
    double rate = noise.Between(3.0, 6.5), depth = noise.Between(0.01, 0.04);
    double start = noise.Between(0.0, 0.25) * c.Seconds, level = noise.Between(0.5, 1.0);
    double drift = noise.Between(-0.08, 0.12);  // most voices rise as they shout
    double phase = noise.Between(0, 2 * kPi), lfo = noise.Between(0, 2 * kPi);
    for (std::size_t i = 0; i < n; ++i) {
      double t = static_cast<double>(i) / kRate;
      if (t < start) continue;
      double life = (t - start) / (c.Seconds - start);
      double f = f0 * (1 + drift * std::min(1.0, life * 3)) * (1 + depth * std::sin(2 * kPi * rate * t + lfo));
      phase += 2 * kPi * f / kRate;
      double buzz = std::sin(phase) + 0.6 * std::sin(2 * phase) + 0.4 * std::sin(3 * phase) +
                    0.25 * std::sin(4 * phase) + 0.15 * std::sin(5 * phase);
      voices[i] += level * buzz * Envelope(t - start, c.Seconds - start, 0.12, 0.3);
    }
  }
  Biquad f1 = Biquad::BandPass(c.Formants[0], 2.5), f2 = Biquad::BandPass(c.Formants[1], 3.0),
         f3 = Biquad::BandPass(c.Formants[2], 4.0);
  for (double& s : voices) s = f1(s) + 0.7 * f2(s) + 0.25 * f3(s);

  // Breath of the stand: pinkish noise, band-limited.
  Biquad hp = Biquad::HighPass(250, 0.7), lp = Biquad::LowPass(3500, 0.7);
  double b0 = 0, b1 = 0, b2 = 0;
  for (double& s : hiss) {
    double w = noise.White();
    b0 = 0.99765 * b0 + w * 0.0990460;
    b1 = 0.96300 * b1 + w * 0.2965164;
    b2 = 0.57000 * b2 + w * 1.0526913;
    s = lp(hp(b0 + b1 + b2 + w * 0.1848)) * 0.5;
  }

  // Applause: short bright bursts, one per clap.
  const std::size_t clapLength = static_cast<std::size_t>(Samples(0.012));
  const int clapCount = static_cast<int>(c.ClapsPerSecond * c.Seconds);
  for (int k = 0; k < clapCount; ++k) {
    double t = noise.Uniform() * c.Seconds;
    if (c.RhythmHz > 0 && noise.Uniform() < 0.7) {  // most hands keep the beat
      double beat = std::floor(t * c.RhythmHz) / c.RhythmHz;
      t = beat + noise.Between(0.0, 0.03);
    }
    std::size_t at = static_cast<std::size_t>(t * kRate);
    double level = noise.Between(0.3, 1.0), tone = noise.Between(0.2, 0.8);
    double last = 0;
    for (std::size_t j = 0; j < clapLength && at + j < n; ++j) {
      double x = noise.White();
      last = tone * last + (1 - tone) * x;  // each pair of hands sounds a little different
      claps[at + j] += level * (x - last) * std::exp(-static_cast<double>(j) / (clapLength / 4.0));
    }
  }
  // Hands sound round rather than sharp: keep the clap band, soften the top.
  Biquad clapBand = Biquad::BandPass(1500, 0.7), clapSoft = Biquad::LowPass(4500, 0.7);
  for (double& s : claps) s = clapSoft(clapBand(s));

  auto norm = [](Wave& w) {
    double peak = 1e-9;
    for (double s : w) peak = std::max(peak, std::abs(s));
    for (double& s : w) s /= peak;
  };
  norm(voices);
  norm(hiss);
  norm(claps);
  Wave out(n);
  for (std::size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / kRate;
    out[i] = c.Swell(t) * (c.VoiceLevel * voices[i] + c.HissLevel * hiss[i] + c.ClapLevel * claps[i]) *
             Envelope(t, c.Seconds, 0.02, 0.35);
  }
  return out;
}

double Smooth(double x) { return x <= 0 ? 0 : x >= 1 ? 1 : x * x * (3 - 2 * x); }

std::vector<int16_t> ToPcm(const Wave& w, double peakLevel) {
  double peak = 1e-9;
  for (double s : w) peak = std::max(peak, std::abs(s));
  std::vector<int16_t> pcm;
  pcm.reserve(w.size());
  for (double s : w) pcm.push_back(static_cast<int16_t>(std::lround(s / peak * peakLevel * 32767.0)));
  return pcm;
}

}  // namespace

std::vector<uint8_t> MakeWav16(int sampleRate, const std::vector<int16_t>& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + dataBytes);  // the header is 44 bytes; one allocation for the whole file
  // Byte by byte: GCC 12 at -O2 mistakes a four-byte range insert into the
  // growing vector for an overflow.
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
  };
  auto u16 = [&](uint32_t v) { PutLe16(b, v); };
  auto u32 = [&](uint32_t v) { PutLe32(b, v); };
  tag("RIFF");
  u32(36 + dataBytes);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<uint32_t>(sampleRate));
  u32(static_cast<uint32_t>(sampleRate * 2));
  u16(2);
  u16(16);
  tag("data");
  u32(dataBytes);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  return b;
}

void GenerateSounds(const std::string& outDir) {
  auto write = [&](int k, const Wave& w, double peakLevel) {
    WriteOutput(outDir + "/sound/m" + std::to_string(k) + ".wav", MakeWav16(kRate, ToPcm(w, peakLevel)));
  };
  // Whistles: one blast to start, two for half time, three for the end.
  write(0, Whistle({{0.55, 0}}, 0xA11), 0.5);
  write(1, Whistle({{0.30, 0.14}, {0.65, 0}}, 0xB22), 0.5);
  write(2, Whistle({{0.28, 0.14}, {0.28, 0.14}, {1.05, 0}}, 0xC33), 0.5);
  write(3, PostThump(), 0.55);

  // Goal: the roar jumps up at once and holds, then ebbs.
  CrowdShape goal{2.2,  48,   {730, 1150, 2500},
                  0.75, 0.45, 0.30,
                  220,  0,    [](double t) { return 0.55 + 0.45 * Smooth(t / 0.35) - 0.25 * Smooth((t - 1.4) / 0.8); },
                  0x601};
  write(4, Crowd(goal), 0.6);
  // The home end celebrates: applause on a beat over a warm "o" chant.
  CrowdShape home{
      1.7,  40, {520, 900, 2400}, 0.55, 0.35, 0.55, 260, 2.4, [](double t) { return 0.8 + 0.2 * Smooth(t / 0.2); },
      0x602};
  write(5, Crowd(home), 0.6);
  // A save: a short "oh" that rises and falls away.
  CrowdShape save{1.0,  36,  {450, 800, 2300},
                  0.8,  0.4, 0.0,
                  0,    0,   [](double t) { return Smooth(t / 0.18) * (1.0 - 0.7 * Smooth((t - 0.3) / 0.7)); },
                  0x603};
  write(6, Crowd(save), 0.5);
}
