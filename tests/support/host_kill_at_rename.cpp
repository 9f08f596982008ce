// Put in front of travex-host with LD_PRELOAD: the process is killed (SIGKILL, as the OOM
// killer or a power cut would end it) just before its rename number TRAVEX_KILL_AT_RENAME,
// whether by name or relative to a folder held open.
#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>

namespace {

void KillWhenItIsTime() {
    static int count = 0;
    const char* killAt = std::getenv("TRAVEX_KILL_AT_RENAME");
    if (killAt && ++count == std::atoi(killAt)) raise(SIGKILL);
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
    KillWhenItIsTime();
    using Rename = int (*)(const char*, const char*);
    static const auto system = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return system(from, to);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    KillWhenItIsTime();
    using RenameAt = int (*)(int, const char*, int, const char*);
    static const auto system = reinterpret_cast<RenameAt>(dlsym(RTLD_NEXT, "renameat"));
    return system(fromFolder, from, toFolder, to);
}
