// Report groups: elements that own an ordered list of children and lay
// them out side by side (a line) or one below the other, and the builder
// interface through which report builders write a report. Every builder
// operation creates one element, appends it to the group and returns it,
// so that the builder can go on adding to it or change its fonts and
// measures; the group owns it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reports/Elements.h"

namespace mivo {

class TBoxGroup;
class TRptLine;
class TRptParagraph;
class TRptSection;
class TRptChunkedSection;
class TRptTable;

// Orientation of a group: children side by side or one below the other.
enum TOrientation : std::uint8_t { orHorizontal = 0, orVertical = 1 };

// Page-break modes of a group's box (TFormatter::CheckPageBreak):
inline constexpr std::int32_t pbNewPage = -2;       // always start on a new page
inline constexpr std::int32_t pbKeepTogether = -1;  // new page when the whole box does not fit
inline constexpr std::int32_t pbFlow = 0;           // never break before; split when too tall
// N > 0: keep the first N children together, then flow.

class TRptGroup : public TRpt {
public:
    // Called before the box of each child is built.
    using TBuildItemEvent = std::function<void(TRptGroup& group, int index, int count)>;

    explicit TRptGroup(TRpt* owner);
    ~TRptGroup() override;
    const char* ClassName() const override { return "TRptGroup"; }

    // Title of a section, table or report; empty for plain groups.
    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    std::int32_t PageBreakMode = pbKeepTogether;
    TBuildItemEvent OnBuildItem;
    std::int32_t BoxPageBreakMode() const override { return PageBreakMode; }

    virtual std::uint8_t Orientation() const = 0;
    int Count() const { return static_cast<int>(children_.size()); }
    // Child `index`; "Range check error" outside 0..Count-1.
    TRpt* GetItem(int index) const;
    // The group becomes the element's owner; the old child is freed.
    void SetItem(int index, std::unique_ptr<TRpt> element);
    // The group becomes the element's owner; returns its index.
    int Add(std::unique_ptr<TRpt> element);
    // Both fail with the assertion "Adding TRpt that already has an owner"
    // for an element whose owner is another element; it stays with that
    // owner, untouched.

    // Around building the children's boxes: a horizontal group has the
    // formatter measure the line height in its font, and afterwards give
    // back the enclosing line's height (or forget it outside any line).
    virtual void BeginBoxes() {}
    virtual void EndBoxes() {}

    // A vertical or horizontal layout box, by Orientation.
    std::unique_ptr<TBox> CreateBox() override;
    // Closes an open liner, builds the children's natural boxes and lays
    // them out at natural size.
    std::unique_ptr<TBox> CreateNaturalBox() override;
    // As CreateNaturalBox, but a vertical group gives every child the
    // width, and the group takes the width.
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

    // --- builder operations ---
    TRptText* AddText(std::string text);
    TRptMacro* AddMacro(std::string text);
    // An empty element of width 0 with stretch placement: it takes the free
    // width of a line.
    TRptElement* AddFill();
    TRptTree* AddTree(std::string text);
    TRptDraw* AddDraw(TDrawCallback callback, std::unique_ptr<TParam> param);
    // Closes an open liner, then opens a new one whose rule sits at the
    // position (0 top, 1 middle, 2 bottom of the line).
    TRptLinerBegin* BeginLiner(std::uint8_t position);
    // Closes the open liner with an end marker copying its rule count,
    // thickness and position; null (and nothing added) without one.
    TRptLinerEnd* EndLiner();
    TRptLine* NewLine();
    // A line holding one text " ", so that it is one line high.
    TRptLine* NewBlankLine();
    // A blank line whose height is f times that of a blank line.
    TRptLine* VerticalSpace(float f);
    TRptParagraph* NewParagraph();
    // Sections are numbered 1, 2, ... within each parent group.
    TRptSection* NewSection(std::string title);
    // A section whose table is shown in chunks of columns
    // (TRptChunkedSection), numbered as NewSection numbers.
    TRptChunkedSection* NewChunkedSection(std::string title);
    // Numbered by the report's table counter; 0 outside a report.
    TRptTable* NewTable(std::string title);

    TRptLinerBegin* OpenLiner() const { return openLiner_; }
    std::int32_t SectionCounter() const { return sectionCounter_; }

protected:
    template <class T>
    T* AddNew() {
        auto element = std::make_unique<T>(this);
        T* raw = element.get();
        Add(std::move(element));
        return raw;
    }

    // Builds the group's box: children natural, or (forWidth) each child of
    // a vertical group for the width and the group fixed to it.
    std::unique_ptr<TBox> BuildBox(bool forWidth, std::int32_t width);
    // The new group box of CreateBox.
    std::unique_ptr<TBoxGroup> CreateGroupBox();

    const std::vector<std::unique_ptr<TRpt>>& Children() const { return children_; }

private:
    std::string title_;
    std::vector<std::unique_ptr<TRpt>> children_;
    TRptLinerBegin* openLiner_ = nullptr;
    std::int32_t sectionCounter_ = 0;
};

// Children side by side.
class TRptHorizontalGroup : public TRptGroup {
public:
    using TRptGroup::TRptGroup;
    const char* ClassName() const override { return "TRptHorizontalGroup"; }
    std::uint8_t Orientation() const override { return orHorizontal; }
    // While the boxes of the line are built, one line is the height of "Wg"
    // in the group's font, whatever the children's own fonts.
    void BeginBoxes() override;
    void EndBoxes() override;
};

// One line of a report.
class TRptLine : public TRptHorizontalGroup {
public:
    using TRptHorizontalGroup::TRptHorizontalGroup;
    const char* ClassName() const override { return "TRptLine"; }
};

// Children one below the other.
class TRptVerticalGroup : public TRptGroup {
public:
    using TRptGroup::TRptGroup;
    const char* ClassName() const override { return "TRptVerticalGroup"; }
    std::uint8_t Orientation() const override { return orVertical; }
};

// A group whose orientation is a field, vertical until set otherwise:
// report headers, footers, section headings and table cells.
class TRptHVGroup : public TRptGroup {
public:
    using TRptGroup::TRptGroup;
    const char* ClassName() const override { return "TRptHVGroup"; }
    std::uint8_t Orientation() const override { return orientation_; }
    void SetOrientation(std::uint8_t orientation) { orientation_ = orientation; }

private:
    std::uint8_t orientation_ = orVertical;
};

}  // namespace mivo
