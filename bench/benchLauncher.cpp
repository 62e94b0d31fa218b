#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/filterField.h"
#include "document/launcherDocument.h"
#include "platform/dataFolder.h"
#include "qtlib/messageBoxPrompts.h"
#include "records/recordStream.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The launcher widget as the window holds it, over a document of its own.
struct LauncherParts
{
    DataFolder folder{QDir::currentPath()};
    MessageBoxPrompts prompts;
    LauncherDocument document{folder, &prompts};
    ApplicationLauncher launcher{&document, folder, &prompts};
};

// Entries as a user writes them: a program, a description, a pre script, a
// few arguments and variables, marks.
ApplicationDataList userEntries(int count, const QStringList &programs)
{
    ApplicationDataList list;
    for (int i = 0; i < count; ++i) {
        list.append(ApplicationData(QStringLiteral("Entry %1").arg(i), QStringLiteral("a program with a description"),
                                    programs.at(i % programs.size()), QStringLiteral("cd /tmp\necho start"),
                                    {VariableData(QStringLiteral("--verbose")),
                                     VariableData(QStringLiteral("--output"), QStringLiteral("/tmp/out %1").arg(i))},
                                    {VariableData(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"))}, i % 3 == 0,
                                    i % 16));
    }
    return list;
}

// A launcher file of the given size.
QString writeLauncherFile(const QTemporaryDir &dir, int entries, const QStringList &programs)
{
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    writeLauncherFile(fileName, userEntries(entries, programs));
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
        LauncherParts parts;
        ApplicationLauncher &launcher = parts.launcher;
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
        LauncherParts parts;
        ApplicationLauncher &launcher = parts.launcher;
        launcher.show();
        QCoreApplication::processEvents();
        launcher.launcherModel()->dropMimeData(&data, Qt::MoveAction, 0, 0, QModelIndex());
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(launcher.launcherModel()->rowCount());
    }
}

// The whole save of File > Save, through the launcher, its sync to disk
// included.
void BM_SaveEntries(benchmark::State &state)
{
    QTemporaryDir dir;
    LauncherParts parts;
    ApplicationLauncher &launcher = parts.launcher;
    launcher.setLauncherData(userEntries(int(state.range(0)), {QStringLiteral("/usr/bin/env")}));
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    for (auto _ : state) {
        if (!launcher.saveLauncherData(fileName))
            state.SkipWithError("the entries were not saved");
    }
    state.counters["file_KiB"] = double(QFileInfo(fileName).size()) / 1024.0;
}

// The least any save of the same entries costs: their bytes in one write and
// one sync.
void BM_WriteAndSyncSameBytes(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString fileName = writeLauncherFile(dir, int(state.range(0)), {QStringLiteral("/usr/bin/env")});
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    const QByteArray content = file.readAll();
    const QByteArray path = QFile::encodeName(fileName);
    for (auto _ : state) {
        const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (descriptor < 0 || ::write(descriptor, content.constData(), size_t(content.size())) != content.size()
            || ::fsync(descriptor) != 0)
            state.SkipWithError("the bytes were not written");
        if (descriptor >= 0)
            ::close(descriptor);
    }
    state.counters["file_KiB"] = double(content.size()) / 1024.0;
}

// One key typed into the shown window, until every tab has filtered its cards
// and the window has drawn them: the first key of a search, and one more.
void typeToFind(benchmark::State &state, const QString &typedBefore, QChar key)
{
    LauncherParts parts;
    ApplicationLauncher &launcher = parts.launcher;
    launcher.setLauncherData(userEntries(int(state.range(0)), {QStringLiteral("/usr/bin/env")}));
    launcher.resize(290, 480);
    launcher.show();
    QCoreApplication::processEvents();
    auto *field = launcher.findChild<FilterField *>();
    const auto *tabs = launcher.findChild<QTabWidget *>();
    for (auto _ : state) {
        state.PauseTiming();
        field->dismiss();
        if (!typedBefore.isEmpty())
            field->typeText(typedBefore);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, key.unicode(), Qt::NoModifier, QString(key));
        QCoreApplication::sendEvent(field->isVisible() ? static_cast<QWidget *>(field) : &launcher, &press);
        QCoreApplication::processEvents();
        // The hidden tabs filter too, not only when they are shown.
        for (int tab = 0; tab < tabs->count(); ++tab)
            benchmark::DoNotOptimize(qobject_cast<QAbstractItemView *>(tabs->widget(tab))->model()->rowCount());
    }
}

void BM_TypeToFindFirstKey(benchmark::State &state)
{
    typeToFind(state, QString(), QLatin1Char('7'));
}

void BM_TypeToFindNextKey(benchmark::State &state)
{
    typeToFind(state, QStringLiteral("7"), QLatin1Char('2'));
}

} // namespace

BENCHMARK(BM_DropRecords)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadMissingPrograms)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadExistingPrograms)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEntries)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteAndSyncSameBytes)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeToFindFirstKey)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeToFindNextKey)->Arg(10000)->Unit(benchmark::kMillisecond);
