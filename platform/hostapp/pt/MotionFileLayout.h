// A motion file is more than the parameter text that the module writes: the user's comments,
// blank lines, keys that no PT motion has, and the file's line ends. When the editor hands back
// a new text, these stay where they stood, so that an edit changes only what was edited.
#pragma once

#include <string>
#include <string_view>

// `written` (the module's new text) laid out as `original` was: a comment or blank line stays
// above the key it stood above, lines after the last key stay at the end, an entry keeps its
// place with its new value, an unknown key is kept as it was, and the lines take the file's
// line end. A key that `written` no longer has goes (its comments stay); a key that is new goes
// after the key that precedes it in `written`.
std::string KeepMotionFileLayout(std::string_view original, std::string_view written);
