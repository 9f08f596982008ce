#include "ExitStatus.h"

#include <cstdio>

int ReportFailure(const char* message) {
    std::fprintf(stderr, "travex-host: %s\n", message);
    return kExitFailure;
}
