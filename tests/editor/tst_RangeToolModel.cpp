#include "../TestSupport.h"
#include "editor/RangeToolModel.h"

namespace {

using Ints = QList<int>;
using Ops = QStringList;

// "Max=50" calls setMax(50), "Height=60" resizes; in the order given.
void apply(RangeToolModel &model, const QStringList &operations)
{
    const QHash<QString, void (RangeToolModel::*)(int)> setters = {
        {"Min", &RangeToolModel::setMin},
        {"Max", &RangeToolModel::setMax},
        {"LowerValue", &RangeToolModel::setLowerValue},
        {"UpperValue", &RangeToolModel::setUpperValue}};
    for (const QString &operation : operations) {
        const int value = operation.section('=', 1).toInt();
        if (operation.startsWith("Height"))
            model.setSize({model.size().width(), value});
        else
            (model.*setters.value(operation.section('=', 0, 0)))(value);
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
    void settersAndLayout_data()
    {
        // Min, max, lower and upper value; track length, lower thumb's left
        // and top, upper thumb's left; the bar.
        addColumns<QSize, QStringList, QList<int>, QList<int>, QRect, float>(
            "size", "operations", "values", "places", "bar", "unitsPerPixel");
        const QSize size(117, 45);
        const QList<int> start{100, 25, 30, 75};
        newRow("width 117", size, Ops(), Ints{0, 100, 25, 75}, start, QRect(32, 19, 50, 8), 1.0f);
        newRow("upper below lower", size, Ops{"UpperValue=10"}, Ints{0, 100, 10, 10},
               Ints{100, 10, 30, 10}, QRect(17, 19, 2, 8), 1.0f);
        newRow("lower above upper", size, Ops{"LowerValue=90"}, Ints{0, 100, 90, 90},
               Ints{100, 90, 30, 90}, QRect(97, 19, 2, 8), 1.0f);
        newRow("max below upper", size, Ops{"Max=50"}, Ints{0, 50, 25, 50}, Ints{100, 50, 30, 100},
               QRect(57, 19, 50, 8), 0.5f);
        newRow("negative min", size, Ops{"Min=-5"}, Ints{0, 100, 25, 75}, start,
               QRect(32, 19, 50, 8), 1.0f);
        newRow("negative max", size, Ops{"Max=-3"}, Ints{0, 0, 0, 0}, start, QRect(32, 19, 50, 8),
               0.0f);
        // Max == Min: no division, the thumbs stay where they were...
        newRow("then min above max", size, Ops{"Max=50", "Min=60"}, Ints{60, 60, 60, 60},
               Ints{100, 50, 30, 100}, QRect(57, 19, 50, 8), 0.0f);
        // ... but the lower thumb stays on the bottom edge.
        newRow("max equals min, taller", size, Ops{"Max=0", "Height=60"}, Ints{0, 0, 0, 0},
               Ints{100, 25, 45, 75}, QRect(32, 19, 50, 23), 0.0f);
        newRow("height 20 enlarged", QSize(117, 20), Ops(), Ints{0, 100, 25, 75},
               Ints{100, 25, 25, 75}, QRect(32, 19, 50, 3), 1.0f);
        newRow("halves round to even", size, Ops{"Max=200"}, Ints{0, 200, 25, 75},
               Ints{100, 12, 30, 38}, QRect(19, 19, 26, 8), 2.0f);
    }
    void settersAndLayout()
    {
        QFETCH(QSize, size);
        QFETCH(QStringList, operations);
        RangeToolModel model;
        model.setSize(size);
        apply(model, operations);
        QTEST(values(model), "values");
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
               Ints{32, 82, 107, 57}, Ints{75, 75, 100, 100, 50, 75, 50, 75});
        newRow("grab point kept, ends clamp", size, QVariantMap(), lower, Ints{28, 38, -50, 500},
               Ints{35, 75, 0, 75, 100, 100, 100, 100});
        newRow("upper pushes lower", size, QVariantMap(), upper, Ints{82, 17, 62},
               Ints{10, 10, 25, 55, 25, 55});
        newRow("locked upper stops lower", size, QVariantMap{{"UpperLocked", true}}, lower,
               Ints{32, 107, 40}, Ints{75, 75, 33, 75, 33, 75});
        newRow("locked lower stops upper", size, QVariantMap{{"LowerLocked", true}}, upper,
               Ints{82, 17}, Ints{25, 25, 25, 25});
        newRow("locked thumb does not move", size, QVariantMap{{"LowerLocked", true}}, lower,
               Ints{32, 82}, Ints{25, 75, 25, 75});
        newRow("pixel steps of a half", QSize(217, 45), QVariantMap(), lower, Ints{57, 40, 41, 217},
               Ints{16, 75, 17, 75, 100, 100, 100, 100});
        newRow("max equals min gives min", size,
               QVariantMap{{"Min", 60}, {"Max", 60}, {"LowerValue", 60}, {"UpperValue", 60}}, lower,
               Ints{32, 82}, Ints{60, 60, 60, 60});
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
