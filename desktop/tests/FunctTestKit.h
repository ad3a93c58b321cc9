// What the rule editor's and the weights dialog's tests share: a small
// model built in the test, and the services the editor is given (an
// in-memory clipboard, one that fails, a report viewer that keeps the
// report, a help recorder).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "platform/Help.h"
#include "reports/Report.h"
#include "reports/ReportViewer.h"

namespace mivo::testkit {

class TMemoryClipboard : public TClipboard {
public:
    std::string GetText() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    std::string text;
};

class TFailingClipboard : public TClipboard {
public:
    std::string GetText() const override { throw EMivoError("The clipboard cannot be opened"); }
    void SetText(const std::string&) override { throw EMivoError("The clipboard cannot be opened"); }
};

class TKeepingViewer : public TReportViewer {
public:
    TFont ReportFont() const override { return TFont{"Sans", 10, 0, 0}; }
    TPen PreviewPen() const override { return TPen{}; }
    void ShowReport(std::unique_ptr<TReport> shown) override {
        busyWhenShown = QGuiApplication::overrideCursor() != nullptr;
        report = std::move(shown);
        ++shows;
    }
    std::unique_ptr<TReport> report;
    bool busyWhenShown = false;
    int shows = 0;
};

class THelpRecorder : public THelp {
public:
    void ShowContext(int context) override { contexts.push_back(context); }
    void ShowContents() override {}
    void ShowIndex(const std::string&) override {}
    void CloseAll() override {}
    std::vector<int> contexts;
};

inline std::unique_ptr<TMivoDiscreteScale> MakeScale(const std::vector<std::string>& names,
                                                     std::uint8_t order = soAscending) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const std::string& name : names) scale->AddValue(name);
    scale->Order = order;
    scale->DefaultBounds();
    return scale;
}

inline TMivoAttribute* AddAttribute(TMivoAttribute& parent, const std::string& name,
                                    const std::vector<std::string>& values, std::uint8_t order = soAscending) {
    TMivoAttribute* attribute = parent.AddInput(std::make_unique<TMivoAttribute>(name));
    attribute->SetScale(MakeScale(values, order));
    return attribute;
}

// "Car" (bad, fair, good) over three ascending inputs: Price (high,
// medium, low), Safety (poor, sound), Comfort (basic, rich): 12 rules.
// "Paint" (dull, fine, bright) over an unordered Colour (red, blue, green)
// and an ascending Finish (matt, gloss): 6 rules.
struct TTestModel {
    TTestModel() {
        car = AddAttribute(*model.Root(), "Car", {"bad", "fair", "good"});
        AddAttribute(*car, "Price", {"high", "medium", "low"});
        AddAttribute(*car, "Safety", {"poor", "sound"});
        AddAttribute(*car, "Comfort", {"basic", "rich"});
        car->CreateFunction();
        paint = AddAttribute(*model.Root(), "Paint", {"dull", "fine", "bright"});
        AddAttribute(*paint, "Colour", {"red", "blue", "green"}, soUnordered);
        AddAttribute(*paint, "Finish", {"matt", "gloss"});
        paint->CreateFunction();
    }
    TMivoModel model;
    TMivoAttribute* car = nullptr;
    TMivoAttribute* paint = nullptr;
};

// Every rule string of the table joined by spaces: the whole table at a
// glance.
inline std::string RulesOf(const TMivoFunction& funct) {
    std::string text;
    for (int r = 0; r < funct.RuleCount(); ++r) text += (r ? " " : "") + funct.Rules().Get(r);
    return text;
}

}  // namespace mivo::testkit
