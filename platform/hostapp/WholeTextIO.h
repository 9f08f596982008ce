// Reading and writing texts in one piece, so that a command never acts on part of its input and
// never leaves part of its output behind.
#pragma once

#include <string>
#include <string_view>

// Reads the whole file at `path`, or standard input for "-". False with a message that names
// the file otherwise.
bool ReadWholeText(const std::string& path, std::string& text, std::string& error);

// Writes `bytes` to standard output for an empty path or "-". Otherwise the file at `path` is
// replaced only once every byte is on disk: a temporary file beside it takes the bytes and is
// renamed over it. False with a message that names the file otherwise, and then neither the
// temporary file nor a changed `path` stays behind.
bool WriteWholeText(const std::string& path, std::string_view bytes, std::string& error);
