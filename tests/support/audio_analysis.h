#pragma once

#include "audio/midi_note_player.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace lirra::test {

constexpr double rate = 44100;

// The length of a number of beats at the player's tempo, in frames.
inline double beatsInFrames(double beats)
{
    return MIDINotePlayer::secondsForBeats(beats) * rate;
}

inline double keyFrequency(double key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// Power of one frequency in `length` samples, Hann-windowed (Goertzel);
// `sample(i)` is the i-th of them.
template <typename Sample>
double windowedPower(Sample sample, std::int64_t length, double frequency, double sampleRate)
{
    const double w = 2.0 * std::numbers::pi * frequency / sampleRate;
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::int64_t i = 0; i < length; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(length - 1));
        const double s = sample(i) * window + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// Power of one frequency in a stretch of the mixed-down stereo recording.
inline double power(const std::vector<float> &stereo, std::int64_t from, std::int64_t length, double frequency)
{
    const auto sample = [&](std::int64_t i) {
        const std::int64_t frame = from + i;
        if (frame < 0 || size_t(frame * 2 + 1) >= stereo.size())
            return 0.0;
        return 0.5 * (stereo[size_t(frame * 2)] + stereo[size_t(frame * 2 + 1)]);
    };
    return windowedPower(sample, length, frequency, rate);
}

// How much a key's fundamental grew from just before `onset` to just after it.
inline double attackPower(const std::vector<float> &stereo, std::int64_t onset, int key)
{
    constexpr std::int64_t window = 16384;
    const double f = keyFrequency(key);
    return power(stereo, onset + 441, window, f) - power(stereo, onset - window, window, f);
}

// Whether a key sounds after `onset`: its frequency stands well above the
// quarter tones on either side, whatever else is sounding.
inline bool sounds(const std::vector<float> &stereo, std::int64_t onset, int key)
{
    constexpr std::int64_t window = 16384;
    const auto at = [&](double semitones) {
        return power(stereo, onset + 441, window, keyFrequency(key) * std::pow(2.0, semitones / 12.0));
    };
    return at(0) > 4 * std::max(at(-0.5), at(0.5));
}

// The fundamental near `key` in a stretch of a mono signal, in cents from
// the key's equal-tempered pitch: the Hann-windowed spectrum is read every
// cent within a semitone either side, and the peak placed between its
// neighbours by a parabola through the three (in decibels). A stretch of
// 0.3 s or more resolves a pure or a harmonic-rich tone to within a cent.
inline double centsFrom(const std::vector<float> &mono, double sampleRate, std::int64_t from, std::int64_t length, int key)
{
    const auto sample = [&](std::int64_t i) {
        const std::int64_t frame = from + i;
        return frame >= 0 && size_t(frame) < mono.size() ? double(mono[size_t(frame)]) : 0.0;
    };
    const auto powerAt = [&](double cents) {
        return windowedPower(sample, length, keyFrequency(key) * std::pow(2.0, cents / 1200.0), sampleRate);
    };
    int best = -100;
    double bestPower = -1;
    std::vector<double> powers(201);
    for (int cents = -100; cents <= 100; ++cents) {
        powers[size_t(cents + 100)] = powerAt(cents);
        if (powers[size_t(cents + 100)] > bestPower) {
            bestPower = powers[size_t(cents + 100)];
            best = cents;
        }
    }
    if (best == -100 || best == 100)
        return double(best);
    const auto db = [&](int cents) { return 10.0 * std::log10(std::max(powers[size_t(cents + 100)], 1e-30)); };
    const double a = db(best - 1), b = db(best), c = db(best + 1);
    const double denominator = a - 2 * b + c;
    return double(best) + (denominator == 0 ? 0.0 : 0.5 * (a - c) / denominator);
}

// The left and right channels of a stereo recording, mixed down.
inline std::vector<float> mono(const std::vector<float> &stereo)
{
    std::vector<float> mixed(stereo.size() / 2);
    for (size_t i = 0; i < mixed.size(); ++i)
        mixed[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    return mixed;
}

// The first frame at or after `from` where two recordings differ, or -1.
inline std::int64_t firstDifference(const std::vector<float> &a, const std::vector<float> &b, std::int64_t from = 0)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = size_t(from) * 2; i < n; ++i) {
        if (a[i] != b[i])
            return std::int64_t(i / 2);
    }
    return -1;
}

inline float peak(const std::vector<float> &stereo, std::int64_t from, std::int64_t to)
{
    float result = 0;
    for (std::int64_t i = from * 2; i < to * 2 && size_t(i) < stereo.size(); ++i)
        result = std::max(result, std::fabs(stereo[size_t(i)]));
    return result;
}

} // namespace lirra::test
