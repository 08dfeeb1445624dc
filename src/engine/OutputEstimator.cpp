#include "engine/OutputEstimator.h"

#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"
#include "engine/ConversionEngine.h"
#include "engine/FfmpegOutput.h"
#include "process/ChildProcess.h"
#include "process/TimeText.h"
#include "settings/NumberValue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

constexpr double PartSeconds = 2;
constexpr int PartCount = 3;

// The clip a row converts: from its start to its end, or to the end of the
// file; nullopt when its length is unknown.
struct Clip
{
    double start = 0;
    double seconds = 0;
};
std::optional<Clip> clipOf(const ConversionItem &row)
{
    const qint64 start = parseTimeText(row.Start).value_or(0);
    const std::optional<qint64> end = parseTimeText(row.End);
    const std::optional<qint64> length = parseTimeText(row.VideoTime);
    const std::optional<qint64> last = end ? end : length;
    if (!last || *last - start <= 0)
        return std::nullopt;
    return Clip{double(start), double(*last - start)};
}

} // namespace

OutputEstimator::OutputEstimator(ConversionList &list, OptionSheet &sheet,
                                 ConversionEngine &engine, Environment environment,
                                 QObject *parent)
    : QObject(parent), m_list(list), m_sheet(sheet), m_engine(engine),
      m_env(std::move(environment))
{
    // Each program has its own folder: a window and a clipwright-cli may
    // share the writable folder.
    m_env.folder = QDir(m_env.folder).filePath(QString::number(QCoreApplication::applicationPid()));
    m_delay.setSingleShot(true);
    m_delay.setInterval(1000);
    connect(&m_delay, &QTimer::timeout, this, &OutputEstimator::next);
    // The sheet's first groups show the selected row; only the options shape
    // the commands.
    connect(&m_sheet, &OptionSheet::itemChanged, this, [this](const QString &group) {
        if (group != OptionSheet::General && group != OptionSheet::OutputDuration)
            refresh();
    });
    connect(&m_sheet, &OptionSheet::structureChanged, this, &OutputEstimator::refresh);
    // Rows keep their ids: their keys stay.
    connect(&m_list, &ConversionList::rowAppended, this, [this] { onChange(0); });
    connect(&m_list, &ConversionList::rowRemoved, this, [this] { onChange(0); });
    connect(&m_list, &ConversionList::cleared, this, &OutputEstimator::refresh);
    connect(&m_list, &ConversionList::selectionChanged, this, [this] {
        if (m_active && !m_running)
            m_delay.start();
    });
    connect(&m_list, &ConversionList::fieldChanged, this,
            [this](int position, ConversionItem::Field field) {
                if (field != ConversionItem::Field::Status)
                    onChange(m_list.idAt(position));
            });
    connect(&m_engine, &ConversionEngine::busyChanged, this, [this](bool busy) {
        if (!busy)
            return refresh(); // the settings may have changed meanwhile
        // A conversion takes the processor at once.
        m_delay.stop();
        stopSample();
    });
}

OutputEstimator::~OutputEstimator()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(3000);
    }
    QDir(m_env.folder).removeRecursively();
}

void OutputEstimator::setActive(bool active)
{
    m_active = active;
    if (!active) {
        m_delay.stop();
        stopSample();
        return;
    }
    if (!m_env.ffmpeg.isEmpty()) {
        removeFoldersOfEndedPrograms(QFileInfo(m_env.folder).path());
        QDir().mkpath(m_env.folder);
    }
    m_delay.start();
}

QString OutputEstimator::keyOf(ConversionList::RowId id, const ConversionItem &row) const
{
    const auto known = m_keys.constFind(id);
    if (known != m_keys.cend())
        return *known;
    return m_keys[id] = keyFor(row);
}

QString OutputEstimator::keyFor(const ConversionItem &row) const
{
    const QString output = QStringLiteral("sample") + profileExtension(m_env.profileText());
    return m_engine.trialCommand(row, output, QString()).Arguments.join(QLatin1Char('\n')) +
           QLatin1Char('\n') + row.VideoTime;
}

const OutputEstimator::Result *OutputEstimator::currentResult(ConversionList::RowId id) const
{
    const auto it = m_results.constFind(id);
    const ConversionItem *row = m_list.row(m_list.positionOf(id));
    return it != m_results.cend() && row && it->key == keyOf(id, *row) ? &*it : nullptr;
}

OutputEstimator::Estimate OutputEstimator::estimate(ConversionList::RowId id) const
{
    const Result *result = currentResult(id);
    return result ? result->estimate : Estimate{};
}

