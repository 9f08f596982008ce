// Reads numbers from the start of a text the way "%d" and "%lf" scans do: white space skipped,
// anything after the number ignored. Unlike a scan, an out-of-range number is well-defined:
// an integer saturates, a floating-point number becomes infinite. Independent of the locale.
#pragma once

// How many of `count` numbers, separated by white space, were read into `values`. `end`, when
// the caller knows it, is where the text's terminating NUL lies, which spares looking for it.
int ScanDoubles(const char* text, double* values, int count, const char* end = nullptr);
// True when an integer was read.
bool ScanInt(const char* text, int& value);
