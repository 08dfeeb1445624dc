#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class ProfileCatalogue;

// Encoder names from the output of `ffmpeg -hide_banner -encoders`.
QSet<QString> parseEncoderList(const QByteArray &output);

// The encoders a profile's default (first-row) codec values need that are
// not in `available`; empty when the profile can be converted.
QStringList missingEncoders(ProfileCatalogue &catalogue, qint64 profileId,
                            const QSet<QString> &available);

// The encoders of one FFmpeg, asked for once and kept for the program's run.
class AvailableEncoders
{
public:
    explicit AvailableEncoders(QString ffmpegProgram);

    // nullopt when FFmpeg could not be asked; errorString() says why.
    const std::optional<QSet<QString>> &encoders();
    QString errorString() const { return m_error; }

private:
    QString m_program;
    bool m_asked = false;
    std::optional<QSet<QString>> m_encoders;
    QString m_error;
};
