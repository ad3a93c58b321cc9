#include "model/MivoScale.h"

#include "model/MivoStr.h"
#include "model/MivoUtl.h"

namespace mivo {

char ValueChar(int index) {
    if (index < 0 || index >= MaxScaleValues) throw ERangeError();
    return static_cast<char>(static_cast<unsigned char>('0' + index));
}

// ===========================================================================
// TMivoScaleValue

TMivoScaleValue::TMivoScaleValue(const std::string& name, const std::string& description) {
    SetName(name);
    SetDescription(description);
}

std::unique_ptr<TMivoScaleValue> CreateScaleValue(const std::string& name, const std::string& description) {
    return std::make_unique<TMivoScaleValue>(name, description);
}

// ===========================================================================
// TMivoScale

int TMivoScale::LowInt() const { return 0; }
int TMivoScale::HighInt() const { return Count() - 1; }
double TMivoScale::LowFloat() const { return LowInt() - 0.5 + Eps; }
double TMivoScale::HighFloat() const { return HighInt() + 0.5 - Eps; }

double TMivoScale::GetBadBound() const {
    switch (Order) {
        case soUnordered:
            return LowInt() - Eps;
        case soDescending:
            return BGHigh;
        default:
            return BGLow;
    }
}

double TMivoScale::GetGoodBound() const {
    switch (Order) {
        case soUnordered:
            return HighInt() + Eps;
        case soDescending:
            return BGLow;
        default:
            return BGHigh;
    }
}

void TMivoScale::SetBadBound(double bound) {
    if (IsDescending()) {
        BGHigh = bound;
        if (BGLow > BGHigh) BGLow = bound;
    } else {
        BGLow = bound;
        if (BGLow > BGHigh) BGHigh = bound;
    }
}

void TMivoScale::SetGoodBound(double bound) {
    if (IsDescending()) {
        BGLow = bound;
        if (BGLow > BGHigh) BGHigh = bound;
    } else {
        BGHigh = bound;
        if (BGLow > BGHigh) BGLow = bound;
    }
}

bool TMivoScale::IsBetter(double x, double bound) const {
    if (!IsOrdered()) return false;
    return IsDescending() ? x < bound : x > bound;
}

bool TMivoScale::IsWorse(double x, double bound) const {
    if (!IsOrdered()) return false;
    return IsDescending() ? x > bound : x < bound;
}

bool TMivoScale::IsBetterOrEqual(double x, double bound) const {
    if (!IsOrdered()) return false;
    return SameValue(x, bound) || IsBetter(x, bound);
}

bool TMivoScale::IsWorseOrEqual(double x, double bound) const {
    if (!IsOrdered()) return false;
    return SameValue(x, bound) || IsWorse(x, bound);
}

std::string TMivoScale::ScaleString() const {
    std::string text = GetName();
    if (Order == soAscending)
        text += '+';
    else if (Order == soDescending)
        text += '-';
    if (!Unit.empty()) text += "[" + Unit + "]";
    return text;
}

bool TMivoScale::EqualStructure(const TMivoScale* other) const {
    return other && Order == other->Order && Count() == other->Count() && LowFloat() == other->LowFloat() &&
           HighFloat() == other->HighFloat();
}

bool TMivoScale::Equal(const TMivoScale* other) const {
    return EqualStructure(other) && Unit == other->Unit && SameValue(BGLow, other->BGLow) &&
           SameValue(BGHigh, other->BGHigh);
}

void TMivoScale::Assign(const TMivoScale* other) {
    if (!other || other == this) return;
    Order = other->Order;
    Unit = other->Unit;
    BGLow = other->BGLow;
    BGHigh = other->BGHigh;
    Interval = other->Interval;
}

// ===========================================================================
// TMivoDiscreteScale

TMivoScaleValue* TMivoDiscreteScale::Value(int i) const { return values_.GetItem(i); }

std::string TMivoDiscreteScale::ValueName(int i) const { return Value(i)->GetName(); }
std::string TMivoDiscreteScale::ValueDescription(int i) const { return Value(i)->GetDescription(); }
void TMivoDiscreteScale::SetValueName(int i, const std::string& name) { Value(i)->SetName(name); }
void TMivoDiscreteScale::SetValueDescription(int i, const std::string& description) {
    Value(i)->SetDescription(description);
}

void TMivoDiscreteScale::CheckRoom() const {
    if (Count() >= MaxScaleValues)
        throw EMivoError(Format("Scale \"%s\" cannot hold more than %d values", GetName(), MaxScaleValues));
}

void TMivoDiscreteScale::AddValue(const std::string& name, const std::string& description) {
    CheckRoom();
    auto value = CreateScaleValue(name, description);
    values_.Add(value.get());
    value.release();
    ValueInserted(Count() - 1);
}

void TMivoDiscreteScale::InsertValue(int i, const std::string& name, const std::string& description) {
    if (i == Count()) {
        AddValue(name, description);
        return;
    }
    if (!values_.ValidIndex(i)) ListIndexError(i);
    CheckRoom();
    auto value = CreateScaleValue(name, description);
    values_.Insert(i, value.get());
    value.release();
    ValueInserted(i);
}

void TMivoDiscreteScale::DeleteValue(int i) {
    values_.Delete(i);
    ValueDeleted(i);
}

void TMivoDiscreteScale::MoveValueUp(int i) { values_.Move(i, i - 1); }
void TMivoDiscreteScale::MoveValueDown(int i) { values_.Move(i, i + 1); }

void TMivoDiscreteScale::DefaultBounds() {
    if (IsOrdered() && Count() > 1) {
        BGLow = LowInt() + 0.5;
        BGHigh = HighInt() - 0.5;
    } else {
        BGLow = MinBound;
        BGHigh = MaxBound;
    }
}

void TMivoDiscreteScale::ValueInserted(int i) {
    if (!IsOrdered() || Count() <= 2) {
        DefaultBounds();
        return;
    }
    if (i <= BGLow) BGLow += 1;
    if (i >= HighInt() || i <= BGHigh) BGHigh += 1;
}

void TMivoDiscreteScale::ValueDeleted(int i) {
    if (!IsOrdered() || Count() <= 1) {
        DefaultBounds();
        return;
    }
    if (i < BGLow) BGLow -= 1;
    if (i > HighInt() || i < BGHigh) BGHigh -= 1;
}

std::string TMivoDiscreteScale::ScaleString() const {
    std::string text = TMivoScale::ScaleString();
    if (!text.empty()) text += ' ';
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) text += MivoStr::SValueSeparator;
        text += ValueName(i);
        if (IsBad(i))
            text += "(-)";
        else if (IsGood(i))
            text += "(+)";
    }
    return text;
}

bool TMivoDiscreteScale::Equal(const TMivoScale* other) const {
    if (!TMivoScale::Equal(other)) return false;
    const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(other);
    if (!discrete) return Count() == 0;
    for (int i = 0; i < Count(); ++i)
        if (ValueName(i) != discrete->ValueName(i) || ValueDescription(i) != discrete->ValueDescription(i))
            return false;
    return true;
}

void TMivoDiscreteScale::Assign(const TMivoScale* other) {
    if (!other || other == this) return;
    TMivoScale::Assign(other);
    const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(other);
    if (!discrete) return;
    // Values are appended without the bound shift of AddValue, so that the
    // copied bounds stay as they are.
    for (int i = 0; i < discrete->Count(); ++i) {
        CheckRoom();
        auto value = CreateScaleValue(discrete->ValueName(i), discrete->ValueDescription(i));
        values_.Add(value.get());
        value.release();
    }
}

}  // namespace mivo
