#include "../TestSupport.h"
#include "editor/RangeToolModel.h"

namespace {

// "Max=50" calls setMax(50), "Height=60" resizes; in the order given.
void apply(RangeToolModel &model, const QStringList &operations)
{
    for (const QString &operation : operations) {
        const QString name = operation.section('=', 0, 0);
        const int value = operation.section('=', 1).toInt();
        if (name == "Min")
            model.setMin(value);
        else if (name == "Max")
            model.setMax(value);
        else if (name == "Height")
            model.setSize({model.size().width(), value});
        else if (name == "LowerValue")
            model.setLowerValue(value);
        else
            model.setUpperValue(value);
    }
}

QList<int> values(const RangeToolModel &model)
{
    return {model.min(), model.max(), model.lowerValue(), model.upperValue()};
}

} // namespace

class TestRangeToolModel : public QObject
{
    Q_OBJECT

private slots:
    void setters_data()
    {
        addColumns<QStringList, QList<int>>("operations", "minMaxLowerUpper");
        newRow("upper below lower", QStringList{"UpperValue=10"}, QList<int>{0, 100, 10, 10});
        newRow("lower above upper", QStringList{"LowerValue=90"}, QList<int>{0, 100, 90, 90});
        newRow("max below upper", QStringList{"Max=50"}, QList<int>{0, 50, 25, 50});
        newRow("then min above max", QStringList{"Max=50", "Min=60"}, QList<int>{60, 60, 60, 60});
        newRow("min raised", QStringList{"Min=30"}, QList<int>{30, 100, 30, 75});
        newRow("negative min", QStringList{"Min=-5"}, QList<int>{0, 100, 25, 75});
        newRow("negative max", QStringList{"Max=-3"}, QList<int>{0, 0, 0, 0});
        newRow("values outside", QStringList{"UpperValue=500", "LowerValue=-7"},
               QList<int>{0, 100, 0, 100});
        newRow("max first keeps large values", QStringList{"Max=300", "UpperValue=250"},
               QList<int>{0, 300, 25, 250});
    }
    void setters()
    {
        QFETCH(QStringList, operations);
        RangeToolModel model;
        apply(model, operations);
        QTEST(values(model), "minMaxLowerUpper");
    }

    void layout_data()
    {
        // Track length, lower thumb's left and top, upper thumb's left, bar.
        addColumns<QSize, QStringList, QList<int>, QRect, float>("size", "operations", "places",
                                                                 "bar", "unitsPerPixel");
        const QSize size(117, 45);
        newRow("width 117", size, QStringList(), QList<int>{100, 25, 30, 75}, QRect(32, 19, 50, 8),
               1.0f);
        newRow("equal values", size, QStringList{"LowerValue=75"}, QList<int>{100, 75, 30, 75},
               QRect(82, 19, 2, 8), 1.0f);
        newRow("height 20 enlarged", QSize(117, 20), QStringList(), QList<int>{100, 25, 25, 75},
               QRect(32, 19, 50, 3), 1.0f);
        newRow("width 10 enlarged", QSize(10, 45), QStringList{"Max=23"},
               QList<int>{23, 23, 30, 23}, QRect(30, 19, 2, 8), 1.0f);
        newRow("half pixel steps", QSize(217, 45), QStringList(), QList<int>{200, 50, 30, 150},
               QRect(57, 19, 100, 8), 0.5f);
        newRow("halves round to even", size, QStringList{"Max=200"}, QList<int>{100, 12, 30, 38},
               QRect(19, 19, 26, 8), 2.0f);
        // Max == Min: no division, the thumbs stay where they were.
        newRow("max equals min", size, QStringList{"Max=0"}, QList<int>{100, 25, 30, 75},
               QRect(32, 19, 50, 8), 0.0f);
        // ... but the lower thumb stays on the bottom edge.
        newRow("max equals min, taller", size, QStringList{"Max=0", "Height=60"},
               QList<int>{100, 25, 45, 75}, QRect(32, 19, 50, 23), 0.0f);
    }
    void layout()
    {
        QFETCH(QSize, size);
        QFETCH(QStringList, operations);
        RangeToolModel model;
        model.setSize(size);
        apply(model, operations);
        const QRect lower = model.thumbRect(RangeToolModel::Lower);
        QTEST(QList<int>({model.trackLength(), lower.left(), lower.top(),
                          model.thumbRect(RangeToolModel::Upper).left()}),
              "places");
        QTEST(model.barRect(), "bar");
        QTEST(model.unitsPerPixel(), "unitsPerPixel");
    }

