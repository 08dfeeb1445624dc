#include "online/Downloader.h"

#include "process/ResultFile.h"

#include <QLocale>

Downloader::Downloader(QNetworkAccessManager &manager, QObject *parent)
    : QObject(parent), m_get(manager)
{
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(RepaintIntervalMs);
    connect(&m_repaint, &QTimer::timeout, this, [this] {
        if (m_repaintPending)
            showProgress(true);
    });
    connect(&m_get, &HttpGet::stateText, this, &Downloader::stateText);
    connect(&m_get, &HttpGet::dataArrived, this, &Downloader::onData);
    connect(&m_get, &HttpGet::finished, this, &Downloader::onFinished);
}

Downloader::~Downloader()
{
    // A download cut off by the end of the program leaves nothing behind.
    removePart();
}

void Downloader::removePart()
{
    m_file.close();
    if (m_partCreated)
        m_file.remove();
    m_partCreated = false;
}

QString Downloader::percentText(int percent)
{
    return QString::number(percent) + QStringLiteral(" % ");
}

void Downloader::start(const QUrl &address, const QString &target, const HttpHeaders &headers)
{
    Q_ASSERT(!m_running);
    m_running = true;
    m_target = target;
    m_total = -1;
    m_received = 0;
    m_repaintPending = false;
    m_haveLength = false;
    if (HttpGet::isWebAddress(address)) {
        // A fresh part file of this download's own: whatever else is beside
        // the target (a file the user called NAME.part, say) is left alone.
        m_file.setFileName(partPathFor(target));
        QString problem = createPartFile(m_file.fileName());
        m_partCreated = problem.isEmpty();
        if (m_partCreated &&
            !m_file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
            problem =
                QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        if (!problem.isEmpty()) {
            QTimer::singleShot(0, this, [this, problem] { fail(problem); });
            return;
        }
    }
    m_get.start(address, headers); // refuses any other address
}

void Downloader::onData()
{
    takePieces(false);
}

bool Downloader::takePieces(bool atEnd)
{
    if (!m_haveLength) {
        m_haveLength = true;
        m_total = m_get.contentLength();
    }
    QIODevice *body = m_get.body();
    for (;;) {
        // Whole pieces only, but for the last one: the end of a known length,
        // or of a body without one.
        const qint64 left = m_total < 0 ? BatchSize : qMin(BatchSize, m_total - m_received);
        qint64 size = qMin(body->bytesAvailable(), left);
        if (size < left && !(atEnd && m_total < 0))
            size -= size % PieceSize;
        if (size <= 0)
            return true;
        // The file gets the pieces of one batch in one write.
        m_batch.resize(size);
        const bool read = body->read(m_batch.data(), size) == size;
        if (!read || m_file.write(m_batch) != size) {
            const QString reason =
                read ? QStringLiteral("cannot write %1: %2")
                           .arg(m_file.fileName(), m_file.errorString())
                     : QStringLiteral("cannot read the transfer: %1").arg(body->errorString());
            m_running = false; // the abort's finished() must not report a second time
            m_get.cancel();
            fail(reason);
            return false;
        }
        for (qint64 offset = 0; offset < size; offset += PieceSize) {
            m_received += qMin(PieceSize, size - offset);
            const int percent = m_total > 0 ? qRound(100.0 / m_total * m_received) : -1;
            emit pieceWritten(percent, m_received);
            showProgress(m_total >= 0 && m_received == m_total);
        }
    }
}

void Downloader::showProgress(bool now)
{
    if (!now && m_repaint.isActive()) {
        m_repaintPending = true;
        return;
    }
    m_repaintPending = false;
    m_repaint.start();
    if (m_total < 0) {
        emit progressShown(QLocale::c().formattedDataSize(m_received) + QStringLiteral(" received"),
                           -1);
        return;
    }
    const int percent = m_total > 0 ? qRound(100.0 / m_total * m_received) : 100;
    emit progressShown(percentText(percent), percent);
}

void Downloader::onFinished(HttpGet::Outcome outcome)
{
    if (!m_running)
        return;
    switch (outcome) {
    case HttpGet::Outcome::Ok:
        break;
    case HttpGet::Outcome::Cancelled:
        return fail({});
    case HttpGet::Outcome::TimedOut:
        return fail(QStringLiteral("Slow Connection"));
    case HttpGet::Outcome::Failed:
        if (!m_get.httpErrorText().isEmpty())
            return fail(m_get.httpErrorText());
        if (m_total > 0)
            return fail(endedEarlyText() + QStringLiteral(" (") + m_get.errorText() +
                        QLatin1Char(')'));
        return fail(m_get.errorText());
    case HttpGet::Outcome::Refused:
    case HttpGet::Outcome::TooLarge: // a stream has no size limit
        return fail(m_get.errorText());
    }

    // Without a length the body ends where the connection does.
    if (!takePieces(true))
        return;
    if (m_total >= 0 && m_received != m_total)
        return fail(endedEarlyText());
    m_file.close();
    // Replaces a file of that name, or a link, never what a link points to.
    const PlacedOutput placed = placeOutput(m_file.fileName(), m_target, Placement::Replace);
    if (placed.path.isEmpty())
        return fail(placed.error);
    m_partCreated = false;
    m_running = false;
    // A known length showed its 100 % with the last piece.
    if (m_total <= 0)
        showProgress(true);
    m_repaint.stop();
    m_repaintPending = false;
    emit saved(m_target);
}

QString Downloader::endedEarlyText() const
{
    const QIODevice *body = m_get.body();
    return QStringLiteral("the transfer ended after %1 of %2 bytes")
        .arg(m_received + (body ? body->bytesAvailable() : 0))
        .arg(m_total);
}

void Downloader::fail(const QString &reason)
{
    m_running = false;
    m_repaint.stop();
    m_repaintPending = false;
    removePart();
    emit failed(reason.isEmpty() ? QStringLiteral("Download cancelled")
                                 : QStringLiteral("Download failed: ") + reason);
}
