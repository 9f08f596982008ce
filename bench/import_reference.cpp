// The yardstick for import: the least a program can do to turn import_bench's points file into
// a motion. It reads the file in one piece, parses the two numbers of each line with
// std::from_chars, and writes the two arrays of whole IU with std::to_chars into one buffer,
// put on disk as travex-host does. It knows only that file's form (position<TAB>time in IU, a
// point a line) and refuses anything else.
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "import_reference: %s\n", what);
    std::exit(2);
}

char* Append(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* AppendArray(char* out, std::string_view key, const std::vector<double>& values) {
    out = Append(out, key);
    out = std::to_chars(out, out + 20, values.size()).ptr;
    *out++ = ':';
    for (const double value : values) {
        *out++ = ' ';
        out = std::to_chars(out, out + 24, static_cast<long long>(std::nearbyint(value))).ptr;
    }
    return Append(out, "\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[2], "-o") != 0) Fail("usage: POINTS -o MOTION");
    std::string text;
    {
        std::FILE* in = std::fopen(argv[1], "rb");
        if (!in) Fail("cannot read the points");
        std::fseek(in, 0, SEEK_END);
        text.resize(static_cast<size_t>(std::ftell(in)));
        std::fseek(in, 0, SEEK_SET);
        if (std::fread(text.data(), 1, text.size(), in) != text.size()) Fail("short read");
        std::fclose(in);
    }
    std::vector<double> times{0.0};
    std::vector<double> positions{0.0};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (at < end) {
        double position = 0;
        double time = 0;
        auto read = std::from_chars(at, end, position);
        if (read.ec != std::errc() || read.ptr == end || *read.ptr != '\t')
            Fail("not POS<TAB>TIME");
        read = std::from_chars(read.ptr + 1, end, time);
        if (read.ec != std::errc()) Fail("not POS<TAB>TIME");
        at = read.ptr + (read.ptr != end && *read.ptr == '\n');
        positions.push_back(position);
        times.push_back(time);
    }

    const auto buffer = std::make_unique_for_overwrite<char[]>(256 + times.size() * 50);
    char* out = buffer.get();
    out = Append(out, "ClearBuffer=1\r\nStartPoint=0\r\n");
    out = AppendArray(out, "ATIME[IU]=", times);
    out = AppendArray(out, "TPOS[IU]=", positions);
    out = Append(out, "Execute=0\r\nWaitForCompletion=1\r\n");

    // Landed on disk as travex-host lands a motion: a temporary file beside it, flushed to the
    // disk and renamed over it.
    std::string temporary = std::string(argv[3]) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) Fail("cannot write the motion");
    const size_t size = static_cast<size_t>(out - buffer.get());
    for (size_t written = 0; written < size;) {
        const ssize_t count = write(fd, buffer.get() + written, size - written);
        if (count <= 0) Fail("cannot write the motion");
        written += static_cast<size_t>(count);
    }
    if (fsync(fd) != 0 || close(fd) != 0 || rename(temporary.c_str(), argv[3]) != 0) {
        Fail("cannot write the motion");
    }
    return 0;
}
