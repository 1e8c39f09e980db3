#include "streams/Containr.h"

#include "streams/Numutils.h"

QX_STREAMABLE_ABSTRACT_IMPL(TContainer, TStreamable)
QX_STREAMABLE_IMPL(TCollection, TContainer)

EContainerError::EContainerError(int Code) : Exception("Container error: " + std::to_string(Code)) {}

// Keeps one update open for its lifetime, so that bulk operations notify once even on failure.
class TContainer::TUpdateGuard {
public:
    explicit TUpdateGuard(TContainer& C) : mC(C) { mC.BeginUpdate(); }
    ~TUpdateGuard() {
        try {
            mC.EndUpdate();
        } catch (...) {
            // A listener's failure must not escape a destructor.
        }
    }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TContainer& mC;
};

TContainer::~TContainer() = default;

void TContainer::DestroyItems() {
    if (mDestroyed)
        return;
    mDestroyed = true;
    OnChange = nullptr;
    if (mFreeLoadedItems)
        mOwnsObjects = true;
    ReleaseItems();
}

void TContainer::Changed() {
    if (OnChange && mUpdateCount == 0)
        OnChange(this);
}

void TContainer::Notice() {
    if (OnChange && mUpdateCount == 0)
        OnChange(this);
}

bool TContainer::IsValidKey(const void* OldKey, const void* NewKey) {
    Longint Index = 0;
    return !(mDuplicates != 1 && Compare(OldKey, NewKey) != 0 && Find(NewKey, Index));
}

int TContainer::Compare(const void* Key1, const void* Key2) {
    return Key1 == Key2 ? 0 : -1;
}

void TContainer::FreeItem(TStreamable* Item) {
    delete Item;
}

void TContainer::ReleaseItems() {
    if (mOwnsObjects)
        FreeAll();
    else
        DeleteAll();
}

bool TContainer::HoldsPointer(const TStreamable* Item) const {
    for (Longint I = 0; I < Count(); ++I)
        if (At(I) == Item)
            return true;
    return false;
}

void TContainer::DuplicateError(TStreamable* Item) {
    // With identity comparison the refused item can be the very object held: never free that.
    if (!HoldsPointer(Item))
        FreeItem(Item);
    throw EContainerError(0);
}

TStreamable* TContainer::ReadItem(TFilter& Stream) {
    return Stream.ReadObject();
}

const void* TContainer::KeyOf(TStreamable* Item) {
    return Item;
}

void TContainer::AtPut(Longint Index, TStreamable* Item) {
    TUpdateGuard Update(*this);
    AtDelete(Index);
    AtInsert(Index, Item);
}

void TContainer::WriteItem(TStreamable* Item, TFilter& Stream) {
    Stream.WriteObject(Item);
}

void TContainer::SetOwnsObjects(bool Value) {
    mOwnsObjects = Value;
    mFreeLoadedItems = false;
}

void TContainer::SetUpdateState(bool Updating) {
    if (!Updating)
        Changed();
}

TStreamable* TContainer::CheckDuplicate(TStreamable* Item) {
    if (Item == nullptr)
        return nullptr;
    Longint Index = 0;
    if (mDuplicates == 1 || !Search(Item, Index))
        return Item;
    switch (mDuplicates) {
    case 2:
        DuplicateError(Item);
        return nullptr;
    case 3:
        throw EContainerError(0);
    default:
        return nullptr;
    }
}

Longint TContainer::Add(TStreamable* Item) {
    Item = CheckDuplicate(Item);
    if (Item == nullptr)
        return -1;
    Longint Position = Count();
    if (mSorted)
        Search(Item, Position);
    DoInsert(Position, Item);
    Changed();
    return Position;
}

Longint TContainer::AtInsert(Longint Index, TStreamable* Item) {
    Item = CheckDuplicate(Item);
    if (Item == nullptr)
        return -1;
    if (mSorted)
        Search(Item, Index);
    DoInsert(Index, Item);
    Changed();
    return Index;
}

void TContainer::FreeAll() {
    TUpdateGuard Update(*this);
    Longint I = Count() - 1;
    while (I >= 0) {
        AtFree(I);
        I = IntMin(I, Count()) - 1;
    }
}

