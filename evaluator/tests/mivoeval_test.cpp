// Runs the built MivoEval binary and checks its streams and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// --- the batch run ------------------------------------------------------------------

namespace {

namespace fs = std::filesystem;

const std::string kCarModel = std::string(MIVO_TEST_DATA) + "/eval/car.mvo";

// A folder of its own for every test, removed afterwards.
class RunDir {
public:
    RunDir() {
        std::string pattern = ::testing::TempDir() + "/mivoeval_run_XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path_ = fs::path(mkdtemp(buffer.data())).lexically_normal().string();
    }
    ~RunDir() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(*this / name, std::ios::binary) << text;
        return *this / name;
    }

private:
    std::string path_;
};

bool Exists(const std::string& path) { return fs::exists(path); }

// A small input file: options A, B, C on the basic attributes (base 1).
const std::string kInput = "\tA\tB\tC\nPrice\t2\t1\t1;2\nSafety\t3\t*\t2\n";

}  // namespace

TEST(MivoEval, VerboseRunWritesEveryOutputInItsOwnFormat) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    Result r = RunEval("-l " + kCarModel + " " + in + " " + dir / "out.tab" + " -v0 -ot " + dir / "out.csv");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string model = fs::path(kCarModel).lexically_normal().string();
    EXPECT_EQ(r.out, "Program settings:\n"
                     " Verbose: yes\n"
                     " Save only: no\n"
                     " Keep options: no\n"
                     "Program arguments:\n"
                     " 1. " + kCarModel + ": \n"
                     " 2. " + in + ": tab\n"
                     " 3. " + dir / "out.tab" + ": tab\n"
                     " 4. " + dir / "out.csv" + ": csv v0 ot\n"
                     "Loading Mivo model: " + model + "\n"
                     "Loaded: Attributes 3 (2 basic, 1 aggregate), Scales 3, Functions 1, Options 2\n"
                     "Loaded options deleted\n"
                     "Mivo file format settings: -csv -base1 -all -normal -indent\n"
                     "Loading options from " + in + "\n"
                     "Input file format settings: -tab -base1 -all -normal -indent\n"
                     "Loaded options: 3\n"
                     "Evaluated options: 3\n"
                     "Saving options to " + dir / "out.tab" + "\n"
                     "Output file format settings: -tab -base1 -all -normal -indent\n"
                     "Saved options: 3\n"
                     "Saving options to " + dir / "out.csv" + "\n"
                     "Output file format settings: -csv -base0 -all -transpose -indent\n"
                     "Saved options: 3\n");
    EXPECT_EQ(Slurp(dir / "out.tab"), "\tA\tB\tC\nCar\t3\t*\t2;3\n. Price\t2\t1\t1;2\n. Safety\t3\t*\t2\n");
    EXPECT_EQ(Slurp(dir / "out.csv"), "\"\",\"Car\",\". Price\",\". Safety\"\n"
                                      "\"A\",\"2\",\"1\",\"2\"\n"
                                      "\"B\",\"*\",\"0\",\"*\"\n"
                                      "\"C\",\"1;2\",\"0;1\",\"1\"\n");
}

TEST(MivoEval, RelativeNamesAreExpandedInTheVerboseLines) {
    RunDir dir;
    dir.Write("in.tab", kInput);
    fs::copy_file(kCarModel, dir / "car.mvo");
    Result r = RunEval("-l " + dir / "sub/../car.mvo" + " " + dir / "./in.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Loading Mivo model: " + dir / "car.mvo" + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Loading options from " + dir / "in.tab" + "\n"), std::string::npos) << r.out;
}

TEST(MivoEval, ModelAndInputOnlyEvaluatesAndWritesNothing) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    Result r = RunEval(kCarModel + " " + in);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / ""), fs::directory_iterator()), 1);
}

TEST(MivoEval, SaveOnlyWritesTheModelFileOptionsAsStored) {
    RunDir dir;
    Result alone = RunEval("-save " + kCarModel);
    EXPECT_EQ(alone.code, 0) << alone.err;
    EXPECT_EQ(alone.out, "");
    Result r = RunEval("-save " + kCarModel + " " + dir / "out.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "out.tab"), "\tOld\tNew\nCar\t2\t3\n. Price\t2\t1\n. Safety\t1\t3\n");
}

TEST(MivoEval, KeepOverwritesModelOptionsOfTheSameName) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", "\tnew\tX\nPrice\t2\t1\nSafety\t3\t1\n");
    Result keep = RunEval("-l -keep " + kCarModel + " " + in + " " + dir / "out.tab");
    ASSERT_EQ(keep.code, 0) << keep.err;
    EXPECT_EQ(keep.out.find("Loaded options deleted"), std::string::npos);
    EXPECT_NE(keep.out.find("Loaded options: 3\n"), std::string::npos);
    EXPECT_EQ(Slurp(dir / "out.tab"), "\tOld\tNew\tX\nCar\t2\t3\t1\n. Price\t2\t2\t1\n. Safety\t1\t3\t1\n");

    Result fresh = RunEval("-l " + kCarModel + " " + in);
    ASSERT_EQ(fresh.code, 0) << fresh.err;
    EXPECT_NE(fresh.out.find("Loaded options deleted\n"), std::string::npos);
    EXPECT_NE(fresh.out.find("Loaded options: 2\n"), std::string::npos);
}

