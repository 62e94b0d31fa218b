#ifndef KORVANI_DATAFOLDER_H
#define KORVANI_DATAFOLDER_H

#include <QString>

// The folder whose "data" and "temp" Korvani uses, and every path in it, each
// absolute: nothing depends on the current folder. A portable program keeps
// it beside itself, an installed one in the user's data folder.
class DataFolder
{
public:
    // The data folder of the program in applicationDir: that folder itself
    // when it is writable and the program is not installed (the portable
    // layout), else the user's data folder.
    static QString locate(const QString &applicationDir);

    // Paths in the folder at root; a relative root is taken against the
    // current folder once, here.
    explicit DataFolder(const QString &root);

    QString root() const { return m_root; }
    // The launcher file, "data/shortchut.json".
    QString launcherFile() const;
    // The settings, "data/settings.ini".
    QString settingsFile() const;
    // This system's program templates: "data/db/" followed by the system's name.
    QString templateFolder() const;
    // The batch files of launches, "temp", and of entries dragged out of the
    // window, "data/temp".
    QString launchScriptFolder() const;
    QString dragScriptFolder() const;
    // The batch file of a launch as the command interpreter is handed it,
    // with native separators: cmd.exe takes a slash for the start of a switch.
    QString launchScriptPath(const QString &fileName) const;
    // Where launches start: the folder of the program's data.
    QString launchFolder() const { return m_root; }
    // The folder of the single-instance channel: $XDG_RUNTIME_DIR/korvani
    // on Unix where the system has one, else "run" in this folder.
    QString runFolder() const;

    // Makes the folder and its own folders for the user alone, and adds the
    // templates shipped with the program in applicationDir. When the folder
    // cannot be made or written, nothing is touched: false, with a message
    // for the user.
    bool prepare(const QString &applicationDir, QString *error) const;

    // Copies the templates shipped with the program in applicationDir into the
    // template folder, leaving every template already there alone. A portable
    // program reads its templates where they are, and copies nothing.
    void addShippedTemplates(const QString &applicationDir) const;

private:
    QString m_root;
};

#endif
