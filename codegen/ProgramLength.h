// How much room a program takes, estimated before it is written so that a long program is built
// in one allocation.
#pragma once

#include <cstddef>

// The length to reserve for a program of `pointCount` points after a head of `headLength`
// characters, with unit names of `unitNamesLength` characters together. Taken in 64 bits, so
// that no count overflows it, and capped at the longest text a CString holds: a longer program
// still grows as it is written.
int ProgramLengthEstimate(int headLength, int pointCount, std::size_t unitNamesLength);
