#pragma once
// The read-only collections of named items that the database engine (platform/dao) and the
// Access application service (platform/access) hand out: properties, fields and controls.

#include "platform/rtl/SysUtils.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Items in the order they were added, found by 0-based position or by name (without regard to
/// ASCII case). Noun names the items in messages ("property", "field"). Missing raises the
/// interface's own error for an item that is not there: its static Raise(Noun, int Index) and
/// Raise(Noun, const std::string& Name) do not return.
template <class T, const char* Noun, class Missing>
class TNamedList {
public:
    int Count() const { return static_cast<int>(mItems.size()); }
    const T& Item(int Index) const {
        if (Index < 0 || Index >= Count())
            Missing::Raise(Noun, Index);
        return mItems[static_cast<std::size_t>(Index)];
    }
    const T& Item(const std::string& Name) const {
        if (const T* Found = FindByName(mItems, Name))
            return *Found;
        Missing::Raise(Noun, Name);
    }
    void Add(T Value) { mItems.push_back(std::move(Value)); }

protected:
    /// The item of that name, or nullptr.
    T* Find(std::string_view Name) { return FindByName(mItems, Name); }

private:
    std::vector<T> mItems;
};
