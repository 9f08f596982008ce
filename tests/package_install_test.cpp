// The Debian package (make package), unpacked into a scratch folder as dpkg-deb lays it out: its
// travex-host at work from there, its manual page, its bash completion and lintian's verdict.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host_child_process.h"
#include "worked_example.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = TRAVEX_SOURCE_DIR;
const fs::path kBuildDir = TRAVEX_BUILD_DIR;
const std::string kBuildHost = (kBuildDir / "travex-host").string();

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ChildResult Shell(const std::string& script, const std::vector<std::string>& arguments = {}) {
    std::vector<std::string> line{"-c", script, "sh"};
    line.insert(line.end(), arguments.begin(), arguments.end());
    return RunChild("/bin/bash", line);
}

// A program found on the PATH.
ChildResult OnPath(const std::vector<std::string>& line) { return Shell("exec \"$@\"", line); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The names in one section of travex-host's help ("Subcommands", "Options"), as the help of the
// build tree's travex-host lists them: the package must carry the same.
std::vector<std::string> HelpNames(const std::vector<std::string>& arguments,
                                   const std::string& section) {
    const ChildResult help = RunChild(kBuildHost, arguments);
    std::vector<std::string> names;
    bool inside = false;
    for (const std::string& line : Lines(help.out)) {
        if (line == section + ":")
            inside = true;
        else if (line.empty() || line[0] != ' ')
            inside = false;
        else if (inside && line.size() > 2 && line[2] != ' ') {
            std::istringstream entry(line.substr(2, line.find("  ", 2) - 2));
            std::string first;
            entry >> first;
            std::istringstream each(first);
            for (std::string name; std::getline(each, name, ',');) names.push_back(name);
        }
    }
    return names;
}

class InstalledPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const auto& entry : fs::directory_iterator(TRAVEX_PACKAGE_DIR)) {
            if (entry.path().extension() == ".deb") deb = entry.path();
        }
        root = fs::temp_directory_path() / ("package_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        if (deb.empty()) return;
        unpacked = OnPath({"dpkg-deb", "-x", deb.string(), root.string()});
    }
    static void TearDownTestSuite() { fs::remove_all(root); }

    void SetUp() override {
        ASSERT_FALSE(deb.empty()) << "no package in " << TRAVEX_PACKAGE_DIR;
        ASSERT_EQ(unpacked.exitStatus, 0) << unpacked.err;
        work =
            root / ("work_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(work);
    }

    static ChildResult Host(const std::vector<std::string>& arguments) {
        return RunChild((root / "usr/bin/travex-host").string(), arguments);
    }
    static std::string Example(const std::string& name) {
        return (root / "usr/share/doc/travex/examples" / name).string();
    }

    static inline fs::path deb;
    static inline fs::path root;
    static inline ChildResult unpacked;
    fs::path work;
};

TEST_F(InstalledPackage, NameVersionAndDependenciesComeFromTheBuild) {
    EXPECT_EQ(deb.filename().string().rfind("travex_1.0.0.1_", 0), 0u) << deb;
    const ChildResult fields = OnPath({"dpkg-deb", "-f", deb.string(), "Version", "Depends"});
    ASSERT_EQ(fields.exitStatus, 0) << fields.err;
    EXPECT_NE(fields.out.find("Version: 1.0.0.1\n"), std::string::npos) << fields.out;
    // The graphics support's Qt, found by dpkg-shlibdeps, and the fonts that it draws in.
    for (const char* package : {"libc6", "libstdc++6", "libqt6widgets6", "fonts-liberation"}) {
        EXPECT_NE(fields.out.find(package), std::string::npos) << package << "\n" << fields.out;
    }
}

TEST_F(InstalledPackage, RecommendsWhatLoadsItsCompletionAndShowsEveryKindOfWork) {
    const ChildResult fields =
        OnPath({"dpkg-deb", "-f", deb.string(), "Recommends", "Description"});
    ASSERT_EQ(fields.exitStatus, 0) << fields.err;
    EXPECT_NE(fields.out.find("Recommends: bash-completion\n"), std::string::npos) << fields.out;
    // Each example a line of its own, shown as written (indented past the description's blank).
    for (const char* command : {"design", "fit", "retime"}) {
        EXPECT_NE(fields.out.find(std::string("\n   travex-host ") + command + " "),
                  std::string::npos)
            << command << "\n"
            << fields.out;
    }
    EXPECT_EQ(fields.out.find_first_of(";\""), std::string::npos) << fields.out;
}

