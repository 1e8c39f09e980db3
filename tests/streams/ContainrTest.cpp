#include "TestStreams.h"
#include "tests/support/ExceptionMessage.h"

#include <gtest/gtest.h>

namespace {

using testsupport::MessageOf;

/// A collection set up as every list of the scan document is.
std::unique_ptr<TCollection> DocumentStyle() {
    auto C = std::make_unique<TCollection>();
    C->SetOwnsObjects(true);
    C->SetSorted(true);
    C->SetDuplicates(1);
    return C;
}

/// A collection that sorts by the items' counts, with content comparison.
class TByValue : public TCollection {
public:
    TByValue() { SetCanSort(true); }
    const void* KeyOf(TStreamable* Item) override { return Item; }
    int Compare(const void* K1, const void* K2) override {
        const auto A = static_cast<const TTestItem*>(K1)->A;
        const auto B = static_cast<const TTestItem*>(K2)->A;
        return A < B ? -1 : (A > B ? 1 : 0);
    }
};

TEST(Container, DuplicateModesInANonOwningList) {
    TTestItem X, Y;
    TCollection C;
    C.SetDuplicates(1);
    EXPECT_EQ(C.Add(&X), 0);
    EXPECT_EQ(C.Add(&X), 1); // accepted: the same object twice
    EXPECT_EQ(C.Add(nullptr), -1);

    TCollection Refuse;
    EXPECT_EQ(Refuse.Add(&X), 0);
    EXPECT_EQ(Refuse.Add(&X), -1);
    EXPECT_EQ(Refuse.Add(nullptr), -1);
    EXPECT_EQ(Refuse.Add(&Y), 1);
    EXPECT_EQ(Refuse.Count(), 2);

    TCollection Raise;
    Raise.SetDuplicates(3);
    Raise.Add(&X);
    EXPECT_EQ(MessageOf<EContainerError>([&] { Raise.Add(&X); }), "Container error: 0");
    EXPECT_EQ(Raise.Count(), 1);
    EXPECT_EQ(Raise.AtInsert(0, nullptr), -1);
}

TEST(Container, IdentityDuplicateIsNeverFreedWhileHeld) {
    const int Alive = TTestItem::Alive;
    auto* Item = new TTestItem;
    {
        TCollection C;
        C.SetOwnsObjects(true);
        C.SetDuplicates(2);
        C.Add(Item);
        // Mode 2 frees a refused item, but here the refused item is the one held.
        EXPECT_THROW(C.Add(Item), EContainerError);
        EXPECT_EQ(C.Count(), 1);
        EXPECT_EQ(TTestItem::Alive, Alive + 1);

        // An owning list that holds one object three times keeps it alive when duplicates
        // are removed, and frees it once at the end.
        C.SetDuplicates(1);
        C.Add(Item);
        C.Add(Item);
        C.SetDuplicates(0);
        EXPECT_EQ(C.Count(), 1);
        EXPECT_EQ(C.At(0), Item);
        EXPECT_EQ(TTestItem::Alive, Alive + 1);
    }
    EXPECT_EQ(TTestItem::Alive, Alive);
}

TEST(Container, ModeTwoFreesAnotherEqualItem) {
    const int Alive = TTestItem::Alive;
    TByValue C;
    C.SetOwnsObjects(true);
    C.SetDuplicates(2);
    C.Add(new TTestItem("a", 1, 0));
    EXPECT_THROW(C.Add(new TTestItem("b", 1, 0)), EContainerError);
    EXPECT_EQ(TTestItem::Alive, Alive + 1); // the refused copy was freed, the held one kept
    C.FreeAll();
    EXPECT_EQ(TTestItem::Alive, Alive);
}

TEST(Container, RemoveDuplicatesKeepsFirstOccurrencesInOrder) {
    TTestItem A, B, C;
    TCollection L;
    L.SetDuplicates(1);
    for (TTestItem* P : {&A, &B, &A, &A, &C})
        L.Add(P);
    int Notices = 0;
    L.OnChange = [&](TObject*) { ++Notices; };
    L.SetDuplicates(0);
    ASSERT_EQ(L.Count(), 3);
    EXPECT_EQ(L.At(0), &A);
    EXPECT_EQ(L.At(1), &B);
    EXPECT_EQ(L.At(2), &C);
    EXPECT_EQ(Notices, 2); // once for the removal, once for the new mode
}

TEST(Container, BulkOperationsNotifyOnce) {
    auto L = DocumentStyle();
    int Notices = 0;
    L->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, L.get());
        ++Notices;
    };
    L->FreeAll();
    EXPECT_EQ(Notices, 1); // also when nothing changed
    Notices = 0;
    for (int I = 0; I < 5; ++I)
        L->Add(new TTestItem("", I, 0));
    EXPECT_EQ(Notices, 5);
    Notices = 0;
    L->Move(0, 4);
    L->Exchange(0, 1);
    EXPECT_EQ(Notices, 2);
    Notices = 0;
    L->BeginUpdate();
    L->AtFree(0);
    L->AtFree(0);
    EXPECT_EQ(Notices, 0);
    L->EndUpdate();
    EXPECT_EQ(Notices, 1);
    Notices = 0;
    L->SetSorted(true); // a container that cannot sort still sends the notice
    EXPECT_FALSE(L->Sorted());
    L->SetSorted(false); // unchanged: no notice
    EXPECT_EQ(Notices, 1);
}

