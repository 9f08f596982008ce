// travex-rc: compiles a resource script into a C++ source file that builds the module's
// resource table. Faults in the script are reported as "file:line: error: ..." with exit
// status 1; a wrong command line exits with 2.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptParser.h"
#include "ScriptPreprocessor.h"
#include "TableSourceWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: travex-rc [-I DIR]... --function NAME [--module NAME] [--depfile FILE] -o OUTPUT "
    "SCRIPT.rc\n"
    "  Compiles SCRIPT.rc into OUTPUT, a C++ source defining\n"
    "  `const CResourceTable& NAME()`. -I adds a directory to search for #include files.\n";

struct CommandLine {
    std::vector<std::filesystem::path> includeDirs;
    std::string functionName;
    std::string moduleName;
    std::filesystem::path depfile;
    std::filesystem::path output;
    std::filesystem::path script;
};

bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& fault) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                fault = arg + " needs a value";
                return false;
            }
            target = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "-I") {
            if (!value(text)) return false;
            line.includeDirs.emplace_back(text);
        } else if (arg.rfind("-I", 0) == 0) {
            line.includeDirs.emplace_back(arg.substr(2));
        } else if (arg == "--function") {
            if (!value(line.functionName)) return false;
        } else if (arg == "--module") {
            if (!value(line.moduleName)) return false;
        } else if (arg == "--depfile") {
            if (!value(text)) return false;
            line.depfile = text;
        } else if (arg == "-o") {
            if (!value(text)) return false;
            line.output = text;
        } else if (!arg.empty() && arg[0] == '-') {
            fault = "unknown option " + arg;
            return false;
        } else if (line.script.empty()) {
            line.script = arg;
        } else {
            fault = "more than one script: " + line.script.string() + " and " + arg;
            return false;
        }
    }
    if (line.script.empty() || line.output.empty() || line.functionName.empty()) {
        fault = "a script, -o OUTPUT and --function NAME are required";
        return false;
    }
    if (!travexrc::IsCppIdentifier(line.functionName)) {
        fault = "--function " + line.functionName + " is not a C++ identifier";
        return false;
    }
    if (line.moduleName.empty()) line.moduleName = line.script.stem().string();
    return true;
}

// Make's form: spaces, '#' and '$' escaped.
std::string DepfilePath(const std::filesystem::path& path) {
    std::string escaped;
    for (char c : path.string()) {
        if (c == ' ' || c == '#') escaped += '\\';
        if (c == '$') escaped += '$';
        escaped += c;
    }
    return escaped;
}

bool WriteFile(const std::filesystem::path& file, const std::string& contents) {
    std::error_code error;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string fault;
    if (!ParseCommandLine(argc, argv, line, fault)) {
        std::cerr << "travex-rc: " << fault << "\n" << kUsage;
        return 2;
    }
    try {
        travexrc::ScriptPreprocessor source(line.includeDirs);
        source.Open(line.script);
        travexrc::ResourceScript script = travexrc::ScriptParser(source).Parse();

        std::ostringstream text;
        travexrc::WriteTableSource(
            text, script, {line.functionName, line.moduleName, line.script.filename().string()});
        if (!WriteFile(line.output, text.str())) {
            std::cerr << line.output.string() << ": error: cannot write the output\n";
            return 1;
        }
        if (!line.depfile.empty()) {
            std::string rule = DepfilePath(line.output) + ":";
            for (const auto& file : source.Dependencies()) rule += " \\\n  " + DepfilePath(file);
            if (!WriteFile(line.depfile, rule + "\n")) {
                std::cerr << line.depfile.string() << ": error: cannot write the dependencies\n";
                return 1;
            }
        }
    } catch (const travexrc::ScriptError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
