// The receive pane's own bookkeeping over a full record, the control's costs left out: an update of a
// followed pane under a flood, a hidden pane keeping its record, and finding the reason under the mouse.
#include <benchmark/benchmark.h>

#include "app/IReceiveTextControl.h"
#include "app/LineStyle.h"
#include "app/ReceiveView.h"

using namespace kv;

namespace {

const std::u16string kSpotLine = u"DX de K1ABC:     14025.0  JA1XYZ       CQ TEST                  1200Z\r\n";

class CFreeControl : public IReceiveTextControl {
public:
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void Insert(long, const std::u16string& text, int) override { chars_ += long(text.size()); }
    void RemoveTop(long chars) override { chars_ -= chars; }
    bool MakeAnew() override
    {
        chars_ = 0;
        return true;
    }
    bool IsAtEnd(long) const override { return true; }
    long FirstVisibleChar() const override { return 0; }
    Scroll ScrollPosition() const override { return {}; }
    void SetScrollPosition(Scroll) override {}
    void ScrollToTop(long) override {}
    void ScrollToEnd() override {}
    void GetSelection(long& start, long& end) const override { start = end = chars_; }
    void Select(long, long) override {}

private:
    long chars_ = 0;
};

class CBenchClock : public IClock {
public:
    uint64_t TickCount() const override { return tick; }
    UtcTime NowUtc() const override { return {}; }
    uint64_t tick = 100000;
};

struct FullPane {
    CBenchClock clock;
    CFreeControl control;
    CReceiveView view{control, clock};
    explicit FullPane(bool shown)
    {
        view.SetShown(true);
        for (int i = 0; i < 5000; ++i) view.Append(kSpotLine, i % 5 ? u"" : u"DX call", i % 5 ? LineReceived : LineRejected);
        view.UpdateAll();
        view.SetShown(shown);
    }
};

void BM_UpdateOfAFullFollowedPane(benchmark::State& state)
{
    const int perUpdate = int(state.range(0));
    FullPane pane(true);
    for (auto _ : state) {
        for (int i = 0; i < perUpdate; ++i) pane.view.Append(kSpotLine, u"", LineReceived);
        pane.clock.tick += 100;
        pane.view.Update();
    }
    state.SetItemsProcessed(state.iterations() * perUpdate);
}
BENCHMARK(BM_UpdateOfAFullFollowedPane)->Arg(1)->Arg(10)->Arg(100);

void BM_AppendToAFullHiddenPane(benchmark::State& state)
{
    FullPane pane(false);
    for (auto _ : state) pane.view.Append(kSpotLine, u"", LineReceived);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendToAFullHiddenPane);

void BM_FindReasonAmongMany(benchmark::State& state)
{
    FullPane pane(true);
    const long held = pane.view.TextEnd();
    long index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pane.view.ReasonAt(index));
        index = (index + 7919) % held;
    }
}
BENCHMARK(BM_FindReasonAmongMany);

} // namespace
