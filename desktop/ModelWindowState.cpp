#include "desktop/ModelWindowState.h"

#include <algorithm>
#include <unordered_set>

#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/Utils.h"

namespace mivo {

std::string ScaleValuesText(const TMivoAttribute* attribute) {
    if (!attribute) return {};
    const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale());
    if (!scale || scale->Count() == 0) return {};
    std::string text = "[";
    for (int i = 0; i < scale->Count(); ++i) {
        if (i > 0) text += ',';
        text += scale->ValueName(i);
    }
    text += ']';
    return text;
}

std::string AttributeHint(const TMivoAttribute* attribute) {
    if (!attribute) return {};
    std::string description = attribute->GetDescription();
    if (!description.empty()) return description;
    return StrAfter(attribute->Path(), "\\Root\\") + " " + ScaleValuesText(attribute);
}

std::vector<std::string> ValueBoxItems(const TMivoAttribute* attribute) {
    std::vector<std::string> items;
    if (attribute) {
        if (const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()))
            for (int i = 0; i < scale->Count(); ++i) items.push_back(scale->ValueName(i));
    }
    items.emplace_back("*");
    return items;
}

int ValueBoxSelection(const TMivoAttribute* attribute, int option) {
    const int last = static_cast<int>(ValueBoxItems(attribute).size()) - 1;
    if (!attribute) return last;
    const int index = attribute->OptValueIndex(option);
    return index < 0 ? last : index;
}

std::string ValueItemCaption(int index, const std::string& name) {
    return name == "*" ? std::string("&*") : Format("&%d &%s", index + 1, name);
}

std::string ModelCaption(const TMivoModel& model, const std::string& fileName) {
    return Format(MivoStr::SModelCaption, model.FirstAttributeName(), model.Modified ? "*" : "", fileName);
}

std::string ModelStatusText(const TMivoModel& model) { return StatisticsText(model.Statistics()); }

bool CanExportFunction(TModelPage page, const TMivoAttribute* attribute) {
    return page == TModelPage::Model && attribute && attribute->Funct();
}

bool CanImportFunction(TModelPage page, const TMivoAttribute* attribute) {
    if (page != TModelPage::Model || !attribute || attribute->IsBasic()) return false;
    return attribute->Funct() || (attribute->CanHaveFunction() && attribute->FunctionSize() < 1001);
}

// ---------------------------------------------------------------------------

TModelWindowState::TModelWindowState() : model_(std::make_unique<TMivoModel>()) {}

TModelWindowState::~TModelWindowState() = default;

std::unique_ptr<TMivoModel> TModelWindowState::ReplaceModel(std::unique_ptr<TMivoModel> model) {
    if (!model) model = std::make_unique<TMivoModel>();
    std::swap(model_, model);
    current_ = nullptr;
    chart_attrs_.clear();
    StructureChanged();
    return model;
}

void TModelWindowState::AddChartAttr(TMivoAttribute* attribute) {
    if (attribute && !IsChartAttr(attribute)) chart_attrs_.push_back(attribute);
}

void TModelWindowState::RemoveChartAttr(const TMivoAttribute* attribute) {
    std::erase(chart_attrs_, attribute);
}

bool TModelWindowState::IsChartAttr(const TMivoAttribute* attribute) const {
    return std::find(chart_attrs_.begin(), chart_attrs_.end(), attribute) != chart_attrs_.end();
}

void TModelWindowState::StructureChanged() {
    all_attrs_ = model_->Attributes();
    basic_attrs_.clear();
    for (TMivoAttribute* attribute : all_attrs_)
        if (attribute->IsBasic() && !attribute->Link()) basic_attrs_.push_back(attribute);

    // Membership in the tree as it is now: the pointers held in the other
    // lists are only compared with live attributes, never dereferenced.
    const std::unordered_set<const TMivoAttribute*> live(all_attrs_.begin(), all_attrs_.end());
    std::erase_if(chart_attrs_, [&live](const TMivoAttribute* a) { return !live.contains(a); });
    if (current_ && !live.contains(current_)) current_ = nullptr;

    ClampCell(OptRow, OptCol, OptGridRows(), GridCols());
    ClampCell(EvalGridRow, EvalGridCol, EvalGridRows(), GridCols());
}

void TModelWindowState::ClampCell(int& row, int& col, int rows, int cols) {
    // A remembered cell outside the grid moves to its last row or column;
    // -1 (none) stays.
    if (row >= rows) row = rows - 1;
    if (col >= cols) col = cols - 1;
}

TMivoAttribute* TModelWindowState::OptRowAttribute(int row) const {
    const int i = row - 2;
    if (i < 0 || i >= static_cast<int>(basic_attrs_.size())) return nullptr;
    return basic_attrs_[static_cast<std::size_t>(i)];
}

TMivoAttribute* TModelWindowState::EvalRowAttribute(int row) const {
    const int i = row - 2;
    if (i < 0 || i >= static_cast<int>(all_attrs_.size())) return nullptr;
    return all_attrs_[static_cast<std::size_t>(i)];
}

int TModelWindowState::OptGridRows() const { return 2 + static_cast<int>(basic_attrs_.size()); }
int TModelWindowState::EvalGridRows() const { return 2 + static_cast<int>(all_attrs_.size()); }
int TModelWindowState::GridCols() const { return 1 + model_->OptionCount(); }

void TModelWindowState::SelectFirstAttribute() { current_ = model_->FirstAttribute(); }

}  // namespace mivo
