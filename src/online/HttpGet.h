#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;

// Request header lines a GET sends beside Qt's own: name, value.
using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One GET over http or https, with the transfer states as the status texts
// the tool shows: "Making Request...", "Connecting Host", "Request sent.",
// "Response received.", "Receiving Response.." (first data) and
// "Error CODE TEXT" for an HTTP error.
//
// Nothing else is ever opened: an address or a redirect to any other scheme
// is refused, and so is a redirect from https to http. A transfer that gets
// no data for the time-out is ended; Qt reports that as a cancel, so the
// object remembers whether the cancel was its caller's. A time limit and a
// size limit, when set, end a transfer that takes longer in all or whose
// body grows larger, however steadily its data comes.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Ok,
        Failed,    // network or HTTP error: errorText() says which
        TimedOut,  // no data for the time-out, or past the time limit
        TooLarge,  // the body grew past the size limit
        Cancelled, // by cancel()
        Refused,   // not an http or https address, or such a redirect
    };
    Q_ENUM(Outcome)

    static constexpr int DefaultTimeoutMs = 30000;

    explicit HttpGet(QNetworkAccessManager &manager, QObject *parent = nullptr);
    ~HttpGet() override;

    static bool isWebAddress(const QUrl &url);
    // "Only http and https addresses can be opened."
    static QString refusedAddressText();

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // The whole transfer's time, counted from start(); 0: none.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    // The most body bytes taken; a body larger than that ends the transfer
    // as TooLarge. -1: none.
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }

    // Starts the GET, with `headers` added to the request. An address that
    // is not http or https starts nothing and ends as Refused from the event
    // loop. Only one GET at a time.
    void start(const QUrl &url, const HttpHeaders &headers = {});
    // Ends a running GET as Cancelled; nothing when none runs.
    void cancel();

    // The response body as it arrives; nullptr when no GET runs. It is read
    // only by receivers of dataArrived() and finished(): the size limit
    // counts what arrives as what is left unread between the two.
    QIODevice *body() const;
    // The response's Content-Length; -1 when it has none or none that is a
    // number.
    qint64 contentLength() const;
    // Why the GET did not end Ok: Qt's error text, or the refusal.
    QString errorText() const { return m_errorText; }
    // "Error CODE TEXT" after an HTTP error; empty otherwise.
    QString httpErrorText() const { return m_httpErrorText; }

signals:
    void stateText(const QString &text);
    // More of the body can be read from body().
    void dataArrived();
    void finished(HttpGet::Outcome outcome);

private:
    void onRedirected(const QUrl &target);
    void onReadyRead();
    void onFinished();
    void refuse(const QString &reason);
    void onTimeLimit();

    QNetworkAccessManager &m_manager;
    QPointer<QNetworkReply> m_reply;
    // The reply whose end is being reported: its body is still readable.
    QPointer<QNetworkReply> m_ending;
    int m_timeoutMs = DefaultTimeoutMs;
    int m_timeLimitMs = 0;
    qint64 m_sizeLimit = -1;
    QTimer m_timeLimit;
    qint64 m_received = 0; // body bytes that arrived
    qint64 m_unread = 0;   // of them, left unread after the last dataArrived()
    bool m_cancelled = false;
    bool m_overTime = false;
    bool m_tooLarge = false;
    bool m_refused = false;
    bool m_anyData = false;
    QString m_errorText;
    QString m_httpErrorText;
};
