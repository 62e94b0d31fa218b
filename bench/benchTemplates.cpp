#include "applicationEditor/templateDatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A template folder of the given size, named like real programs: a word and a number.
void fillFolder(const QTemporaryDir &dir, int count)
{
    for (int i = 0; i < count; ++i) {
        QFile file(dir.filePath(QStringLiteral("program%1.ini").arg(i, 4, 10, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly))
            file.write("[arguments]\n-v=5\n");
    }
}

void lookup(benchmark::State &state, const QString &programPath)
{
    QTemporaryDir dir;
    fillFolder(dir, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(findTemplate(programPath, dir.path()));
}

// The last template in name order is the one that fits: the whole folder is walked.
void BM_TemplateLookupLastMatch(benchmark::State &state)
{
    lookup(state, QStringLiteral("/opt/tools/program0999/bin/run"));
}

void BM_TemplateLookupNoMatch(benchmark::State &state)
{
    lookup(state, QStringLiteral("/usr/bin/unknown-tool"));
}

} // namespace

BENCHMARK(BM_TemplateLookupLastMatch)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TemplateLookupNoMatch)->Arg(1000)->Unit(benchmark::kMicrosecond);
