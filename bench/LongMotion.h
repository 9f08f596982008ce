// A long valid motion for the benchmarks, written through the kernel's own writers so that the
// file is what a host would store.
#pragma once

#include <string>

// `count` points: times strictly increasing by 0.8 to 800 IU (well inside the 65535 IU step
// limit), positions wandering over several revolutions with fractional IU, so that readers
// parse real numbers and the generator truncates them.
std::string LongMotionText(int count);
