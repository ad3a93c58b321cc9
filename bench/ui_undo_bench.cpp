// Undo on a large model: memory and time of structural edits with undo on.
//
// Opens the model in a model window (offscreen), then adds an attribute 20
// times, each under another basic attribute, as the Model page's Add does
// (every Add takes a model undo point), and undoes and redoes a few steps.
// Printed: the process's resident memory after opening and after every
// edit, its peak after 8 and after 20 edits, the time of every Add, Undo
// and Redo, and the memory the model history holds. Goals on the model of
// 5,461 attributes by 2,000 options: the process stays under 1 GB after 20
// edits, an Add takes at most 1 s.
//
// The model:
//   python3 bench/gen_bench.py --tree /tmp/mivo-undo
//   build/release/bench/bench_ui_undo_bench /tmp/mivo-undo/tree.mvo
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/BenchShell.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/TreePage.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "platform/ScriptedPrompts.h"

namespace {

using namespace mivo;

using bench::TMemoryClipboard;
using bench::TNoHelp;

// Wall and processor time of the work, in ms: on a busy machine the
// processor time shows the work's own cost.
struct TTimes {
    double Wall = 0;
    double Cpu = 0;
};

double CpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

TTimes Millis(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuMillis();
    work();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            CpuMillis() - cpu};
}

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024.0;
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s model.mvo (python3 bench/gen_bench.py --tree <folder> writes one)\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TScriptedPrompts prompts;
    TNoHelp help;
    TMemoryClipboard clipboard;
    TMainForm main(prompts, help, clipboard);
    main.resize(1200, 800);
    main.show();

    TModelForm* form = nullptr;
    const TTimes open = Millis([&] {
        form = main.OpenModelWindow(argv[1]);
        QApplication::processEvents();
    });
    if (!form) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    auto& page = dynamic_cast<TTreePage&>(form->Page(TModelPage::Model));
    TMivoModel& model = form->Model();
    const auto stats = model.Statistics();
    std::printf("%d attributes x %d options; open %.0f ms (cpu %.0f ms), resident %.0f MB (peak %.0f MB)\n",
                stats.Attributes, model.OptionCount(), open.Wall, open.Cpu, StatusMb("VmRSS"), StatusMb("VmHWM"));
    const auto held = [&] {
        std::size_t bytes = 0;
        const TModelUndoHistory& history = form->State().ModelUndo();
        for (int i = 0; i < history.Count(); ++i) bytes += history.At(i).StoredSize();
        return static_cast<double>(bytes) / 1e6;
    };

    // The slowest of each kind, wall and processor time apart.
    struct TSlowest {
        TTimes Max;
        void Add(const TTimes& t) {
            Max.Wall = std::max(Max.Wall, t.Wall);
            Max.Cpu = std::max(Max.Cpu, t.Cpu);
        }
    } add, undo, redo;
    const auto step = [&](const char* what, int n, TSlowest& slowest, const std::function<void()>& run) {
        const TTimes t = Millis([&] {
            run();
            QApplication::processEvents();
        });
        slowest.Add(t);
        std::printf("%s %2d %6.0f ms (cpu %5.0f)   resident %5.0f MB   history %2d states, %6.1f MB\n", what, n, t.Wall,
                    t.Cpu, StatusMb("VmRSS"), form->State().ModelUndo().Count(), held());
    };

    const std::vector<TMivoAttribute*> basics = form->State().BasicAttrs();
    double peak8 = 0;
    for (int edit = 1; edit <= 20; ++edit) {
        page.SelectNode(basics[static_cast<std::size_t>(edit) * basics.size() / 21]);
        form->UpdateControls();
        step("add ", edit, add, [&] { page.ModAddBtnClick(); });
        if (edit == 8) peak8 = StatusMb("VmHWM");
    }
    const double peak20 = StatusMb("VmHWM");
    for (int i = 1; i <= 5; ++i) step("undo", i, undo, [&] { form->ModUndoClick(); });
    for (int i = 1; i <= 3; ++i) step("redo", i, redo, [&] { form->ModRedoClick(); });
    std::printf("peak resident after 8 edits %.0f MB, after 20 edits %.0f MB (goal 1024 MB), at the end %.0f MB\n",
                peak8, peak20, StatusMb("VmHWM"));
    std::printf("slowest add %.0f ms (cpu %.0f; goal 1000 ms), undo %.0f ms (cpu %.0f), redo %.0f ms (cpu %.0f)\n",
                add.Max.Wall, add.Max.Cpu, undo.Max.Wall, undo.Max.Cpu, redo.Max.Wall, redo.Max.Cpu);

    for (const std::string& failure : prompts.Failures()) std::printf("unexpected: %s\n", failure.c_str());
    for (TModelForm* f : main.ModelForms()) f->Model().Modified = false;
    return 0;
}
