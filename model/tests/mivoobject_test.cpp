#include "model/MivoObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/MivoScale.h"

namespace mivo {
namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// A free-standing model object that records its destruction.
class Tracked : public TMivoObject {
public:
    explicit Tracked(int* destroyed, const std::string& name = "") : destroyed_(destroyed) { SetName(name); }
    ~Tracked() override {
        if (destroyed_) ++*destroyed_;
    }

private:
    int* destroyed_;
};

class Plain : public TObject {};

TEST(MivoObject, LivesInTheRegistryExactlyAsLongAsItExists) {
    TGlobalMivoList& registry = GlobalMivoList();
    int before = registry.Count();
    TMivoScaleValue* seen = nullptr;
    {
        auto value = CreateScaleValue("low", "the lowest");
        seen = value.get();
        EXPECT_TRUE(registry.Contains(seen));
        EXPECT_EQ(registry.Count(), before + 1);
        EXPECT_EQ(value->GetName(), "low");
        EXPECT_EQ(value->GetDescription(), "the lowest");
        EXPECT_EQ(value->Info(), "Class=\"TMivoScaleValue\", Name=\"low\"");
    }
    EXPECT_FALSE(registry.Contains(seen));
    EXPECT_EQ(registry.Count(), before);
}

TEST(MivoObject, UnregisteringTwiceIsReportedAndChangesNothing) {
    TGlobalMivoList& registry = GlobalMivoList();
    int before = registry.Count();
    CaptureStderr();
    {
        TMivoDiscreteScale scale;
        scale.SetName("Price");
        EXPECT_TRUE(registry.Unregister(&scale));
        EXPECT_FALSE(registry.Unregister(&scale));
        EXPECT_EQ(registry.Count(), before);
    }  // the destructor reports it once more, without throwing
    std::string reported = GetCapturedStderr();
    const std::string message =
        "Trying to destroy an already destroyed object \"Class=\"TMivoDiscreteScale\", Name=\"Price\"\"\n";
    ASSERT_EQ(reported.substr(0, message.size()), message);
    // By the time the base destructor runs the object is only a TMivoObject.
    EXPECT_EQ(reported.substr(message.size()),
              "Trying to destroy an already destroyed object \"Class=\"TMivoObject\", Name=\"Price\"\"\n");
    EXPECT_EQ(registry.Count(), before);
}

TEST(MivoObject, ShutdownReportsPendingObjectsAndFreesOnlyUnownedOnes) {
    TGlobalMivoList& registry = GlobalMivoList();
    ASSERT_EQ(registry.Count(), 0);

    CaptureStderr();
    EXPECT_EQ(registry.Shutdown(), 0);
    EXPECT_EQ(GetCapturedStderr(), "");

    // Three free-standing objects, one of which owns three values.
    int destroyed = 0;
    new Tracked(&destroyed, "a");
    auto* scale = new TMivoDiscreteScale;
    for (const char* name : {"low", "mid", "high"}) scale->AddValue(name);
    new Tracked(&destroyed, "b");
    EXPECT_EQ(registry.Count(), 6);

    CaptureStderr();
    EXPECT_EQ(registry.Shutdown(), 6);
    EXPECT_EQ(GetCapturedStderr(), "6 pending objects upon exit\n");
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(registry.Count(), 0);  // the values went with their scale
}

TEST(MivoObject, ShutdownLeavesObjectsOwnedOutsideTheModel) {
    TGlobalMivoList& registry = GlobalMivoList();
    ASSERT_EQ(registry.Count(), 0);
    int destroyed = 0;
    TMivoList holder(true);  // not a model object: the registry cannot free it
    holder.Add(new Tracked(&destroyed, "held"));
    new Tracked(&destroyed, "loose");

    CaptureStderr();
    EXPECT_EQ(registry.Shutdown(), 2);
    EXPECT_EQ(GetCapturedStderr(), "2 pending objects upon exit\n");
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(registry.Count(), 1);
    EXPECT_EQ(registry.Objects().front()->GetName(), "held");
    holder.Clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(registry.Count(), 0);
}

TEST(MivoObject, OwningListsAndOwnedPointersMarkTheirObjects) {
    Tracked loose(nullptr);
    auto* item = new Tracked(nullptr);
    TMivoList owning(true);
    owning.Add(item);
    EXPECT_TRUE(item->Owned());
    std::unique_ptr<TObject> back(owning.TakeItem(0));
    EXPECT_FALSE(item->Owned());
    owning.Add(back.release());
    owning.SetOwnsObjects(false);
    EXPECT_FALSE(item->Owned());
    owning.SetOwnsObjects(true);
    EXPECT_TRUE(item->Owned());

    TMivoList working(false);
    working.Add(&loose);
    EXPECT_FALSE(loose.Owned());

    TOwnedPtr<Tracked> held(new Tracked(nullptr));
    EXPECT_TRUE(held->Owned());
    held.reset(held.get());  // the same object: kept
    EXPECT_TRUE(held);
    std::unique_ptr<Tracked> released(held.release());
    EXPECT_FALSE(released->Owned());
    EXPECT_FALSE(held);
}

TEST(MivoObject, RegistryKeepsCreationOrderOverManyObjects) {
    TGlobalMivoList& registry = GlobalMivoList();
    int before = registry.Count();
    const int n = 120000;
    std::vector<std::unique_ptr<TMivoScaleValue>> values;
    values.reserve(n);
    for (int i = 0; i < n; ++i) values.push_back(CreateScaleValue(std::to_string(i), ""));
    EXPECT_EQ(registry.Count(), before + n);

    // Free all but every tenth, from the front, which empties and compacts
    // the registry many times over.
    std::vector<TMivoScaleValue*> kept;
    for (int i = 0; i < n; ++i) {
        if (i % 10 == 0)
            kept.push_back(values[static_cast<std::size_t>(i)].get());
        else
            values[static_cast<std::size_t>(i)].reset();
    }
    EXPECT_EQ(registry.Count(), before + n / 10);
    std::vector<TMivoObject*> objects = registry.Objects();
    ASSERT_EQ(objects.size(), static_cast<std::size_t>(before + n / 10));
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), objects.begin() + before));
    for (TMivoScaleValue* value : kept) EXPECT_TRUE(registry.Contains(value));

    values.clear();
    EXPECT_EQ(registry.Count(), before);
}

