// The long motion that the benchmarks work on, and its parameter text.
#pragma once

#include <string>
#include <vector>

struct LongMotion {
    std::vector<double> times;      // IU
    std::vector<double> positions;  // IU
};

// A valid motion of `count` points: times strictly increasing by 1.6 to 800 IU (well inside
// the 65535 IU step limit, and never two times in one whole IU), positions wandering over
// several revolutions with fractional IU, so that the reader parses real numbers and the
// generator truncates them. Past about 2.7 million points the steps shrink, so that the last
// time stays within the 2147483646 IU that a time may reach.
LongMotion MakeLongMotion(int count);

// The motion's parameter text on the built-in setup, written through the kernel's own writers,
// so that it is what a host would store.
std::string MotionText(const LongMotion& motion);
