#include "applicationLauncher/installedProgramsDialog.h"
#include "platform/desktopEntryIndex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const char *const locales[] = {"ar", "bg", "ca", "cs", "da", "de", "el", "es", "et",    "fi",    "fr", "he",
                               "hu", "id", "it", "ja", "ko", "lt", "nl", "pl", "pt",    "pt_BR", "ro", "ru",
                               "sk", "sl", "sr", "sv", "th", "tr", "uk", "vi", "zh_CN", "zh_TW"};

// A folder of desktop entries as distributions ship them: a name and a
// comment in a few dozen languages, keywords, actions; some hidden from menus.
void fillApplications(const QString &folder, int count)
{
    for (int i = 0; i < count; ++i) {
        QByteArray text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
        text += QStringLiteral("Name=Program %1\nComment=Does thing number %1\n").arg(i).toUtf8();
        for (const char *locale : locales) {
            text += QStringLiteral("Name[%1]=Program %2 (%1)\nComment[%1]=Thing %2 in %1\n")
                        .arg(QLatin1String(locale))
                        .arg(i)
                        .toUtf8();
        }
        text += QStringLiteral("Exec=/usr/bin/program%1 %U\nIcon=program%1\nTerminal=false\n").arg(i).toUtf8();
        text += "Categories=Utility;\nKeywords=tool;program;\nStartupNotify=true\n";
        if (i % 20 == 0)
            text += "NoDisplay=true\n";
        text +=
            QStringLiteral("\n[Desktop Action new]\nName=New Window\nExec=/usr/bin/program%1 --new\n").arg(i).toUtf8();
        QFile file(folder + QStringLiteral("/program%1.desktop").arg(i));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }
}

// Reads the desktop entries of the folders anew, and waits until they are read.
void readEntries()
{
    DesktopEntryIndex *index = DesktopEntryIndex::instance();
    index->refresh();
    while (!index->isUpToDate())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Desktop entries as distributions ship them, in the user's folder.
struct Applications
{
    explicit Applications(int count)
    {
        QDir(home.path()).mkpath(QStringLiteral("applications"));
        fillApplications(home.filePath(QStringLiteral("applications")), count);
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(system.path()));
    }

    QTemporaryDir home;
    QTemporaryDir system;
};

// The desktop entry index read off the GUI thread, as at the first card or a
// dialog's opening.
void BM_ReadDesktopEntries(benchmark::State &state)
{
    const Applications applications(int(state.range(0)));
    for (auto _ : state)
        readEntries();
    state.counters["listed"] = DesktopEntryIndex::instance()->installedPrograms().size();
}

// File > Add Installed Programs until the dialog has drawn its first rows,
// once the desktop entries have been read.
void BM_OpenInstalledProgramsDialog(benchmark::State &state)
{
    const Applications applications(int(state.range(0)));
    readEntries();
    int listed = 0;
    for (auto _ : state) {
        InstalledProgramsDialog dialog;
        dialog.show();
        dialog.findChild<QListView *>()->viewport()->grab();
        QCoreApplication::processEvents();
        listed = dialog.findChild<QListView *>()->model()->rowCount();
    }
    state.counters["listed"] = listed;
}

} // namespace

BENCHMARK(BM_ReadDesktopEntries)->Arg(1000)->Arg(3000)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenInstalledProgramsDialog)->Arg(1000)->Arg(3000)->Arg(6000)->Unit(benchmark::kMillisecond);
