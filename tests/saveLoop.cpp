// Saves two different launcher lists into one file, in turns, until killed,
// and says when it starts and after every save. The crash-safety test kills
// it at random moments.
#include "records/launcherFile.h"
#include "records/records.h"

#include <QApplication>

#include <cstdio>

static ApplicationDataList entries(const QString &prefix, int count)
{
    ApplicationDataList list;
    for (int i = 0; i < count; ++i)
        list.append(ApplicationData(prefix + QString::number(i), QStringLiteral("an entry with a description"),
                                    QStringLiteral("/usr/bin/env"), QStringLiteral("cd /tmp\necho start"),
                                    {VariableData(QStringLiteral("-i"))}, {}, i % 2 == 0, i % 16));
    return list;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString fileName = QString::fromLocal8Bit(argv[1]);
    const ApplicationDataList lists[] = {entries(QStringLiteral("new "), 1500), entries(QStringLiteral("old "), 1000)};
    std::puts("saving");
    std::fflush(stdout);
    for (unsigned turn = 0;; ++turn) {
        if (!writeLauncherFile(fileName, lists[turn % 2]))
            return 1;
        std::puts("saved");
        std::fflush(stdout);
    }
}