TEST(MivoEval, HelpWithAValidCommandLineDoesNothingElse) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    Result r = RunEval(kCarModel + " " + in + " -help " + dir / "out.tab");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Slurp(std::string(MIVO_TEST_DATA) + "/eval/usage.txt"));
    EXPECT_FALSE(Exists(dir / "out.tab"));
}

TEST(MivoEval, RunErrorsExitWithOne) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    const std::string wrongRoot = dir.Write("root.mvo", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<MODEL/>\r\n");
    const std::string badValue = dir.Write("bad.tab", "\tA\tB\nPrice\t1\t7\n");
    struct Case {
        std::string args, err;
    };
    const std::vector<Case> cases = {
        {dir / "none.mvo" + " " + in + " " + dir / "out.tab",
         "Error: Cannot open file \"" + dir / "none.mvo" + "\": No such file or directory\n"},
        {wrongRoot + " " + in + " " + dir / "out.tab", "Error: Unsupported file format:\"" + wrongRoot + "\"\n"},
        {kCarModel + " " + dir / "none.tab" + " " + dir / "out.tab",
         "Error: Cannot open file \"" + dir / "none.tab" + "\": No such file or directory\n"},
        {kCarModel + " " + badValue + " " + dir / "out.tab",
         "Error: Data read error: [Attribute 0, Option 1] Value \"7\"\n"},
    };
    for (const Case& c : cases) {
        Result r = RunEval(c.args);
        EXPECT_EQ(r.code, 1) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_FALSE(Exists(dir / "out.tab")) << c.args;
    }
}

TEST(MivoEval, AnOutputThatCannotBeWrittenStopsTheRun) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    Result r = RunEval(kCarModel + " " + in + " " + dir / "first.tab" + " " + dir / "no/such/folder.tab" + " " +
                       dir / "third.tab");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("Error: Cannot create file \"" + dir / "no/such/folder.tab" + "\"", 0), 0u) << r.err;
    EXPECT_TRUE(Exists(dir / "first.tab"));
    EXPECT_FALSE(Exists(dir / "third.tab"));
    EXPECT_FALSE(Exists(dir / "no"));
}

TEST(MivoEval, AnOutputThatIsTheModelFileIsACommandLineError) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    fs::copy_file(kCarModel, dir / "car.mvo");
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "car.mvo", dir / "link.mvo");
    for (const std::string& out : {dir / "car.mvo", dir / "sub/../car.mvo", dir / "link.mvo"}) {
        Result r = RunEval(dir / "car.mvo" + " " + in + " -tab " + out);
        EXPECT_EQ(r.code, 2) << out;
        EXPECT_EQ(r.err, "MivoEval error: Output file is the Mivo model file: " + out + "\n");
        EXPECT_EQ(r.out, Slurp(std::string(MIVO_TEST_DATA) + "/eval/usage.txt"));
    }
    Result save = RunEval("-save " + dir / "car.mvo" + " " + dir / "car.mvo");
    EXPECT_EQ(save.code, 2);
    EXPECT_EQ(Slurp(dir / "car.mvo"), Slurp(kCarModel));
}

TEST(MivoEval, HostileFilesAreRefusedAndNothingIsWritten) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    std::string deep = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Mivo>";
    for (int i = 0; i < 100000; ++i) deep += "<ATTRIBUTE>";
    const std::string scale3 = "<SCALE><SCALEVALUE/><SCALEVALUE/><SCALEVALUE/></SCALE>";
    std::string wide = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Mivo><ATTRIBUTE><NAME>wide</NAME>" + scale3;
    for (int i = 0; i < 13; ++i) wide += "<ATTRIBUTE>" + scale3 + "</ATTRIBUTE>";
    wide += "<FUNCTION><LOW>0</LOW></FUNCTION></ATTRIBUTE></Mivo>\n";
    const std::string carText = Slurp(kCarModel);
    std::string outside = carText;
    outside.replace(outside.find("<LOW>012122</LOW>"), 17, "<LOW>012129</LOW>");

    struct Case {
        std::string what, model, input, message;
    };
    const std::vector<Case> cases = {
        {"empty model", "", kInput, "Missing or unrecognized XML header"},
        {"binary model", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), kInput, "Missing or unrecognized XML header"},
        {"not XML", "Price,Safety\n1,2\n", kInput, "Missing or unrecognized XML header"},
        {"truncated model", carText.substr(0, carText.size() / 2), kInput, "Error reading XML around line"},
        {"deep model", deep, kInput, "Error reading XML around line"},
        {"comment", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Mivo><!-- x --></Mivo>\n", kInput,
         "Error reading XML around line"},
        {"CDATA", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Mivo><![CDATA[x]]></Mivo>\n", kInput,
         "Error reading XML around line"},
        {"table too large", wide, kInput, "The decision table of attribute \"wide\""},
        {"rule outside the scale", outside, kInput, "Attribute \"Car\": rule 6 has a result value outside"},
        {"value out of range", carText, "\tA\nPrice\t3\n", "Data read error: [Attribute 0, Option 0] Value \"3\""},
        {"value zero in base 1", carText, "\tA\nSafety\t0\n", "Data read error: [Attribute 0, Option 0] Value \"0\""},
        {"wrong separator", carText, "\"\",\"A\"\n\"Price\",\"1\"\n", "No option data for the model"},
        {"wrong orientation", carText, "\tPrice\tSafety\nA\t1\t2\n", "No option data for the model"},
        {"model file as data", carText, carText, "No option data for the model"},
        {"empty data", carText, "", "No option data for the model"},
    };
    for (const Case& c : cases) {
        const std::string model = dir.Write("model.mvo", c.model);
        const std::string input = dir.Write("input.tab", c.input);
        Result r = RunEval(model + " " + input + " " + dir / "out.tab");
        EXPECT_EQ(r.code, 1) << c.what;
        EXPECT_EQ(r.err.rfind("Error: ", 0), 0u) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(Exists(dir / "out.tab")) << c.what;
    }
    // Unbalanced quotes in comma-separated data.
    const std::string csv = dir.Write("quotes.csv", "\"\",\"A\"\n\"Price\",\"1\n");
    Result r = RunEval(kCarModel + " " + csv + " " + dir / "out.tab");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("quotes"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(dir / "out.tab"));
}

