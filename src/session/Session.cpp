#include "session/Session.h"

#include "app/ProfileSelection.h"
#include "engine/ConversionEngine.h"
#include "engine/EncoderCheck.h"
#include "engine/OutputEstimator.h"
#include "media/MediaProbeQueue.h"
#include "media/PreviewPlayer.h"
#include "process/TimeText.h"
#include "store/QueueRecorder.h"
#include "store/QueueStore.h"

#include <QDir>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

// Fills a row from what the probe found: Format and End / Video Time (the
// length rounded to whole seconds) when known, Start "0:00:00", Size "WxH".
// A Start or End the user has set meanwhile stays (setProbed).
void fillProbedRow(ConversionList &list, int position, const MediaFacts &facts)
{
    using Field = ConversionList::Field;
    if (facts.VideoFormat)
        (void)list.setProbed(position, Field::Format, *facts.VideoFormat);
    if (facts.LengthSeconds && std::isfinite(*facts.LengthSeconds)) {
        const QString length = formatTimeText(std::llround(*facts.LengthSeconds));
        (void)list.setProbed(position, Field::End, length);
        (void)list.setProbed(position, Field::VideoTime, length);
    }
    (void)list.setProbed(position, Field::Start, QStringLiteral("0:00:00"));
    (void)list.setProbed(position, Field::Size,
                         QStringLiteral("%1x%2").arg(facts.Width).arg(facts.Height));
}

} // namespace

Session::Session(Setup setup, PowerControl &power, FolderOpener &opener, QObject *parent)
    : QObject(parent), m_setup(std::move(setup))
{
    const int atOnce = m_setup.probeSlots > 0 ? m_setup.probeSlots : QThread::idealThreadCount();
    m_probes = std::make_unique<MediaProbeQueue>(m_setup.mplayer, m_setup.ffprobe, qMax(1, atOnce));
    connect(m_probes.get(), &MediaProbeQueue::probed, this,
            [this](int id, const QString &, const MediaFacts &facts) { onProbed(id, facts); });
    ConversionEngine::Environment environment{
        m_setup.ffmpeg,
        m_setup.ffprobe,
        QDir(m_setup.writableFolder).filePath(QStringLiteral("curconvert.log")),
        m_setup.settingsFile,
        m_setup.writableFolder,
        [this] { return profileText(); }};
    m_engine = std::make_unique<ConversionEngine>(m_list, m_sheet, m_keys, power, opener,
                                                  std::move(environment));
    // A batch converts each row once its probe has filled it. Queued, so
    // that whoever follows rowProbed has seen the filled row before its
    // conversion starts.
    const auto isPending = [this](ConversionList::RowId id) {
        return std::find(m_probing.cbegin(), m_probing.cend(), id) != m_probing.cend();
    };
    m_engine->setPendingCheck(isPending);
    connect(this, &Session::rowProbed, m_engine.get(), &ConversionEngine::rowReady,
            Qt::QueuedConnection);
    m_player = std::make_unique<PreviewPlayer>(m_setup.mplayer, m_keys);
    m_estimator = std::make_unique<OutputEstimator>(
        m_list, m_sheet, *m_engine,
        OutputEstimator::Environment{
            m_setup.ffmpeg, QDir(m_setup.writableFolder).filePath(QStringLiteral("Cache/samples")),
            [this] { return profileText(); }, isPending,
            qMax(1, QThread::idealThreadCount())});
}

Session::~Session()
{
    // Whatever is still waiting is written; the records stay for the next
    // start unless endRecords(false) was called.
    if (m_recorder)
        m_recorder->stop(true);
    // The probes and the engine end their children while the list and the
    // sheet they work on still exist.
    m_probes.reset();
    m_estimator.reset();
    m_engine.reset();
    m_player.reset();
}

void Session::start()
{
    if (m_encoders)
        return;
    m_sheet.prolist();
    const QString path = QDir(m_setup.dataFolder).filePath(QStringLiteral("ct.s3db"));
    if (m_catalogue.open(path))
        m_entries = m_catalogue.loadEntries();
    if (m_entries.isEmpty())
        m_catalogueProblem = QStringLiteral("The profile catalogue %1 cannot be read: %2")
                                 .arg(path, m_catalogue.errorString());
    openRecords();
    m_encoders = new EncoderListing(m_setup.ffmpeg, this);
    connect(m_encoders, &EncoderListing::listed, this, &Session::onEncodersListed);
    m_encoders->start();
}

Settings Session::settings() const
{
    return Settings(m_setup.settingsFile, m_setup.writableFolder);
}

void Session::onEncodersListed()
{
    m_problems.fill(QString(), m_entries.size());
    if (const auto &available = m_encoders->encoders()) {
        for (int i = 0; i < m_entries.size(); ++i) {
            if (!m_entries[i].isProfile())
                continue;
            const QStringList missing =
                missingEncoders(m_catalogue, profileIdFromKey(m_entries[i].key), *available);
            if (!missing.isEmpty())
                m_problems[i] = QStringLiteral("This FFmpeg has no encoder %1")
                                    .arg(missing.join(QStringLiteral(", ")));
        }
    } else if (m_catalogueProblem.isEmpty()) {
        m_catalogueProblem = m_encoders->errorString();
    }
    m_ready = true;
    if (m_pendingProfile >= 0)
        selectProfile(std::exchange(m_pendingProfile, -1));
    emit ready();
}

QString Session::catalogueProblem() const
{
    return m_catalogueProblem;
}

