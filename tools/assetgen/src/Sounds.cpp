// Short synthesized effects. Each is a sum of a few voices with their own
// envelopes; a fixed-seed noise source keeps the bytes the same every run.
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "Art.h"
#include "Canvas.h"
#include "Output.h"

namespace tovrik::assetgen {
namespace {

constexpr float kTau = 2 * std::numbers::pi_v<float>;

using Samples = std::vector<float>;

Samples Silence(float seconds) { return Samples(static_cast<std::size_t>(seconds * kSampleRate), 0.0f); }

float Noise(std::size_t i, int seed) { return Hash(static_cast<int>(i), 0, seed) * 2 - 1; }

// A tone whose pitch glides from f0 to f1, with an exponential decay.
void Tone(Samples& s, float start, float length, float f0, float f1, float gain, float decay, float harmonics = 0) {
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  const auto count = static_cast<std::size_t>(length * kSampleRate);
  if (s.size() < first + count) s.resize(first + count, 0.0f);
  float phase = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float f = f0 + (f1 - f0) * (t / length);
    phase += kTau * f / kSampleRate;
    const float attack = std::min(1.0f, t / 0.004f);
    const float release = std::min(1.0f, (length - t) / 0.01f);
    const float env = attack * release * std::exp(-decay * t);
    s[first + i] += gain * env * (std::sin(phase) + harmonics * std::sin(2 * phase) * 0.5f + harmonics * std::sin(3 * phase) * 0.25f);
  }
}

// Filtered noise burst: the body of knocks and whooshes.
void Burst(Samples& s, float start, float length, float gain, float decay, float smoothing, int seed) {
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  const auto count = static_cast<std::size_t>(length * kSampleRate);
  if (s.size() < first + count) s.resize(first + count, 0.0f);
  float low = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    low += (Noise(i, seed) - low) * smoothing;
    s[first + i] += gain * low * std::exp(-decay * t) * std::min(1.0f, (length - t) / 0.01f);
  }
}

Samples Knock(float pitch, float body) {
  Samples s;
  Tone(s, 0, 0.16f, pitch, pitch * 0.92f, 0.55f, 38, 0.6f);
  Tone(s, 0, 0.08f, pitch * 2.7f, pitch * 2.5f, 0.2f, 70);
  Burst(s, 0, 0.05f, body, 90, 0.5f, 11);
  return s;
}

Samples Notes(std::initializer_list<std::pair<float, float>> notes, float step, float gain, float decay) {
  Samples s;
  float at = 0;
  for (auto [freq, beats] : notes) {
    if (freq > 0) Tone(s, at, step * beats + 0.15f, freq, freq, gain, decay, 0.5f);
    at += step * beats;
  }
  return s;
}

float Midi(int key) { return 440.0f * std::pow(2.0f, static_cast<float>(key - 69) / 12.0f); }

Samples Normalised(Samples s) {
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::abs(v));
  if (peak > 0)
    for (float& v : s) v = v / peak * 0.85f;
  return s;
}

