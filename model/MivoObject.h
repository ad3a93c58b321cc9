// Model objects, the process-wide registry of live model objects, the typed
// lists of model objects and the font-style converters of the model file.
//
// Every object of a decision model (scale values, scales, decision tables,
// attributes, the model) derives from `TMivoObject`: a name, a description,
// and enrolment in the registry `TGlobalMivoList` for its whole lifetime.
//
// Ownership and the registry
// --------------------------
// A model object is either free-standing (its creator destroys it) or owned
// by another object, which destroys it together with itself. The registry
// needs to know which is which: at shutdown it destroys the free-standing
// objects still alive (each takes what it owns with it) and leaves owned
// ones to their owners, so nothing is destroyed twice.
//  - An owning `TMivoList` marks its model objects owned while it holds
//    them (add, insert, put) and unmarks them when it hands them over
//    (extract, take); switching the list's owning flag re-marks its items.
//  - An owner that holds a model object outside such a list (an attribute
//    its scale and decision table, the model its root attribute) holds it
//    in a `TOwnedPtr`, which marks it owned while held; or it calls
//    `SetOwned` itself.
//
// The registry keeps objects in creation order. Registering appends;
// unregistering finds the slot through a hash index and empties it, and
// the slots are compacted once the empty ones outnumber the live ones, so
// creating and destroying n objects costs O(n) overall.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/Lists.h"
#include "model/MivoSettings.h"

namespace mivo {

class TMivoScaleValue;
class TMivoScale;
class TMivoAttribute;

// ---------------------------------------------------------------------------

class TMivoObject : public TObject {
public:
    // Empty name and description; registers the object.
    TMivoObject();
    // Unregisters the object (never throws; an object that is not
    // registered is reported on standard error).
    ~TMivoObject() override;

    TMivoObject(const TMivoObject&) = delete;
    TMivoObject& operator=(const TMivoObject&) = delete;

    virtual std::string GetName() const { return name_; }
    virtual void SetName(const std::string& name) { name_ = name; }
    virtual std::string GetDescription() const { return description_; }
    virtual void SetDescription(const std::string& description) { description_ = description; }

    // "Class=\"<class name>\", Name=\"<name>\"".
    std::string Info() const;

    // True while another object (or an owning list) is responsible for
    // destroying this one.
    bool Owned() const { return owned_; }
    void SetOwned(bool owned) { owned_ = owned; }

private:
    std::string name_;
    std::string description_;
    bool owned_ = false;
};

// ---------------------------------------------------------------------------

// Sole ownership of one model object that marks it owned while held.
// Requires a complete T where it is reset or destroyed.
template <class T>
class TOwnedPtr {
public:
    TOwnedPtr() = default;
    explicit TOwnedPtr(T* object) { reset(object); }
    ~TOwnedPtr() { reset(); }
    TOwnedPtr(const TOwnedPtr&) = delete;
    TOwnedPtr& operator=(const TOwnedPtr&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // Takes the new object and destroys the old one (unless it is the same).
    void reset(T* object = nullptr) {
        if (object == object_) return;
        T* old = std::exchange(object_, object);
        if (object_) object_->SetOwned(true);
        delete old;
    }
    // Hands the object over, unmarked.
    T* release() {
        T* object = std::exchange(object_, nullptr);
        if (object) object->SetOwned(false);
        return object;
    }

private:
    T* object_ = nullptr;
};

// ---------------------------------------------------------------------------

// A TObjList of model objects.
class TMivoList : public TObjList {
public:
    using TObjList::TObjList;

    // The item as a model object (nullptr for an empty slot); an item that
    // is not a model object raises EInvalidCast.
    TMivoObject* GetItem(int i) const;
    // Put: releases the old item (destroyed when owning), stores the new.
    void SetItem(int i, TMivoObject* object) { Put(i, object); }
    // GetName of item i.
    std::string ItemName(int i) const;
    // The first item whose name equals the text exactly; nullptr if none.
    TMivoObject* FindByName(const std::string& name) const;

