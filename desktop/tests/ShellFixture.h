// What the desktop tests share: recording stand-ins for the help service,
// the system clipboard and the report viewer, a main window over scripted
// prompts, and scratch folders.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "model/Clipboard.h"
#include "model/MivoModel.h"
#include "platform/Help.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"
#include "reports/Report.h"
#include "reports/ReportViewer.h"

namespace mivo::test {

class TRecordingHelp final : public THelp {
public:
    void ShowContext(int context) override { Calls.push_back("context " + std::to_string(context)); }
    void ShowContents() override { Calls.push_back("contents"); }
    void ShowIndex(const std::string& keyword) override { Calls.push_back("index " + keyword); }
    void CloseAll() override { Calls.push_back("close"); }
    std::vector<std::string> Calls;
};

class TMemoryClipboard final : public TClipboard {
public:
    std::string GetText() const override { return Text; }
    void SetText(const std::string& text) override { Text = text; }
    std::string Text;
};

class TRecordingViewer final : public TReportViewer {
public:
    TFont ReportFont() const override { return {}; }
    TPen PreviewPen() const override { return {}; }
    void ShowReport(std::unique_ptr<TReport> report) override {
        ++Shown;
        Last = std::move(report);
    }
    int Shown = 0;
    std::unique_ptr<TReport> Last;
};

// A scratch folder, removed with its contents at the end of the test.
class TScratchDir {
public:
    TScratchDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("mivo-desktop-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TScratchDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

private:
    std::filesystem::path path_;
};

inline std::string ExampleModel() { return std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo"; }

// A main window over scripted prompts and recorders, shown offscreen.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApplication();
        Main = std::make_unique<TMainForm>(Prompts, Help, Clipboard);
        Main->SetReportViewer(&Viewer);
        Main->resize(900, 600);
    }
    void TearDown() override {
        // Nothing left to answer, nothing unexpected asked.
        EXPECT_TRUE(Prompts.Failures().empty()) << Prompts.Failures().front();
        EXPECT_EQ(Prompts.Pending(), 0u);
        DiscardChanges();
        Main.reset();
    }

    // Marks every model unmodified, so closing asks nothing.
    void DiscardChanges() {
        if (!Main) return;
        for (TModelForm* form : Main->ModelForms()) form->Model().Modified = false;
    }

    // A new main window with a command line, shown, its queued opening run.
    void Restart(std::vector<std::string> commandLine) {
        DiscardChanges();
        Main.reset();
        Main = std::make_unique<TMainForm>(Prompts, Help, Clipboard, std::move(commandLine));
        Main->SetReportViewer(&Viewer);
        Main->resize(900, 600);
        Main->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // Runs the deletions that closed windows asked for.
    static void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    int WindowCount() const { return static_cast<int>(Main->MdiArea()->subWindowList().size()); }

    TScriptedPrompts Prompts;
    TRecordingHelp Help;
    TMemoryClipboard Clipboard;
    TRecordingViewer Viewer;
    std::unique_ptr<TMainForm> Main;
};

}  // namespace mivo::test