TEST(Container, SortedFindWithAndWithoutDuplicates) {
    std::vector<std::unique_ptr<TTestItem>> Items;
    TByValue L;
    L.SetDuplicates(1);
    for (Longint V : {5, 1, 3, 3, 3, 9}) {
        Items.push_back(std::make_unique<TTestItem>("", V, 0));
        L.Add(Items.back().get());
    }
    L.SetSorted(true);
    ASSERT_TRUE(L.Sorted());
    for (Longint I = 1; I < L.Count(); ++I)
        EXPECT_LE(static_cast<TTestItem*>(L.At(I - 1))->A, static_cast<TTestItem*>(L.At(I))->A);

    TTestItem Three("", 3, 0), Four("", 4, 0);
    Longint Index = -1;
    EXPECT_TRUE(L.Find(&Three, Index));
    EXPECT_EQ(Index, 1); // the first of the equal items
    EXPECT_FALSE(L.Find(&Four, Index));
    EXPECT_EQ(Index, 4); // the insert position

    L.SetDuplicates(0); // removes the run of threes down to its first item
    EXPECT_EQ(L.Count(), 4);
    EXPECT_TRUE(L.Find(&Three, Index));
    EXPECT_EQ(Index, 1);
    TTestItem Again("", 3, 0);
    EXPECT_EQ(L.Add(&Again), -1); // refused: the caller keeps it
    auto Kept = std::unique_ptr<TTestItem>(new TTestItem("", 4, 0));
    EXPECT_EQ(L.Add(Kept.get()), 2); // sorted insert position
    L.AtDelete(2);
}

TEST(Container, StoredFormAndRoundTrip) {
    RegisterTestClasses();
    auto L = DocumentStyle();
    L->Add(new TTestItem("a", 1, 2));
    L->Add(new TTestSubItem);
    L->Add(new TTestItem("c", 3, 4));
    TMemoryStream M;
    {
        TFilter F(&M);
        F.WriteObject(L.get());
    }
    const std::string B(M.Bytes().begin(), M.Bytes().end());
    EXPECT_EQ(B.substr(0, 20), std::string("\x0BTCollection\x00\x01\x01\x00\x03\x00\x00\x00", 20));

    M.SetPosition(0);
    TFilter F(&M);
    std::unique_ptr<TStreamable> Obj(F.ReadObject());
    auto* Back = As<TCollection>(Obj.get());
    EXPECT_FALSE(Back->CanSort());
    EXPECT_EQ(Back->Duplicates(), 1);
    EXPECT_TRUE(Back->OwnsObjects());
    ASSERT_EQ(Back->Count(), 3);
    EXPECT_EQ(Back->At(1)->ClassName(), "TTestSubItem");
    EXPECT_EQ(static_cast<TTestItem*>(Back->At(2))->Text, "c");
}

TEST(Container, FailedOrNonOwningLoadsFreeWhatTheyRead) {
    RegisterTestClasses();
    TCollection L; // not owning
    L.SetDuplicates(1);
    TTestItem A("a", 1, 1), B("b", 2, 2);
    const int Alive = TTestItem::Alive;
    L.Add(&A);
    L.Add(&B);
    TMemoryStream M;
    {
        TFilter F(&M);
        F.WriteObject(&L);
    }
    const auto Full = M.Bytes();
    for (std::size_t Cut : {Full.size(), Full.size() - 3}) {
        TMemoryStream Part;
        Part.WriteBuffer(Full.data(), static_cast<Longint>(Cut));
        Part.SetPosition(0);
        TFilter F(&Part);
        try {
            std::unique_ptr<TStreamable> Obj(F.ReadObject());
            EXPECT_EQ(As<TCollection>(Obj.get())->Count(), 2);
        } catch (const EReadError&) {
            EXPECT_LT(Cut, Full.size());
        }
        EXPECT_EQ(TTestItem::Alive, Alive);
    }
}

TEST(Container, IndexErrorsAndAssign) {
    auto L = DocumentStyle();
    EXPECT_EQ(MessageOf<EListError>([&] { L->AtFree(0); }), "List index out of bounds (0)");
    TTestItem Plain;
    EXPECT_EQ(MessageOf<EConvertError>([&] { L->Assign(&Plain); }),
              "Cannot assign a TTestItem to a TCollection");

    TTestItem X, Y;
    TCollection Source, Target;
    Source.SetDuplicates(1);
    Source.Add(&X);
    Source.Add(&Y);
    Target.Assign(&Source);
    ASSERT_EQ(Target.Count(), 2);
    EXPECT_EQ(Target.At(1), &Y);
    EXPECT_EQ(Target.IndexOf(&Y), 1);
    Target.Remove(&X);
    EXPECT_EQ(Target.IndexOf(&X), -1);
}

} // namespace
