// Every command that README.md and docs/*.md show with `$ ` in a fenced block runs as shown: in a
// scratch folder with a copy of examples/ and build/ at hand, one folder a document, the
// commands in the order they stand. A command with its output beside it must print exactly
// that (standard output and standard error together, as a terminal shows them; CR LF read as
// LF); one without must succeed. Blank lines after the output set commands apart. In the shown
// output, a line `...` stands for any lines, and a line ending in `...` for any line that starts
// with what comes before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host_child_process.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = TRAVEX_SOURCE_DIR;
const fs::path kBuildDir = TRAVEX_BINARY_DIR;

struct ShownCommand {
    int line = 0;  // where the command stands in its document
    std::string command;
    std::vector<std::string> output;
    bool outputShown = false;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<ShownCommand> ShownCommands(const fs::path& document) {
    std::ifstream file(document);
    std::stringstream text;
    text << file.rdbuf();
    std::vector<ShownCommand> commands;
    bool inBlock = false;
    bool continued = false;
    bool afterCommand = false;  // the lines that follow are the output of the last command
    int number = 0;
    for (const std::string& line : Lines(text.str())) {
        ++number;
        if (line.starts_with("```")) {
            inBlock = !inBlock;
            continued = false;
            afterCommand = false;
            continue;
        }
        if (!inBlock) continue;
        if (continued) {
            commands.back().command += "\n" + line;
            continued = line.ends_with("\\");
        } else if (line.starts_with("$ ")) {
            commands.push_back({number, line.substr(2), {}, false});
            continued = line.ends_with("\\");
            afterCommand = true;
        } else if (afterCommand) {
            commands.back().output.push_back(line);
            commands.back().outputShown = true;
        }
    }
    // A blank line may set commands apart; it is no output.
    for (ShownCommand& command : commands) {
        while (!command.output.empty() && command.output.back().empty()) command.output.pop_back();
        command.outputShown = !command.output.empty();
    }
    return commands;
}

bool Matches(const std::vector<std::string>& shown, size_t s, const std::vector<std::string>& got,
             size_t g) {
    if (s == shown.size()) return g == got.size();
    const std::string& pattern = shown[s];
    const size_t first = pattern.find_first_not_of(' ');
    if (first != std::string::npos && pattern.substr(first) == "...") {
        for (size_t skip = g; skip <= got.size(); ++skip) {
            if (Matches(shown, s + 1, got, skip)) return true;
        }
        return false;
    }
    if (g == got.size()) return false;
    const bool same = pattern.ends_with("...")
                          ? got[g].starts_with(pattern.substr(0, pattern.size() - 3))
                          : got[g] == pattern;
    return same && Matches(shown, s + 1, got, g + 1);
}

std::vector<fs::path> Documents() {
    std::vector<fs::path> documents{kSourceDir / "README.md"};
    for (const auto& entry : fs::directory_iterator(kSourceDir / "docs")) {
        if (entry.path().extension() == ".md") documents.push_back(entry.path());
    }
    return documents;
}

TEST(DocsCommands, EveryShownCommandRunsAsShown) {
    int run = 0;
    for (const fs::path& document : Documents()) {
        const std::vector<ShownCommand> commands = ShownCommands(document);
        if (commands.empty()) continue;
        const fs::path scratch = fs::temp_directory_path() / ("docs_" + std::to_string(getpid()) +
                                                              "_" + document.filename().string());
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        fs::copy(kSourceDir / "examples", scratch / "examples", fs::copy_options::recursive);
        fs::create_directory_symlink(kBuildDir, scratch / "build");
        for (const ShownCommand& shown : commands) {
            ++run;
            const std::string where =
                document.filename().string() + ":" + std::to_string(shown.line);
            const ChildResult result = RunChild(
                "/bin/sh", {"-c", "cd \"$0\" && exec 2>&1 && " + shown.command, scratch.string()});
            if (!shown.outputShown) {
                EXPECT_EQ(result.exitStatus, 0) << where << ": " << shown.command << "\n"
                                                << result.out;
                continue;
            }
            const std::vector<std::string> got = Lines(result.out);
            std::string expected;
            for (const std::string& line : shown.output) expected += line + "\n";
            std::string printed;
            for (const std::string& line : got) printed += line + "\n";
            EXPECT_TRUE(Matches(shown.output, 0, got, 0))
                << where << ": $ " << shown.command << "\nshown:\n"
                << expected << "printed:\n"
                << printed;
        }
        fs::remove_all(scratch);
    }
    EXPECT_GT(run, 10) << "the documents show hardly any command";
}

}  // namespace
