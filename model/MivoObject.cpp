#include "model/MivoObject.h"

#include <iostream>

#include "model/MivoStr.h"

namespace mivo {

namespace {

// False once the registry has been destroyed at process exit; objects that
// outlive it (held by other static objects) then have nothing to leave.
bool registry_alive = false;

// Reports a broken invariant of the registry where no error may be raised
// (destructors, shutdown).
void ReportInvariantFailure(const std::string& message) noexcept {
    try {
        std::cerr << message << std::endl;
    } catch (...) {
    }
}

}  // namespace

// ===========================================================================
// TMivoObject

TMivoObject::TMivoObject() { GlobalMivoList().Register(this); }

TMivoObject::~TMivoObject() {
    if (registry_alive) GlobalMivoList().Unregister(this);
}

std::string TMivoObject::Info() const { return Format("Class=\"%s\", Name=\"%s\"", ClassName(), GetName()); }

// ===========================================================================
// TMivoList

TMivoObject* TMivoList::GetItem(int i) const { return ItemAs<TMivoObject>(i); }

std::string TMivoList::ItemName(int i) const {
    TMivoObject* item = GetItem(i);
    return item ? item->GetName() : std::string();
}

TMivoObject* TMivoList::FindByName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        TMivoObject* item = GetItem(i);
        if (item && item->GetName() == name) return item;
    }
    return nullptr;
}

void TMivoList::SetOwnsObjects(bool owns) {
    if (owns == OwnsObjects()) return;
    TObjList::SetOwnsObjects(owns);
    for (TObject* item : Items())
        if (auto* object = dynamic_cast<TMivoObject*>(item)) object->SetOwned(owns);
}

void TMivoList::Notify(TObject* item, TListNotification action) {
    auto* object = dynamic_cast<TMivoObject*>(item);
    if (!object) return;
    switch (action) {
        case TListNotification::Added:
            if (OwnsObjects()) object->SetOwned(true);
            break;
        case TListNotification::Extracted:
            if (OwnsObjects()) object->SetOwned(false);
            break;
        case TListNotification::Deleted:
            break;
    }
}

// ===========================================================================
// TGlobalMivoList

TGlobalMivoList& GlobalMivoList() {
    static TGlobalMivoList registry;
    return registry;
}

TGlobalMivoList::~TGlobalMivoList() {
    Shutdown();
    registry_alive = false;
}

void TGlobalMivoList::Register(TMivoObject* object) {
    registry_alive = true;
    auto [it, inserted] = index_.emplace(object, slots_.size());
    if (!inserted) return;  // already registered: keep its place
    slots_.push_back(object);
}

bool TGlobalMivoList::Unregister(TMivoObject* object) noexcept {
    auto it = index_.find(object);
    if (it == index_.end()) {
        std::string info;
        try {
            info = object ? object->Info() : std::string();
        } catch (...) {
        }
        ReportInvariantFailure(Format(MivoStr::SObjectDestroyed, info));
        return false;
    }
    slots_[it->second] = nullptr;
    index_.erase(it);
    ++empty_slots_;
    if (!shutting_down_ && empty_slots_ > 64 && empty_slots_ > index_.size()) Compact();
    return true;
}

void TGlobalMivoList::Compact() {
    std::size_t kept = 0;
    for (TMivoObject* object : slots_) {
        if (!object) continue;
        index_[object] = kept;
        slots_[kept++] = object;
    }
    slots_.resize(kept);
    empty_slots_ = 0;
}

bool TGlobalMivoList::Contains(const TMivoObject* object) const { return index_.count(object) != 0; }

std::vector<TMivoObject*> TGlobalMivoList::Objects() const {
    std::vector<TMivoObject*> objects;
    objects.reserve(index_.size());
    for (TMivoObject* object : slots_)
        if (object) objects.push_back(object);
    return objects;
}

int TGlobalMivoList::Shutdown() noexcept {
    int pending = Count();
    if (pending == 0) return 0;
    ReportInvariantFailure(Format(MivoStr::SPendingObjects, pending));
    // Slots are only emptied while shutting down (no compaction), so the
    // positions stay valid while destructors unregister what they own.
    shutting_down_ = true;
    for (std::size_t i = slots_.size(); i-- > 0;) {
        if (i >= slots_.size()) continue;
        TMivoObject* object = slots_[i];
        if (!object || object->Owned()) continue;
        try {
            delete object;
        } catch (...) {
        }
        // A destructor that failed to unregister must not leave a dangling
        // entry behind.
        if (i < slots_.size() && slots_[i] == object) {
            index_.erase(object);
            slots_[i] = nullptr;
            ++empty_slots_;
        }
    }
    shutting_down_ = false;
    Compact();
    return pending;
}

// ===========================================================================
// Font styles

std::string FontStyleToStr(TFontStyles style) {
    std::string text;
    if (style & fsBold) text += 'B';
    if (style & fsItalic) text += 'I';
    if (style & fsUnderline) text += 'U';
    return text;
}

TFontStyles StrToFontStyle(const std::string& text) {
    TFontStyles style = 0;
    for (char c : text) {
        switch (c) {
            case 'b':
            case 'B':
                style |= fsBold;
                break;
            case 'i':
            case 'I':
                style |= fsItalic;
                break;
            case 'u':
            case 'U':
                style |= fsUnderline;
                break;
            default:
                break;
        }
    }
    return style;
}

}  // namespace mivo
