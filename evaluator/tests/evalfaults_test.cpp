// Fault injection through the built MivoEval: an output file whose writing
// fails midway (the disk "fills up": a file-size limit of 1 KB, with the
// limit's signal ignored so that the write itself fails) must leave the
// previous file byte-identical and no temporary file behind, and the run
// must end with exit code 1 and the error.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kCarModel = std::string(MIVO_TEST_DATA) + "/eval/car.mvo";
const std::string kMivoEval = std::string(MIVO_BINARY_DIR) + "/evaluator/MivoEval";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

struct Result {
    std::string err;
    int code = -1;
};

// Runs MivoEval with a file-size limit of `limit_kb` KB (SIGXFSZ ignored,
// so an over-long write fails with EFBIG instead of killing the program).
// The streams go to a folder of their own, outside the limit's way.
Result RunLimited(const fs::path& streams, int limit_kb, const std::string& arguments) {
    const std::string err = (streams / "err").string();
    const std::string command = "bash -c \"trap '' XFSZ; ulimit -f " + std::to_string(limit_kb) + "; exec " +
                                kMivoEval + " " + arguments + " >/dev/null 2>" + err + "\"";
    const int status = std::system(command.c_str());
    return {Slurp(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

class EvalFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kMivoEval)) << "build MivoEval first: " << kMivoEval;
        std::string pattern = ::testing::TempDir() + "/evalfaults_XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        root_ = fs::path(mkdtemp(buffer.data())).lexically_normal();
        fs::create_directory(root_ / "out");
        fs::create_directory(root_ / "streams");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    fs::path root_;
};

// Enough options that the evaluated output is far above 1 KB.
std::string ManyOptions(int n) {
    std::string names, price = "Price", safety = "Safety";
    for (int i = 0; i < n; ++i) {
        names += "\tOption" + std::to_string(i);
        price += i % 2 ? "\t1" : "\t2";
        safety += "\t" + std::to_string(1 + i % 3);
    }
    return names + "\n" + price + "\n" + safety + "\n";
}

}  // namespace

TEST_F(EvalFaults, AWriteThatFailsMidwayKeepsThePreviousOutputAndLeavesNoTemporaryFile) {
    const std::string in = (root_ / "in.tab").string();
    WriteText(in, ManyOptions(500));
    const fs::path out_dir = root_ / "out";
    const std::string previous = "\tOld\nCar\t1\nPrice\t1\nSafety\t1\n";
    for (const char* format : {"-tab", "-csv"}) {
        const std::string out = (out_dir / "result.txt").string();
        WriteText(out, previous);

        const Result r = RunLimited(root_ / "streams", 1, kCarModel + " " + in + " " + format + " " + out);
        EXPECT_EQ(r.code, 1) << format;
        EXPECT_EQ(r.err.rfind("Error: Cannot write file \"" + out + "\"", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
        EXPECT_EQ(Slurp(out), previous) << format;
        EXPECT_EQ(Listing(out_dir), std::set<std::string>{"result.txt"}) << format;
    }
}
