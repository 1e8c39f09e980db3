#pragma once
// Owning, optionally sorted, streamable containers of objects.
//
// Stored form, after the container's class-name tag:
//   offset 0  1 byte   CanSort (0/1)
//   offset 1  1 byte   Duplicates (0..3)
//   offset 2  1 byte   OwnsObjects (0/1)
//   offset 3  1 byte   Sorted (0/1)
//   offset 4  4 bytes  item count N, signed little-endian
//   offset 8  N objects, each with its class-name tag

#include "streams/Filters.h"

/// "Container error: <code>"; the only code raised is 0, a refused duplicate.
class EContainerError : public Exception {
public:
    explicit EContainerError(int Code);
    std::string ClassName() const override { return "EContainerError"; }
};

/// Abstract, streamable container of objects. An item's key is given by KeyOf and keys are
/// ordered by Compare; the base compares by identity, so equal means the same object.
/// Duplicates says what Add does with an item equal to one held: 0 refuse silently (any value
/// other than 1..3 acts as 0), 1 accept, 2 free the new item and raise, 3 raise.
/// Bulk operations run inside one update, so OnChange hears of them once.
class TContainer : public TStreamable {
    QX_STREAMABLE(TContainer)
public:
    ~TContainer() override;

    void Assign(TPersistent* Source) override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;

    virtual void Changed();
    /// Whether an item's key may change from OldKey to NewKey.
    virtual bool IsValidKey(const void* OldKey, const void* NewKey);
    virtual int Compare(const void* Key1, const void* Key2);
    virtual void FreeItem(TStreamable* Item);
    virtual void ReleaseItems();
    /// Frees Item (unless the container still holds it) and raises EContainerError 0.
    virtual void DuplicateError(TStreamable* Item);
    virtual TStreamable* At(Longint Index) const = 0;
    virtual Longint Count() const = 0;
    virtual TStreamable* ReadItem(TFilter& Stream);
    virtual const void* KeyOf(TStreamable* Item);
    virtual void DoInsert(Longint Index, TStreamable* Item) = 0;
    virtual void DoPut(Longint Index, TStreamable* Item) = 0;
    virtual void DoDelete(Longint Index) = 0;
    /// Replaces the item at Index; the old item is not freed.
    virtual void AtPut(Longint Index, TStreamable* Item);
    virtual void WriteItem(TStreamable* Item, TFilter& Stream);
    virtual void SetOwnsObjects(bool Value);
    virtual void SetUpdateState(bool Updating);
    /// Adds Item at its place; returns the index, or -1 when refused (the caller keeps it).
    virtual Longint Add(TStreamable* Item);
    virtual void FreeAll();
    virtual void AtFree(Longint Index);
    virtual void Remove(TStreamable* Item);
    virtual void Exchange(Longint Index1, Longint Index2);
    virtual bool Search(TStreamable* Item, Longint& Index);
    virtual bool Find(const void* Key, Longint& Index);
    virtual Longint IndexOf(TStreamable* Item);
    virtual Longint AtInsert(Longint Index, TStreamable* Item);
    virtual void Move(Longint CurIndex, Longint NewIndex);
    virtual void AtDelete(Longint Index);
    virtual void DeleteAll();
    virtual void Sort();

    void BeginUpdate();
    void EndUpdate();
    void SetDuplicates(Byte Value);
    void SetSorted(bool Value);
    TStreamable* CheckDuplicate(TStreamable* Item);
    void RemoveDuplicates();
    void QuickSort(Longint L, Longint R);

    bool CanSort() const { return mCanSort; }
    Byte Duplicates() const { return mDuplicates; }
    bool OwnsObjects() const { return mOwnsObjects; }
    bool Sorted() const { return mSorted; }
    Longint UpdateCount() const { return mUpdateCount; }
    TNotifyEvent OnChange;

protected:
    TContainer() = default;
    /// Descendants that sort by content set this.
    void SetCanSort(bool Value) { mCanSort = Value; }
    /// Destroys the items as the destructor does; descendants call it from their destructors,
    /// while their storage still exists.
    void DestroyItems();

    /// Keeps one update open for its lifetime.
    class TUpdateGuard;

private:
    bool HoldsPointer(const TStreamable* Item) const;
    void Notice();
    /// Removes the duplicate at Index of the item Kept; frees it only when it is another object.
    void DropDuplicate(Longint Index, const TStreamable* Kept);

    bool mCanSort = false;
    Byte mDuplicates = 0;
    bool mOwnsObjects = false;
    bool mSorted = false;
    Longint mUpdateCount = 0;
    bool mDestroyed = false;
    bool mFreeLoadedItems = false;
};

/// The one concrete container: items kept in a pointer list.
class TCollection : public TContainer {
    QX_STREAMABLE(TCollection)
public:
    TCollection();
    ~TCollection() override;

    void Assign(TPersistent* Source) override;
    void ReleaseItems() override;
    TStreamable* At(Longint Index) const override;
    Longint Count() const override;
    void DoInsert(Longint Index, TStreamable* Item) override;
    void DoPut(Longint Index, TStreamable* Item) override;
    void DoDelete(Longint Index) override;
    void DeleteAll() override;

    TList* List() const { return mList.get(); }

private:
    std::unique_ptr<TList> mList;
};
