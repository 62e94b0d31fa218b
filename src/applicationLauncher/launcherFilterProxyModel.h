#ifndef KORVANI_LAUNCHERFILTERPROXYMODEL_H
#define KORVANI_LAUNCHERFILTERPROXYMODEL_H

#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVector>

// The cards that match what the user types: every word of the filter must be
// found, whatever its case, in the name, the description or the program's
// file name. Without a filter it passes everything through, drags included;
// while filtering, the list cannot be reordered, since a drop among the shown
// cards could not say where it lands in the whole list.
// While filtering, the cards are ranked for each typed word in turn: first
// those whose name starts with it, then those with a word of the name that
// starts with it, then the rest; cards of equal rank keep their list order.
// Ranking changes only what is shown, never the list; it looks at the first
// 32 words.
class LauncherFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LauncherFilterProxyModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    void setFilterWords(const QString &text);
    bool isFiltering() const { return !m_words.isEmpty(); }

    // One column. Every list asks for it at each reset, and the base class
    // would filter the whole list to answer, for tabs not shown too.
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private slots:
    void forgetRanks();

private:
    // 0: the name starts with the word; 1: a word of the name does; 2: neither.
    static int nameRank(const QString &name, const QString &word);
    // The ranks of a row of the source for the words, two bits each, the
    // first word's highest.
    quint64 rankKey(const QModelIndex &sourceIndex) const;

    QStringList m_words;
    // The rank keys of the source's rows, plus one; 0 where not yet made. A
    // sort compares each row many times, and each comparison would rank it
    // again.
    mutable QVector<quint64> m_ranks;
    QList<QMetaObject::Connection> m_rankConnections;
};

#endif
