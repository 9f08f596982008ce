// travex-host edit with a window, under Qt's offscreen platform: the scripted scenarios give the
// same motion, messages and exit status with --window as without; without a display and
// without a script, edit says how to run it.
#include <string>
#include <vector>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

const std::string kHandWritten =
    "; by hand\nMASTERID=3\nClearBuffer=1\nATIME[IU]=3: 0 100 300\nTPOS[IU]=3: 0 2000 5000\n"
    "Execute=0\nWaitForCompletion=1";

// travex-host in `folder` with the environment changed by `env` words ("-u DISPLAY",
// "QT_QPA_PLATFORM=offscreen").
ChildResult HostWithEnv(const fs::path& folder, const std::vector<std::string>& env,
                        const std::vector<std::string>& arguments) {
    std::vector<std::string> shell{"-c", "cd \"$1\" && shift && exec /usr/bin/env \"$@\"", "sh",
                                   folder.string()};
    shell.insert(shell.end(), env.begin(), env.end());
    shell.push_back(kHost);
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    return RunChild("/bin/sh", shell);
}

const std::vector<std::string> kNoDisplay = {"-u", "DISPLAY",        "-u", "WAYLAND_DISPLAY",
                                             "-u", "QT_QPA_PLATFORM"};
const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen"};

using HostEditWindow = HostScratchFolder;

TEST_F(HostEditWindow, ScriptsPlayAlikeWithAndWithoutTheWindow) {
    Put("points.txt", "1000 50\n3000 150\n");
    const std::vector<std::string> scripts = {
        (kSourceDir / "examples/scripts/type-a-table.txt").string(),
        Put("cancel.txt",
            "type Position 9000\nkey Enter\ntype Time 900\nkey Enter\nclick Cancel\n"),
        Put("escape.txt", "type Position 9000\nkey Enter\nkey Escape\n"),
        Put("close.txt", "click >>\nclose\n"),
        Put("messages.txt",
            "click >>\nclick >>\ntype Time 50\nclick Update\n"
            "expect-message \"Incorrect time value!\"\ntype 1508 0\nclick OK\nanswer OK\n"
            "click Cancel\n"),
        Put("drag.txt", "drag 1 150 2500\npick 2\nclick OK\n"),
        Put("event.txt",
            "check \"On event\"\nclick \"Change Event\"\n"
            "check \"When a digital input changes\"\nclick OK\nclick \"Edit Event\"\n"
            "type Value 3\ncheck \"Goes high\"\nclick OK\nclick OK\n"),
        Put("import.txt", "select 1018 rot\nimport points.txt\nclick OK\n"),
        Put("broken.txt", "click >>\nclick Remove\nclick Remove\nclick Remove\n"),
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        Put("headless.ptm", kHandWritten);
        Put("window.ptm", kHandWritten);
        const ChildResult headless =
            HostWithEnv(dir, kNoDisplay, {"edit", "headless.ptm", "--script", script});
        const ChildResult window =
            HostWithEnv(dir, kOffscreen,
                        {"edit", "window.ptm", "--script", script, "--window", "--delay", "1"});
        EXPECT_EQ(window.exitStatus, headless.exitStatus) << window.err;
        EXPECT_EQ(window.out, headless.out);
        EXPECT_EQ(window.err, headless.err);
        EXPECT_EQ(Contents(dir / "window.ptm"), Contents(dir / "headless.ptm"));
    }
}

TEST_F(HostEditWindow, WithoutADisplayEditNamesBothWaysAndLeavesTheMotion) {
    const std::string motion = Put("hand.ptm", kHandWritten);
    const std::string script = Put("s.txt", "click OK\n");
    for (const auto& arguments :
         {std::vector<std::string>{"edit", motion},
          std::vector<std::string>{"edit", motion, "--script", script, "--window"}}) {
        const ChildResult result = HostWithEnv(dir, kNoDisplay, arguments);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("desktop"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("script"), std::string::npos) << result.err;
    }
    EXPECT_EQ(Contents(motion), kHandWritten);
}

}  // namespace
}  // namespace host_test
