#include "engine/ui/desc_index.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/ui/ui_layout.h"

struct DescIndex::Entry {
    const char* name;
    int position;
    WidgetDesc* desc;
};

namespace {

// An empty name is the empty text, as SameText has it.
const char* TextOf(const char* name)
{
    return name ? name : "";
}

}  // namespace

DescIndex::~DescIndex()
{
    Free(entries_);
}

void DescIndex::Build(const UiLayout* layout)
{
    Free(entries_);
    entries_ = nullptr;
    count_ = 0;
    layout_ = layout;
    if (!layout || layout->DescCount() == 0)
        return;
    int count = layout->DescCount();
    entries_ = static_cast<Entry*>(Alloc(sizeof(Entry) * size_t(count)));
    if (!entries_)
        return;
    for (int i = 0; i < count; ++i) {
        WidgetDesc* desc = layout->DescAt(i);
        entries_[i] = {TextOf(desc->name.CStr()), i, desc};
    }
    std::sort(entries_, entries_ + count, [](const Entry& a, const Entry& b) {
        int order = strcmp(a.name, b.name);
        return order != 0 ? order < 0 : a.position < b.position;
    });
    count_ = count;
}

WidgetDesc* DescIndex::Find(const char* name) const
{
    if (!name)
        return nullptr;
    if (!entries_)
        return layout_ ? layout_->FindDesc(name) : nullptr;
    const Entry* begin = entries_;
    const Entry* end = begin + count_;
    const Entry* first = std::lower_bound(begin, end, name,
                                          [](const Entry& e, const char* key) { return strcmp(e.name, key) < 0; });
    return first != end && strcmp(first->name, name) == 0 ? first->desc : nullptr;
}
