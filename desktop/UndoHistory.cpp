#include "desktop/UndoHistory.h"

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/RunTime.h"
#include "model/Xml.h"
#include "model/XmlHeaderScope.h"

namespace mivo {

TCompressedText TakeModelSnapshot(TMivoModel& model) {
    const bool modified = model.Modified;
    struct TRestoreMark {
        TMivoModel& model;
        bool modified;
        ~TRestoreMark() { model.Modified = modified; }
    } restore{model, modified};
    // Always UTF-8, whatever header a save dialog last chose, so that every
    // value code reads back exactly (the reader expects that header too).
    TXmlHeaderScope header(XmlUtf8Header);
    TCompressedText::TWriter writer;
    SaveToSink(model, [&writer](std::string_view piece) { writer.Append(piece); });
    return writer.Finish();
}

std::unique_ptr<TMivoModel> ReadModelSnapshot(const TCompressedText& snapshot) {
    auto model = std::make_unique<TMivoModel>();
    try {
        TCompressedText::TReader reader(snapshot);
        LoadFromSource(*model, [&reader](char* buffer, std::size_t size) { return reader.Read(buffer, size); });
    } catch (const Exception& error) {
        throw EMivoError(Format(SSnapshotUnreadable, error.what()));
    }
    model->Modified = true;
    return model;
}

// ---------------------------------------------------------------------------

bool TOptionSnapshot::SameData(const TOptionSnapshot& other) const {
    return Names == other.Names && Selection == other.Selection && Attributes == other.Attributes &&
           Values == other.Values;
}

TOptionSnapshot TakeOptionSnapshot(const TMivoModel& model) {
    TOptionSnapshot snapshot;
    snapshot.Names = model.Options();
    snapshot.Selection = model.Selection();
    snapshot.Evaluated = !model.NeedsEvaluation;
    snapshot.Linking = model.Linking();
    snapshot.Attributes = model.Attributes();
    snapshot.Values.reserve(snapshot.Attributes.size());
    // Copies of the value lists share their entries with the attributes
    // until one side changes.
    for (const TMivoAttribute* attribute : snapshot.Attributes) snapshot.Values.push_back(attribute->Values());
    return snapshot;
}

bool SnapshotMatchesModel(const TOptionSnapshot& snapshot, const TMivoModel& model) {
    return snapshot.Attributes == model.Attributes();
}

void ApplyOptionSnapshot(const TOptionSnapshot& snapshot, TMivoModel& model) {
    if (!SnapshotMatchesModel(snapshot, model)) throw EMivoError(SOptionHistoryMismatch);
    model.DeleteAllOptions();
    for (const std::string& name : snapshot.Names) model.AddOption(name);
    for (int i = 0; i < static_cast<int>(snapshot.Selection.size()); ++i)
        model.SetOptionSelected(i, snapshot.Selection[static_cast<std::size_t>(i)] == '1');
    for (std::size_t i = 0; i < snapshot.Attributes.size(); ++i) snapshot.Attributes[i]->SetValues(snapshot.Values[i]);
    model.Changed();
    if (snapshot.Evaluated && snapshot.Linking == model.Linking()) {
        // The aggregate and linked values were taken evaluated over this
        // very tree with the same links: they are the evaluation's result
        // already. Under the other linking they are not.
        model.NeedsEvaluation = false;
    } else {
        model.Reevaluate();
    }
    model.Modified = true;
}

}  // namespace mivo
