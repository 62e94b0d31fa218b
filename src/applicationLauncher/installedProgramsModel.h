#ifndef KORVANI_INSTALLEDPROGRAMSMODEL_H
#define KORVANI_INSTALLEDPROGRAMSMODEL_H

#include "platform/installedPrograms.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

// The programs the desktop offers, one row each: its name over its comment,
// and its icon, looked up when the row is first shown.
class InstalledProgramsModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Roles {
        FilePathRole = Qt::UserRole + 1, // of the desktop entry
        SearchRole, // what the filter looks in
    };

    explicit InstalledProgramsModel(const QList<Platform::InstalledProgram> &programs, QObject *parent = nullptr);

    QList<Platform::InstalledProgram> programs() const { return m_programs; }
    void setPrograms(const QList<Platform::InstalledProgram> &programs);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QIcon icon(int row) const;

    QList<Platform::InstalledProgram> m_programs;
    mutable QHash<int, QIcon> m_icons;
    QIcon m_fallbackIcon;
};

#endif