    void drag_data()
    {
        // Pointer positions on the control: the press, then the moves. The
        // values (lower, upper) after each move and after the release.
        addColumns<QSize, QVariantMap, int, QList<int>, QList<int>>("size", "properties", "thumb",
                                                                    "pointer", "values");
        const QSize size(117, 45);
        const int lower = RangeToolModel::Lower, upper = RangeToolModel::Upper;
        newRow("lower pushes upper and lets it return", size, QVariantMap(), lower,
               QList<int>{32, 82, 107, 57}, QList<int>{75, 75, 100, 100, 50, 75, 50, 75});
        newRow("grab point kept, ends clamp", size, QVariantMap(), lower,
               QList<int>{28, 38, -50, 500}, QList<int>{35, 75, 0, 75, 100, 100, 100, 100});
        newRow("upper pushes lower", size, QVariantMap(), upper, QList<int>{82, 17, 62},
               QList<int>{10, 10, 25, 55, 25, 55});
        newRow("locked upper stops lower", size, QVariantMap{{"UpperLocked", true}}, lower,
               QList<int>{32, 107, 40}, QList<int>{75, 75, 33, 75, 33, 75});
        newRow("locked lower stops upper", size, QVariantMap{{"LowerLocked", true}}, upper,
               QList<int>{82, 17}, QList<int>{25, 25, 25, 25});
        newRow("locked thumb does not move", size, QVariantMap{{"LowerLocked", true}}, lower,
               QList<int>{32, 82}, QList<int>{25, 75, 25, 75});
        newRow("pixel steps of a half", QSize(217, 45), QVariantMap(), lower,
               QList<int>{57, 40, 41, 217}, QList<int>{16, 75, 17, 75, 100, 100, 100, 100});
        newRow("max equals min gives min", size,
               QVariantMap{{"Min", 60}, {"Max", 60}, {"LowerValue", 60}, {"UpperValue", 60}}, lower,
               QList<int>{32, 82}, QList<int>{60, 60, 60, 60});
    }
    void drag()
    {
        QFETCH(QSize, size);
        QFETCH(QVariantMap, properties);
        QFETCH(int, thumb);
        QFETCH(QList<int>, pointer);
        RangeToolModel model;
        model.setSize(size);
        model.load(properties);
        const auto which = RangeToolModel::Thumb(thumb);
        const auto inside = [&](int x) { return x - model.thumbRect(which).left(); };
        const bool started = model.press(which, inside(pointer.first()));
        QCOMPARE(started, !model.isLocked(which));
        QList<int> seen;
        for (int x : pointer.mid(1)) {
            QCOMPARE(model.moveTo(which, inside(x)), started); // a scroll per move
            seen << model.lowerValue() << model.upperValue();
        }
        model.release(which);
        QVERIFY(!model.isDragging(which));
        seen << model.lowerValue() << model.upperValue();
        QTEST(seen, "values");
    }

    void savedSet()
    {
        RangeToolModel model;
        // Keys in any case, a stranger, an unreadable number, values unclamped.
        model.load({{"min", 50},
                    {"LOWERVALUE", 10},
                    {"max", "lots"},
                    {"color", -2147483635}, // 0x8000000D as a signed 32-bit number
                    {"upperLocked", true},
                    {"borderstyle", 0},
                    {"Caption", "x"}});
        QCOMPARE(values(model), QList<int>({50, 100, 10, 75}));
        QCOMPARE(model.color(), 0x8000000Du);
        QVERIFY(model.isLocked(RangeToolModel::Upper) && !model.isLocked(RangeToolModel::Lower));
        QVERIFY(model.isVisible(RangeToolModel::Lower) && model.isVisible(RangeToolModel::Upper));
        QCOMPARE(model.borderStyle(), 0);

        RangeToolModel copy;
        copy.load(model.save());
        QCOMPARE(copy.save(), model.save());
        QCOMPARE(values(copy), values(model));
        // Nothing saved: the defaults of a new control.
        copy.load({});
        QCOMPARE(copy.save(), RangeToolModel().save());
        QCOMPARE(copy.save().keys().size(), 10);
        // Loaded extremes span more than an int: value 0 sits mid-track.
        copy.setSize({117, 45});
        copy.load({{"Min", INT_MIN}, {"Max", INT_MAX}, {"LowerValue", 0}});
        QCOMPARE(copy.thumbRect(RangeToolModel::Lower).left(), 50);
    }
};

QTEST_GUILESS_MAIN(TestRangeToolModel)
#include "tst_RangeToolModel.moc"
