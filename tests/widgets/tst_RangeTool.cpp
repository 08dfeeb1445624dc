#include "../TestSupport.h"
#include "widgets/RangeTool.h"

namespace {

using Thumb = RangeToolModel::Thumb;

// A point in the middle of the thumb's square.
QPoint middleOf(const RangeTool &tool, Thumb thumb)
{
    return tool.model().thumbRect(thumb).center();
}

} // namespace

// How the thumbs move under the pointer is tst_RangeToolModel's matter; here
// the widget: its cursor, its signals and its painting.
class TestRangeTool : public QObject
{
    Q_OBJECT

private slots:
    void paintsAndDrags()
    {
        const QColor light(Qt::white), dark(128, 128, 128), shadow(Qt::black),
            window(240, 230, 200), highlight(0, 0, 160);
        // Window text, button, light, dark, mid, text, bright text, base,
        // window; the shadow is black.
        QPalette palette(shadow, window, light, dark, dark, shadow, light, light, window);
        palette.setColor(QPalette::Highlight, highlight);
        palette.setColor(QPalette::Disabled, QPalette::Highlight, Qt::gray);
        QWidget container;
        container.setPalette(palette);
        auto *tool = new RangeTool(&container);
        tool->resize(117, 45);
        container.resize(117, 45);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QSignalSpy scrolls(tool, &RangeTool::Scroll);
        QSignalSpy changes(tool, &RangeTool::Change);
        tool->setLowerValue(30); // values set in code are not reported
        tool->setLowerValue(25);

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
        // Raised thumbs: lit tip and left side, dark base; the etched track.
        QCOMPARE(colours(), QList<QColor>({light, shadow, light, light, light, window, highlight,
                                           dark, light}));
        // A hand over a thumb that can be dragged, not over a locked one.
        tool->setLocked(RangeToolModel::Upper, true);
        QTest::mouseMove(tool, middleOf(*tool, RangeToolModel::Upper));
        QCOMPARE(tool->cursor().shape(), Qt::ArrowCursor);
        const QPoint start = middleOf(*tool, RangeToolModel::Lower);
        QTest::mouseMove(tool, start);
        QCOMPARE(tool->cursor().shape(), Qt::PointingHandCursor);
        // The pressed lower thumb is lit from below; a locked upper is etched.
        tool->setColor(0x00FF0000); // blue as an OLE colour
        QTest::mousePress(tool, Qt::LeftButton, {}, start);
        QCOMPARE(colours(), QList<QColor>({light, light, dark, dark, dark, window,
                                           QColor(0, 0, 255), dark, light}));
        // A Scroll at each move, one Change at the release.
        for (int dx : {10, 0, 20})
            QTest::mouseMove(tool, start + QPoint(dx, 0));
        QCOMPARE(scrolls.count(), 3);
        QCOMPARE(changes.count(), 0);
        QTest::mouseRelease(tool, Qt::LeftButton, {}, start + QPoint(20, 0));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(QList<int>({tool->lowerValue(), tool->upperValue()}), QList<int>({45, 75}));
        // A locked thumb does not scroll; its release is still a Change.
        QTest::mousePress(tool, Qt::LeftButton, {}, middleOf(*tool, RangeToolModel::Upper));
        QTest::mouseMove(tool, middleOf(*tool, RangeToolModel::Upper) + QPoint(10, 0));
        QTest::mouseRelease(tool, Qt::LeftButton, {}, middleOf(*tool, RangeToolModel::Upper));
        QVERIFY(scrolls.count() == 3 && changes.count() == 2 && tool->upperValue() == 75);

        // Disabled: every thumb etched, the bar keeps its (system) colour.
        tool->setLowerValue(25);
        tool->setEnabled(false);
        tool->setColor(0x8000000D);
        QCOMPARE(colours(),
                 QList<QColor>({dark, light, dark, dark, dark, window, highlight, dark, light}));
    }
};

QTEST_MAIN(TestRangeTool)
#include "tst_RangeTool.moc"
