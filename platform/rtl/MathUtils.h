// Rounding, scaling and the pseudo-random generator of the runtime library.
#pragma once

#include "platform/rtl/System.h"

// Nearest integer, halves to even: Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2.
// Values beyond the Int64 range (and NaN) give the Int64 minimum, as the FPU's invalid result.
Int64 Round(double X);
// Toward zero; same out-of-range rule as Round.
Int64 Trunc(double X);
// Fractional part with the sign of X: Frac(-1.25) = -0.25.
double Frac(double X);
// Integer part toward zero, as a double.
double Int(double X);
// Smallest integer >= X and largest integer <= X.
int Ceil(double X);
int Floor(double X);

// Number * Numerator / Denominator with a 64-bit intermediate, rounded to nearest (halves
// away from zero). -1 when Denominator is 0 or the result does not fit 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

// State of the generator. Setting it repeats a sequence. Random steps it atomically, so
// threads may draw at once; set it while no other thread draws.
extern Integer RandSeed;
// Seeds the generator from the clock.
void Randomize();
// Next value in 0..Range-1; 0 when Range <= 0 (the generator still steps).
//   RandSeed := RandSeed * 134775813 + 1 (32-bit wrap); result = (Cardinal(RandSeed) * Range) >> 32
int Random(int Range);
// Next value in [0, 1): Cardinal(RandSeed) / 2^32 after stepping the generator.
double Random();
