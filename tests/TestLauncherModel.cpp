#include "applicationLauncher/applicationLauncher.h"
#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractItemModelTester>
#include <QFileIconProvider>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QtTest>

using Model = LauncherDataModel;

namespace {

ApplicationData sample()
{
    return ApplicationData(QStringLiteral("n"), QStringLiteral("d"), QStringLiteral("/nowhere/p"),
                           QStringLiteral("echo"), {VariableData(QStringLiteral("-a"))},
                           {VariableData(QStringLiteral("E"), QStringLiteral("1"))}, false, 2);
}

} // namespace

class TestLauncherModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newRow_data();
    void newRow();
    void unusableIndexes();
    void setData_data();
    void setData();
    void pathRoleUpdatesIcon();
    void wholeRecordKeepsItsIcon();
    void removeRows();
    void rowsOutsideTheListAreRefused();
    void flags();
    void setLauncherDataReachesAttachedProxies();
};

void TestLauncherModel::initTestCase()
{
    registerRecordTypes();
}

void TestLauncherModel::newRow_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(QStringLiteral("No Name"));
    QTest::newRow("edit") << int(Qt::EditRole) << QVariant(QStringLiteral("No Name"));
    QTest::newRow("name") << int(Model::NameRole) << QVariant(QStringLiteral("No Name"));
    QTest::newRow("description") << int(Model::DescriptionRole) << QVariant(QString());
    QTest::newRow("path") << int(Model::PathRole) << QVariant(QString());
    QTest::newRow("pre script") << int(Model::PreScriptRole) << QVariant(QString());
    QTest::newRow("favorite") << int(Model::FavoriteRole) << QVariant(false);
    QTest::newRow("tag") << int(Model::TagRole) << QVariant(0);
    QTest::newRow("check state") << int(Qt::CheckStateRole) << QVariant(int(Qt::Unchecked));
    QTest::newRow("tooltip") << int(Qt::ToolTipRole) << QVariant(QStringLiteral("\"\""));
    QTest::newRow("unknown role") << int(Qt::UserRole + 11) << QVariant();
}

void TestLauncherModel::newRow()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);

    Model model;
    QAbstractItemModelTester tester(&model);
    QVERIFY(model.insertRow(0));
    const QVariant data = model.index(0).data(role);
    QCOMPARE(data.isValid(), value.isValid());
    if (value.isValid())
        QCOMPARE(data.toString(), value.toString());
    QVERIFY(model.index(0).data(Model::ArgumentsRole).value<VariableDataList>().isEmpty());
    QVERIFY(model.index(0).data(Model::EnvironmentsRole).value<VariableDataList>().isEmpty());
}

void TestLauncherModel::unusableIndexes()
{
    Model model;
    model.setLauncherData(named({"a", "b"}));
    QStringListModel other({"x", "y", "z"});
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(!model.data(model.index(2), Model::NameRole).isValid());
    QVERIFY(!model.data(QModelIndex(), Model::NameRole).isValid());
    QVERIFY(!model.data(other.index(0), Model::NameRole).isValid());
    QVERIFY(!model.setData(model.index(2), QStringLiteral("x"), Model::NameRole));
    QVERIFY(!model.setData(other.index(1), QStringLiteral("x"), Model::NameRole));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(rowTexts(&model, Model::NameRole), (QStringList{"a", "b"}));
}

