#include "window_fixture.h"

#include <unistd.h>

#include <cstdio>

#include "HostCommand.h"

namespace window_test {

void WindowTest::SetUp() {
    dir = fs::temp_directory_path() /
          ("window_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
}

std::string WindowTest::Put(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
}

std::string WindowTest::Contents(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int WindowTest::Edit(const std::string& motion) {
    CLI::App app;
    HostOptions options;
    options.modulePath = TRAVEX_MODULE_PATH;
    HostCommand edit = AddEditCommand(app, options);
    const std::vector<std::string> arguments = {"edit", motion};
    app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
    queue.Start();
    testing::internal::CaptureStdout();
    const int status = edit.run();
    // The failures of checks made inside the window's steps were printed in between.
    std::istringstream printed(testing::internal::GetCapturedStdout());
    out.clear();
    for (std::string line; std::getline(printed, line);) {
        if (line.rfind("message: ", 0) == 0)
            out += line + "\n";
        else
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    EXPECT_TRUE(queue.IsDone()) << queue.GetError().toStdString();
    return status;
}

}  // namespace window_test
