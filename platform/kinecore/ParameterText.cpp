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

// A whole number of at most 15 digits, most of a table in IU, appended as from_chars reads it
// ("-0" too) at a fraction of its cost; null, with nothing appended, for any other token.
const char* ReadWholeNumber(const char* at, const char* end, std::vector<double>& values) {
    const bool negative = at < end && *at == '-';
    const char* digit = at + negative;
    long long number = 0;
    const char* const longest = end - digit > 15 ? digit + 15 : end;
    for (; digit < longest && *digit >= '0' && *digit <= '9'; ++digit) {
        number = number * 10 + (*digit - '0');
    }
    if (digit == at + negative || (digit < end && !IsBlank(*digit))) return nullptr;
    const double value = static_cast<double>(number);
    values.push_back(negative ? -value : value);
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

// The entry's unit, count and values; a fault's message otherwise.
CString ReadArrayEntry(const Entry& entry, std::string_view key, const std::vector<CMC_Unit>& units,
                       int& unitIndex, std::vector<double>& values) {
    CString message;
    const std::string name = Key(key);
    const size_t colon = entry.value.find(':');
    if (!entry.hasUnit || entry.malformed || colon == std::string_view::npos) {
        message.Format("Parameter \"%s\" is not written as %s[unit]=count: values.", name.c_str(),
                       name.c_str());
        return message;
    }

    int unit = -1;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i].name == entry.unit) unit = static_cast<int>(i);
    }
    if (unit < 0) {
        message.Format("Parameter \"%s\" has the unit \"%s\", which the setup does not offer.",
                       name.c_str(), Quoted(entry.unit).c_str());
        return message;
    }

    const std::string_view countText = entry.value.substr(0, colon);
    long long count = 0;
    const char* countEnd = countText.data() + countText.size();
    const auto [countPtr, countError] = std::from_chars(countText.data(), countEnd, count);
    if (countText.empty() || countText.front() == '-' || countPtr != countEnd ||
        countError == std::errc::invalid_argument) {
        message.Format("Parameter \"%s\" has the count \"%s\", which is not a whole number.",
                       name.c_str(), Quoted(countText).c_str());
        return message;
    }
    if (countError == std::errc::result_out_of_range || count > INT_MAX) {
        message.Format("Parameter \"%s\" announces %s values, more than an array can hold.",
                       name.c_str(), Quoted(countText).c_str());
        return message;
    }

    const char* at = countEnd + 1;
    const char* end = entry.value.data() + entry.value.size();
    // Every value takes at least two characters, a blank and a digit: a count beyond that is
    // a cut-off or garbled text, and must not decide how much memory is taken.
    const long long room = (end - at) / 2 + 1;
    values.reserve(static_cast<size_t>(count < room ? count : room));
    for (long long i = 0; i < count; ++i) {
        while (at < end && IsBlank(*at)) ++at;
        if (at == end) {
            message.Format(
                "Parameter \"%s\" holds only %lld of the %lld values it announces; the text may "
                "be cut off.",
                name.c_str(), i, count);
            return message;
        }
        if (const char* next = ReadWholeNumber(at, end, values)) {
            at = next;
            continue;
        }
        double value = 0.0;
        const auto [ptr, ec] = std::from_chars(at, end, value);
        const bool whole = ptr != at && (ptr == end || IsBlank(*ptr));
        if (whole && ec == std::errc() && std::isfinite(value)) {
            values.push_back(value);
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
        return message;
    }
    while (at < end && IsBlank(*at)) ++at;
    if (at != end) {
        message.Format("Parameter \"%s\" holds more values than the %lld it announces.",
                       name.c_str(), count);
        return message;
    }
    unitIndex = unit;
    return message;
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
        message = ReadArrayEntry(entry, key, units, unitIndex, values);
        if (message.IsEmpty()) return message;
        values.clear();
    }
    if (const char* byte = FindBinary(entry.line)) return BinaryMessage(key, *byte);
    return message;
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
                 const std::vector<double>& values) {
    AppendArray(text, key, unit, values.size(), [&values](size_t i) { return values[i]; });
}

void AppendArray(CString& text, std::string_view key, std::string_view unit, size_t count,
                 const std::function<double(size_t)>& valueAt) {
    std::string& out = text.str();
    out.reserve(out.size() + key.size() + unit.size() + 32 + count * 25);
    AppendKey(out, key);
    out += '[';
    out.append(unit);
    out += "]=";
    AppendNumber(out, static_cast<long long>(count));
    out += ':';
    char buffer[kNumberTextSize];
    for (size_t i = 0; i < count; ++i) {
        out += ' ';
        out.append(FormatShortest(valueAt(i), buffer));
    }
    out += "\r\n";
}

}  // namespace parameter_text