QString OutputEstimator::rowText(ConversionList::RowId id) const
{
    if (m_env.ffmpeg.isEmpty())
        return QStringLiteral("No estimate: FFmpeg was not found");
    const Estimate e = estimate(id);
    switch (e.state) {
    case State::Ready:
        return predictionText(*e.prediction);
    case State::LengthUnknown:
        return QStringLiteral("No estimate: length unknown");
    case State::Failed:
        return QStringLiteral("No estimate: ") + e.reason;
    case State::Waiting:
        break;
    }
    return QStringLiteral("Estimating\u2026");
}

OutputEstimator::Total OutputEstimator::total(int atOnce) const
{
    Total total;
    QVector<RowTime> times;
    for (int position = 1; position <= m_list.count(); ++position) {
        const Estimate e = estimate(m_list.idAt(position));
        ++total.rows;
        if (!e.prediction) {
            ++total.rowsWithout;
            continue;
        }
        total.bytes += e.prediction->bytes;
        times.append({e.prediction->seconds, e.prediction->cpuSeconds});
    }
    total.seconds = batchSeconds(times, atOnce, m_env.cores);
    return total;
}

QString OutputEstimator::totalText(int atOnce) const
{
    const Total t = total(atOnce);
    if (t.rows == 0 || t.rowsWithout == t.rows)
        return {};
    QString text = QStringLiteral("All %1 files: about %2, %3")
                       .arg(t.rows)
                       .arg(sizeText(t.bytes), durationText(t.seconds));
    if (t.rowsWithout > 0)
        text += QStringLiteral("; %1 without an estimate yet").arg(t.rowsWithout);
    return text;
}

bool OutputEstimator::isComplete() const
{
    if (m_env.ffmpeg.isEmpty())
        return true;
    for (int position = 1; position <= m_list.count(); ++position) {
        if (!currentResult(m_list.idAt(position)))
            return false;
    }
    return true;
}

QString OutputEstimator::previewFile(ConversionList::RowId id) const
{
    const Result *result = currentResult(id);
    return result ? result->preview : QString();
}

qint64 OutputEstimator::sampleProcessId() const
{
    return m_process ? m_process->processId() : 0;
}

void OutputEstimator::refresh()
{
    m_keys.clear();
    onChange(0);
}

void OutputEstimator::onChange(ConversionList::RowId changedRow)
{
    m_keys.remove(changedRow);
    m_wasComplete = false;
    if (m_running) {
        const ConversionItem *row = m_list.row(m_list.positionOf(m_running->id));
        if (!row || keyOf(m_running->id, *row) != m_running->key)
            stopSample();
    }
    if (m_active)
        m_delay.start();
    emit changed();
}

void OutputEstimator::next()
{
    if (!m_active || m_running || m_engine.isBusy() || m_env.ffmpeg.isEmpty() ||
        m_env.profileText().isEmpty())
        return;
    QList<int> order;
    if (m_list.selected() > 0)
        order << m_list.selected();
    for (int position = 1; position <= m_list.count(); ++position)
        order << position;
    for (const int position : std::as_const(order)) {
        const ConversionList::RowId id = m_list.idAt(position);
        const ConversionItem *row = m_list.row(position);
        if (currentResult(id) || (m_env.isPending && m_env.isPending(id)))
            continue;
        if (clipOf(*row))
            return startRow(id, *row);
        m_results[id] = {keyOf(id, *row), {State::LengthUnknown, {}, {}}, {}};
        emit changed();
    }
    dropStale();
    if (isComplete() && !m_wasComplete) {
        m_wasComplete = true;
        if (m_fitTarget > 0)
            return checkFit();
        emit completed();
    }
}

