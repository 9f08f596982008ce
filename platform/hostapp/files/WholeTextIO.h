// Reading and writing texts in one piece, so that a command never acts on part of its input and
// never leaves part of its output behind.
#pragma once

#include <string>
#include <string_view>

#include "files/WholeOutputs.h"

// The most that a text input (a motion, setup, script or points file) may hold: a hundred times
// a 1,000,000-point motion, and an end to /dev/zero or a log named by mistake.
inline constexpr size_t kMaxInputBytes = size_t{256} << 20;

// Reads the whole file at `path`, or standard input for "-". False with a message that names
// the file otherwise, also for one larger than kMaxInputBytes.
bool ReadWholeText(const std::string& path, std::string& text, std::string& error);

// ReadWholeText on a file already open; `name` is how messages name it.
bool ReadWholeTextFrom(int fd, const std::string& name, std::string& text, std::string& error);

// Drops a UTF-8 byte-order mark from the start of `text`, which some editors put there and
// which would otherwise hide the first key or number. True when there was one.
bool SkipByteOrderMark(std::string& text);

// How messages name an input: its path, or "standard input" for "-".
inline std::string InputName(const std::string& path) {
    return path == "-" ? "standard input" : path;
}
