// Runs the built MivoEval binary and checks its streams and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
    std::string out, err;
    int code = -1;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Result RunEval(const std::string& arguments) {
    // Test programs run in parallel: every run gets files of its own.
    static int counter = 0;
    std::string base = ::testing::TempDir() + "/mivoeval_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    std::string out = base + ".out", err = base + ".err";
    std::string command = std::string(MIVO_BINARY_DIR) + "/evaluator/MivoEval " + arguments + " >" + out + " 2>" + err;
    int status = std::system(command.c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
}

}  // namespace

TEST(MivoEval, HelpPrintsTheUsageTextExactly) {
    Result r = RunEval("-help");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Slurp(std::string(MIVO_TEST_DATA) + "/eval/usage.txt"));
    EXPECT_EQ(r.err, "");
}

TEST(MivoEval, CommandLineErrorsExitWithTwo) {
    struct Case { const char* args; const char* err; };
    for (Case c : {Case{"", "MivoEval error: Input required: Mivo model file\n"},
                   {"m.mvo", "MivoEval error: Input required: Options data file\n"},
                   {"-SAVE m.mvo in.tab", "MivoEval error: Unknown format setting: -save\n"}}) {
        Result r = RunEval(c.args);
        EXPECT_EQ(r.code, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, Slurp(std::string(MIVO_TEST_DATA) + "/eval/usage.txt")) << c.args;
    }
}

TEST(MivoEval, HelpThenAnErrorPrintsTheUsageOnce) {
    Result r = RunEval("-help -");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "MivoEval error: Empty format setting\n");
    EXPECT_EQ(r.out, Slurp(std::string(MIVO_TEST_DATA) + "/eval/usage.txt"));
}
