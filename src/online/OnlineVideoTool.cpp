#include "online/OnlineVideoTool.h"

#include "online/OnlineNames.h"
#include "online/PageText.h"
#include "process/ResultFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// "The page is larger than 8 MiB."
QString tooLargeText(const char *what, qint64 limit)
{
    return QStringLiteral("The %1 is larger than %2 MiB.")
        .arg(QLatin1String(what))
        .arg(limit >> 20);
}

} // namespace

OnlineVideoTool::OnlineVideoTool(QString writableFolder, QObject *parent)
    : QObject(parent), m_writableFolder(std::move(writableFolder)),
      m_downloadFolder(m_writableFolder), m_page(m_manager), m_thumbnail(m_manager),
      m_downloader(m_manager)
{
    m_page.setSizeLimit(MaxPageBytes);
    m_page.setTimeLimit(PageTimeLimitMs);
    m_thumbnail.setSizeLimit(MaxThumbnailBytes);
    m_thumbnail.setTimeLimit(ThumbnailTimeLimitMs);
    // The thumbnail's transfer has no say in the status line, but for its
    // size.
    connect(&m_page, &HttpGet::stateText, this, &OnlineVideoTool::setStatus);
    connect(&m_page, &HttpGet::dataArrived, this, &OnlineVideoTool::onPageData);
    connect(&m_page, &HttpGet::finished, this, &OnlineVideoTool::onPageFinished);
    connect(&m_thumbnail, &HttpGet::finished, this, &OnlineVideoTool::onThumbnailFinished);
    connect(&m_resolver, &YtDlpResolver::finished, this, &OnlineVideoTool::onResolved);

    connect(&m_downloader, &Downloader::stateText, this, &OnlineVideoTool::setStatus);
    connect(&m_downloader, &Downloader::pieceWritten, this, &OnlineVideoTool::pieceWritten);
    connect(&m_downloader, &Downloader::progressShown, this, &OnlineVideoTool::progressShown);
    connect(&m_downloader, &Downloader::saved, this, [this](const QString &path) {
        setStatus(QStringLiteral("Saved ") + QDir::toNativeSeparators(path));
        setActivity(Activity::Idle);
        emit downloadSaved(path);
    });
    connect(&m_downloader, &Downloader::failed, this, [this](const QString &text) {
        setActivity(Activity::Idle);
        emit downloadFailed(text);
    });
}

void OnlineVideoTool::setTransferTimeout(int milliseconds)
{
    m_page.setTimeout(milliseconds);
    m_thumbnail.setTimeout(milliseconds);
    m_downloader.setTimeout(milliseconds);
}

bool OnlineVideoTool::lookUp(const QString &address)
{
    if (isBusy())
        return false;
    const QUrl url(address.trimmed());
    if (!HttpGet::isWebAddress(url)) {
        emit errorMessage(HttpGet::refusedAddressText());
        return false;
    }
    m_pageBytes.clear();
    m_pageRead = false;
    m_lookupProblem.clear();
    m_thumbnailProblem.clear();
    m_address = url;
    setActivity(Activity::Page);
    m_page.start(url);
    return true;
}

bool OnlineVideoTool::download(int code)
{
    if (isBusy() || !m_links.isEnabled(code))
        return false;
    const std::optional<QString> link = m_links.usableLink(code);
    if (!link) {
        emit downloadFailed(
            QStringLiteral("Download failed: the link has a \"%\" escape that is not hexadecimal"));
        return false;
    }
    // The name is made safe: it cannot leave the folder.
    const QString target = QDir(m_downloadFolder).filePath(downloadFileName(m_info.Title, code));
    Q_ASSERT(QFileInfo(target).absolutePath() == QFileInfo(m_downloadFolder).absoluteFilePath());
    setActivity(Activity::Download);
    m_downloader.start(QUrl(link->trimmed()), target, m_links.headers(code));
    return true;
}

void OnlineVideoTool::cancel()
{
    switch (m_activity) {
    case Activity::Idle:
        return;
    case Activity::Page:
        return m_page.cancel();
    case Activity::Resolve:
        return m_resolver.cancel();
    case Activity::Thumbnail:
        return m_thumbnail.cancel();
    case Activity::Download:
        return m_downloader.cancel();
    }
}

