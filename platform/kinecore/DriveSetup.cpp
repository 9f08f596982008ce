#include "DriveSetup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SetupReader.h"

namespace {

const std::vector<CMC_Unit> kInternalUnitOnly = {{"IU", 1.0}};

}  // namespace

CDriveSetup::CDriveSetup() : m_positionUnits(kInternalUnitOnly), m_timeUnits(kInternalUnitOnly) {}

CDriveSetup::~CDriveSetup() = default;

const char* CDriveSetup::DefaultSetupText() {
    // Kept byte for byte equal to examples/setups/rotary-drive.ini.
    return "; comments start with ; or #\n"
           "[Setup]\n"
           "Name=Rotary drive, 500-line encoder\n"
           "MotionController=0\n"
           "[Options]\n"
           "IsClosedPosition=1\n"
           "[Variables]\n"
           "; NAME=type (int, uint, long, fixed)\n"
           "PVTBUFBEGIN=int\n"
           "PVTBUFLEN=int\n"
           "TPOS=long\n"
           "ATIME=long\n"
           "MASTERID=int\n"
           "[PositionUnits]\n"
           "; unit=IU per unit, a number or a fraction; the first listed is the default unit\n"
           "rot=2000\n"
           "IU=1\n"
           "deg=2000/360\n"
           "rad=2000/6.283185307179586\n"
           "[TimeUnits]\n"
           "s=1250\n"
           "IU=1\n"
           "ms=1.25\n";
}

std::unique_ptr<CDriveSetup> CDriveSetup::CreateDefault() {
    CString error;
    auto setup = LoadFromText(DefaultSetupText(), "built-in setup", error);
    if (!setup) std::abort();  // the built-in text is a constant; the tests keep it valid
    return setup;
}

std::unique_ptr<CDriveSetup> CDriveSetup::LoadFromFile(const char* path, CString& error) {
    const char* name = path ? path : "";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name, "rb"), std::fclose);
    if (!file) {
        error.Format("%s: the setup file cannot be opened (%s).", name, std::strerror(errno));
        return nullptr;
    }
    std::string content;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        content.append(buffer, count);
    }
    // A directory opens like a file and fails only here.
    if (std::ferror(file.get())) {
        error.Format("%s: the setup file cannot be read (%s).", name, std::strerror(errno));
        return nullptr;
    }
    return LoadFromText(content, name, error);
}

std::unique_ptr<CDriveSetup> CDriveSetup::LoadFromText(const std::string& text, const char* origin,
                                                       CString& error) {
    return CSetupReader::Read(text, origin ? origin : "", error);
}
