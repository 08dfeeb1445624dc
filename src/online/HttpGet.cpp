#include "online/HttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

HttpGet::HttpGet(QNetworkAccessManager &manager, QObject *parent)
    : QObject(parent), m_manager(manager)
{
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, &HttpGet::onTimeLimit);
}

HttpGet::~HttpGet()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

bool HttpGet::isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString HttpGet::refusedAddressText()
{
    return QStringLiteral("Only http and https addresses can be opened.");
}

void HttpGet::start(const QUrl &url, const HttpHeaders &headers)
{
    Q_ASSERT(!m_reply);
    m_cancelled = m_refused = m_anyData = m_overTime = m_tooLarge = false;
    m_received = m_unread = 0;
    m_errorText.clear();
    m_httpErrorText.clear();
    if (!isWebAddress(url)) {
        // Qt would open file: and others; they never reach it.
        m_errorText = refusedAddressText();
        QTimer::singleShot(0, this, [this] { emit finished(Outcome::Refused); });
        return;
    }
    QNetworkRequest request(url);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(m_timeoutMs);
    emit stateText(QStringLiteral("Making Request..."));
    m_reply = m_manager.get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::socketStartedConnecting, this,
            [this] { emit stateText(QStringLiteral("Connecting Host")); });
    connect(reply, &QNetworkReply::requestSent, this,
            [this] { emit stateText(QStringLiteral("Request sent.")); });
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this] { emit stateText(QStringLiteral("Response received.")); });
    connect(reply, &QNetworkReply::redirected, this, &HttpGet::onRedirected);
    connect(reply, &QNetworkReply::readyRead, this, &HttpGet::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &HttpGet::onFinished);
    if (m_timeLimitMs > 0)
        m_timeLimit.start(m_timeLimitMs);
}

void HttpGet::cancel()
{
    if (!m_reply)
        return;
    m_cancelled = true;
    m_reply->abort();
}

QIODevice *HttpGet::body() const
{
    return m_reply ? m_reply.data() : m_ending.data();
}

qint64 HttpGet::contentLength() const
{
    const QNetworkReply *reply = m_reply ? m_reply.data() : m_ending.data();
    if (!reply || !reply->hasRawHeader("Content-Length"))
        return -1;
    bool ok = false;
    const qint64 length = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && length >= 0 ? length : -1;
}

void HttpGet::onRedirected(const QUrl &target)
{
    const QUrl from = m_reply->url();
    if (!isWebAddress(target))
        return refuse(refusedAddressText());
    if (from.scheme().toLower() == QLatin1String("https") &&
        target.scheme().toLower() == QLatin1String("http"))
        return refuse(QStringLiteral("Refused a redirect from https to http."));
    emit m_reply->redirectAllowed();
}

void HttpGet::refuse(const QString &reason)
{
    m_refused = true;
    m_errorText = reason;
    m_reply->abort();
}

void HttpGet::onTimeLimit()
{
    if (!m_reply)
        return;
    m_overTime = true;
    m_errorText =
        QStringLiteral("The transfer did not end within %1 seconds.").arg(m_timeLimitMs / 1000.0);
    m_reply->abort();
}

void HttpGet::onReadyRead()
{
    if (!m_anyData) {
        m_anyData = true;
        emit stateText(QStringLiteral("Receiving Response.."));
    }
    // Qt keeps what nobody reads: past the limit the transfer ends before
    // any more is taken.
    m_received += m_reply->bytesAvailable() - m_unread;
    if (m_sizeLimit >= 0 && m_received > m_sizeLimit) {
        m_tooLarge = true;
        m_errorText = QStringLiteral("The answer is larger than %1 bytes.").arg(m_sizeLimit);
        m_reply->abort();
        return;
    }
    // The body of an error answer is the server's page about the error, not
    // what was asked for.
    if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() < 400)
        emit dataArrived();
    m_unread = m_reply ? m_reply->bytesAvailable() : 0;
}

void HttpGet::onFinished()
{
    QNetworkReply *reply = m_reply;
    m_timeLimit.stop();
    Outcome outcome = Outcome::Ok;
    if (m_refused) {
        outcome = Outcome::Refused;
    } else if (m_cancelled) {
        outcome = Outcome::Cancelled;
    } else if (m_tooLarge) {
        outcome = Outcome::TooLarge;
    } else if (m_overTime) {
        outcome = Outcome::TimedOut;
    } else if (reply->error() == QNetworkReply::ProtocolUnknownError) {
        // Only http and https are ever asked for: Qt refused a redirect to
        // another scheme before offering it to onRedirected().
        outcome = Outcome::Refused;
        m_errorText = refusedAddressText();
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Nobody called abort(): the transfer time-out did.
        outcome = Outcome::TimedOut;
        m_errorText = reply->errorString();
    } else if (reply->error() != QNetworkReply::NoError) {
        outcome = Outcome::Failed;
        m_errorText = reply->errorString();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400) {
            m_httpErrorText =
                QStringLiteral("Error %1 %2")
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
            emit stateText(m_httpErrorText);
        }
    }
    // The body stays readable while the receivers of finished() run, and
    // they may start the next GET.
    m_reply = nullptr;
    m_ending = reply;
    emit finished(outcome);
    m_ending = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
}
