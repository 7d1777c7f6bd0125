#pragma once
// The descriptions of one document sorted by name, made once for a build that looks many names
// up: each lookup is a binary search instead of a pass over the whole document. Among equal
// names the earliest in file order wins, as with UiLayout::FindDesc.
class UiLayout;
class WidgetDesc;

class DescIndex {
public:
    DescIndex() = default;
    DescIndex(const DescIndex&) = delete;
    DescIndex& operator=(const DescIndex&) = delete;
    ~DescIndex();

    // Indexes the layout as it stands; when memory runs out, Find asks the layout itself.
    void Build(const UiLayout* layout);
    WidgetDesc* Find(const char* name) const;
    const UiLayout* GetLayout() const { return layout_; }

private:
    struct Entry;
    const UiLayout* layout_ = nullptr;
    Entry* entries_ = nullptr;
    int count_ = 0;
};
