#include <QSignalSpy>
#include <QtTest>

#include "platform/qt/line_list_model.h"

using tallowick::LineListModel;

namespace {

QStringList Shown(const LineListModel& model)
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(); ++row)
        lines << model.data(model.index(row, 0)).toString();
    return lines;
}

void AppendAll(LineListModel& model, const QStringList& lines)
{
    for (const QString& line : lines)
        model.Append({line.toStdString(), nullptr});
}

} // namespace

class ListModelTest : public QObject {
    Q_OBJECT

private slots:
    void sortedListIgnoresCaseAndBreaksTiesByText()
    {
        LineListModel model(true, nullptr);
        AppendAll(model, {"b", "B", "a", "C", QString::fromUtf8("Äb"), QString::fromUtf8("äa")});
        model.Commit();
        QCOMPARE(Shown(model), (QStringList{"a", "B", "b", "C", QString::fromUtf8("äa"), QString::fromUtf8("Äb")}));

        // A second batch is merged into place.
        AppendAll(model, {"c", "A", "a"});
        model.Commit();
        QCOMPARE(Shown(model), (QStringList{"A", "a", "a", "B", "b", "C", "c", QString::fromUtf8("äa"),
                                            QString::fromUtf8("Äb")}));
    }

    void unsortedListKeepsTheOrderAdded()
    {
        LineListModel model(false, nullptr);
        AppendAll(model, {"b", "a"});
        model.Commit();
        AppendAll(model, {"C", "a"});
        model.Commit();
        QCOMPARE(Shown(model), (QStringList{"b", "a", "C", "a"}));
    }

    void linesShowOnlyWhenCommittedWithOneReset()
    {
        LineListModel model(true, nullptr);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < 1000; ++i)
            model.Append({"c:\\windows\\cookies\\" + std::to_string(999 - i) + ".txt", nullptr});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(resets.count(), 0);

        model.Commit();
        QCOMPARE(model.rowCount(), 1000);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(inserts.count(), 0);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("c:\\windows\\cookies\\0.txt"));

        model.Append({"late", nullptr});
        model.Clear();
        model.Commit();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.index(0, 0)).isValid());
    }
};

QTEST_GUILESS_MAIN(ListModelTest)
#include "list_model_test.moc"
