#include "model/ScaleClasses.h"

#include <algorithm>

#include "model/MivoScale.h"

namespace mivo {

void TClassMarks::MarkBad(int index) {
    first_bad_ = std::min(first_bad_, index);
    last_bad_ = std::max(last_bad_, index);
}

void TClassMarks::MarkGood(int index) {
    first_good_ = std::min(first_good_, index);
    last_good_ = std::max(last_good_, index);
}

void TClassMarks::Apply(TMivoScale& scale) const {
    if (scale.IsDescending()) {
        // Values run from good to bad: the good ones sit at and below the
        // good bound, the bad ones at and above the bad bound.
        scale.SetGoodBound(last_good_);
        scale.SetBadBound(first_bad_);
    } else {
        scale.SetGoodBound(first_good_);
        scale.SetBadBound(last_bad_);
    }
}

}  // namespace mivo