void TestLauncherModel::setData_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<ApplicationData>("expected");

    const VariableDataList variables{VariableData(QStringLiteral("x"), QStringLiteral("y"))};
    auto changed = [](const std::function<void(ApplicationData &)> &change) {
        ApplicationData record = sample();
        change(record);
        return record;
    };
    QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(QStringLiteral("m"))
                             << changed([](ApplicationData &r) { r.setName(QStringLiteral("m")); });
    QTest::newRow("edit") << int(Qt::EditRole) << QVariant(QStringLiteral("m"))
                          << changed([](ApplicationData &r) { r.setName(QStringLiteral("m")); });
    QTest::newRow("name from number") << int(Model::NameRole) << QVariant(42)
                                      << changed([](ApplicationData &r) { r.setName(QStringLiteral("42")); });
    QTest::newRow("description") << int(Model::DescriptionRole) << QVariant(QStringLiteral("e"))
                                 << changed([](ApplicationData &r) { r.setDescription(QStringLiteral("e")); });
    QTest::newRow("path") << int(Model::PathRole) << QVariant(QStringLiteral("/q"))
                          << changed([](ApplicationData &r) { r.setPath(QStringLiteral("/q")); });
    QTest::newRow("pre script") << int(Model::PreScriptRole) << QVariant(QStringLiteral("a\nb"))
                                << changed([](ApplicationData &r) { r.setPreScript(QStringLiteral("a\nb")); });
    QTest::newRow("arguments") << int(Model::ArgumentsRole) << QVariant::fromValue(variables)
                               << changed([&](ApplicationData &r) { r.setArguments(variables); });
    QTest::newRow("arguments from other type")
        << int(Model::ArgumentsRole) << QVariant(3) << changed([](ApplicationData &r) { r.setArguments({}); });
    QTest::newRow("environments") << int(Model::EnvironmentsRole) << QVariant::fromValue(variables)
                                  << changed([&](ApplicationData &r) { r.setEnvironments(variables); });
    QTest::newRow("favorite") << int(Model::FavoriteRole) << QVariant(true)
                              << changed([](ApplicationData &r) { r.setFavorite(true); });
    QTest::newRow("tag 5") << int(Model::TagRole) << QVariant(5) << changed([](ApplicationData &r) { r.setTag(5); });
    QTest::newRow("tag from text") << int(Model::TagRole) << QVariant(QStringLiteral("x"))
                                   << changed([](ApplicationData &r) { r.setTag(0); });
    QTest::newRow("whole record") << int(Model::ApplicationDataRole) << QVariant::fromValue(ApplicationData("w"))
                                  << ApplicationData(QStringLiteral("w"));
    QTest::newRow("whole record from other type")
        << int(Model::ApplicationDataRole) << QVariant(7) << ApplicationData();
    QTest::newRow("check state stores nothing") << int(Qt::CheckStateRole) << QVariant(int(Qt::Checked)) << sample();
    QTest::newRow("decoration stores nothing") << int(Qt::DecorationRole) << QVariant(QIcon()) << sample();
    QTest::newRow("tooltip stores nothing") << int(Qt::ToolTipRole) << QVariant(QStringLiteral("t")) << sample();
    QTest::newRow("icon stores nothing") << int(Model::IconRole) << QVariant(QIcon()) << sample();
    QTest::newRow("unknown role") << int(Qt::UserRole + 50) << QVariant(QStringLiteral("t")) << sample();
}

void TestLauncherModel::setData()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    QFETCH(ApplicationData, expected);

    Model model;
    QAbstractItemModelTester tester(&model);
    model.setLauncherData({ApplicationData(QStringLiteral("first")), sample()});
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.setData(model.index(1), value, role));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().at(0).toModelIndex(), model.index(1));
    QCOMPARE(changes.first().at(1).toModelIndex(), model.index(1));
    QVERIFY(changes.first().at(2).value<QVector<int>>().isEmpty());

    const ApplicationData stored = model.index(1).data(Model::ApplicationDataRole).value<ApplicationData>();
    QCOMPARE(stored.toJsonObject(), expected.toJsonObject());
    QCOMPARE(model.index(0).data(Model::NameRole).toString(), QStringLiteral("first"));
    QCOMPARE(model.index(1).data(Qt::CheckStateRole).toInt(), int(expected.favorite() ? Qt::Checked : Qt::Unchecked));
    QCOMPARE(model.index(1).data(Qt::ToolTipRole).toString(), expected.batchScript());
}

