#include "model/MivoSettings.h"

namespace mivo {

void TMivoSettings::Defaults() {
    Linking = false;
    Undoing = true;
    ReportParts = FullValueSet();
    WeightShow = FullValueSet();
    PageBreak = false;
    BadColor = 255;
    GoodColor = 0x8000;
    BadFontStyle = fsBold;
    GoodFontStyle = fsBold | fsItalic;
    WeightDec = 0;
    EvalCol = 0;
    EvalTrim = 0;
    ShowWeights = true;
    ShowNum = true;
    ComplexRules = true;
    EnteredOnly = false;
    FontSize = 10;
    FontName = "Arial";
    OptDataType = 1;
    OptDataAll = true;
    OptTranspose = false;
    OptLevels = true;
    FncDataType = 1;
    FncDataAll = true;
    FncFormatType = 1;
}

}  // namespace mivo
