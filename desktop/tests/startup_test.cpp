// The main job with a display: scripts/run.sh (what `make run` runs once it
// has built) under a virtual display opens Mivo on the example model. The
// program is told to quit once its command-line files are open and to
// print the current window's caption.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

// Runs the command, returning its standard output and exit status.
std::pair<std::string, int> RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {output, -1};
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
    return {output, pclose(pipe)};
}

TEST(StartUp, MainJobWithADisplayOpensTheExampleInMivo) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    const std::string command = std::string("cd '") + MIVO_SOURCE_DIR + "' && env -u WAYLAND_DISPLAY MIVO_BUILD_DIR='" +
                                MIVO_BINARY_DIR + "' MIVO_QUIT_AFTER_OPEN=1 timeout 120 xvfb-run -a -s '-screen 0 1280x800x24' " +
                                "bash scripts/run.sh 2>/dev/null";
    const auto [output, status] = RunCommand(command);
    EXPECT_EQ(status, 0) << output;
    const std::string expected = "Apartment [examples/apartment.mvo]";
    EXPECT_NE(output.find(expected), std::string::npos) << output;
}

}  // namespace