void TContainer::AtFree(Longint Index) {
    TStreamable* Item = At(Index);
    DoDelete(Index);
    if (mOwnsObjects)
        FreeItem(Item);
    Changed();
}

void TContainer::Remove(TStreamable* Item) {
    Longint Index = 0;
    if (Search(Item, Index))
        AtFree(Index);
}

void TContainer::Exchange(Longint Index1, Longint Index2) {
    TStreamable* A = At(Index1);
    TStreamable* B = At(Index2);
    DoPut(Index1, B);
    DoPut(Index2, A);
    Changed();
}

bool TContainer::Search(TStreamable* Item, Longint& Index) {
    return Find(KeyOf(Item), Index);
}

bool TContainer::Find(const void* Key, Longint& Index) {
    if (mSorted) {
        bool Result = false;
        Longint L = 0, H = Count() - 1;
        while (L <= H) {
            const Longint I = L + (H - L) / 2;
            const int C = Compare(KeyOf(At(I)), Key);
            if (C < 0) {
                L = I + 1;
            } else {
                H = I - 1;
                if (C == 0) {
                    Result = true;
                    if (mDuplicates != 1)
                        L = I;
                }
            }
        }
        Index = L;
        return Result;
    }
    const Longint N = Count();
    for (Longint I = 0; I < N; ++I) {
        if (Compare(KeyOf(At(I)), Key) == 0) {
            Index = I;
            return true;
        }
    }
    Index = N;
    return false;
}

Longint TContainer::IndexOf(TStreamable* Item) {
    Longint Index = 0;
    return Search(Item, Index) ? Index : -1;
}

void TContainer::Move(Longint CurIndex, Longint NewIndex) {
    if (CurIndex == NewIndex)
        return;
    TUpdateGuard Update(*this);
    TStreamable* Item = At(CurIndex);
    AtDelete(CurIndex);
    AtInsert(NewIndex, Item);
}

void TContainer::AtDelete(Longint Index) {
    DoDelete(Index);
    Changed();
}

void TContainer::DeleteAll() {
    TUpdateGuard Update(*this);
    for (Longint I = Count() - 1; I >= 0; --I)
        AtDelete(I);
}

void TContainer::Sort() {
    if (mSorted || !mCanSort || Count() < 2)
        return;
    TUpdateGuard Update(*this);
    QuickSort(0, Count() - 1);
}

void TContainer::BeginUpdate() {
    if (mUpdateCount == 0)
        SetUpdateState(true);
    ++mUpdateCount;
}

void TContainer::EndUpdate() {
    --mUpdateCount;
    if (mUpdateCount == 0)
        SetUpdateState(false);
}

void TContainer::SetDuplicates(Byte Value) {
    if (Value == mDuplicates)
        return;
    if (mDuplicates == 1)
        RemoveDuplicates();
    mDuplicates = Value;
    Notice();
}

void TContainer::SetSorted(bool Value) {
    if (Value == mSorted)
        return;
    if (Value && mCanSort)
        Sort();
    mSorted = Value && mCanSort;
    Notice();
}

void TContainer::DropDuplicate(Longint Index, const TStreamable* Kept) {
    if (At(Index) == Kept)
        AtDelete(Index);
    else
        AtFree(Index);
}

void TContainer::RemoveDuplicates() {
    if (Count() < 2)
        return;
    TUpdateGuard Update(*this);
    if (mSorted) {
        Longint I = Count() - 1;
        while (I > 0) {
            const void* K = KeyOf(At(I));
            Longint J = I - 1;
            while (J >= 0 && Compare(K, KeyOf(At(J))) == 0)
                --J;
            const TStreamable* Kept = At(J + 1);
            for (Longint D = I; D >= J + 2; --D)
                DropDuplicate(D, Kept);
            I = J;
        }
    } else {
        for (Longint I = 0; I < Count(); ++I) {
            const TStreamable* Kept = At(I);
            for (Longint J = Count() - 1; J >= I + 1; --J)
                if (Compare(KeyOf(At(J)), KeyOf(At(I))) == 0)
                    DropDuplicate(J, Kept);
        }
    }
}