std::map<std::string_view, std::function<Samples()>> Effects() {
  return {
      {"start.wav", [] { return Notes({{Midi(67), 1}, {Midi(72), 1}, {Midi(76), 1}, {Midi(79), 2}}, 0.09f, 0.4f, 5); }},
      {"myturn.wav", [] { return Notes({{Midi(76), 1}, {Midi(81), 2}}, 0.08f, 0.4f, 8); }},
      {"select.wav", [] { Samples s; Tone(s, 0, 0.06f, 1400, 1700, 0.5f, 40); return s; }},
      {"fire.wav",
       [] {
         Samples s;
         Burst(s, 0, 0.22f, 0.9f, 14, 0.25f, 3);
         Tone(s, 0, 0.12f, 220, 110, 0.4f, 25);
         return s;
       }},
      {"hitstone.wav", [] { return Knock(620, 0.6f); }},
      {"hithinge.wav", [] { return Knock(260, 0.9f); }},
      {"drop.wav", [] { Samples s; Tone(s, 0, 0.45f, 900, 160, 0.5f, 4, 0.3f); return s; }},
      {"powerup.wav", [] { Samples s; Tone(s, 0, 0.5f, 200, 900, 0.5f, 2, 0.8f); return s; }},
      {"change.wav", [] { return Notes({{Midi(72), 1}, {Midi(79), 1}, {Midi(84), 1}}, 0.06f, 0.4f, 10); }},
      {"teleport.wav",
       [] {
         Samples s;
         for (int i = 0; i < 6; ++i) Tone(s, static_cast<float>(i) * 0.04f, 0.1f, 600 + 150.0f * static_cast<float>(i), 900 + 150.0f * static_cast<float>(i), 0.3f, 20);
         return s;
       }},
      {"nuclear.wav", [] { Samples s; Tone(s, 0, 0.6f, 880, 440, 0.4f, 3, 0.9f); Tone(s, 0.3f, 0.3f, 880, 440, 0.3f, 6, 0.9f); return s; }},
      {"change_ef.wav", [] { Samples s; Tone(s, 0, 0.4f, 500, 1500, 0.4f, 5); Burst(s, 0, 0.4f, 0.2f, 6, 0.8f, 5); return s; }},
      {"teleport_ef.wav", [] { Samples s; Tone(s, 0, 0.5f, 1800, 300, 0.4f, 4, 0.4f); Tone(s, 0.05f, 0.45f, 1500, 250, 0.2f, 5); return s; }},
      {"nuclear_ef.wav",
       [] {
         Samples s;
         Burst(s, 0, 1.2f, 1.0f, 3, 0.05f, 9);
         Tone(s, 0, 1.0f, 90, 40, 0.8f, 3);
         return s;
       }},
      {"win.wav",
       [] { return Notes({{Midi(72), 1}, {Midi(76), 1}, {Midi(79), 1}, {Midi(84), 2}, {Midi(79), 1}, {Midi(84), 3}}, 0.12f, 0.35f, 3); }},
      {"lose.wav", [] { return Notes({{Midi(64), 2}, {Midi(62), 2}, {Midi(60), 2}, {Midi(55), 4}}, 0.16f, 0.35f, 2.5f); }},
      {"invite.wav", [] { return Notes({{Midi(84), 1}, {Midi(88), 1}, {Midi(84), 1}, {Midi(88), 2}}, 0.08f, 0.35f, 8); }},
      {"click.wav", [] { Samples s; Tone(s, 0, 0.03f, 2000, 1800, 0.5f, 120); Burst(s, 0, 0.015f, 0.4f, 200, 0.9f, 2); return s; }},
      {"whisper.wav", [] { return Notes({{Midi(88), 1}, {Midi(93), 2}}, 0.07f, 0.3f, 10); }},
      {"pcbang_in.wav", [] { return Notes({{Midi(79), 1}, {Midi(83), 1}, {Midi(86), 2}}, 0.1f, 0.35f, 6); }},
      {"PCRoom.wav", [] { return Notes({{Midi(72), 1}, {Midi(77), 1}, {Midi(81), 1}, {Midi(84), 3}}, 0.12f, 0.35f, 3); }},
      {"PCRoom_Basic.wav", [] { return Notes({{Midi(67), 1}, {Midi(72), 1}, {Midi(76), 3}}, 0.12f, 0.35f, 3); }},
      {"PCRoom_Plus.wav", [] { return Notes({{Midi(72), 1}, {Midi(76), 1}, {Midi(79), 1}, {Midi(84), 1}, {Midi(88), 3}}, 0.1f, 0.35f, 3); }},
  };
}

std::vector<std::uint8_t> Music(bool first) {
  // Registered by the sound manager but never started: a short calm phrase.
  std::vector<MidiNote> notes;
  const int scale[] = {60, 62, 64, 67, 69, 72, 69, 67, 64, 62, 60, 64};
  for (int i = 0; i < 12; ++i)
    notes.push_back({i * 96, 90, (first ? 0 : -5) + scale[i], 80});
  return MidiBytes(first ? 0 : 11, 600000, notes);
}

}  // namespace

std::vector<std::uint8_t> SoundFile(std::string_view name) {
  if (name == "music01.mid") return Music(true);
  if (name == "music02.mid") return Music(false);
  static const auto effects = Effects();
  const auto it = effects.find(name);
  if (it == effects.end()) return {};
  Samples s = Normalised(it->second());
  Samples tail = Silence(0.02f);
  s.insert(s.end(), tail.begin(), tail.end());
  return WaveBytes(s);
}

}  // namespace tovrik::assetgen