QString Session::profileProblem(int position) const
{
    return m_problems.value(position - 1);
}

Session::ProfileChoice Session::selectProfile(int position)
{
    if (!m_ready) {
        m_pendingProfile = position;
        return {};
    }
    int selected = applyProfile(m_entries, position, m_catalogue, m_sheet);
    const bool isEntry = selected >= 1 && selected <= m_entries.size();
    QString problem = profileProblem(selected);
    if (isEntry && m_entries[selected - 1].isProfile() && problem.isEmpty()) {
        m_profilePosition = selected;
    } else {
        // No profile: the seven options show "N/A". A category without a
        // profile after it stays selected, as the combo shows it.
        if (!problem.isEmpty())
            applyProfile(m_entries, 0, m_catalogue, m_sheet);
        m_profilePosition = isEntry && problem.isEmpty() ? selected : 0;
    }
    // The output's container comes with the profile.
    m_estimator->refresh();
    emit profileApplied(m_profilePosition, problem);
    return {m_profilePosition, problem};
}

QString Session::profileText() const
{
    if (m_profilePosition < 1 || m_profilePosition > m_entries.size())
        return {};
    const ProfileEntry &entry = m_entries[m_profilePosition - 1];
    return entry.isProfile() ? entry.text : QString();
}

bool Session::storeProfilePosition() const
{
    return m_profilePosition > 0 && settings().setProfile(m_profilePosition);
}

ConversionList::RowId Session::AddFileToList(const QString &path)
{
    const int position = m_list.append(path);
    const ConversionList::RowId id = m_list.idAt(position);
    m_probing.insert(m_probes->add(path), id);
    return id;
}

void Session::onProbed(int probeId, const MediaFacts &facts)
{
    const ConversionList::RowId id = m_probing.take(probeId);
    if (const int position = m_list.positionOf(id)) {
        fillProbedRow(m_list, position, facts);
        emit rowProbed(id);
    }
    if (m_probing.isEmpty())
        emit probesFinished();
}

bool Session::removeFile(int position)
{
    const ConversionList::RowId id = m_list.idAt(position);
    if (m_engine->isBusy() || id == 0)
        return false;
    for (auto it = m_probing.begin(); it != m_probing.end(); ++it) {
        if (it.value() == id) {
            m_probes->cancel(it.key());
            m_probing.erase(it);
            break;
        }
    }
    m_list.remove(position);
    if (m_probing.isEmpty())
        emit probesFinished();
    return true;
}

bool Session::clearFiles()
{
    if (m_engine->isBusy())
        return false;
    m_probes->cancelAll();
    m_probing.clear();
    m_list.clear();
    emit probesFinished();
    return true;
}

void Session::openRecords()
{
    if (m_setup.queueFile.isEmpty())
        return;
    m_store = std::make_unique<QueueStore>();
    const QueueStore::Opening opening = m_store->open(m_setup.queueFile);
    if (opening.outcome == QueueStore::Outcome::Locked ||
        opening.outcome == QueueStore::Outcome::Failed) {
        m_recordsMessage = QStringLiteral("This list is not kept: ") + opening.message;
        m_store.reset();
        return;
    }
    m_recordsMessage = opening.message;
    const RecordsOutcome old = sortOutRecords(m_store->records());
    if (const int profile = m_store->value(QStringLiteral("profile")).toInt();
        profile > 0 && !old.unfinished.isEmpty())
        m_restoredProfile = profile;
    QueueChanges dropped;
    dropped.removed = old.finished + old.sourceGone;
    if (!dropped.isEmpty())
        (void)m_store->apply(dropped);

    m_recorder = std::make_unique<QueueRecorder>(*m_store, m_list, *m_engine, true);
    connect(m_recorder.get(), &QueueRecorder::writeFailed, this, &Session::recordsProblem);
    connect(this, &Session::profileApplied, m_recorder.get(), [this](int position) {
        if (position > 0)
            m_recorder->setValue(QStringLiteral("profile"), QString::number(position));
    });
    for (const QueueRecord &record : old.unfinished) {
        const int position = appendRecord(m_list, record);
        const ConversionList::RowId id = m_list.idAt(position);
        if (record.size.isEmpty()) // its probe had not ended
            m_probing.insert(m_probes->add(record.source), id);
        if (old.interrupted.contains(record.id))
            m_restoredNotes.insert(id,
                                   QStringLiteral("Restored: the program ended during this row"));
        m_recorder->adopt(position, record);
    }
    const int restored = int(old.unfinished.size());
    const int gone = int(old.sourceGone.size());
    if (restored + gone == 0)
        return;
    QString text = restored == 1 ? QStringLiteral("Restored 1 unfinished row of the last run")
                                 : QStringLiteral("Restored %1 unfinished rows of the last run")
                                       .arg(restored);
    if (gone == 1)
        text += QStringLiteral("; 1 was left out because its source file is gone");
    else if (gone > 1)
        text += QStringLiteral("; %1 were left out because their source files are gone").arg(gone);
    text += QLatin1Char('.');
    m_recordsMessage = m_recordsMessage.isEmpty() ? text : m_recordsMessage + QLatin1Char(' ') + text;
}

void Session::endRecords(bool keep)
{
    if (m_recorder)
        m_recorder->stop(keep);
}

ConvertCommand Session::commandFor(int position) const
{
    const ConversionItem *row = m_list.row(position);
    return row ? m_engine->commandFor(*row) : ConvertCommand();
}