TEST(MivoList, TypedAccessAndLookUpByName) {
    TMivoList list(true);
    list.Add(new TMivoScaleValue("Price", ""));
    list.Add(new TMivoScaleValue("Quality", ""));
    list.Add(nullptr);
    EXPECT_EQ(list.ItemName(1), "Quality");
    EXPECT_EQ(list.ItemName(2), "");
    EXPECT_EQ(list.GetItem(2), nullptr);
    EXPECT_EQ(list.FindByName("Price"), list.GetItem(0));
    EXPECT_EQ(list.FindByName("price"), nullptr);
    EXPECT_EQ(list.FindByName(""), nullptr);

    list.SetItem(1, new TMivoScaleValue("Safety", ""));  // the old item is destroyed
    EXPECT_EQ(list.ItemName(1), "Safety");

    Plain plain;
    TMivoList foreign(false);
    foreign.Add(&plain);
    EXPECT_THROW(foreign.GetItem(0), EInvalidCast);
    try {
        foreign.GetItem(0);
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.Message(), "Invalid class typecast");
    }

    TMivoScaleValueList values;
    values.Add(new TMivoDiscreteScale);  // wrong class for a value list
    EXPECT_THROW(values.GetItem(0), EInvalidCast);
    EXPECT_NE(dynamic_cast<TMivoList&>(values).GetItem(0), nullptr);
    EXPECT_TRUE(values.OwnsObjects());
    EXPECT_TRUE(TMivoScaleList().OwnsObjects());
    EXPECT_FALSE(TMivoAttributeList().OwnsObjects());
}

TEST(FontStyle, ConvertsToAndFromLetters) {
    struct Case {
        TFontStyles style;
        const char* text;
    };
    for (const Case& c : {Case{0, ""}, Case{fsBold, "B"}, Case{fsBold | fsItalic, "BI"},
                          Case{fsItalic | fsUnderline, "IU"}, Case{fsBold | fsItalic | fsUnderline, "BIU"}}) {
        EXPECT_EQ(FontStyleToStr(c.style), c.text);
        EXPECT_EQ(StrToFontStyle(c.text), c.style);
    }
    EXPECT_EQ(StrToFontStyle("ub"), fsBold | fsUnderline);
    EXPECT_EQ(StrToFontStyle("bbb x-?"), fsBold);
    EXPECT_EQ(FontStyleToStr(0xF8 | fsUnderline), "U");
}

}  // namespace
}  // namespace mivo
