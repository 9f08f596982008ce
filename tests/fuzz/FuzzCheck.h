// What the fuzz targets share: an oracle that stops the run with its reason, and the pieces of a
// host that the module needs in-process.
#pragma once

#include <DriveSetup.h>
#include <HostResources.h>
#include <MC_Motion.h>
#include <afxrestable.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "plugin/TravexApp.h"

// A broken promise of the code under test: libFuzzer keeps the input that led here.
#define FUZZ_CHECK(condition, what)                                                         \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)

// The host as the module sees it: the built-in setup, a motion, both resource tables.
struct FuzzHost {
    CModuleResources hostResources{HostResourceTable()};
    CModuleResources moduleResources{TravexResourceTable()};
    std::unique_ptr<CDriveSetup> setup = CDriveSetup::CreateDefault();
    CMC_Motion motion{*setup};
};

inline std::string InputText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Checks the program of an accepted motion: every PTP line moves on in time by 1 to 65535 IU
// and in position by no more than 32 bits hold, as a drive runs it; returns the PTP count.
int CheckProgram(const std::string& program);

// A scratch folder of this process, removed at exit, holding the worked example's points file.
const std::string& ScratchFolder();
