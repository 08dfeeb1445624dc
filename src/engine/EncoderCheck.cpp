#include "engine/EncoderCheck.h"

#include "app/ProfileCatalogue.h"
#include "engine/CommandBuilder.h"
#include "process/Process.h"

#include <utility>

QSet<QString> parseEncoderList(const QByteArray &output)
{
    QSet<QString> names;
    bool inList = false;
    for (const QByteArray &raw : output.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!inList) {
            inList = line.startsWith("------");
            continue;
        }
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words[0].size() == 6)
            names.insert(QString::fromLatin1(words[1]));
    }
    return names;
}

QStringList missingEncoders(ProfileCatalogue &catalogue, qint64 profileId,
                            const QSet<QString> &available)
{
    QStringList missing;
    const auto check = [&](const QString &table, QString (*encoderFor)(const QString &)) {
        const QStringList values = catalogue.choices(table, profileId).value_or(QStringList());
        const QString encoder = values.isEmpty() ? QString() : encoderFor(values.first());
        if (!encoder.isEmpty() && !available.contains(encoder))
            missing << encoder;
    };
    check(QStringLiteral("videocodec"), videoEncoderFor);
    check(QStringLiteral("audiocodec"), audioEncoderFor);
    return missing;
}

EncoderListing::EncoderListing(QString ffmpegProgram, QObject *parent)
    : QObject(parent), m_program(std::move(ffmpegProgram))
{
}

void EncoderListing::start()
{
    if (m_process || m_done)
        return;
    if (m_program.isEmpty()) {
        m_error = QStringLiteral("FFmpeg was not found");
        QMetaObject::invokeMethod(
            this, [this] { finish({}); }, Qt::QueuedConnection);
        return;
    }
    m_process = new Process(this);
    m_process->setCmdLine(m_program);
    m_process->setParameters({QStringLiteral("-hide_banner"), QStringLiteral("-encoders")});
    m_process->setAsync(true);
    connect(m_process, &Process::Finished, this, [this] { finish(m_process->StdOutBytes()); });
    m_process->Launch();
    // A program that cannot start raises no Finished.
    if (m_process->state() == Process::State::FailedToStart)
        QMetaObject::invokeMethod(
            this, [this] { finish({}); }, Qt::QueuedConnection);
}

void EncoderListing::finish(const QByteArray &output)
{
    if (m_done)
        return;
    m_done = true;
    const QSet<QString> names = parseEncoderList(output);
    if (!names.isEmpty())
        m_encoders = names;
    else if (m_error.isEmpty())
        m_error = QStringLiteral("Could not list the encoders of %1").arg(m_program);
    emit listed();
}