TEST_F(InstalledPackage, CarriesEveryLibraryThatTheHostLoadsFromTheBuild) {
    // The two libraries that travex-host opens itself, and what it and they load from the
    // build folder.
    std::set<std::string> built{"Travex.so", "libhostgraphics.so"};
    for (const char* file : {"travex-host", "Travex.so", "libhostgraphics.so"}) {
        const ChildResult ldd = OnPath({"ldd", (kBuildDir / file).string()});
        ASSERT_EQ(ldd.exitStatus, 0) << file << ": " << ldd.err;
        for (const std::string& line : Lines(ldd.out)) {
            const size_t arrow = line.find(" => " + kBuildDir.string() + "/");
            if (arrow != std::string::npos)
                built.insert(
                    fs::path(line.substr(arrow + 4, line.find(" (") - arrow - 4)).filename());
        }
    }
    EXPECT_TRUE(built.count("libkinecore.so") && built.count("libqtdriver.so"));
    std::set<std::string> packaged;
    for (const auto& entry : fs::directory_iterator(root / "usr/lib/travex")) {
        packaged.insert(entry.path().filename());
    }
    EXPECT_EQ(packaged, built);

    // Installed, travex-host takes them from the package, and Qt only through the graphics support.
    const ChildResult ldd = OnPath({"ldd", (root / "usr/bin/travex-host").string()});
    EXPECT_NE(ldd.out.find((root / "usr/bin/../lib/travex/libkinecore.so").string()),
              std::string::npos)
        << ldd.out;
    EXPECT_EQ(ldd.out.find("Qt6"), std::string::npos) << ldd.out;
    ChildResult version = Host({"--version"});
    EXPECT_EQ(version.out, "travex-host 1.0.0.1\nmodule PT 1.0.0.1 (" +
                               (root / "usr/lib/travex/Travex.so").string() + ")\n");

    for (const char* doc : {"copyright", "changelog.gz", "README.md", "docs/pt-motions.md",
                            "examples/setups/linear-drive.ini"}) {
        EXPECT_TRUE(fs::is_regular_file(root / "usr/share/doc/travex" / doc)) << doc;
    }
}

TEST_F(InstalledPackage, HostTranslatesImportsShowsAndPlots) {
    ChildResult result = Host({"translate", Example("worked-example.ptm")});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, kWorkedExampleProgram);

    const std::string points = Example("points/worked-example.txt");
    const std::vector<std::string> import{"import",      points, "--position-unit", "IU",
                                          "--time-unit", "IU",   "--host-address",  "3",
                                          "--quiet"};
    result = Host(import);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, RunChild(kBuildHost, import).out);
    EXPECT_NE(result.out.find("TPOS[IU]=3: 0 2000 5000"), std::string::npos) << result.out;

    const std::vector<std::string> show{"show", Example("s-curve-10rot.ptm")};
    result = Host(show);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, RunChild(kBuildHost, show).out);

    // A plot loads the graphics support and Qt from the package; offscreen needs no display.
    const fs::path png = work / "s.png";
    result = Shell("QT_QPA_PLATFORM=offscreen exec \"$@\"",
                   {(root / "usr/bin/travex-host").string(), "plot", Example("s-curve-10rot.ptm"),
                    "-o", png.string(), "--size", "640x480"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string image = Contents(png);
    ASSERT_GT(image.size(), 24u);
    EXPECT_EQ(image.substr(1, 3), "PNG");
    const auto big = [&](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) value = value << 8 | uint8_t(image[at + i]);
        return value;
    };
    EXPECT_EQ(big(16), 640u);  // the header's width and height
    EXPECT_EQ(big(20), 480u);
}

