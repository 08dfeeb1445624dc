#include "engine/EncoderCheck.h"

#include "app/ProfileCatalogue.h"
#include "engine/CommandBuilder.h"
#include "engine/Process.h"

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

AvailableEncoders::AvailableEncoders(QString ffmpegProgram) : m_program(std::move(ffmpegProgram)) {}

const std::optional<QSet<QString>> &AvailableEncoders::encoders()
{
    if (m_asked)
        return m_encoders;
    m_asked = true;
    if (m_program.isEmpty()) {
        m_error = QStringLiteral("FFmpeg was not found");
        return m_encoders;
    }
    Process process;
    process.setCmdLine(m_program);
    process.setParameters({QStringLiteral("-hide_banner"), QStringLiteral("-encoders")});
    process.setAsync(false);
    process.Launch();
    const QSet<QString> names = parseEncoderList(process.StdOutBytes());
    if (names.isEmpty()) {
        m_error = QStringLiteral("Could not list the encoders of %1").arg(m_program);
        return m_encoders;
    }
    m_encoders = names;
    return m_encoders;
}
