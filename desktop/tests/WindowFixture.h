// A model window without widgets, for the tests of its plain classes: the
// state, the undo and file commands over it, scripted prompts, and a
// recorder in the window's place that also plays the tree view (it holds
// the attributes the way the tree's nodes do and reads them on every
// refresh, so a node left pointing at a freed attribute shows up under
// AddressSanitizer).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "desktop/Commands.h"
#include "desktop/FileCommands.h"
#include "desktop/ModelWindowEvents.h"
#include "desktop/ModelWindowState.h"
#include "desktop/UndoCommands.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/tests/InterchangeFixture.h"
#include "platform/ScriptedPrompts.h"

namespace mivo::fixture {

class TRecorder final : public TModelWindowEvents {
public:
    explicit TRecorder(TModelWindowState& state) : state_(state) {}

    void ClearTree() override {
        ReadNodes();
        nodes_.clear();
        Log.push_back("ClearTree");
    }
    void ModelReplaced() override {
        EXPECT_TRUE(nodes_.empty()) << "the tree was not cleared before the model was replaced";
        nodes_ = state_.AllAttrs();
        Log.push_back("ModelReplaced");
    }
    void OptionsReplaced(const TGridCells& cells) override {
        RestoredCells = cells;
        Log.push_back("OptionsReplaced");
    }
    TGridCells CurrentCells() const override { return Cells; }
    void UpdateControls() override {
        ReadNodes();
        ++Updates;
    }
    void Maximize() override { Log.push_back("Maximize"); }

    // The tree view's nodes follow the model after a structural edit.
    void FillTree() { nodes_ = state_.AllAttrs(); }

    std::vector<std::string> Log;
    TGridCells Cells;
    TGridCells RestoredCells;
    int Updates = 0;

private:
    // What painting the tree does: read every node's attribute.
    void ReadNodes() const {
        std::size_t length = 0;
        for (const TMivoAttribute* a : nodes_) length += a->GetName().size();
        (void)length;
    }

    TModelWindowState& state_;
    std::vector<TMivoAttribute*> nodes_;
};

// The window: state, recorder, undo and file commands, prompts.
struct TWindow {
    TModelWindowState State;
    TRecorder Events{State};
    TUndoCommands Undo{State, Events};
    TScriptedPrompts Prompts;
    TFileCommands Files{State, Events, Undo, Prompts};

    // The window takes the model as if it had been opened: lists, tree,
    // first node selected, model history reset.
    void Load(std::unique_ptr<TMivoModel> model) {
        State.ReplaceModel(std::move(model));
        State.SelectFirstAttribute();
        Events.FillTree();
        Undo.ResetModelUndo();
    }

    TMivoModel& Model() { return State.Model(); }
    TMivoAttribute* Find(const std::string& name) { return State.Model().FindByName(name); }
    TCommandStates Commands(const TEnablingFacts& facts = {}) { return CommandStates(State, facts); }
};

// A fresh folder for one test's files, removed afterwards.
class TTempFolder {
public:
    TTempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("desktop_") + info->test_suite_name() + "_" + info->name() + "_" +
                           std::to_string(::getpid());
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::path(::testing::TempDir()) / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TTempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadFileText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileText(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary);
    out << text;
}

}  // namespace mivo::fixture
