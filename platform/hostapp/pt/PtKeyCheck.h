// What the host knows of a PT motion's parameter text: the keys that the module and the kernel's
// event read, so that a misspelt key is pointed out instead of silently taken as absent, and a
// file that is no motion at all is told apart from one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The time limits, in IU, that the PT record puts on its time array when it reads a text.
inline constexpr double kPtMinTimeIU = 0;
inline constexpr double kPtMaxTimeIU = 2147483646;

struct UnknownMotionKey {
    int line = 0;         // counted from 1
    std::string key;      // as written, past 40 characters cut short with "..."
    std::string nearest;  // the known key it most likely means; empty when none is close
    bool isEntry = true;  // false: the line is no `Key=value` at all (`key` holds the line)
};

// The key of an entry line (`Key=...` or `Key[unit]=...`, its line end already taken off);
// empty for a blank line, a comment (`;`) and a line that is no entry.
std::string_view EntryKey(std::string_view line);

// A key that the module or the kernel's event reads.
bool IsPtMotionKey(std::string_view key);

// Every line that is no entry of a PT motion: an unknown key, or no `Key=value` at all. Blank
// lines and comments (`;`) are fine.
std::vector<UnknownMotionKey> FindUnknownMotionKeys(std::string_view text);

// Why a text with lines in it is no motion file (a line that is no entry, or no entry of a
// motion at all); empty for a motion, and for an empty text.
std::string WhyNotAMotion(std::string_view text);

// "travex-host: warning: NAME:LINE: "K" is no key of a PT motion; did you mean "N"?" on
// standard error, for the first few of them.
void WarnOfUnknownMotionKeys(std::string_view text, const std::string& name);

// Before `edit` replaces the file at `path` with what the editor writes: drops a byte-order
// mark from `text`, refuses a text that is no motion (with a hint to `travex-host defaults`),
// and warns of keys that no PT motion has. False with the message in `error`.
bool CheckMotionToEdit(const std::string& path, std::string& text, std::string& error);