QString OnlineVideoTool::thumbnailPath() const
{
    const QString path = ::thumbnailPath(m_writableFolder, m_info.VideoId);
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

void OnlineVideoTool::setActivity(Activity activity)
{
    const bool wasBusy = isBusy();
    m_activity = activity;
    if (wasBusy != isBusy())
        emit busyChanged(isBusy());
}

void OnlineVideoTool::setStatus(const QString &text)
{
    if (text == m_status)
        return;
    m_status = text;
    emit statusTextChanged(text);
}

void OnlineVideoTool::onPageData()
{
    const bool first = m_pageBytes.isEmpty();
    m_pageBytes += m_page.body()->readAll();
    if (!first)
        setStatus(QStringLiteral("Reading Data..."));
}

void OnlineVideoTool::onPageFinished(HttpGet::Outcome outcome)
{
    switch (outcome) {
    case HttpGet::Outcome::Ok:
        m_pageBytes += m_page.body()->readAll();
        m_pageRead = true;
        setStatus(QStringLiteral("Complete!"));
        break;
    case HttpGet::Outcome::Cancelled:
        setStatus(QStringLiteral("Cancelled"));
        return finishLookup();
    case HttpGet::Outcome::TooLarge:
        setStatus(tooLargeText("page", MaxPageBytes));
        m_pageBytes.clear();
        emit errorMessage(QStringLiteral("Something Went Wrong\n") + m_status);
        break;
    case HttpGet::Outcome::TimedOut:
        setStatus(QStringLiteral("Slow Connection"));
        [[fallthrough]];
    case HttpGet::Outcome::Failed:
    case HttpGet::Outcome::Refused:
        m_pageBytes.clear();
        emit errorMessage(QStringLiteral("Something Went Wrong\n") + m_page.errorText());
        break;
    }

    // A page that could not be read is cut all the same: its facts come out
    // empty and no link is found.
    const QString page = QString::fromUtf8(m_pageBytes);
    m_pageBytes.clear();
    const int found = GetURLs(page, m_links);
    m_pageInfo = ParsePageInfo(page);
    if (!m_pageRead)
        return showFacts(m_pageInfo);
    if (found > 0) {
        setStatus(QStringLiteral("Links from the page"));
        return showFacts(m_pageInfo);
    }
    // Today's pages carry no stream map; yt-dlp knows how to read them.
    if (YtDlpResolver::program().isEmpty()) {
        m_lookupProblem = QStringLiteral("No stream links on the page (yt-dlp is not installed)");
        setStatus(m_lookupProblem);
        return showFacts(m_pageInfo);
    }
    setActivity(Activity::Resolve);
    setStatus(QStringLiteral("Asking yt-dlp for the links..."));
    m_resolver.start(m_address.toString(QUrl::FullyEncoded));
}

void OnlineVideoTool::onResolved(YtDlpResolver::Outcome outcome)
{
    switch (outcome) {
    case YtDlpResolver::Outcome::Cancelled:
        setStatus(QStringLiteral("Cancelled"));
        return finishLookup();
    case YtDlpResolver::Outcome::Failed:
        m_lookupProblem = m_resolver.problem();
        setStatus(m_lookupProblem);
        return showFacts(m_pageInfo);
    case YtDlpResolver::Outcome::Resolved:
        break;
    }
    const ResolvedVideo &video = m_resolver.result();
    for (const ResolvedStream &stream : video.streams)
        m_links.storeDecoded(stream.code, stream.url, stream.headers);
    if (video.streams.isEmpty()) {
        m_lookupProblem = QStringLiteral("yt-dlp found no stream that can be downloaded directly");
        setStatus(m_lookupProblem);
    } else {
        setStatus(QStringLiteral("Links from yt-dlp"));
    }
    showFacts(video.info);
}

void OnlineVideoTool::showFacts(const VideoPageInfo &info)
{
    m_info = info;
    const QString path = ::thumbnailPath(m_writableFolder, m_info.VideoId);
    const QUrl address(m_info.ThumbnailUrl.trimmed());
    if (path.isEmpty() || !HttpGet::isWebAddress(address))
        return finishLookup();
    setActivity(Activity::Thumbnail);
    m_thumbnail.start(address);
}

void OnlineVideoTool::onThumbnailFinished(HttpGet::Outcome outcome)
{
    const QString path = ::thumbnailPath(m_writableFolder, m_info.VideoId);
    // Any other failure goes unsaid: the loading picture stays.
    if (outcome == HttpGet::Outcome::TooLarge) {
        m_thumbnailProblem = tooLargeText("thumbnail", MaxThumbnailBytes);
        setStatus(m_thumbnailProblem);
    }
    if (outcome == HttpGet::Outcome::Ok && QDir().mkpath(QFileInfo(path).absolutePath())) {
        // A failed save keeps the picture an earlier lookup cached.
        saveWholeFile(path, m_thumbnail.body()->readAll());
    }
    finishLookup();
}

void OnlineVideoTool::finishLookup()
{
    setActivity(Activity::Idle);
    emit lookupFinished(m_pageRead);
}