TEST_F(InstalledPackage, ManualPageShowsEveryCommandAndOptionOfTheHelp) {
    const ChildResult page = Shell("MANWIDTH=250 exec man --warnings -l \"$1\"",
                                   {(root / "usr/share/man/man1/travex-host.1.gz").string()});
    ASSERT_EQ(page.exitStatus, 0) << page.err;
    EXPECT_EQ(page.err, "");  // groff's warnings
    const std::vector<std::string> lines = Lines(page.out);
    const auto has = [&](const std::string& text) {
        return page.out.find(text) != std::string::npos;
    };
    EXPECT_TRUE(has("travex-host - Stand-in host for the Travex motion-type module\n"));
    // An example for each command that makes or changes a motion.
    const std::string examples =
        page.out.substr(std::min(page.out.find("EXAMPLES"), page.out.size()));
    for (const char* command : {"translate", "import", "plot", "design", "fit", "retime"}) {
        EXPECT_NE(examples.find(std::string("travex-host ") + command + " "), std::string::npos)
            << command;
    }
    for (const std::string& option : HelpNames({"--help"}, "Options")) {
        EXPECT_TRUE(has(option)) << option;
    }
    for (const std::string& command : HelpNames({"--help"}, "Subcommands")) {
        // Each command has a heading of its own, and its options below it.
        EXPECT_NE(std::find(lines.begin(), lines.end(), "   " + command), lines.end()) << command;
        EXPECT_TRUE(has("travex-host " + command + " [OPTIONS]")) << command;
        for (const std::string& option : HelpNames({command, "--help"}, "Options")) {
            EXPECT_TRUE(has(option)) << command << " " << option;
        }
    }
}

class PackagedCompletion : public InstalledPackage {
protected:
    // What the completion offers for the words of `line`, the last one being completed, one a
    // line, sorted.
    std::string Offers(const std::vector<std::string>& line) const {
        std::vector<std::string> words{
            (root / "usr/share/bash-completion/completions/travex-host").string(), work.string(),
            (root / "usr/bin/travex-host").string()};
        words.insert(words.end(), line.begin(), line.end());
        const ChildResult result = Shell(
            "source \"$1\" && cd \"$2\" && shift 2 && COMP_WORDS=(\"$@\") && "
            "COMP_CWORD=$(($# - 1)) && _travex_host && for w in \"${COMPREPLY[@]}\"; do echo "
            "\"$w\"; "
            "done | sort",
            words);
        EXPECT_EQ(result.err, "");
        return result.out;
    }
};

TEST_F(PackagedCompletion, OffersCommandsOptionsUnitsAndFiles) {
    std::string commands;
    std::vector<std::string> names = HelpNames({"--help"}, "Subcommands");
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) commands += name + "\n";
    EXPECT_EQ(Offers({""}), commands);
    EXPECT_EQ(Offers({"--setup", "x.ini", "help", ""}), commands);
    EXPECT_EQ(Offers({"tr"}), "translate\n");

    EXPECT_EQ(Offers({"translate", "--"}), "--help\n--module\n--output\n--setup\n--version\n");
    EXPECT_EQ(Offers({"show", "m.ptm", "--time-unit", ""}), "IU\nms\ns\n");
    const std::string linear = (kSourceDir / "examples/setups/linear-drive.ini").string();
    const std::string units = Offers({"--setup", linear, "import", "--position-unit", ""});
    EXPECT_NE(units.find("mm\n"), std::string::npos) << units;
    EXPECT_EQ(units.find("rot\n"), std::string::npos) << units;

    std::ofstream(work / "wave.ptm") << "";
    fs::create_directory(work / "waves");
    EXPECT_EQ(Offers({"plot", "wa"}), "wave.ptm\nwaves\n");
    EXPECT_EQ(Offers({"plot", "wave.ptm", "--size", ""}), "");
}

TEST_F(InstalledPackage, LintianFindsNoError) {
    const ChildResult lintian = OnPath({"lintian", "--tag-display-limit", "0", deb.string()});
    EXPECT_EQ(lintian.err.find("lintian: not found"), std::string::npos);
    for (const std::string& line : Lines(lintian.out)) {
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
    }
    EXPECT_EQ(lintian.exitStatus, 0) << lintian.out << lintian.err;
}

}  // namespace
