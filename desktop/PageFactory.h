// The makers of the model window's four pages. Each is defined in a file of
// its own (ModelPageFactory.cpp, OptionsPageFactory.cpp,
// EvaluationPageFactory.cpp, ChartsPageFactory.cpp), so that the author of
// a page replaces only that file. Until a page is built, its maker gives a
// plain frame (the Model page shows the window's tree view).
#pragma once

#include <memory>

namespace mivo {

class TModelForm;
class TPage;

std::unique_ptr<TPage> MakeModelPage(TModelForm& form);
std::unique_ptr<TPage> MakeOptionsPage(TModelForm& form);
std::unique_ptr<TPage> MakeEvaluationPage(TModelForm& form);
std::unique_ptr<TPage> MakeChartsPage(TModelForm& form);

}  // namespace mivo
