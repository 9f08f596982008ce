// Reading and writing texts in one piece, so that a command never acts on part of its input and
// never leaves part of its output behind.
#pragma once

#include <string>
#include <string_view>

#include "WholeOutputs.h"

// Reads the whole file at `path`, or standard input for "-". False with a message that names
// the file otherwise.
bool ReadWholeText(const std::string& path, std::string& text, std::string& error);

// Drops a UTF-8 byte-order mark from the start of `text`, which some editors put there and
// which would otherwise hide the first key or number. True when there was one.
bool SkipByteOrderMark(std::string& text);

// How messages name an input: its path, or "standard input" for "-".
inline std::string InputName(const std::string& path) {
    return path == "-" ? "standard input" : path;
}
