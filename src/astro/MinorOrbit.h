#pragma once
// Comets and asteroids: two-body (Keplerian) motion about the Sun from
// osculating elements, and the geocentric J2000 place, distances and apparent
// magnitude of such a body at a moment.
//
// One solver serves every eccentricity: Kepler's equation written in the
// universal anomaly with Stumpff functions, measured from perihelion, so that
// ellipses, the parabola and hyperbolas meet without a seam at e = 1. Time is
// Terrestrial Time as a Julian date; a UT moment is taken as TT (the ~70 s
// between them move a nearby comet by a few arc seconds at most).

#include <string>

#include "astro/DateTime.h"
#include "astro/Transforms.h"

namespace tavik {

// Gaussian gravitational constant (AU^3/2 per day, solar mass 1).
inline constexpr double kGaussK = 0.01720209895;
// Light time for one AU, days.
inline constexpr double kLightDaysPerAu = 0.0057755183;
// Mean obliquity of the ecliptic of J2000.0, radians (23 deg 26' 21.448").
inline constexpr double kObliquityJ2000 = 0.40909280422232897;

// Osculating elements of a heliocentric orbit, referred to an ecliptic and
// equinox (J2000 for the Minor Planet Center's files).
struct OrbitalElements {
    double perihelionJd = 0;   // T: time of perihelion passage, Julian date (TT)
    double q = 1;              // perihelion distance, AU (> 0)
    double e = 0;              // eccentricity (>= 0)
    double argPerihelion = 0;  // omega, radians
    double node = 0;           // longitude of the ascending node, radians
    double inclination = 0;    // radians
};

// Where Kepler's equation puts a body, in its orbital plane: x towards the
// perihelion, y 90 degrees further along the motion, and r; the velocity
// (AU per day) along the same axes.
struct OrbitPlanePosition {
    double x;
    double y;
    double r;
    double anomaly;  // the universal anomaly that solved the equation
    double vx;
    double vy;
};

// Solves Kepler's equation for dt days after perihelion (negative before) and
// returns the position in the orbital plane. Converges for every e >= 0 and
// q > 0, also with e a hair either side of 1; never loops for ever.
OrbitPlanePosition SolveKepler(double q, double e, double dt);

// The residual of Kepler's universal equation for a solution, in days
// (sqrt(mu) * dt - q chi - e chi^3 S(z), divided by sqrt(mu)): how well a
// solution satisfies it.
double KeplerResidual(double q, double e, double dt, double anomaly);

// An orbit ready to be evaluated many times: the orientation of its plane is
// computed once.
class KeplerOrbit {
public:
    // Elements referred to the J2000 ecliptic.
    explicit KeplerOrbit(const OrbitalElements& elements);
    // Elements referred to another frame: eclipticToJ2000 turns a vector of
    // that frame's ecliptic into the J2000 equator (e.g. B1950 elements).
    KeplerOrbit(const OrbitalElements& elements, const Matrix3& eclipticToJ2000);

    // Heliocentric position in the ecliptic frame of the elements, AU.
    Vector3 EclipticPosition(double jd) const;
    // Heliocentric position in the J2000 equatorial frame, AU.
    Vector3 EquatorialPosition(double jd) const;
    // The same with the velocity, AU per day.
    void EquatorialState(double jd, Vector3& position, Vector3& velocity) const;

    const OrbitalElements& Elements() const { return elements_; }

private:
    OrbitalElements elements_;
    Vector3 pEcl_{}, qEcl_{};  // perihelion and 90-degree directions, elements' ecliptic
    Vector3 pEq_{}, qEq_{};    // the same in the J2000 equator
};

// The observer's side of a moment, shared by all bodies: the Julian date and
// the Earth's heliocentric J2000 equatorial position, from the engine's own Sun.
struct MinorObserver {
    double jd = 0;
    Vector3 earth{};  // AU
};
MinorObserver ObserverAt(const DateTime& ut);
// Julian date of a UT moment.
double JulianDate(const DateTime& ut);

// A geocentric place with light time: J2000 right ascension in [0, 2 pi) and
// declination, the distances from the Earth and the Sun, and the phase angle
// (Sun-body-Earth) for the magnitude.
struct GeocentricPlace {
    Spherical j2000;
    double delta;       // AU
    double r;           // AU
    double phaseAngle;  // radians
};
GeocentricPlace PlaceOf(const KeplerOrbit& orbit, const MinorObserver& observer);

// Magnitude laws. Comets: total magnitude g + 5 log delta + 2.5 k log r.
double CometMagnitude(double g, double k, double delta, double r);
// Asteroids: the H, G system (two-parameter phase function of 1985).
double AsteroidMagnitude(double h, double slopeG, double delta, double r, double phaseAngle);

enum class MinorKind { Comet, Asteroid };

// One comet or asteroid as read from an element file.
struct MinorBody {
    MinorKind kind = MinorKind::Asteroid;
    std::string designation;  // "1P", "C/2020 F3", "(1)", "2004 MN4"
    std::string name;         // "Halley", "Ceres" (may be empty)
    double epochJd = 0;       // osculation epoch, Julian date (0 when not given)
    // Comets: g and k; asteroids: H and G.
    double magnitude = 0;
    double slope = 0;
    KeplerOrbit orbit{OrbitalElements{}};

    // Label for lists and the command line: the name when it has one, else the
    // designation; a numbered asteroid as "(1) Ceres", a comet as "1P/Halley".
    std::string Label() const;
};

// Where a minor body stands for an observer, with its apparent magnitude.
struct MinorPlace {
    Spherical j2000;
    double delta;
    double r;
    double magnitude;
};
MinorPlace MinorBodyPlace(const MinorBody& body, const MinorObserver& observer);

}  // namespace tavik
