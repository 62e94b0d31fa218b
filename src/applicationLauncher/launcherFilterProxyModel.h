#ifndef KORVANI_LAUNCHERFILTERPROXYMODEL_H
#define KORVANI_LAUNCHERFILTERPROXYMODEL_H

#include <QSortFilterProxyModel>
#include <QStringList>

// The cards that match what the user types: every word of the filter must be
// found, whatever its case, in the name, the description or the program's
// file name. Without a filter it passes everything through, drags included;
// while filtering, the list cannot be reordered, since a drop among the shown
// cards could not say where it lands in the whole list.
class LauncherFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LauncherFilterProxyModel(QObject *parent = nullptr);

    void setFilterWords(const QString &text);
    bool isFiltering() const { return !m_words.isEmpty(); }

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QStringList m_words;
};

#endif
