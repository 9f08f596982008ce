// Put in front of travex-host with LD_PRELOAD: the process is killed (SIGKILL, as the OOM
// killer or a power cut would end it) just before its rename number TRAVEX_KILL_AT_RENAME.
#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>

extern "C" int rename(const char* from, const char* to) {
    static int count = 0;
    const char* killAt = std::getenv("TRAVEX_KILL_AT_RENAME");
    if (killAt && ++count == std::atoi(killAt)) raise(SIGKILL);
    using Rename = int (*)(const char*, const char*);
    static const auto system = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return system(from, to);
}
