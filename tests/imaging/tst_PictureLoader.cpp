#include "../TestSupport.h"
#include "imaging/PictureLoader.h"

#include <QPainter>

namespace {

// A PNG whose left half is red and right half blue, saved in `dir`.
QString twoColourPicture(const QTemporaryDir &dir, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    const QString path = dir.filePath(QString("%1x%2.png").arg(size.width()).arg(size.height()));
    return image.save(path) ? path : QString();
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT

private slots:
    void ownSizeWhenEitherIsMinusOne_data()
    {
        addColumns<int, int>("width", "height");
        newRow("width -1", -1, 200);
        newRow("height -1", 200, -1);
        newRow("zero", 0, 50);
    }
    void ownSizeWhenEitherIsMinusOne()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QTemporaryDir dir;
        const QString path = twoColourPicture(dir, {30, 20});
        const QImage picture = LoadPictureGDIPlus(path, width, height, Qt::white, true);
        QCOMPARE(QList<int>({width, height}), QList<int>({30, 20}));
        QCOMPARE(picture.size(), QSize(30, 20));
        QCOMPARE(picture.pixelColor(5, 10), QColor(Qt::red)); // unscaled: exact
        QCOMPARE(picture.pixelColor(25, 10), QColor(Qt::blue));
    }

    void scaledIntoCanvas_data()
    {
        addColumns<QSize, bool, QRect>("picture", "keepAspect", "drawn");
        newRow("wide, aspect kept", QSize(400, 100), true, QRect(0, 0, 200, 50));
        newRow("tall, aspect kept", QSize(100, 400), true, QRect(0, 0, 50, 200));
        newRow("wide, stretched", QSize(400, 100), false, QRect(0, 0, 200, 200));
        newRow("tall, stretched", QSize(100, 400), false, QRect(0, 0, 200, 200));
        newRow("sliver rounds to nothing", QSize(1000, 1), true, QRect());
    }
    void scaledIntoCanvas()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, keepAspect);
        QFETCH(QRect, drawn);
        QTemporaryDir dir;
        int width = 200, height = 200;
        const QImage canvas = LoadPictureGDIPlus(twoColourPicture(dir, picture), width, height,
                                                 QColor(0, 255, 0), keepAspect);
        QCOMPARE(canvas.size(), QSize(200, 200));
        QCOMPARE(canvas.format(), QImage::Format_RGB32);
        // The picture's two halves inside the drawn part, the background
        // colour everywhere else.
        QImage expected(canvas.size(), QImage::Format_RGB32);
        expected.fill(QColor(0, 255, 0));
        QPainter(&expected).fillRect(drawn, Qt::blue);
        QPainter(&expected).fillRect(drawn.adjusted(0, 0, -drawn.width() / 2, 0), Qt::red);
        for (int y = 5; y < 200; y += 10) {
            for (int x = 5; x < 200; x += 10) {
                // Bicubic ringing blurs the seam between the halves.
                if (qAbs(x - drawn.center().x()) > 6)
                    QCOMPARE(canvas.pixelColor(x, y), expected.pixelColor(x, y));
            }
        }
    }

    void transparencyShowsBackground()
    {
        QTemporaryDir dir;
        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).fillRect(20, 0, 20, 20, Qt::blue);
        QPainter(&image).fillRect(20, 20, 20, 20, QColor(255, 0, 0, 128));
        const QString path = dir.filePath("holes.png");
        QVERIFY(image.save(path));
        int width = 80, height = 80; // scaled as well: no dark or blue fringe
        const QImage picture = LoadPictureGDIPlus(path, width, height, Qt::white, false);
        QCOMPARE(picture.pixelColor(10, 40), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(60, 20), QColor(Qt::blue));
        const QColor half = picture.pixelColor(60, 60);
        QVERIFY2(half.red() == 255 && qAbs(half.green() - 127) <= 1 && half.green() == half.blue(),
                 qPrintable(half.name()));
        QCOMPARE(picture.pixelColor(36, 75), QColor(Qt::white));
    }

    void unloadableFile_data()
    {
        addColumns<QByteArray, int>("content", "size"); // no content: no such file
        newRow("missing", QByteArray(), -1);
        newRow("text", QByteArray("not a picture\n"), -1);
        newRow("truncated PNG", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), -1);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QImage(4, 4, QImage::Format_RGB32).save(&png, "PNG");
        // 3.6 GB that the system would grant and then not find while filling.
        newRow("canvas too large", png.data(), 30000);
    }
    void unloadableFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath("-a \"logo\" é.png");
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        int width = size, height = size;
        PictureError error;
        QVERIFY(LoadPictureGDIPlus(path, width, height, Qt::white, false, &error).isNull());
        QCOMPARE(error.number, 999);
        QCOMPARE(error.source, QString("GDI+ Module"));
        QCOMPARE(error.description, "Error loading picture " + path);
        QCOMPARE(QList<int>({width, height}), QList<int>({size, size}));
    }

    void bicubicNotBilinear()
    {
        // A sharp edge between two greys: a bicubic filter overshoots on both
        // sides of it, Qt's bilinear smoothing never leaves the two values.
        QTemporaryDir dir;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(QColor(64, 64, 64));
        QPainter(&image).fillRect(4, 0, 4, 8, QColor(192, 192, 192));
        const QString path = dir.filePath("edge.png");
        QVERIFY(image.save(path));
        int width = 64, height = 64;
        const QImage bicubic = LoadPictureGDIPlus(path, width, height, Qt::white, false);
        const QImage bilinear =
            image.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const auto range = [](const QImage &picture) {
            int low = 255, high = 0;
            for (int x = 0; x < picture.width(); ++x) {
                low = qMin(low, qGray(picture.pixel(x, 32)));
                high = qMax(high, qGray(picture.pixel(x, 32)));
            }
            return QList<int>{low, high};
        };
        QCOMPARE(range(bilinear), QList<int>({64, 192}));
        const QList<int> overshoot = range(bicubic);
        QVERIFY2(overshoot[0] < 60 && overshoot[1] > 196,
                 qPrintable(QString("%1..%2").arg(overshoot[0]).arg(overshoot[1])));
    }
};

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "tst_PictureLoader.moc"
