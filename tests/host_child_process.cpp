#include "host_child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

extern char** environ;

namespace {

// An anonymous file: no pipe to drain while the child runs, nothing left behind.
int TemporaryFile() {
    FILE* file = std::tmpfile();
    if (!file) throw std::runtime_error("tmpfile failed");
    const int fd = dup(fileno(file));
    std::fclose(file);
    return fd;
}

std::string ReadBack(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[1 << 16];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, count);
    close(fd);
    return text;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& input) {
    const int in = TemporaryFile();
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        throw std::runtime_error("cannot write the child's input");
    }
    lseek(in, 0, SEEK_SET);
    const int out = TemporaryFile();
    const int err = TemporaryFile();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in);
    if (failed) throw std::runtime_error("cannot start " + program);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    ChildResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBack(out);
    result.err = ReadBack(err);
    return result;
}
