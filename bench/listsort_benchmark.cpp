// Sorting and searching a mail list of 100,000 rows, as a heading click and "查找" do.
#include "app/maillistmodel.h"
#include "app/searchdlg.h"
#include "scan/mailitem.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

using namespace vellox;
using namespace vellox::ui;

namespace {

struct Rows {
    std::vector<std::unique_ptr<tagMailItem>> owned;
    std::vector<tagMailItem*> ptrs;
    explicit Rows(size_t n)
    {
        std::mt19937 rng(3);
        for (size_t i = 0; i < n; ++i) {
            auto m = std::make_unique<tagMailItem>();
            const std::string id = std::to_string(rng());
            m->strFromText = u"sender" + std::u16string(id.begin(), id.end()) + u"@example.org";
            m->strToText = u"someone@example.com";
            m->strSubjectText = u"主题 " + std::u16string(id.begin(), id.end());
            m->strBodyText = std::u16string(200, u'b');
            m->strDate = "2009-11-" + std::to_string(10 + rng() % 20) + " 08:12:31";
            ptrs.push_back(m.get());
            owned.push_back(std::move(m));
        }
    }
};

void BM_SortBySubject(benchmark::State& state)
{
    Rows rows(static_cast<size_t>(state.range(0)));
    MailListModel model;
    for (auto _ : state) {
        model.SetRecords(rows.ptrs);
        model.sort(MailListModel::kSubject, Qt::AscendingOrder);
    }
    benchmark::DoNotOptimize(model.RecordAt(0));
}

void BM_SearchWithoutMatch(benchmark::State& state)
{
    Rows rows(static_cast<size_t>(state.range(0)));
    MailListModel model;
    model.SetRecords(rows.ptrs);
    int found = 0;
    for (auto _ : state) {
        found = FindNextRow(model.rowCount(), 0, QStringLiteral("no such text"), [&](int r) -> std::optional<QString> {
            const tagMailItem* m = model.RecordAt(r);
            const auto snap = m->TakeSnapshot();
            return LowerAsciiLetters(
                QString::fromStdU16String(m->strFromText + m->strToText + m->strSubjectText + snap.strBodyText));
        });
    }
    if (found != -1)
        state.SkipWithError("unexpected match");
}

} // namespace

BENCHMARK(BM_SortBySubject)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWithoutMatch)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
