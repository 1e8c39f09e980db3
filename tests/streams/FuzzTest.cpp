// Feeds corrupt and random byte sequences to the object reader: every one must end in one of the
// stream or container exceptions or in a whole object graph, with every object freed again.
// Under the sanitizer build this also proves the absence of memory errors and leaks.
#include "TestStreams.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<char> Seed() {
    auto Inner = std::make_unique<TCollection>();
    Inner->SetOwnsObjects(true);
    Inner->SetDuplicates(1);
    Inner->Add(new TTestItem("Date", 3, 4));
    Inner->Add(new TTestSubItem);
    auto* Holder = new TTestHolder;
    Holder->Child = std::move(Inner);
    TCollection Outer;
    Outer.SetOwnsObjects(true);
    Outer.SetDuplicates(1);
    Outer.Add(Holder);
    Outer.Add(new TTestItem("Now()", -1, 70000));
    TMemoryStream M;
    TFilter F(&M);
    F.WriteObject(&Outer);
    return M.Bytes();
}

std::vector<char> Mutate(std::vector<char> B, std::mt19937& Rng) {
    auto Pick = [&](std::size_t N) {
        return N == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, N - 1)(Rng);
    };
    const int Steps = 1 + static_cast<int>(Pick(4));
    for (int S = 0; S < Steps; ++S) {
        switch (Pick(6)) {
        case 0: // flip a byte
            if (!B.empty())
                B[Pick(B.size())] = static_cast<char>(Rng());
            break;
        case 1: // truncate
            B.resize(Pick(B.size() + 1));
            break;
        case 2: // insert random bytes
            B.insert(B.begin() + static_cast<long>(Pick(B.size() + 1)), 1 + Pick(8),
                     static_cast<char>(Rng()));
            break;
        case 3: // a large or negative count somewhere
            if (B.size() >= 4) {
                const std::size_t P = Pick(B.size() - 3);
                const auto V = static_cast<std::uint32_t>(Rng());
                for (int I = 0; I < 4; ++I)
                    B[P + static_cast<std::size_t>(I)] = static_cast<char>(V >> (8 * I));
            }
            break;
        case 4: // duplicate a slice
            if (!B.empty()) {
                const std::size_t P = Pick(B.size());
                const std::size_t N = Pick(B.size() - P) + 1;
                std::vector<char> Slice(B.begin() + static_cast<long>(P),
                                        B.begin() + static_cast<long>(P + N));
                B.insert(B.begin() + static_cast<long>(Pick(B.size() + 1)), Slice.begin(), Slice.end());
            }
            break;
        default: // a length byte
            if (!B.empty())
                B[Pick(B.size())] = static_cast<char>(Pick(256));
        }
    }
    return B;
}

TEST(Fuzz, CorruptStreamsEndInAnExceptionOrAWholeGraph) {
    RegisterTestClasses();
    const std::vector<char> Base = Seed();
    std::mt19937 Rng(20261209);
    int Whole = 0, Refused = 0;
    for (int Round = 0; Round < 100000; ++Round) {
        std::vector<char> B;
        if (Round % 10 == 0) {
            B.resize(Rng() % 64);
            for (char& C : B)
                C = static_cast<char>(Rng());
        } else {
            B = Mutate(Base, Rng);
        }
        const int Alive = TTestItem::Alive;
        TMemoryStream M;
        if (!B.empty())
            M.WriteBuffer(B.data(), static_cast<Longint>(B.size()));
        M.SetPosition(0);
        {
            TBufferedFilter F(&M, 64);
            try {
                std::unique_ptr<TStreamable> Obj(F.ReadObject());
                ASSERT_NE(Obj, nullptr);
                ++Whole;
            } catch (const EStreamError&) {
                ++Refused;
            } catch (const EContainerError&) {
                ++Refused;
            }
        }
        ASSERT_EQ(TTestItem::Alive, Alive) << "objects left behind in round " << Round;
    }
    // The mutations must exercise both outcomes, or the test proves little.
    EXPECT_GT(Whole, 1000);
    EXPECT_GT(Refused, 10000);
}

} // namespace
