// The yardstick for translation: the least a program can do to turn translate_bench's motion
// into its PT program. It reads the file in one piece, parses the two arrays with
// std::from_chars, writes every line with std::to_chars (the shown values in the kernel's display
// text) into one buffer and puts that on disk as travex-host does.
// It knows only what that motion uses (the built-in setup's rot and s, no event, no host
// address) and refuses anything else; translate_bench checks that its output is byte for byte
// the program travex-host writes.
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NumberText.h"

namespace {

struct Array {
    std::string unit;
    double iuPerUnit = 0;
    std::vector<double> values;
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "translate_reference: %s\n", what);
    std::exit(2);
}

// The built-in setup's units that the benchmark's motion is shown in.
double IUPerUnit(std::string_view unit) {
    if (unit == "IU") return 1.0;
    if (unit == "rot") return 2000.0;
    if (unit == "s") return 1250.0;
    Fail("a unit other than IU, rot or s");
}

// The value of `key=` at the start of a line; the key must be there.
std::string_view Entry(std::string_view text, std::string_view key) {
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        if (line.starts_with(key)) return line.substr(key.size());
        at = end + 1;
    }
    Fail("a key is missing");
}

int Flag(std::string_view text, std::string_view key) {
    const std::string_view value = Entry(text, key);
    return !value.empty() && value.front() == '1';
}

// KEY[unit]=count: v0 v1 ...
Array ReadArray(std::string_view text, std::string_view key) {
    const std::string_view entry = Entry(text, key);
    const size_t close = entry.find("]=");
    if (entry.empty() || entry.front() != '[' || close == std::string_view::npos) {
        Fail("an array is not written as KEY[unit]=count: values");
    }
    Array array;
    array.unit = std::string(entry.substr(1, close - 1));
    array.iuPerUnit = IUPerUnit(array.unit);
    const char* at = entry.data() + close + 2;
    const char* end = entry.data() + entry.size();
    long count = 0;
    at = std::from_chars(at, end, count).ptr;
    if (at == end || *at != ':' || count < 2) Fail("an array's count is missing or too small");
    ++at;
    array.values.resize(static_cast<size_t>(count));
    for (double& value : array.values) {
        while (at < end && *at == ' ') ++at;
        const auto [ptr, ec] = std::from_chars(at, end, value);
        if (ec != std::errc()) Fail("an array holds fewer values than it announces");
        at = ptr;
    }
    return array;
}

char* Append(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// A value in its display unit as the kernel prints it: the shortest decimal that reads back to
// the same IU (NumberText.h), with a long array's conversion from the unit back to IU.
char* AppendShown(char* out, double iu, double iuPerUnit) {
    const auto toIU = [iuPerUnit](double value) {
        const double product = value * iuPerUnit;
        const double whole = NearestWhole(product);
        if (whole / iuPerUnit == value) return whole;
        return std::fabs(product - whole) <= kWholeCountTolerance ? whole : product;
    };
    const std::string_view text = FormatDisplayValue(iu, iu / iuPerUnit, toIU, out);
    return out + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[2], "-o") != 0) Fail("usage: MOTION -o PROGRAM");
    std::string text;
    {
        std::FILE* in = std::fopen(argv[1], "rb");
        if (!in) Fail("cannot read the motion");
        std::fseek(in, 0, SEEK_END);
        text.resize(static_cast<size_t>(std::ftell(in)));
        std::fseek(in, 0, SEEK_SET);
        if (std::fread(text.data(), 1, text.size(), in) != text.size()) Fail("short read");
        std::fclose(in);
    }
    const Array times = ReadArray(text, "ATIME");
    const Array positions = ReadArray(text, "TPOS");
    if (times.values.size() != positions.values.size()) Fail("arrays of different lengths");
    if (Flag(text, "Execute=")) Fail("an event");
    const size_t count = times.values.size();

    // A PTP line takes at most about 140 characters.
    // Uninitialised: only the pages written are ever touched.
    const auto buffer = std::make_unique_for_overwrite<char[]>(256 + count * 200);
    char* out = buffer.get();
    out = Append(out, Flag(text, "ClearBuffer=") ? "  SETPT 0xCF00; //Clear PT buffer\r\n"
                                                 : "  SETPT 0x4F00; //Leave PT buffer intact\r\n");
    out = Append(out, "  MODE PT; // Set PT Mode\r\n");
    out = Append(out, "  TUM1;//Start from actual value of position reference\r\n");
    out = Append(out, "  CPR;\r\n");
    std::int64_t previousPosition = 0;
    std::int64_t previousTime = 0;
    for (size_t i = 1; i < count; ++i) {
        const auto position = static_cast<std::int64_t>(positions.values[i]);
        const auto time = static_cast<std::int64_t>(times.values[i]);
        out = Append(out, "  PTP ");
        out = std::to_chars(out, out + 20, position - previousPosition).ptr;
        out = Append(out, "L, ");
        out = std::to_chars(out, out + 20, time - previousTime).ptr;
        out = Append(out, "U, 0; //PT(");
        out = AppendShown(out, positions.values[i], positions.iuPerUnit);
        *out++ = '[';
        out = Append(out, positions.unit);
        out = Append(out, i == 1 ? "], " : "],");
        out = AppendShown(out, times.values[i], times.iuPerUnit);
        *out++ = '[';
        out = Append(out, times.unit);
        out = Append(out, "])\r\n");
        if (i == 1) out = Append(out, "  UPD; //Execute immediate\r\n");
        previousPosition = position;
        previousTime = time;
    }
    if (Flag(text, "WaitForCompletion="))
        out = Append(out, "  !MC; WAIT!; //wait for completion\r\n");

    // Landed on disk as travex-host lands a program: whole or not at all, so a temporary file
    // beside it, flushed to the disk and renamed over it.
    std::string temporary = std::string(argv[3]) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) Fail("cannot write the program");
    const size_t size = static_cast<size_t>(out - buffer.get());
    for (size_t written = 0; written < size;) {
        const ssize_t count = write(fd, buffer.get() + written, size - written);
        if (count <= 0) Fail("cannot write the program");
        written += static_cast<size_t>(count);
    }
    if (fsync(fd) != 0 || close(fd) != 0 || rename(temporary.c_str(), argv[3]) != 0) {
        Fail("cannot write the program");
    }
    return 0;
}