void TestLauncherModel::pathRoleUpdatesIcon()
{
    QTemporaryDir dir;
    Model model;
    model.insertRow(0);
    const QImage generic = iconImage(model.index(0).data(Qt::DecorationRole).value<QIcon>());
    QVERIFY(model.setData(model.index(0), dir.path(), Model::PathRole));
    const QImage folder = iconImage(QFileIconProvider().icon(QFileInfo(dir.path())));
    QVERIFY(folder != generic);
    QCOMPARE(iconImage(model.index(0).data(Qt::DecorationRole).value<QIcon>()), folder);
    QCOMPARE(iconImage(model.index(0).data(Model::IconRole).value<QIcon>()), folder);
}

void TestLauncherModel::wholeRecordKeepsItsIcon()
{
    QTemporaryDir dir;
    ApplicationData record(QStringLiteral("r"), QString(), dir.path());
    const QImage folder = iconImage(record.icon());
    record.setPath(QStringLiteral("/nowhere"));

    Model model;
    model.insertRow(0);
    QVERIFY(model.setData(model.index(0), QVariant::fromValue(record), Model::ApplicationDataRole));
    QCOMPARE(iconImage(model.index(0).data(Model::IconRole).value<QIcon>()), folder);
    QCOMPARE(model.index(0).data(Model::PathRole).toString(), QStringLiteral("/nowhere"));
}

void TestLauncherModel::removeRows()
{
    Model model;
    QAbstractItemModelTester tester(&model);
    model.setLauncherData(named({"0", "1", "2", "3", "4"}));
    QVERIFY(model.removeRows(1, 2));
    QCOMPARE(rowTexts(&model, Model::NameRole), (QStringList{"0", "3", "4"}));
    QVERIFY(model.removeRows(0, 0));
    QCOMPARE(model.rowCount(), 3);
}

void TestLauncherModel::rowsOutsideTheListAreRefused()
{
    Model model;
    QAbstractItemModelTester tester(&model);
    model.setLauncherData(named({"0", "1", "2"}));
    QSignalSpy removals(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsAboutToBeInserted);

    QVERIFY(!model.removeRows(2, 2));
    QVERIFY(!model.removeRows(-1, 1));
    QVERIFY(!model.insertRows(4, 1));
    QVERIFY(!model.insertRows(-1, 1));
    QCOMPARE(removals.count(), 0);
    QCOMPARE(inserts.count(), 0);
    QCOMPARE(rowTexts(&model, Model::NameRole), (QStringList{"0", "1", "2"}));

    QVERIFY(model.insertRows(3, 2));
    QCOMPARE(rowTexts(&model, Model::NameRole), (QStringList{"0", "1", "2", "No Name", "No Name"}));
}

void TestLauncherModel::flags()
{
    Model model;
    model.insertRow(0);
    const Qt::ItemFlags valid = model.flags(model.index(0));
    QVERIFY(valid & Qt::ItemIsDragEnabled);
    QVERIFY(!(valid & Qt::ItemIsDropEnabled));
    QVERIFY(valid & Qt::ItemIsSelectable);
    QVERIFY(valid & Qt::ItemIsEnabled);
    QVERIFY(!(valid & Qt::ItemIsEditable));
    QVERIFY(!(valid & Qt::ItemIsUserCheckable));
    QVERIFY(model.flags(QModelIndex()) & Qt::ItemIsDropEnabled);
}

void TestLauncherModel::setLauncherDataReachesAttachedProxies()
{
    Model model;
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    QAbstractItemModelTester modelTester(&model);
    QAbstractItemModelTester proxyTester(&proxy);

    model.setLauncherData(named({"a", "b", "c"}));
    QCOMPARE(rowTexts(&proxy, Model::NameRole), (QStringList{"a", "b", "c"}));
    model.setLauncherData(named({"d"}));
    QCOMPARE(rowTexts(&proxy, Model::NameRole), (QStringList{"d"}));

    const ApplicationDataList list{sample(), ApplicationData(QStringLiteral("x"))};
    model.setLauncherData(list);
    QCOMPARE(toJsonArray(model.launcherData()), toJsonArray(list));
}

QTEST_MAIN(TestLauncherModel)
#include "TestLauncherModel.moc"
