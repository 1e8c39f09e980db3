// Writes 1 000 000 small objects (one short string and two counts each) through TBufFileStream
// with a 4096-byte buffer and reads them back, beside std::ofstream/std::ifstream writing and
// reading the same bytes field by field. Counters report MB/s.
#include "streams/Filters.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int ObjectCount = 1000000;

class TBenchItem final : public TStreamable {
    QX_STREAMABLE(TBenchItem)
public:
    std::string Text;
    Longint A = 0, B = 0;
    void Load(TFilter& S) override {
        TStreamable::Load(S);
        S.ReadShortString(Text);
        A = ReadCount(S);
        B = ReadCount(S);
    }
    void Store(TFilter& S) override {
        TStreamable::Store(S);
        S.WriteShortString(Text);
        WriteCount(S, A);
        WriteCount(S, B);
    }
};
QX_STREAMABLE_IMPL(TBenchItem, TStreamable)

std::string FileName(const char* Kind) {
    return (std::filesystem::temp_directory_path() / (std::string("qx_bench_") + Kind)).string();
}

std::string TextOf(int I) {
    return "Hit" + std::to_string(I % 1000);
}

long long WriteFiltered(const std::string& Name) {
    TBufFileStream F(Name, fmCreate, 4096);
    TBenchItem Item;
    for (int I = 0; I < ObjectCount; ++I) {
        Item.Text = TextOf(I);
        Item.A = I;
        Item.B = -I;
        F.WriteObject(&Item);
    }
    F.FlushBuffer();
    return F.Size();
}

void BM_BufFileStreamWrite(benchmark::State& State) {
    RegisterStreamable(TBenchItem::StaticClass);
    const std::string Name = FileName("filter.bin");
    long long Bytes = 0;
    for (auto _ : State)
        Bytes = WriteFiltered(Name);
    State.SetBytesProcessed(Bytes * static_cast<long long>(State.iterations()));
    std::remove(Name.c_str());
}

void BM_BufFileStreamRead(benchmark::State& State) {
    RegisterStreamable(TBenchItem::StaticClass);
    const std::string Name = FileName("filter.bin");
    const long long Bytes = WriteFiltered(Name);
    for (auto _ : State) {
        TBufFileStream F(Name, fmOpenRead, 4096);
        long long Sum = 0;
        for (int I = 0; I < ObjectCount; ++I) {
            std::unique_ptr<TStreamable> Obj(F.ReadObject());
            Sum += static_cast<TBenchItem*>(Obj.get())->A;
        }
        benchmark::DoNotOptimize(Sum);
    }
    State.SetBytesProcessed(Bytes * static_cast<long long>(State.iterations()));
    std::remove(Name.c_str());
}

// The same bytes through the standard streams, one field at a time as the framing writes them.
void PutShort(std::ofstream& Out, const std::string& S) {
    const char Len = static_cast<char>(S.size());
    Out.write(&Len, 1);
    Out.write(S.data(), static_cast<std::streamsize>(S.size()));
}

void PutCount(std::ofstream& Out, Longint V) {
    Out.write(reinterpret_cast<const char*>(&V), 4);
}

long long WritePlain(const std::string& Name) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    const std::string Tag = "TBenchItem";
    for (int I = 0; I < ObjectCount; ++I) {
        PutShort(Out, Tag);
        PutShort(Out, TextOf(I));
        PutCount(Out, I);
        PutCount(Out, -I);
    }
    Out.flush();
    return static_cast<long long>(Out.tellp());
}

void BM_OfstreamWrite(benchmark::State& State) {
    const std::string Name = FileName("plain.bin");
    long long Bytes = 0;
    for (auto _ : State)
        Bytes = WritePlain(Name);
    State.SetBytesProcessed(Bytes * static_cast<long long>(State.iterations()));
    std::remove(Name.c_str());
}

void BM_IfstreamRead(benchmark::State& State) {
    const std::string Name = FileName("plain.bin");
    const long long Bytes = WritePlain(Name);
    for (auto _ : State) {
        std::ifstream In(Name, std::ios::binary);
        long long Sum = 0;
        std::string Tag, Text;
        for (int I = 0; I < ObjectCount; ++I) {
            unsigned char Len = 0;
            In.read(reinterpret_cast<char*>(&Len), 1);
            Tag.resize(Len);
            In.read(Tag.data(), Len);
            In.read(reinterpret_cast<char*>(&Len), 1);
            Text.resize(Len);
            In.read(Text.data(), Len);
            Longint A = 0, B = 0;
            In.read(reinterpret_cast<char*>(&A), 4);
            In.read(reinterpret_cast<char*>(&B), 4);
            Sum += A;
        }
        benchmark::DoNotOptimize(Sum);
    }
    State.SetBytesProcessed(Bytes * static_cast<long long>(State.iterations()));
    std::remove(Name.c_str());
}

} // namespace

BENCHMARK(BM_BufFileStreamWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OfstreamWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BufFileStreamRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfstreamRead)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
