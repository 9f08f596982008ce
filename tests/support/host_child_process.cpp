#include "host_child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
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

namespace {

std::vector<char*> ArgumentVector(const std::string& program,
                                  const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Starts the child with the three standard streams on `in`, `out` and `err`, as `user` when given.
pid_t Start(const std::string& program, const std::vector<std::string>& arguments, int in, int out,
            int err, const ChildUser* user) {
    std::vector<char*> argv = ArgumentVector(program, arguments);
    pid_t pid = 0;
    if (!user) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
        const int failed =
            posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed ? -1 : pid;
    }
    pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
            dup2(err, STDERR_FILENO) < 0 || setgroups(0, nullptr) != 0 || setgid(user->gid) != 0 ||
            setuid(user->uid) != 0) {
            _exit(126);
        }
        execve(program.c_str(), argv.data(), environ);
        _exit(127);
    }
    return pid;
}

ChildResult Run(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& input, const ChildUser* user) {
    const int in = TemporaryFile();
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        throw std::runtime_error("cannot write the child's input");
    }
    lseek(in, 0, SEEK_SET);
    const int out = TemporaryFile();
    const int err = TemporaryFile();
    const pid_t pid = Start(program, arguments, in, out, err, user);
    close(in);
    if (pid < 0) throw std::runtime_error("cannot start " + program);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    ChildResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBack(out);
    result.err = ReadBack(err);
    return result;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& input) {
    return Run(program, arguments, input, nullptr);
}

const ChildUser* Nobody() {
    static const ChildUser* const nobody = []() -> const ChildUser* {
        const passwd* entry = getpwnam("nobody");
        if (geteuid() != 0 || !entry || entry->pw_uid == 0) return nullptr;
        static const ChildUser user{entry->pw_uid, entry->pw_gid};
        return &user;
    }();
    return nobody;
}

ChildResult RunChildAs(const ChildUser& user, const std::string& program,
                       const std::vector<std::string>& arguments, const std::string& input) {
    return Run(program, arguments, input, &user);
}
