#include <QWidget>

#include "desktop/FramePage.h"
#include "desktop/PageFactory.h"

namespace mivo {

// The Evaluation page as a plain frame until the page is built.
std::unique_ptr<TPage> MakeEvaluationPage(TModelForm& form) {
    auto page = std::make_unique<TFramePage>(form, TModelPage::Evaluation, QStringLiteral("&Evaluation"), TUndoKind::Options, DefaultPageMenuGroup);
    page->SetContent(new QWidget);
    return page;
}

}  // namespace mivo