void TContainer::QuickSort(Longint L, Longint R) {
    TStreamable* Pivot = At(L + (R - L) / 2);
    Longint I = L, J = R;
    do {
        while (Compare(KeyOf(At(I)), KeyOf(Pivot)) < 0)
            ++I;
        while (Compare(KeyOf(At(J)), KeyOf(Pivot)) > 0)
            --J;
        if (I <= J) {
            Exchange(I, J);
            ++I;
            --J;
        }
    } while (I <= J);
    if (L < J)
        QuickSort(L, J);
    if (I < R)
        QuickSort(I, R);
}

void TContainer::Load(TFilter& Stream) {
    TStreamable::Load(Stream);
    TUpdateGuard Update(*this);
    Byte Header[4];
    Stream.ReadBuffer(Header, 4);
    mCanSort = Header[0] != 0;
    mDuplicates = Header[1];
    mOwnsObjects = Header[2] != 0;
    mSorted = Header[3] != 0;
    // Items created here belong to nobody else: a container stored as not owning still frees
    // at destruction what it read, unless a caller takes the items over with SetOwnsObjects.
    mFreeLoadedItems = !mOwnsObjects;
    const Longint N = ReadCount(Stream);
    for (Longint I = 0; I < N; ++I) {
        TStreamable* Raw = ReadItem(Stream);
        std::unique_ptr<TStreamable> Item(Raw);
        Longint Index = 0;
        if (mDuplicates == 2 && Search(Raw, Index)) {
            Item.release();
            DuplicateError(Raw);
            continue;
        }
        if (Add(Raw) >= 0)
            Item.release();
    }
}

void TContainer::Store(TFilter& Stream) {
    TStreamable::Store(Stream);
    const Byte Header[4] = {static_cast<Byte>(mCanSort), mDuplicates, static_cast<Byte>(mOwnsObjects),
                            static_cast<Byte>(mSorted)};
    Stream.WriteBuffer(Header, 4);
    const Longint N = Count();
    WriteCount(Stream, N);
    for (Longint I = 0; I < N; ++I)
        WriteItem(At(I), Stream);
}

void TContainer::Assign(TPersistent* Source) {
    auto* Src = dynamic_cast<TContainer*>(Source);
    if (Src == nullptr) {
        TStreamable::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    TUpdateGuard Update(*this);
    FreeAll();
    for (Longint I = 0; I < Src->Count(); ++I)
        Add(Src->At(I));
}

// --- TCollection ---

TCollection::TCollection() : mList(std::make_unique<TList>()) {}

TCollection::~TCollection() {
    DestroyItems();
}

void TCollection::Assign(TPersistent* Source) {
    auto* Src = dynamic_cast<TContainer*>(Source);
    if (Src == nullptr || Src == this || !(Duplicates() == 1 || Src->Duplicates() != 1) || Sorted()) {
        TContainer::Assign(Source);
        return;
    }
    // One-step copy of the pointers. The items held before are released first, as the
    // item-by-item path does, so that an owning collection does not lose them.
    TUpdateGuard Update(*this);
    FreeAll();
    mList->SetCount(Src->Count());
    for (Longint I = 0; I < Src->Count(); ++I)
        mList->Put(I, Src->At(I));
}

void TCollection::ReleaseItems() {
    TContainer::ReleaseItems();
    mList.reset();
}

TStreamable* TCollection::At(Longint Index) const {
    return mList ? static_cast<TStreamable*>(mList->Get(Index)) : nullptr;
}

Longint TCollection::Count() const {
    return mList ? mList->Count() : 0;
}

void TCollection::DoInsert(Longint Index, TStreamable* Item) {
    mList->Insert(Index, Item);
}

void TCollection::DoPut(Longint Index, TStreamable* Item) {
    mList->Put(Index, Item);
}

void TCollection::DoDelete(Longint Index) {
    mList->Delete(Index);
}

void TCollection::DeleteAll() {
    TUpdateGuard Update(*this);
    if (mList)
        mList->Clear();
}
