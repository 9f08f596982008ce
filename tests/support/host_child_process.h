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

// The user "nobody", for what root may do and others may not; null where the process cannot
// become another user (it is not root, or there is no such user).
struct ChildUser {
    unsigned uid = 0;
    unsigned gid = 0;
};
const ChildUser* Nobody();

// RunChild as `user`, with no supplementary groups.
ChildResult RunChildAs(const ChildUser& user, const std::string& program,
                       const std::vector<std::string>& arguments, const std::string& input = "");
