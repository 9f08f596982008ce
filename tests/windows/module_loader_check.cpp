// module_loader_check MODULE MOTION [SETUP]: what `travex-host translate --setup SETUP MOTION`
// does, on Windows, in the fewest lines a host needs: the module loaded with LoadLibrary, its
// exports found by name, one translation. The program goes to standard output as the module
// wrote it (CR LF, in binary mode); a refusal's text and the host's failures go to standard
// error in travex-host's words, so that both can be compared with the Linux build's byte for
// byte. Exit status as travex-host's: 0 translated, 1 refused, 2 failed.
#include <DriveSetup.h>
#include <HostResources.h>
#include <MC_Motion.h>
#include <ModuleLoader.h>
#include <afxrestable.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "travex-host: %s\n", message.c_str());
    return 2;
}

bool ReadFile(const char* path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The module's error text a line at a time, whatever its line ends, as travex-host prints it.
void PrintRefusal(std::string_view rest) {
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
    do {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    } while (!rest.empty());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: module_loader_check MODULE MOTION [SETUP]\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    std::string motion;
    if (!ReadFile(argv[2], motion)) return Fail(std::string("cannot read ") + argv[2]);
    if (motion.starts_with("\xEF\xBB\xBF")) motion.erase(0, 3);

    CModuleResources hostResources(HostResourceTable());
    std::unique_ptr<CDriveSetup> setup;
    if (argc == 4) {
        std::string text;
        if (!ReadFile(argv[3], text)) return Fail(std::string("cannot read ") + argv[3]);
        CString message;
        setup = CDriveSetup::LoadFromText(text, argv[3], message);
        if (!setup) return Fail(message.GetString());
    } else {
        setup = CDriveSetup::CreateDefault();
    }
    CMC_Motion motionObject(*setup);

    CModuleLoader module;
    std::string error;
    if (!module.Load(argv[1], error)) return Fail(error);
    if (!module.IsEnabled(*setup)) {
        return Fail(std::string("the motion type ") + module.GetName() +
                    " is not enabled on the setup \"" + setup->GetName() +
                    "\" (see travex-host info)");
    }
    CString text(std::move(motion));
    CString output;
    if (!module.TranslateMotionSequence(*setup, motionObject, text, output)) {
        PrintRefusal(output.GetString());
        return 1;
    }
    std::fwrite(output.GetString(), 1, output.GetLength(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
