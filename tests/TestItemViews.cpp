#include "qtlib/itemViews.h"
#include "testSupport.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

// Refuses every removal, as a read-only model would.
class RefusingModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;
    bool removeRows(int, int, const QModelIndex &) override
    {
        ++calls;
        return false;
    }
    int calls = 0;
};

void fill(QStandardItemModel *model, int rows, int columns)
{
    for (int row = 0; row < rows; ++row) {
        QList<QStandardItem *> items;
        for (int column = 0; column < columns; ++column)
            items.append(new QStandardItem(QStringLiteral("r%1c%2").arg(row).arg(column)));
        model->appendRow(items);
    }
}

} // namespace

class TestItemViews : public QObject
{
    Q_OBJECT

private slots:
    void tableKeys_data() { keysData(); }
    void tableKeys();
    void listKeys_data() { keysData(); }
    void listKeys();
    void otherKeysReachTheView();
    void singleSelectionRemovesOneRow();
    void refusedRemovalEnds();

private:
    void keysData();
    template <typename View>
    void runKeys(int columns);
};

void TestItemViews::keysData()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("selectedRows");
    QTest::addColumn<QList<int>>("removedInOrder");
    QTest::addColumn<int>("insertRequests");

    QTest::newRow("delete without selection") << int(Qt::Key_Delete) << 0 << QList<int>() << QList<int>() << 0;
    QTest::newRow("delete rows 1 and 3") << int(Qt::Key_Delete) << 0 << QList<int>{1, 3} << QList<int>{1, 3} << 0;
    QTest::newRow("delete rows 3 then 1") << int(Qt::Key_Delete) << 0 << QList<int>{3, 1} << QList<int>{3, 1} << 0;
    QTest::newRow("shift delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << QList<int>{0, 4}
                                  << QList<int>{0, 4} << 0;
    QTest::newRow("insert") << int(Qt::Key_Insert) << 0 << QList<int>() << QList<int>() << 1;
    QTest::newRow("ctrl insert with selection")
        << int(Qt::Key_Insert) << int(Qt::ControlModifier) << QList<int>{2} << QList<int>() << 1;
}

template <typename View>
void TestItemViews::runKeys(int columns)
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, selectedRows);
    QFETCH(QList<int>, removedInOrder);
    QFETCH(int, insertRequests);

    QStandardItemModel model;
    fill(&model, 5, columns);
    View view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row : selectedRows)
        view.selectionModel()->select(model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    QStringList removed;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            removed.append(model.index(row, 0).data().toString());
    });
    QSignalSpy inserts(&view, SIGNAL(insertRequested()));

    QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QStringList expected;
    for (int row : removedInOrder)
        expected.append(QStringLiteral("r%1c0").arg(row));
    QCOMPARE(removed, expected);
    QCOMPARE(model.rowCount(), 5 - removedInOrder.size());
    QCOMPARE(inserts.count(), insertRequests);
}

void TestItemViews::tableKeys()
{
    runKeys<TableView>(3);
}

void TestItemViews::listKeys()
{
    runKeys<ListView>(1);
}

void TestItemViews::otherKeysReachTheView()
{
    QStandardItemModel model;
    fill(&model, 3, 1);
    ListView view;
    view.setModel(&model);
    view.setCurrentIndex(model.index(0, 0));
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.currentIndex().row(), 1);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.currentIndex().row(), 2);
}

void TestItemViews::singleSelectionRemovesOneRow()
{
    QStandardItemModel model;
    fill(&model, 4, 1);
    ListView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    // Chosen as a click chooses it: the view then moves the choice to a
    // neighbour when the row goes, which must not go too.
    for (const int row : {3, 1}) {
        view.selectionModel()->setCurrentIndex(model.index(row, 0), QItemSelectionModel::ClearAndSelect);
        view.removeSelectedRow();
    }
    QCOMPARE(rowTexts(&model), (QStringList{"r0c0", "r2c0"}));
}

void TestItemViews::refusedRemovalEnds()
{
    RefusingModel model;
    fill(&model, 3, 2);
    TableView view;
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view.removeSelectedRow();
    QCOMPARE(model.calls, 1);
    QCOMPARE(model.rowCount(), 3);
}

QTEST_MAIN(TestItemViews)
#include "TestItemViews.moc"
