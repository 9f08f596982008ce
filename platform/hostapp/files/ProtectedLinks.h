// The rule that Linux applies with fs.protected_symlinks, which many machines leave off: a link
// in a folder that anyone may write and only owners may delete from (sticky, like /tmp) is
// followed only for its own owner or the folder's. Another user could plant such a link to make
// an output replace a file that the user never named.
//
// An output's place is found once, each folder on the way held open and each link read from
// the link itself, so that the folder checked is the folder written: a link swapped in after
// the check is never followed, as every later step works relative to the held folder.
#pragma once

#include <string>

struct OutputPlace {
    int folder = -1;         // the folder, held open (O_PATH); the caller closes it
    std::string folderPath;  // the folder as a path from the root, for messages
    std::string name;        // the file's name in it
    // The file itself, held open (O_PATH), where a link of /proc (/dev/stdout) leads to what
    // has no folder of its own, such as a pipe or a terminal; -1 otherwise.
    int object = -1;
};

// Finds where `path` lands, following the links that the rule allows; a link at the end is
// followed to the file it points to, and replaced itself when it points to nothing. 0 on
// success, else the errno that says why; where a link is one that the rule forbids, that link
// as a path from the root goes into `forbiddenLink` and the result is EPERM.
int FindOutputPlace(const std::string& path, OutputPlace& place, std::string& forbiddenLink);

// The folder `path` ("" for the current one), found in the same way, with an empty name.
int OpenOutputFolder(const std::string& path, OutputPlace& place, std::string& forbiddenLink);

// Closes what `place` holds.
void ReleaseOutputPlace(OutputPlace& place);
