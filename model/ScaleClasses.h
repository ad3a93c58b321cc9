// The bad and good marks that the interchange formats carry per scale value,
// turned into the scale's two bounds.
//
// The formats mark every value bad, good or neutral (a value that is both
// bad and good is written as bad). An import collects the marks of all
// values first and sets the bounds once at the end, good bound first:
//
//   ascending, unordered   good bound = first good value, bad bound = last
//                          bad value
//   descending             good bound = last good value, bad bound = first
//                          bad value
//
// A scale without good (bad) values gets a good (bad) bound beyond every
// value, so it has none. Values marked so that the classes are contiguous
// at the ends of the scale (as every export writes them) come back with
// exactly the classes they were written with.
#pragma once

#include <climits>

namespace mivo {

class TMivoScale;

class TClassMarks {
public:
    void MarkBad(int index);
    void MarkGood(int index);

    // Sets the good bound, then the bad bound of the scale from the marks,
    // by the scale's order (see above).
    void Apply(TMivoScale& scale) const;

private:
    int first_bad_ = INT_MAX;
    int last_bad_ = -1;
    int first_good_ = INT_MAX;
    int last_good_ = -1;
};

}  // namespace mivo
