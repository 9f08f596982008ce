#include "window_fixture.h"

#include <cstdio>

#include "commands/HostCommand.h"

namespace window_test {

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
