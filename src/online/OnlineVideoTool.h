#pragma once

#include "online/Downloader.h"
#include "online/HttpGet.h"
#include "online/StreamLinks.h"
#include "online/VideoPageInfo.h"
#include "online/YtDlpResolver.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>

// What the online-video window does, without the window: looks a watch page
// up (its facts, its thumbnail into Cache/, its stream links) and downloads
// one of the streams. One transfer runs at a time; cancel() stops it. Every
// text the window shows comes through a signal: the status line, the
// download label and bar, and the texts of its message boxes.
//
// A page that was read but holds no stream link is handed to yt-dlp, when
// it is installed; its facts and links then replace the page's.
class OnlineVideoTool : public QObject
{
    Q_OBJECT

public:
    // A page or a thumbnail larger than this is not read on: the lookup
    // ends at the limit. A stream may be any size.
    static constexpr qint64 MaxPageBytes = 8 << 20;
    static constexpr qint64 MaxThumbnailBytes = 2 << 20;
    // The most a page and a thumbnail may take in all, however steadily their
    // data comes; a stream only has the time-out between data.
    static constexpr int PageTimeLimitMs = 60000;
    static constexpr int ThumbnailTimeLimitMs = 30000;

    // Cache/ and, unless told otherwise, downloads go under `writableFolder`.
    explicit OnlineVideoTool(QString writableFolder, QObject *parent = nullptr);

    void setDownloadFolder(const QString &folder) { m_downloadFolder = folder; }
    // How long a transfer may go without data before it counts as slow.
    void setTransferTimeout(int milliseconds);
    // How long a page may take in all: PageTimeLimitMs unless told otherwise.
    void setPageTimeLimit(int milliseconds) { m_page.setTimeLimit(milliseconds); }
    // How long yt-dlp may take before it is stopped.
    void setResolverTimeLimit(int milliseconds) { m_resolver.setTimeLimit(milliseconds); }

    // Starts a lookup of the watch page at `address`. False, with nothing
    // started, while a transfer runs or for an address that is not http or
    // https (then with a message).
    bool lookUp(const QString &address);
    // Starts downloading the stream of format `code` into the download
    // folder, named after the title. False, with nothing started, while a
    // transfer runs or when no lookup has found that format.
    bool download(int code);
    // Stops the running transfer or yt-dlp; a cancelled lookup leaves the
    // facts, links and thumbnail as they were, a cancelled download leaves
    // no file.
    void cancel();
    bool isBusy() const { return m_activity != Activity::Idle; }

    const VideoPageInfo &pageInfo() const { return m_info; }
    const StreamLinks &links() const { return m_links; }
    // Why the last lookup of a page that was read found no stream link:
    // yt-dlp's failure, or its absence. Empty when links were found.
    QString lookupProblem() const { return m_lookupProblem; }
    // "The thumbnail is larger than 2 MiB." when the last lookup's thumbnail
    // was, and is not saved; empty otherwise.
    QString thumbnailProblem() const { return m_thumbnailProblem; }
    // Cache/VIDEOID.jpg when the page's id is safe and that file exists
    // (saved now or by an earlier lookup); empty otherwise.
    QString thumbnailPath() const;

signals:
    // The status line: transfer states, "Reading Data...", "Complete!",
    // "Slow Connection", "Error CODE TEXT", "The page is larger than 8 MiB.",
    // "The thumbnail is larger than 2 MiB.", "Asking yt-dlp for the
    // links...", "Links from the page", "Links from yt-dlp", the lookup
    // problem, "Cancelled", "Saved PATH".
    void statusTextChanged(const QString &text);
    // The text of a message box: "Something Went Wrong", a line break and
    // why the transfer failed (Qt's error text, the size or time limit), or the
    // refusal of an address.
    void errorMessage(const QString &text);
    void busyChanged(bool busy);
    // A lookup has ended: the facts, links and thumbnail are in place.
    // `pageRead` is false when the page could not be fetched.
    void lookupFinished(bool pageRead);
    // The download's pieces and display, as Downloader words them.
    void pieceWritten(int percent, qint64 received);
    void progressShown(const QString &text, int value);
    void downloadSaved(const QString &path);
    void downloadFailed(const QString &text);

private:
    enum class Activity
    {
        Idle,
        Page,
        Resolve,
        Thumbnail,
        Download
    };

    void setActivity(Activity activity);
    void setStatus(const QString &text);
    void onPageData();
    void onPageFinished(HttpGet::Outcome outcome);
    void onResolved(YtDlpResolver::Outcome outcome);
    // Takes the lookup's facts and fetches their thumbnail.
    void showFacts(const VideoPageInfo &info);
    void onThumbnailFinished(HttpGet::Outcome outcome);
    void finishLookup();

    QString m_writableFolder;
    QString m_downloadFolder;
    QNetworkAccessManager m_manager;
    HttpGet m_page;
    HttpGet m_thumbnail;
    Downloader m_downloader;
    YtDlpResolver m_resolver;
    Activity m_activity = Activity::Idle;
    QString m_status;

    QUrl m_address; // of the page being looked up
    QByteArray m_pageBytes;
    bool m_pageRead = false;
    VideoPageInfo m_info;
    StreamLinks m_links;
    VideoPageInfo m_pageInfo; // the page's own, until yt-dlp has answered
    QString m_lookupProblem;
    QString m_thumbnailProblem;
};