TEST(MivoEval, AwkwardButValidOptionFilesAreReadCorrectly) {
    RunDir dir;
    // Byte-order mark, CR LF and CR and LF line ends, empty lines, a ragged
    // line, an unknown attribute title, an indented title.
    const std::string in = dir.Write("odd.tab", "\xEF\xBB\xBF\tA\tB\r\n\r\nColour\tred\tblue\r"
                                                ". Price\t2\n\nSafety\t3\t1\t2\n");
    Result r = RunEval(kCarModel + " " + in + " -ab " + dir / "out.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "out.tab"), "\tA\tB\t\n. Price\t2\t*\t*\n. Safety\t3\t1\t2\n");
}

TEST(MivoEval, AMillionColumnsOnOneLineAreRead) {
    RunDir dir;
    const int n = 1000000;
    std::string names, prices;
    names.reserve(9 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        names += "\to" + std::to_string(i);
        prices += i % 2 ? "\t1" : "\t2";
    }
    const std::string in = dir.Write("wide.tab", names + "\nPrice" + prices + "\nSafety\t3\n");
    Result r = RunEval("-l " + kCarModel + " " + in + " -ab -ot " + dir / "out.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Evaluated options: 1000000\n"), std::string::npos);
    const std::string out = Slurp(dir / "out.tab");
    const std::string head = "\t. Price\t. Safety\no0\t2\t3\no1\t1\t*\no2\t2\t*\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), n + 1);
}

// The six keys that only the desktop program reads are skipped by the batch
// run, whatever they hold: this model evaluates as the plain one does.
TEST(MivoEval, KeysOnlyTheDesktopReadsDoNotStopARun) {
    RunDir dir;
    const std::string in = dir.Write("in.tab", kInput);
    const std::string model = std::string(MIVO_TEST_DATA) + "/eval/desktop-keys.mvo";
    Result r = RunEval(model + " " + in + " " + dir / "out.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Result plain = RunEval(kCarModel + " " + in + " " + dir / "plain.tab");
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(Slurp(dir / "out.tab"), Slurp(dir / "plain.tab"));
}

// Tab-delimited text read as comma-separated (by -csv, a .csv name or no
// extension) separates its items at the tabs, so nothing is lost.
TEST(MivoEval, TabTextReadAsCommaSeparatedKeepsItsOptions) {
    RunDir dir;
    const std::string example = std::string(MIVO_SOURCE_DIR) + "/examples/";
    Result r = RunEval("-l " + example + "apartment.mvo -csv " + example + "apartment-options.tab " + dir / "out.tab");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Loaded options: 4\n"), std::string::npos) << r.out;
    Result tab = RunEval(example + "apartment.mvo " + example + "apartment-options.tab " + dir / "tab.tab");
    ASSERT_EQ(tab.code, 0) << tab.err;
    EXPECT_EQ(Slurp(dir / "out.tab"), Slurp(dir / "tab.tab"));

    // A bare attribute title on a line of its own no longer hides the rest.
    const std::string noext = dir.Write("data", "\tA\tB\nSafety\nPrice\t2\t1\n");
    Result bare = RunEval("-l " + kCarModel + " " + noext + " -ab " + dir / "bare.tab");
    ASSERT_EQ(bare.code, 0) << bare.err;
    EXPECT_NE(bare.out.find("Loaded options: 2\n"), std::string::npos) << bare.out;
    EXPECT_EQ(Slurp(dir / "bare.tab"), "\tA\tB\n. Price\t2\t1\n. Safety\t*\t*\n");
}
