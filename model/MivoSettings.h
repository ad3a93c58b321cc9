// The settings record of one model. It travels inside the model file
// (element "SETTINGS"); the desktop program keeps no settings elsewhere.
#pragma once

#include <cstdint>
#include <string>

#include "model/Utils.h"

namespace mivo {

// Font-style set: bold 1, italic 2, underline 4.
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;

// Colour in RGB order with red in the low byte.
using TColor = std::uint32_t;

class TMivoSettings {
public:
    TMivoSettings() { Defaults(); }

    // Every field back to its default; both sets to all 256 members.
    void Defaults();

    // Options per evaluation table in reports: EvalCol when above 0, else 5.
    int EvalColumns() const { return EvalCol > 0 ? EvalCol : 5; }

    bool operator==(const TMivoSettings&) const = default;

    bool Linking;              // "LINKING"
    bool Undoing;              // "UNDOING"
    TValueSet ReportParts;     // "REPORTS"
    TValueSet WeightShow;      // "WEIGHTS"
    bool PageBreak;            // "PAGEBREAK"
    TColor BadColor;           // "BADCOLOR"
    TColor GoodColor;          // "GOODCOLOR"
    TFontStyles BadFontStyle;  // "BADFONTSTYLE"
    TFontStyles GoodFontStyle; // "GOODFONTSTYLE"
    std::int32_t WeightDec;    // "WEIGHTDEC"
    std::int32_t EvalCol;      // "EVALCOL"
    std::int32_t EvalTrim;     // "EVALTRIM"
    bool ShowWeights;          // "SHOWWEIGHTS"
    bool ShowNum;              // "SHOWNUM"
    bool ComplexRules;         // "COMPLEX"
    bool EnteredOnly;          // "ENTERED"
    std::int32_t FontSize;     // "FONTSIZE"
    std::string FontName;      // "FONTNAME"
    std::uint8_t OptDataType;  // "OPTDATATYPE": 0 base 0, 1 base 1, 2 text
    bool OptDataAll;           // "OPTDATAALL"
    bool OptTranspose;         // "OPTTRANSPOSE"
    bool OptLevels;            // "OPTLEVELS"
    std::uint8_t FncDataType;  // "FNCDATATYPE": 0 base 0, 1 base 1, 2 text
    bool FncDataAll;           // "FNCDATAALL"
    std::uint8_t FncFormatType;// "FNCFORMATTYPE": 0 "from <tab> to", 1 "from:to", 2 "*; <=; >="
};

}  // namespace mivo
