#include "ParameterText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "NumberText.h"

#ifdef _WIN32
// The C run-time of Windows has no memrchr.
static const void* memrchr(const void* bytes, int c, size_t size) {
    const auto* begin = static_cast<const unsigned char*>(bytes);
    for (const unsigned char* at = begin + size; at != begin;) {
        if (*--at == static_cast<unsigned char>(c)) return at;
    }
    return nullptr;
}
#endif

namespace parameter_text {

namespace {

// Messages quote at most this much of a bad value, so that a garbled text cannot flood them.
constexpr size_t kQuoteLimit = 40;

std::string Quoted(std::string_view text) {
    if (text.size() <= kQuoteLimit) return std::string(text);
    return std::string(text.substr(0, kQuoteLimit)) + "...";
}

std::string Key(std::string_view key) { return Quoted(key); }

bool IsBinary(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

// Finds a byte that no text editor would have written (a tab is fine).
const char* FindBinary(std::string_view line) {
    for (const char& ch : line) {
        if (IsBinary(static_cast<unsigned char>(ch))) return &ch;
    }
    return nullptr;
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

// A whole number of at most 15 digits, most of a table in IU, read as from_chars reads it ("-0"
// too) at a fraction of its cost; null for any other token.
const char* ReadWholeNumber(const char* at, const char* end, double& value) {
    const bool negative = at < end && *at == '-';
    const char* digit = at + negative;
    long long number = 0;
    const char* const longest = end - digit > 15 ? digit + 15 : end;
    for (; digit < longest && *digit >= '0' && *digit <= '9'; ++digit) {
        number = number * 10 + (*digit - '0');
    }
    if (digit == at + negative || (digit < end && !IsBlank(*digit))) return nullptr;
    value = negative ? -static_cast<double>(number) : static_cast<double>(number);
    return digit;
}

CString BinaryMessage(std::string_view key, char byte) {
    CString message;
    message.Format("Parameter \"%s\" contains binary data (byte 0x%02X).", Key(key).c_str(),
                   static_cast<unsigned char>(byte));
    return message;
}

// The checks that every entry without a unit shares.
Status CheckPlainEntry(const Entry& entry, std::string_view key, CString& message) {
    if (!entry.found) {
        message = MissingMessage(key);
        return Status::Missing;
    }
    if (const char* byte = FindBinary(entry.line)) {
        message = BinaryMessage(key, *byte);
        return Status::Bad;
    }
    if (entry.hasUnit || entry.malformed) {
        message.Format("Parameter \"%s\" takes no unit; it is written as %s=value.",
                       Key(key).c_str(), Key(key).c_str());
        return Status::Bad;
    }
    if (entry.value.empty()) {
        message.Format("Parameter \"%s\" has no value.", Key(key).c_str());
        return Status::Bad;
    }
    return Status::Ok;
}

void AppendKey(std::string& out, std::string_view key) { out.append(key); }

void AppendNumber(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace

Entry FindLast(std::string_view text, std::string_view key) {
    Entry entry;
    if (key.empty()) return entry;
    // From the end backwards: the first line that matches is the last one, and the keys after
    // a long array are found without a pass over its values.
    size_t end = text.size();
    for (;;) {
        // memrchr: rfind walks back a byte at a time.
        const auto* newline =
            end == 0 ? nullptr : static_cast<const char*>(memrchr(text.data(), '\n', end));
        const size_t start = newline ? static_cast<size_t>(newline - text.data()) + 1 : 0;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > key.size() && line.starts_with(key) &&
            (line[key.size()] == '=' || line[key.size()] == '[')) {
            entry.found = true;
            entry.line = line;
            if (line[key.size()] == '=') {
                entry.value = line.substr(key.size() + 1);
            } else {
                entry.hasUnit = true;
                const size_t close = line.find(']', key.size() + 1);
                if (close == std::string_view::npos || close + 1 >= line.size() ||
                    line[close + 1] != '=') {
                    entry.malformed = true;
                } else {
                    entry.unit = line.substr(key.size() + 1, close - key.size() - 1);
                    entry.value = line.substr(close + 2);
                }
            }
            return entry;
        }
        if (!newline) return entry;
        end = start - 1;
    }
}

CString MissingMessage(std::string_view key) {
    CString message;
    message.Format("Parameter \"%s\" is missing.", Key(key).c_str());
    return message;
}

CString AsHandedOut(CString message) {
    if (!message.IsEmpty()) message += "\r\n";
    return message;
}

Status ReadInteger(std::string_view text, std::string_view key, long long low, long long high,
                   long long& value, CString& message) {
    const Entry entry = FindLast(text, key);
    const Status status = CheckPlainEntry(entry, key, message);
    if (status != Status::Ok) return status;
    const char* end = entry.value.data() + entry.value.size();
    long long parsed = 0;
    const auto [ptr, ec] = std::from_chars(entry.value.data(), end, parsed);
    if (ptr != end || ec == std::errc::invalid_argument) {
        message.Format("Parameter \"%s\" has the value \"%s\", which is not a whole number.",
                       Key(key).c_str(), Quoted(entry.value).c_str());
        return Status::Bad;
    }
    if (ec == std::errc::result_out_of_range || parsed < low || parsed > high) {
        message.Format("Parameter \"%s\" has the value %s; it must lie from %lld to %lld.",
                       Key(key).c_str(), Quoted(entry.value).c_str(), low, high);
        return Status::OutOfRange;
    }
    value = parsed;
    message.Empty();
    return Status::Ok;
}

Status ReadWord(std::string_view text, std::string_view key, std::string_view& value,
                CString& message) {
    const Entry entry = FindLast(text, key);
    const Status status = CheckPlainEntry(entry, key, message);
    if (status != Status::Ok) return status;
    value = entry.value;
    message.Empty();
    return Status::Ok;
}

namespace {

enum class Outcome { Read, Fault, Stopped };

// Where the values read go: kept, or compared with those expected.
struct KeptValues {
    std::vector<double>& values;
    bool Accept(long long count, long long room) {
        values.reserve(static_cast<size_t>(count < room ? count : room));
        return true;
    }
    bool Add(double value) {
        values.push_back(value);
        return true;
    }
};

struct ComparedValues {
    std::span<const double> expected;
    size_t next = 0;
    bool Accept(long long count, long long) {
        return static_cast<unsigned long long>(count) == expected.size();
    }
    bool Add(double value) { return value == expected[next++]; }
};

// The entry's unit, count and values; a fault's message otherwise. Stopped when `sink` refuses
// the count or a value.
template <typename Sink>
Outcome ReadArrayEntry(const Entry& entry, std::string_view key, const std::vector<CMC_Unit>& units,
                       int& unitIndex, Sink& sink, CString& message) {
    const std::string name = Key(key);
    const size_t colon = entry.value.find(':');
    if (!entry.hasUnit || entry.malformed || colon == std::string_view::npos) {
        message.Format("Parameter \"%s\" is not written as %s[unit]=count: values.", name.c_str(),
                       name.c_str());
        return Outcome::Fault;
    }

    int unit = -1;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i].name == entry.unit) unit = static_cast<int>(i);
    }
    if (unit < 0) {
        message.Format("Parameter \"%s\" has the unit \"%s\", which the setup does not offer.",
                       name.c_str(), Quoted(entry.unit).c_str());
        return Outcome::Fault;
    }

    const std::string_view countText = entry.value.substr(0, colon);
    long long count = 0;
    const char* countEnd = countText.data() + countText.size();
    const auto [countPtr, countError] = std::from_chars(countText.data(), countEnd, count);
    if (countText.empty() || countText.front() == '-' || countPtr != countEnd ||
        countError == std::errc::invalid_argument) {
        message.Format("Parameter \"%s\" has the count \"%s\", which is not a whole number.",
                       name.c_str(), Quoted(countText).c_str());
        return Outcome::Fault;
    }
    if (countError == std::errc::result_out_of_range || count > INT_MAX) {
        message.Format("Parameter \"%s\" announces %s values, more than an array can hold.",
                       name.c_str(), Quoted(countText).c_str());
        return Outcome::Fault;
    }

    const char* at = countEnd + 1;
    const char* end = entry.value.data() + entry.value.size();
    // Every value takes at least two characters, a blank and a digit: a count beyond that is
    // a cut-off or garbled text, and must not decide how much memory is taken.
    if (!sink.Accept(count, (end - at) / 2 + 1)) return Outcome::Stopped;
    for (long long i = 0; i < count; ++i) {
        while (at < end && IsBlank(*at)) ++at;
        if (at == end) {
            message.Format(
                "Parameter \"%s\" holds only %lld of the %lld values it announces; the text may "
                "be cut off.",
                name.c_str(), i, count);
            return Outcome::Fault;
        }
        double value = 0.0;
        if (const char* next = ReadWholeNumber(at, end, value)) {
            if (!sink.Add(value)) return Outcome::Stopped;
            at = next;
            continue;
        }
        const auto [ptr, ec] = std::from_chars(at, end, value);
        const bool whole = ptr != at && (ptr == end || IsBlank(*ptr));
        if (whole && ec == std::errc() && std::isfinite(value)) {
            if (!sink.Add(value)) return Outcome::Stopped;
            at = ptr;
            continue;
        }
        const char* tokenEnd = at;
        while (tokenEnd < end && !IsBlank(*tokenEnd)) ++tokenEnd;
        const std::string token = Quoted(std::string_view(at, static_cast<size_t>(tokenEnd - at)));
        if (!whole || ec == std::errc::invalid_argument) {
            message.Format("Parameter \"%s\": value %lld (\"%s\") is not a number.", name.c_str(),
                           i + 1, token.c_str());
        } else if (ec == std::errc::result_out_of_range) {
            message.Format("Parameter \"%s\": value %lld (\"%s\") is out of range.", name.c_str(),
                           i + 1, token.c_str());
        } else {
            message.Format("Parameter \"%s\": value %lld (\"%s\") is not a finite number.",
                           name.c_str(), i + 1, token.c_str());
        }
        return Outcome::Fault;
    }
    while (at < end && IsBlank(*at)) ++at;
    if (at != end) {
        message.Format("Parameter \"%s\" holds more values than the %lld it announces.",
                       name.c_str(), count);
        return Outcome::Fault;
    }
    unitIndex = unit;
    return Outcome::Read;
}

// Written a piece at a time into a buffer of its own and appended from there: growing the
// text to the longest the values could take would write every byte of it twice.
class ArrayTextWriter {
public:
    explicit ArrayTextWriter(std::string& out) : m_out(out) {}
    ~ArrayTextWriter() { Flush(); }
    // Room for `size` more characters.
    char* Room(size_t size) {
        if (static_cast<size_t>(m_end - m_at) < size) Flush();
        return m_at;
    }
    void Advance(char* to) { m_at = to; }

private:
    void Flush() {
        m_out.append(m_buffer, m_at);
        m_at = m_buffer;
    }
    std::string& m_out;
    char m_buffer[1 << 14];
    char* m_at = m_buffer;
    char* const m_end = m_buffer + sizeof m_buffer;
};

// The key, unit and count, with room made for `count` values of about `width` characters. An
// array's text is often followed by another of as many values: the room is made for both.
void BeginArray(std::string& out, std::string_view key, std::string_view unit, size_t count,
                size_t width) {
    const size_t needed = out.size() + key.size() + unit.size() + 32 + count * width;
    if (out.capacity() < needed) out.reserve(needed + count * width);
    AppendKey(out, key);
    out += '[';
    out.append(unit);
    out += "]=";
    AppendNumber(out, static_cast<long long>(count));
    out += ':';
}

}  // namespace

CString ReadArray(std::string_view text, std::string_view key, const std::vector<CMC_Unit>& units,
                  int& unitIndex, std::vector<double>& values) {
    values.clear();
    const Entry entry = FindLast(text, key);
    if (!entry.found) return MissingMessage(key);
    // Numbers and blanks hold no binary byte, so a line read without a fault can hide one only in
    // its unit; any other binary byte makes a fault, and is then the one worth naming. This
    // spares a second pass over lines of millions of values.
    CString message;
    if (!FindBinary(entry.unit)) {
        KeptValues kept{values};
        if (ReadArrayEntry(entry, key, units, unitIndex, kept, message) == Outcome::Read) {
            return message;
        }
        values.clear();
    }
    if (const char* byte = FindBinary(entry.line)) return BinaryMessage(key, *byte);
    return message;
}

bool ArrayHolds(std::string_view text, std::string_view key, const std::vector<CMC_Unit>& units,
                std::span<const double> expected) {
    const Entry entry = FindLast(text, key);
    // A binary byte in the unit fails the read (ReadArray); elsewhere it fails it too.
    if (!entry.found || FindBinary(entry.unit)) return false;
    ComparedValues compared{expected};
    int unitIndex = 0;
    CString message;
    return ReadArrayEntry(entry, key, units, unitIndex, compared, message) == Outcome::Read;
}

void AppendInteger(CString& text, std::string_view key, long long value) {
    std::string& out = text.str();
    AppendKey(out, key);
    out += '=';
    AppendNumber(out, value);
    out += "\r\n";
}

void AppendWord(CString& text, std::string_view key, std::string_view word) {
    std::string& out = text.str();
    AppendKey(out, key);
    out += '=';
    out.append(word);
    out += "\r\n";
}

void AppendArray(CString& text, std::string_view key, std::string_view unit,
                 std::span<const double> values) {
    std::string& out = text.str();
    BeginArray(out, key, unit, values.size(), 12);
    {
        ArrayTextWriter writer(out);
        for (const double value : values) {
            char* at = writer.Room(kNumberTextSize + 1);
            *at++ = ' ';
            const std::string_view number = FormatShortest(value, at);
            writer.Advance(at + number.size());
        }
    }
    out += "\r\n";
}

void AppendArray(CString& text, std::string_view key, std::string_view unit,
                 std::span<const std::int32_t> values) {
    std::string& out = text.str();
    BeginArray(out, key, unit, values.size(), 12);
    {
        ArrayTextWriter writer(out);
        for (const std::int32_t value : values) {
            // FormatShortest writes a whole double as this integer.
            char* at = writer.Room(12);
            *at++ = ' ';
            writer.Advance(std::to_chars(at, at + 11, value).ptr);
        }
    }
    out += "\r\n";
}

}  // namespace parameter_text
