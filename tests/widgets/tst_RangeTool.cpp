#include "../TestSupport.h"
#include "widgets/RangeTool.h"

namespace {

using Thumb = RangeToolModel::Thumb;
using Ints = QList<int>;

// A point in the middle of the thumb's square.
QPoint middleOf(const RangeTool &tool, Thumb thumb)
{
    return tool.model().thumbRect(thumb).center();
}

} // namespace

class TestRangeTool : public QObject
{
    Q_OBJECT

private slots:
    void dragsSignalAtEachMoveAndAtRelease_data()
    {
        // Horizontal pointer moves from the thumb's middle; the values at the
        // end, and the cursor shown over the thumb before the press.
        addColumns<int, bool, QList<int>, QList<int>, int>("thumb", "locked", "moves", "values",
                                                           "cursor");
        const int lower = RangeToolModel::Lower, upper = RangeToolModel::Upper;
        const int hand = Qt::PointingHandCursor, arrow = Qt::ArrowCursor;
        newRow("lower pushes upper", lower, false, Ints{10, 60, 0, 30}, Ints{55, 75}, hand);
        newRow("upper held still", upper, false, Ints{0, 0}, Ints{25, 75}, hand);
        newRow("locked lower", lower, true, Ints{10, 60}, Ints{25, 75}, arrow);
    }
    void dragsSignalAtEachMoveAndAtRelease()
    {
        QFETCH(int, thumb);
        QFETCH(bool, locked);
        QFETCH(QList<int>, moves);
        RangeTool tool;
        tool.resize(117, 45);
        tool.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tool));
        QSignalSpy scrolls(&tool, &RangeTool::Scroll);
        QSignalSpy changes(&tool, &RangeTool::Change);
        // Values set in code are not reported.
        tool.setMax(100);
        tool.setLowerValue(25);
        tool.setUpperValue(75);
        tool.setLocked(Thumb(thumb), locked);

        const QPoint start = middleOf(tool, Thumb(thumb));
        QTest::mouseMove(&tool, start);
        QTEST(int(tool.cursor().shape()), "cursor");
        QTest::mousePress(&tool, Qt::LeftButton, {}, start);
        for (int dx : moves)
            QTest::mouseMove(&tool, start + QPoint(dx, 0));
        QCOMPARE(scrolls.count(), locked ? 0 : moves.size());
        QCOMPARE(changes.count(), 0);
        QTest::mouseRelease(&tool, Qt::LeftButton, {}, start + QPoint(moves.last(), 0));
        QCOMPARE(changes.count(), 1);
        QTEST(QList<int>({tool.lowerValue(), tool.upperValue()}), "values");
    }

    void paintsThumbsBarAndBorder()
    {
        QWidget container;
        QPalette palette = container.palette();
        const std::pair<QPalette::ColorRole, QColor> roles[] = {
            {QPalette::Window, QColor(240, 230, 200)},
            {QPalette::Light, Qt::white},
            {QPalette::Dark, QColor(128, 128, 128)},
            {QPalette::Shadow, Qt::black},
            {QPalette::Highlight, QColor(0, 0, 160)}};
        for (const auto &[role, colour] : roles)
            palette.setColor(role, colour);
        palette.setColor(QPalette::Disabled, QPalette::Highlight, Qt::gray);
        container.setPalette(palette);
        auto *tool = new RangeTool(&container);
        tool->resize(100, 20);
        QCOMPARE(tool->height(), 40); // never lower than 40
        tool->resize(117, 45);
        container.resize(117, 45);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));

        // Lower thumb at x 25 (tip at 32, 30, left side at 29, 37), upper
        // thumb at x 75 (tip at 82, 14), the bar from x 32 to 81 between rows
        // 19 and 26, the track's top edge at row 15.
        const auto colours = [&] {
            const QImage shot = container.grab().toImage();
            QList<QColor> seen;
            for (QPoint p :
                 {QPoint(32, 30), QPoint(32, 44), QPoint(29, 37), QPoint(82, 14), QPoint(82, 0),
                  QPoint(25, 30), QPoint(57, 22), QPoint(50, 15), QPoint(50, 16)})
                seen << shot.pixelColor(p);
            return seen;
        };
        const QColor light(Qt::white), dark(128, 128, 128), shadow(Qt::black),
            window(240, 230, 200);
        // Raised thumbs: lit tip and left side, dark base; the etched track.
        QCOMPARE(colours(), QList<QColor>({light, shadow, light, light, light, window,
                                           QColor(0, 0, 160), dark, light}));
        // The pressed lower thumb is lit from below; a locked upper is etched.
        tool->setLocked(RangeToolModel::Upper, true);
        tool->setColor(0x00FF0000); // blue as an OLE colour
        QTest::mousePress(tool, Qt::LeftButton, {}, middleOf(*tool, RangeToolModel::Lower));
        QCOMPARE(colours(), QList<QColor>({light, light, dark, dark, dark, window,
                                           QColor(0, 0, 255), dark, light}));
        QTest::mouseRelease(tool, Qt::LeftButton, {}, middleOf(*tool, RangeToolModel::Lower));
        // Disabled: every thumb etched, the bar keeps its (system) colour.
        tool->setEnabled(false);
        tool->setColor(0x8000000D);
        QCOMPARE(colours(), QList<QColor>({dark, light, dark, dark, dark, window, QColor(0, 0, 160),
                                           dark, light}));
    }
};

QTEST_MAIN(TestRangeTool)
#include "tst_RangeTool.moc"