void OutputEstimator::startRow(ConversionList::RowId id, const ConversionItem &row)
{
    const Clip clip = *clipOf(row);
    Running running;
    running.id = id;
    running.key = keyOf(id, row);
    running.clipSeconds = clip.seconds;
    running.whole = clip.seconds < PartCount * PartSeconds;
    ConversionItem trial = row;
    if (!running.whole)
        trial.Start = trial.End = QString();
    const QString output = samplePath(id);
    const QString list = QDir(m_env.folder).filePath(QString::number(id) + ".ffconcat");
    QStringList arguments =
        m_engine.trialCommand(trial, output, output + QStringLiteral(".log")).Arguments;
    const auto rate = [&arguments](const char *option) {
        const qsizetype at = arguments.indexOf(QLatin1String(option));
        return at >= 0 ? numberValue(arguments.value(at + 1)) : 0.0;
    };
    running.videoBitsPerSecond = rate("-b:v");
    // Without sound the asked rate is not spent.
    running.audioBitsPerSecond = arguments.contains(QStringLiteral("-an")) ? 0 : rate("-ab");
    // x264 spaces keyframes 250 pictures apart, also as the default encoder
    // of MP4, MKV and MOV; the others FFmpeg sets to 12, which a sample shows.
    const qsizetype codec = arguments.indexOf(QStringLiteral("-vcodec"));
    const QString encoder = codec >= 0 ? arguments.value(codec + 1) : QString();
    if (encoder == QLatin1String("libx264") || encoder == QLatin1String("libx265") ||
        (codec < 0 && !arguments.contains(QStringLiteral("-vn"))))
        running.keyframeDistance = 250;

    QStringList extra = {QStringLiteral("-benchmark"), QStringLiteral("-stats_period"),
                         QStringLiteral("0.1")};
    const qsizetype input = arguments.indexOf(QStringLiteral("-i"));
    if (!running.whole) {
        // Each part from the keyframe before its in point: what a seek costs
        // least. The list names the source through a link of a plain name,
        // whatever the source's name holds (quotes, line breaks).
        const QString link = QString::number(id) + QStringLiteral(".source");
        QString text = QStringLiteral("ffconcat version 1.0\n");
        for (int k = 0; k < PartCount; ++k) {
            const double at =
                clip.start + clip.seconds * (2 * k + 1) / (2 * PartCount) - PartSeconds / 2;
            text += QStringLiteral("file %1\ninpoint %2\noutpoint %3\n")
                        .arg(link, plainNumber(at), plainNumber(at + PartSeconds));
        }
        QDir folder(m_env.folder);
        folder.remove(link);
        QFile file(list);
        if (!QFile::link(row.FileName, folder.filePath(link)) ||
            !file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.flush()) {
            m_running = running;
            return finishRow(
                {State::Failed, {}, QStringLiteral("cannot write in ") + m_env.folder});
        }
        arguments[input + 1] = list;
        extra << QStringLiteral("-f") << QStringLiteral("concat");
    }
    for (qsizetype i = 0; i < extra.size(); ++i)
        arguments.insert(input + i, extra[i]);
    m_running = running;

    auto *process = new QProcess(this);
    m_process = process;
    prepareChild(*process, ChildPriority::Idle);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessEnvironment(ffmpegEnvironment(QProcessEnvironment::systemEnvironment()));
    process->setWorkingDirectory(m_env.folder);
    connect(process, &QProcess::readyReadStandardOutput, this, &OutputEstimator::onSampleOutput);
    connect(process, &QProcess::finished, this, &OutputEstimator::onSampleFinished);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart || process != m_process)
            return;
        process->deleteLater();
        finishRow({State::Failed, {}, QStringLiteral("FFmpeg could not be started")});
    });
    m_clock.start();
    process->start(m_env.ffmpeg, arguments);
}

QString OutputEstimator::samplePath(ConversionList::RowId id) const
{
    return QDir(m_env.folder).filePath(QString::number(id) +
                                       profileExtension(m_env.profileText()));
}

void OutputEstimator::removeListFiles(ConversionList::RowId id) const
{
    QDir folder(m_env.folder);
    for (const char *suffix : {".ffconcat", ".source"})
        folder.remove(QString::number(id) + QLatin1String(suffix));
}

void OutputEstimator::onSampleOutput()
{
    const QByteArray chunk = m_process->readAll();
    m_running->output += chunk;
    m_running->unread += chunk;
    const qsizetype end =
        std::max(m_running->unread.lastIndexOf('\r'), m_running->unread.lastIndexOf('\n'));
    if (end < 0)
        return;
    readProgress(m_running->unread.left(end + 1), m_clock.nsecsElapsed() / 1e9,
                 m_running->progress);
    m_running->unread.remove(0, end + 1);
}

void OutputEstimator::onSampleFinished()
{
    QProcess *process = m_process;
    process->deleteLater();
    onSampleOutput();
    const QString file = samplePath(m_running->id);
    removeListFiles(m_running->id);
    SampleFigures figures;
    figures.wallSeconds = m_clock.nsecsElapsed() / 1e9;
    figures.fileBytes = QFileInfo(file).size();
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0 &&
                    readSampleOutput(m_running->output, m_running->progress, figures) &&
                    figures.seconds > 0;
    QFile statistics(file + QStringLiteral(".log"));
    if (statistics.open(QIODevice::ReadOnly))
        readSampleStatistics(statistics.readAll(), figures);
    statistics.remove();
    const std::optional<RowPrediction> prediction =
        ok ? predictRow(figures, m_running->clipSeconds, m_running->videoBitsPerSecond,
                        m_running->audioBitsPerSecond, m_running->keyframeDistance)
           : std::nullopt;
    if (prediction)
        return finishRow({State::Ready, prediction, {}});
    QFile::remove(file);
    const QStringList errors = ffmpegErrorLines(m_running->output);
    finishRow({State::Failed, {},
               errors.isEmpty() ? QStringLiteral("the sample failed")
                                : QStringLiteral("the sample failed: ") + errors.first()});
}

