// Runs a program as a separate process and collects what it leaves: exit status, standard
// output and standard error, byte for byte.
#pragma once

#include <string>
#include <vector>

struct ChildResult {
    int exitStatus = -1;  // -1 when the child did not exit normally (a signal)
    std::string out;
    std::string err;
};

// `input` becomes the child's standard input. The child runs in the current directory.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& input = "");
