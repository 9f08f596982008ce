#include "files/ExitStatus.h"

#include <cstdio>
#include <string_view>

int ReportFailure(const char* message) {
    std::fprintf(stderr, "travex-host: %s\n", message);
    return kExitFailure;
}

int ReportRefusal(const char* errorText) {
    std::string_view rest = errorText ? errorText : "";
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
    do {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    } while (!rest.empty());
    return kExitRefused;
}
