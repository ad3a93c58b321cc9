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

// The text with each single quote written for the inside of a single-quoted
// shell word.
std::string Quoted(const std::string& text) {
    std::string quoted;
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted;
}

// The tests on a virtual display start their search for a free display at
// numbers of their own, so that two of them starting at once (ctest -j) do
// not both take the same one.
TEST(StartUp, MainJobWithADisplayOpensTheExampleInMivo) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    const std::string command = std::string("cd '") + MIVO_SOURCE_DIR + "' && env -u WAYLAND_DISPLAY MIVO_BUILD_DIR='" +
                                MIVO_BINARY_DIR + "' MIVO_QUIT_AFTER_OPEN=1 timeout 120 xvfb-run -a -n 120 -s '-screen 0 1280x800x24' " +
                                "bash scripts/run.sh 2>/dev/null";
    const auto [output, status] = RunCommand(command);
    EXPECT_EQ(status, 0) << output;
    const std::string expected = "Apartment [examples/apartment.mvo]";
    EXPECT_NE(output.find(expected), std::string::npos) << output;
}

// What the window system shows as the frame's title: the program's own
// title alone, with nothing appended by the toolkit. The program runs on a
// virtual display until its frame's window is listed with the model open
// (the frame shows "Mivo - []" for a moment before the model is read), then
// is stopped.
TEST(StartUp, TheFrameShowsItsTitleAloneOnTheDisplay) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwininfo >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xwininfo is not installed";
    const std::string script =
        std::string("'") + MIVO_BINARY_DIR + "/desktop/Mivo' examples/apartment.mvo 2>/dev/null & program=$!; " +
        "for i in $(seq 600); do names=$(xwininfo -root -tree | grep -o '\"Mivo - [^\"]*\"' | head -n 1); " +
        "[ -n \"$names\" ] && [ \"$names\" != '\"Mivo - []\"' ] && break; sleep 0.1; done; echo \"$names\"; kill $program";
    const std::string command = std::string("cd '") + MIVO_SOURCE_DIR + "' && env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " +
                                "timeout 120 xvfb-run -a -n 150 -s '-screen 0 1280x800x24' bash -c '" + Quoted(script) + "'";
    const auto [output, status] = RunCommand(command);
    EXPECT_EQ(output, "\"Mivo - [Apartment [examples/apartment.mvo]]\"\n");
}

}  // namespace
