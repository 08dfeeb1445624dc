#include "../TestSupport.h"
#include "editor/RangeToolModel.h"

namespace {

using Ints = QList<int>;

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
        // On a control of 117 x 45: min, max, lower and upper value; track length, lower
        // thumb's left and top, upper thumb's left; the bar's rectangle; units per pixel.
        addColumns<QString, QString>("operations", "layout");
        newRow("upper < lower", "UpperValue=10", "0 100 10 10; 100 10 30 10; 17 19 2 8; 1");
        newRow("lower > upper", "LowerValue=90", "0 100 90 90; 100 90 30 90; 97 19 2 8; 1");
        newRow("max below upper", "Max=50", "0 50 25 50; 100 50 30 100; 57 19 50 8; 0.5");
        newRow("negative min ignored", "Min=-5", "0 100 25 75; 100 25 30 75; 32 19 50 8; 1");
        newRow("negative max", "Max=-3", "0 0 0 0; 100 25 30 75; 32 19 50 8; 0");
        // Max == Min: no division, the thumbs stay where they were...
        newRow("then min above max", "Max=50 Min=60", "60 60 60 60; 100 50 30 100; 57 19 50 8; 0");
        // ... but the lower thumb stays on the bottom edge.
        newRow("max equals min, taller", "Max=0 Height=60",
               "0 0 0 0; 100 25 45 75; 32 19 50 23; 0");
        newRow("height 20 enlarged", "Height=20", "0 100 25 75; 100 25 25 75; 32 19 50 3; 1");
        newRow("halves round to even", "Max=200", "0 200 25 75; 100 12 30 38; 19 19 26 8; 2");
    }
    void settersAndLayout()
    {
        QFETCH(QString, operations);
        RangeToolModel model;
        model.setSize({117, 45});
        apply(model, operations.split(' ', Qt::SkipEmptyParts));
        const QRect lower = model.thumbRect(RangeToolModel::Lower), bar = model.barRect();
        const int upperLeft = model.thumbRect(RangeToolModel::Upper).left();
        QStringList groups;
        for (const QList<int> &g : {values(model),
                                    {model.trackLength(), lower.left(), lower.top(), upperLeft},
                                    {bar.x(), bar.y(), bar.width(), bar.height()}})
            groups << QString("%1 %2 %3 %4").arg(g[0]).arg(g[1]).arg(g[2]).arg(g[3]);
        QTEST(groups.join("; ") + "; " + QString::number(model.unitsPerPixel()), "layout");
    }

    void drag_data()
    {
        // Pointer positions on the control: the press, then the moves. The
        // values (lower, upper) after each move and after the release. The
        // control is 117 pixels wide unless the saved properties hold a Width.
        addColumns<QVariantMap, int, QList<int>, QList<int>>("properties", "thumb", "pointer",
                                                             "values");
        const QVariantMap none, upperLocked{{"UpperLocked", true}};
        const QVariantMap lowerLocked{{"LowerLocked", true}};
        const int lower = RangeToolModel::Lower, upper = RangeToolModel::Upper;
        newRow("lower pushes upper and lets it return", none, lower, Ints{32, 82, 107, 57},
               Ints{75, 75, 100, 100, 50, 75, 50, 75});
        newRow("grab point kept, ends clamp", none, lower, Ints{28, 38, -50, 500},
               Ints{35, 75, 0, 75, 100, 100, 100, 100});
        newRow("upper pushes lower", none, upper, Ints{82, 17, 62}, Ints{10, 10, 25, 55, 25, 55});
        newRow("locked upper stops lower", upperLocked, lower, Ints{32, 107, 40},
               Ints{75, 75, 33, 75, 33, 75});
        newRow("locked lower stops upper", lowerLocked, upper, Ints{82, 17}, Ints{25, 25, 25, 25});
        newRow("locked thumb stays put", lowerLocked, lower, Ints{32, 82}, Ints{25, 75, 25, 75});
        newRow("pixel steps of a half", QVariantMap{{"Width", 217}}, lower, Ints{57, 40, 41, 217},
               Ints{16, 75, 17, 75, 100, 100, 100, 100});
        newRow("max equals min gives min",
               QVariantMap{{"Min", 60}, {"Max", 60}, {"LowerValue", 60}, {"UpperValue", 60}}, lower,
               Ints{32, 82}, Ints{60, 60, 60, 60});
    }
    void drag()
    {
        QFETCH(QVariantMap, properties);
        QFETCH(int, thumb);
        QFETCH(QList<int>, pointer);
        RangeToolModel model;
        model.setSize({properties.value("Width", 117).toInt(), 45});
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
        QCOMPARE(model.borderStyle(), 0);

        RangeToolModel copy;
        copy.load(model.save());
        QCOMPARE(copy.save(), model.save());
        // Nothing saved: the defaults of a new control.
        copy.load({});
        QCOMPARE(copy.save(), RangeToolModel().save());
        // Loaded extremes span more than an int: value 0 sits mid-track.
        copy.setSize({117, 45});
        copy.load({{"Min", INT_MIN}, {"Max", INT_MAX}, {"LowerValue", 0}});
        QCOMPARE(copy.thumbRect(RangeToolModel::Lower).left(), 50);
    }
};

QTEST_GUILESS_MAIN(TestRangeToolModel)
#include "tst_RangeToolModel.moc"
