#pragma once
// Day counts, the time arguments of the ephemeris series, the obliquity of the
// ecliptic and sidereal time. Dates are Gregorian with the every-fourth-year
// leap rule; the day scale is valid for 1901..2099.

#include "astro/DateTime.h"

namespace tavik {

// Integer day count on a 1900-based scale (1975-01-01 is 27425, 2000-01-01 is 36556).
int DayNumber(int year, int month, int day);

// DayNumber of the second date minus DayNumber of the first.
int DaysBetween(int y1, int m1, int d1, int y2, int m2, int d2);

// Julian years since 1975 January 0.0 UT (1974-12-31 00:00), with a small clock
// correction. Takes a UT date-time; the hour is used at face value (may exceed 23).
double EphemerisYears(const DateTime& ut);

// Julian centuries from 2000-01-01 12:00 UT. The hour is used at face value.
double JulianCenturies(const DateTime& ut);

// Mean obliquity of the ecliptic for a date, radians. The last date asked for
// and its value are cached; the cache may be used from several threads at once.
double Obliquity(int year, int month, int day);

// Greenwich mean sidereal time at 0h UT of the UT date, radians, not reduced.
double SiderealAtMidnight(int year, int month, int day);

// Local sidereal time (radians, not reduced) at the site for the view's local
// civil time: east longitude in signed whole degrees and minutes (west
// negative), zone offset in hours ahead of UT. Seconds are not used.
double LocalSiderealTime(const DateTime& local, int zoneOffsetHours, int lonDegrees, int lonMinutes);

// -(degrees + minutes/60) in radians: the negated east longitude.
double LongitudeRadians(int degrees, int minutes);
// (degrees + minutes/60) in radians: the north latitude.
double LatitudeRadians(int degrees, int minutes);

}  // namespace tavik