    void SetOwnsObjects(bool owns) override;

protected:
    void Notify(TObject* item, TListNotification action) override;

    // Item i cast to T; EInvalidCast when it is not a T.
    template <class T>
    T* ItemAs(int i) const {
        TObject* item = Get(i);
        if (!item) return nullptr;
        T* typed = dynamic_cast<T*>(item);
        if (!typed) throw EInvalidCast();
        return typed;
    }
};

// A TMivoList with typed access to items of class T (T may be incomplete
// where the list is declared; it must be complete where items are used).
template <class T>
class TMivoTypedList : public TMivoList {
public:
    using TMivoList::TMivoList;
    T* GetItem(int i) const { return this->template ItemAs<T>(i); }
    void SetItem(int i, T* object) { Put(i, object); }
};

// The values of a discrete scale; owning.
class TMivoScaleValueList : public TMivoTypedList<TMivoScaleValue> {
public:
    explicit TMivoScaleValueList(bool ownsObjects = true) : TMivoTypedList(ownsObjects) {}
};

// Distinct scales collected while reading a model; owning.
class TMivoScaleList : public TMivoTypedList<TMivoScale> {
public:
    explicit TMivoScaleList(bool ownsObjects = true) : TMivoTypedList(ownsObjects) {}
};

// Attributes: the inputs of an attribute (owning) and working lists of
// attributes (not owning).
class TMivoAttributeList : public TMivoTypedList<TMivoAttribute> {
public:
    explicit TMivoAttributeList(bool ownsObjects = false) : TMivoTypedList(ownsObjects) {}
};

// ---------------------------------------------------------------------------

// The registry of all live model objects, in order of creation. It is not
// an object list itself: its slots are indexed by object so that
// registering and unregistering stay cheap for any number of objects.
class TGlobalMivoList {
public:
    TGlobalMivoList() = default;
    // Shutdown().
    ~TGlobalMivoList();

    TGlobalMivoList(const TGlobalMivoList&) = delete;
    TGlobalMivoList& operator=(const TGlobalMivoList&) = delete;

    // Appends the object.
    void Register(TMivoObject* object);
    // Empties the object's slot (the object itself is not destroyed). An
    // object that is not registered is reported on standard error with
    // "Trying to destroy an already destroyed object \"%s\"" (its Info)
    // and nothing changes; returns whether the object was registered.
    // (Reported from an object's destructor, the class name is that of
    // TMivoObject: the derived parts are gone by then.)
    bool Unregister(TMivoObject* object) noexcept;
    // Whether the object is registered; never dereferences the pointer, so
    // it may be asked about an object that no longer exists.
    bool Contains(const TMivoObject* object) const;
    // Number of registered objects.
    int Count() const { return static_cast<int>(index_.size()); }
    // The registered objects in order of creation.
    std::vector<TMivoObject*> Objects() const;

    // When objects are still registered: reports "%d pending objects upon
    // exit" on standard error, then destroys the objects that no other
    // object owns, the most recently created first (each takes its owned
    // objects with it). Returns the number reported (0: nothing reported).
    int Shutdown() noexcept;

private:
    void Compact();

    std::vector<TMivoObject*> slots_;  // creation order; nullptr = emptied
    std::unordered_map<const TMivoObject*, std::size_t> index_;
    std::size_t empty_slots_ = 0;
    bool shutting_down_ = false;
};

// The one registry of the process, created before the first model object.
TGlobalMivoList& GlobalMivoList();

// ---------------------------------------------------------------------------

// "B" for bold, then "I" for italic, then "U" for underline.
std::string FontStyleToStr(TFontStyles style);
// 'b'/'B' adds bold, 'i'/'I' italic, 'u'/'U' underline; others ignored.
TFontStyles StrToFontStyle(const std::string& text);

}  // namespace mivo