void OutputEstimator::finishRow(Estimate estimate)
{
    const QString preview =
        estimate.state == State::Ready ? samplePath(m_running->id) : QString();
    m_results[m_running->id] = {m_running->key, std::move(estimate), preview};
    m_running.reset();
    m_process = nullptr;
    emit changed();
    next();
}

void OutputEstimator::stopSample()
{
    if (m_process) {
        QProcess *process = m_process;
        process->disconnect(this);
        const QString file = samplePath(m_running->id);
        const QDir folder(m_env.folder);
        const QString id = QString::number(m_running->id);
        const QStringList files = {file, file + QStringLiteral(".log"),
                                   folder.filePath(id + QStringLiteral(".ffconcat")),
                                   folder.filePath(id + QStringLiteral(".source"))};
        connect(process, &QProcess::finished, process, [process, files] {
            for (const QString &name : files)
                QFile::remove(name);
            process->deleteLater();
        });
        process->kill();
        m_process = nullptr;
    }
    m_running.reset();
}

void OutputEstimator::dropStale()
{
    for (auto it = m_results.begin(); it != m_results.end();) {
        if (currentResult(it.key())) {
            ++it;
            continue;
        }
        if (!it->preview.isEmpty())
            QFile::remove(it->preview);
        it = m_results.erase(it);
    }
}

QString OutputEstimator::fitToSize(qint64 targetBytes)
{
    if (m_env.ffmpeg.isEmpty())
        return QStringLiteral("No estimate: FFmpeg was not found");
    const std::optional<QString> bitrate =
        m_sheet.value(OptionSheet::VideoOptions, QStringLiteral("Video Bitrate"));
    if (!bitrate || *bitrate == QLatin1String("N/A"))
        return QStringLiteral("Fit to size needs a profile with a video bitrate.");
    QVector<RowPrediction> rows;
    int without = 0;
    for (int position = 1; position <= m_list.count(); ++position) {
        const Estimate e = estimate(m_list.idAt(position));
        if (e.prediction)
            rows << *e.prediction;
        else
            ++without;
    }
    if (rows.isEmpty() && without == 0)
        return QStringLiteral("The list is empty.");
    if (without > 0)
        return QStringLiteral("%1 of %2 files have no estimate yet; Fit to size needs one for "
                              "every file (remove those whose length is unknown).")
            .arg(without)
            .arg(m_list.count());
    const std::optional<double> fitting = fittingVideoBitrate(rows, targetBytes);
    if (!fitting || *fitting < 8000) {
        return QStringLiteral("%1 is too small: these files' sound and container alone take "
                              "about %2.")
            .arg(sizeText(targetBytes), sizeText(qint64(bytesBesidePictures(rows))));
    }
    m_fitTarget = targetBytes;
    m_fitRounds = 0;
    (void)m_sheet.setValue(OptionSheet::VideoOptions, QStringLiteral("Video Bitrate"),
                           plainNumber(std::round(*fitting / 1000)));
    return {};
}

void OutputEstimator::checkFit()
{
    const Total t = total(1);
    const QString bitrate =
        m_sheet.value(OptionSheet::VideoOptions, QStringLiteral("Video Bitrate")).value_or(QString());
    if (t.rowsWithout > 0) {
        m_fitTarget = 0;
        emit fitFinished(false, QStringLiteral("Video Bitrate set to %1 kbit/s, but %2 files "
                                               "could not be sampled.")
                                    .arg(bitrate)
                                    .arg(t.rowsWithout));
        return;
    }
    const bool fits = t.bytes <= m_fitTarget && t.bytes >= 0.9 * m_fitTarget;
    if (!fits && m_fitRounds < 2) {
        // The encoder missed the rate it was given: ask for what it gives.
        QVector<RowPrediction> rows;
        for (int position = 1; position <= m_list.count(); ++position)
            rows << *estimate(m_list.idAt(position)).prediction;
        const double beside = bytesBesidePictures(rows);
        const double scale = (0.98 * m_fitTarget - beside) / std::max(1.0, t.bytes - beside);
        const double next = std::round(numberValue(bitrate) * scale);
        if (next >= 8 && next != numberValue(bitrate)) {
            ++m_fitRounds;
            (void)m_sheet.setValue(OptionSheet::VideoOptions, QStringLiteral("Video Bitrate"),
                                   plainNumber(next));
            return;
        }
    }
    const qint64 target = std::exchange(m_fitTarget, 0);
    emit fitFinished(t.bytes <= target * 1.02,
                     QStringLiteral("Video Bitrate set to %1 kbit/s: about %2 for %3.")
                         .arg(bitrate, sizeText(t.bytes), sizeText(target)));
}
