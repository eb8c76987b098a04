// Compile-time synthesis for the built-in sounds: oscillators, a fixed-seed
// noise source, filters and envelopes, all constexpr so the samples are
// computed by the compiler and come out the same on every build.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace synth {

constexpr double RATE = 8000.0;
constexpr double PI = 3.14159265358979323846;

constexpr double Floor(double x) {
    const double t = static_cast<double>(static_cast<long long>(x));
    return t > x ? t - 1.0 : t;
}
constexpr double Frac(double x) { return x - Floor(x); }
constexpr double Abs(double x) { return x < 0 ? -x : x; }
constexpr double Clamp(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }

// sin(2 pi turns) by a series, folded into a quarter turn; only used to
// fill the table below.
constexpr double SeriesSine(double turns) {
    double t = Frac(turns);
    if (t >= 0.5) t -= 1.0;
    if (t > 0.25) t = 0.5 - t;
    if (t < -0.25) t = -0.5 - t;
    const double x = t * 2.0 * PI;
    const double x2 = x * x;
    return x * (1 - x2 / 6 * (1 - x2 / 20 * (1 - x2 / 42 * (1 - x2 / 72 * (1 - x2 / 110 * (1 - x2 / 156))))));
}

constexpr int SINE_STEPS = 1024;
constexpr std::array<double, SINE_STEPS + 1> SINE_TABLE = [] {
    std::array<double, SINE_STEPS + 1> t{};
    for (int i = 0; i <= SINE_STEPS; ++i) t[i] = SeriesSine(static_cast<double>(i) / SINE_STEPS);
    return t;
}();

// sin(2 pi turns), interpolated from the table: far finer than 8 bits.
constexpr double Sine(double turns) {
    const double x = Frac(turns) * SINE_STEPS;
    const int k = static_cast<int>(x);
    return SINE_TABLE[k] + (x - k) * (SINE_TABLE[k + 1] - SINE_TABLE[k]);
}

// e^x by halving into the range where the series converges fast.
constexpr double Exp(double x) {
    int halvings = 0;
    while (Abs(x) > 0.125) {
        x /= 2;
        ++halvings;
    }
    double term = 1, sum = 1;
    for (int k = 1; k < 12; ++k) {
        term *= x / k;
        sum += term;
    }
    while (halvings-- > 0) sum *= sum;
    return sum;
}

// Natural logarithm by Newton's method on e^y = x (x > 0).
constexpr double Ln(double x) {
    double y = 0;
    for (int i = 0; i < 100; ++i) {
        const double e = Exp(y);
        const double step = 2 * (x - e) / (x + e);
        y += step;
        if (Abs(step) < 1e-15) break;
    }
    return y;
}

// A pitch glide that moves by equal musical steps: from * (to/from)^u.
struct Glide {
    double from, rate;
    constexpr Glide(double fromHz, double toHz) : from(fromHz), rate(Ln(toHz / fromHz)) {}
    constexpr double At(double u) const { return from * Exp(rate * Clamp(u, 0, 1)); }
};
constexpr double Lerp(double from, double to, double u) { return from + (to - from) * Clamp(u, 0, 1); }

// A phase that advances by the current frequency, so pitch can move freely.
struct Phase {
    double turns = 0;
    constexpr double Step(double hz) {
        const double now = turns;
        turns = Frac(turns + hz / RATE);
        return now;
    }
};

// Rounds off the jump a naive wave makes where its phase wraps past 0
// (polynomial band-limited step), so bright waves do not fold back into
// harsh aliases. dt is the phase advance per sample.
constexpr double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

constexpr double Saw(double turns, double hz) { return 2 * turns - 1 - Blep(turns, hz / RATE); }

// High for `duty` of each period; the mean is taken out.
constexpr double Pulse(double turns, double hz, double duty) {
    const double dt = hz / RATE;
    double v = turns < duty ? 1.0 : -1.0;
    v += Blep(turns, dt);
    v -= Blep(Frac(turns + 1 - duty), dt);
    return v - (2 * duty - 1);
}
constexpr double Square(double turns, double hz) { return Pulse(turns, hz, 0.5); }

// White noise from a 16-bit Galois shift register with a fixed seed.
struct Noise {
    std::uint16_t state = 0xACE1;
    constexpr double Next() {
        const bool out = state & 1u;
        state = static_cast<std::uint16_t>(state >> 1);
        if (out) state ^= 0xB400u;
        return out ? 1.0 : -1.0;
    }
};

// One-pole low-pass at cutoff hz.
struct LowPass {
    double a = 0, y = 0;
    constexpr explicit LowPass(double hz) : a(1 - Exp(-2 * PI * hz / RATE)) {}
    constexpr double Run(double x) { return y += a * (x - y); }
};

// Attack-hold-release shape over n samples: rises over `attack` samples,
// falls to zero over the last `release`.
constexpr double Shape(std::size_t i, std::size_t n, double attack, double release) {
    const double t = static_cast<double>(i);
    double e = 1;
    if (attack > 0 && t < attack) e = t / attack;
    const double left = static_cast<double>(n) - t;
    if (release > 0 && left < release) e *= Clamp(left / release, 0, 1);
    return e;
}

// Scales a wave so its largest excursion is `peak` levels from silence
// and rounds it to unsigned 8-bit.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> Quantise(const std::array<double, N> &wave, double peak) {
    double most = 0;
    for (double v : wave) most = Abs(v) > most ? Abs(v) : most;
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        const double v = most > 0 ? wave[i] * peak / most : 0;
        out[i] = static_cast<std::uint8_t>(Clamp(Floor(128.5 + v), 0, 255));
    }
    return out;
}

}  // namespace synth
