// A long valid motion for the benchmarks, written through the kernel's own writers so that the
// file is what a host would store.
#pragma once

#include <string>

// `count` points: times strictly increasing by 1.6 to 800 IU (well inside the 65535 IU step
// limit, and never two times in one whole IU), positions wandering over several revolutions
// with fractional IU, so that readers parse real numbers and the generator truncates them.
// Past about 2.7 million points the steps shrink, so that the last time stays within the
// 2147483646 IU that a time may reach.
std::string LongMotionText(int count);
