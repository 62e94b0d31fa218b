#include "applicationLauncher/installedProgramsModel.h"

#include "platform/desktopIconLookup.h"

InstalledProgramsModel::InstalledProgramsModel(const QList<Platform::InstalledProgram> &programs, QObject *parent)
    : QAbstractListModel(parent)
    , m_programs(programs)
    , m_fallbackIcon(QStringLiteral(":/images/application.png"))
{
}

void InstalledProgramsModel::setPrograms(const QList<Platform::InstalledProgram> &programs)
{
    beginResetModel();
    m_programs = programs;
    m_icons.clear();
    endResetModel();
}

int InstalledProgramsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_programs.size();
}

QVariant InstalledProgramsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_programs.size())
        return QVariant();
    const Platform::InstalledProgram &program = m_programs.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return program.comment.isEmpty() ? program.name : program.name + QLatin1Char('\n') + program.comment;
    case Qt::DecorationRole:
        return icon(index.row());
    case Qt::ToolTipRole:
        return program.filePath;
    case FilePathRole:
        return program.filePath;
    case SearchRole:
        return program.name + QLatin1Char('\n') + program.comment + QLatin1Char('\n') + program.id;
    default:
        return QVariant();
    }
}

QIcon InstalledProgramsModel::icon(int row) const
{
    // Looking up thousands of icons would keep the dialog from opening; the
    // list asks for those it shows.
    auto found = m_icons.find(row);
    if (found == m_icons.end()) {
        const QIcon named = DesktopIconLookup::namedIcon(m_programs.at(row).icon);
        found = m_icons.insert(row, named.isNull() ? m_fallbackIcon : named);
    }
    return found.value();
}
