#include "../TestSupport.h"
#include "imaging/PictureLoader.h"

#include <QPainter>

namespace {

// Red on the left half, blue on the right.
QImage twoColours(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    return image;
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The image saved as a PNG named after its size.
    QString saved(const QImage &image)
    {
        const QString path =
            m_dir.filePath(QString("%1x%2.png").arg(image.width()).arg(image.height()));
        return image.save(path) ? path : QString();
    }

private slots:
    void drawnOnCanvas_data()
    {
        addColumns<QSize, QSize, bool, QSize, QRect>("picture", "requested", "keepAspect", "canvas",
                                                     "drawn");
        using Z = QSize;
        using R = QRect;
        newRow("-1 with 200: own size", Z(30, 20), Z(-1, 200), true, Z(30, 20), R(0, 0, 30, 20));
        newRow("height 0: own size", Z(30, 20), Z(50, 0), false, Z(30, 20), R(0, 0, 30, 20));
        newRow("wide, aspect kept", Z(400, 100), Z(200, 200), true, Z(200, 200), R(0, 0, 200, 50));
        newRow("tall, aspect kept", Z(100, 400), Z(200, 200), true, Z(200, 200), R(0, 0, 50, 200));
        newRow("wide, stretched", Z(400, 100), Z(200, 200), false, Z(200, 200), R(0, 0, 200, 200));
        newRow("sliver rounds to nothing", Z(1000, 1), Z(200, 200), true, Z(200, 200), R());
    }
    void drawnOnCanvas()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, requested);
        QFETCH(bool, keepAspect);
        QFETCH(QSize, canvas);
        QFETCH(QRect, drawn);
        int width = requested.width(), height = requested.height();
        const QImage result = LoadPictureGDIPlus(saved(twoColours(picture)), width, height,
                                                 QColor(0, 255, 0), keepAspect);
        QCOMPARE(QSize(width, height), canvas); // what the caller sees
        QCOMPARE(result.size(), canvas);
        QCOMPARE(result.format(), QImage::Format_RGB32);
        // The two halves inside the drawn part, the background elsewhere.
        QImage expected(canvas, QImage::Format_RGB32);
        expected.fill(QColor(0, 255, 0));
        QPainter(&expected).fillRect(drawn, Qt::blue);
        QPainter(&expected).fillRect(drawn.adjusted(0, 0, -drawn.width() / 2, 0), Qt::red);
        for (int y = 5; y < canvas.height(); y += 10) {
            for (int x = 5; x < canvas.width(); x += 10) {
                // Bicubic ringing blurs the seam between the halves.
                if (qAbs(x - drawn.center().x()) > 6)
                    QCOMPARE(result.pixelColor(x, y), expected.pixelColor(x, y));
            }
        }
    }

    void transparencyShowsBackground()
    {
        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).fillRect(20, 0, 20, 20, Qt::blue);
        QPainter(&image).fillRect(20, 20, 20, 20, QColor(255, 0, 0, 128));
        int width = 80, height = 80; // scaled as well
        const QImage picture = LoadPictureGDIPlus(saved(image), width, height, Qt::white, false);
        QCOMPARE(picture.pixelColor(10, 40), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(60, 20), QColor(Qt::blue));
        const QColor half = picture.pixelColor(60, 60);
        QVERIFY2(half.red() == 255 && qAbs(half.green() - 127) <= 1 && half.green() == half.blue(),
                 qPrintable(half.name()));
    }

    void unloadableFile_data()
    {
        addColumns<QByteArray, int>("content", "size"); // no content: no such file
        newRow("missing", QByteArray(), -1);
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
        QTemporaryDir dir; // of its own: "missing" needs the name free
        const QString path = dir.filePath("-a \"logo\" é.png");
        QVERIFY(content.isEmpty() || writeFile(path, content));
        int width = size, height = size;
        PictureError error;
        QVERIFY(LoadPictureGDIPlus(path, width, height, Qt::white, false, &error).isNull());
        QCOMPARE(QString::number(error.number) + '|' + error.source + '|' + error.description,
                 "999|GDI+ Module|Error loading picture " + path);
        QCOMPARE(QSize(width, height), QSize(size, size));
    }
};

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "tst_PictureLoader.moc"
