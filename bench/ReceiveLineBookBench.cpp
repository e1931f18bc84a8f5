// The receive pane's bookkeeping: counting, converting and trimming the lines of a full pane, and finding
// the reason under the mouse among many struck-out blocks.
#include <benchmark/benchmark.h>

#include "app/LineStyle.h"
#include "app/ReceiveLineBook.h"

using namespace kv;

namespace {

const std::u16string kSpotLine = u"DX de K1ABC:     14025.0  JA1XYZ       CQ TEST                  1200Z\r\n";

void FillBook(CReceiveLineBook& book, int lines)
{
    for (int i = 0; i < lines; ++i) {
        const int64_t start = book.AppendedChars();
        book.TakeBlock(kSpotLine);
        if (i % 5 == 0) book.AddReason(start, book.AppendedChars(), u"DX call", LineRejected);
    }
    book.TrimExcessLines();
}

void BM_AppendAndTrimFullBook(benchmark::State& state)
{
    const int perBlock = int(state.range(0));
    std::u16string block;
    for (int i = 0; i < perBlock; ++i) block += kSpotLine;
    CReceiveLineBook book;
    FillBook(book, 5000);
    for (auto _ : state) {
        const int64_t start = book.AppendedChars();
        benchmark::DoNotOptimize(book.TakeBlock(block));
        book.AddReason(start, book.AppendedChars(), u"already forwarded", LineDuplicate);
        benchmark::DoNotOptimize(book.TrimExcessLines());
    }
    state.SetItemsProcessed(state.iterations() * perBlock);
}
BENCHMARK(BM_AppendAndTrimFullBook)->Arg(1)->Arg(10)->Arg(100);

void BM_FindReasonAmongMany(benchmark::State& state)
{
    CReceiveLineBook book;
    FillBook(book, 5000);
    const int64_t held = book.AppendedChars() - book.TrimmedChars();
    int64_t index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.FindReason(index));
        index = (index + 7919) % held;
    }
}
BENCHMARK(BM_FindReasonAmongMany);

} // namespace
