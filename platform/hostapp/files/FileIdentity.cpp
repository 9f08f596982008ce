#include "files/FileIdentity.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

bool IsSameFile(const std::string& first, const std::string& second) {
    for (const std::string* path : {&first, &second}) {
        if (path->empty() || *path == "-") return false;
    }
    struct stat a {};
    struct stat b {};
    const bool firstExists = stat(first.c_str(), &a) == 0;
    const bool secondExists = stat(second.c_str(), &b) == 0;
    if (firstExists && secondExists) {
        // Devices (/dev/null twice) and pipes take any number of writers.
        if (!S_ISREG(a.st_mode) && !S_ISDIR(a.st_mode)) return false;
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    if (firstExists != secondExists) return false;
    // From the root, so that "new.ptm" and "./new.ptm" resolve through the same folders.
    const auto resolved = [](const std::string& path) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
        const std::filesystem::path real = std::filesystem::weakly_canonical(absolute, failed);
        return failed ? absolute.lexically_normal() : real;
    };
    return resolved(first) == resolved(second);
}

bool RefuseSameFile(const char* firstRole, const std::string& first, const char* secondRole,
                    const std::string& second) {
    if (!IsSameFile(first, second)) return true;
    std::fprintf(stderr, "travex-host: %s (%s) and %s (%s) are the same file; nothing was done\n",
                 firstRole, first.c_str(), secondRole, second.c_str());
    return false;
}
