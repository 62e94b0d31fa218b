#include "applicationLauncher/applicationLauncher.h"
#include "records/recordStream.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// A launcher file of the given size, with entries as a user writes them: a
// program, a description, a pre script, a few arguments and variables, marks.
QString writeLauncherFile(const QTemporaryDir &dir, int entries, const QStringList &programs)
{
    ApplicationDataList list;
    for (int i = 0; i < entries; ++i) {
        list.append(ApplicationData(QStringLiteral("Entry %1").arg(i), QStringLiteral("a program with a description"),
                                    programs.at(i % programs.size()), QStringLiteral("cd /tmp\necho start"),
                                    {VariableData(QStringLiteral("--verbose")),
                                     VariableData(QStringLiteral("--output"), QStringLiteral("/tmp/out %1").arg(i))},
                                    {VariableData(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"))}, i % 3 == 0,
                                    i % 16));
    }
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    writeLauncherFile(fileName, list);
    return fileName;
}

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void loadLauncherFile(benchmark::State &state, const QStringList &programs)
{
    QTemporaryDir dir;
    const QString fileName = writeLauncherFile(dir, int(state.range(0)), programs);
    for (auto _ : state) {
        ApplicationLauncher launcher;
        launcher.readLauncherData(fileName);
        benchmark::DoNotOptimize(launcher.launcherModel()->rowCount());
    }
    state.counters["peak_MiB"] = double(peakMemoryKiB()) / 1024.0;
    state.counters["file_KiB"] = double(QFileInfo(fileName).size()) / 1024.0;
}

void BM_LoadMissingPrograms(benchmark::State &state)
{
    loadLauncherFile(state, {QStringLiteral("/nowhere/tool")});
}

void BM_LoadExistingPrograms(benchmark::State &state)
{
    loadLauncherFile(state,
                     {QStringLiteral("/bin/sh"), QStringLiteral("/usr/bin/env"), QStringLiteral("/usr/bin"),
                      QStringLiteral("/etc/hostname")});
}

// Entries dragged from another launcher window and dropped onto the shown home
// list, until the window has taken them in.
void BM_DropRecords(benchmark::State &state)
{
    ApplicationDataList list;
    for (int i = 0; i < state.range(0); ++i)
        list.append(ApplicationData(QStringLiteral("Entry %1").arg(i), QStringLiteral("dropped"),
                                    QStringLiteral("/nowhere/tool"), QString(), {}, {}, i % 3 == 0, i % 16));
    QMimeData data;
    data.setData(applicationDataMimeType, writeApplicationDataPayload(list));
    for (auto _ : state) {
        ApplicationLauncher launcher;
        launcher.show();
        QCoreApplication::processEvents();
        launcher.launcherModel()->dropMimeData(&data, Qt::MoveAction, 0, 0, QModelIndex());
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(launcher.launcherModel()->rowCount());
    }
}

} // namespace

BENCHMARK(BM_DropRecords)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadMissingPrograms)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadExistingPrograms)->Arg(10000)->Unit(benchmark::kMillisecond);
