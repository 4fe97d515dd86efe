#pragma once
// The population of comets and asteroids the benchmarks place and draw.

#include <random>
#include <vector>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"

namespace tavik::bench {

// A main-belt-like population with one comet in ten on a near-parabolic or
// hyperbolic orbit, all with perihelia spread over decades.
inline std::vector<MinorBody> Population(int count) {
    std::mt19937 rng(10000);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<MinorBody> bodies;
    bodies.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        OrbitalElements el;
        MinorBody b;
        if (i % 10 == 0) {
            b.kind = MinorKind::Comet;
            el.q = 0.2 + 4 * u(rng);
            el.e = 0.9 + 0.2 * u(rng);
        } else {
            el.e = 0.3 * u(rng);
            el.q = (2.1 + 1.2 * u(rng)) * (1 - el.e);
        }
        el.perihelionJd = 2461000.0 + (u(rng) - 0.5) * 20000;
        el.argPerihelion = kTwoPi * u(rng);
        el.node = kTwoPi * u(rng);
        el.inclination = 0.5 * u(rng);
        b.magnitude = 10 + 6 * u(rng);
        b.slope = b.kind == MinorKind::Comet ? 4.0 : 0.15;
        b.orbit = KeplerOrbit(el);
        bodies.push_back(std::move(b));
    }
    return bodies;
}

}  // namespace tavik::bench
