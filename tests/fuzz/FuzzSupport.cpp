#include <unistd.h>

#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "FuzzCheck.h"

int CheckProgram(const std::string& program) {
    int count = 0;
    for (size_t at = program.find("PTP "); at != std::string::npos;
         at = program.find("PTP ", at + 4)) {
        long long position = 0;
        long long time = 0;
        FUZZ_CHECK(std::sscanf(program.c_str() + at, "PTP %lldL, %lldU", &position, &time) == 2,
                   "a PTP line without its operands");
        FUZZ_CHECK(time >= 1 && time <= 65535, "a segment's time that the drive cannot run");
        FUZZ_CHECK(position >= -2147483647LL && position <= 2147483647LL,
                   "a position step beyond 32 bits");
        ++count;
    }
    return count;
}

namespace {

struct Scratch {
    std::filesystem::path path;
    Scratch() {
        path =
            std::filesystem::temp_directory_path() / ("travex-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::ofstream(path / "worked-example.txt") << "0 0\n2000 100\n5000 300\n";
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& ScratchFolder() {
    static const Scratch scratch;
    static const std::string path = scratch.path.string();
    return path;
}
