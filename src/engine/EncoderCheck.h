#pragma once

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class Process;
class ProfileCatalogue;

// Encoder names from the output of `ffmpeg -hide_banner -encoders`.
QSet<QString> parseEncoderList(const QByteArray &output);

// The encoders a profile's default (first-row) codec values need that are
// not in `available`; empty when the profile can be converted.
QStringList missingEncoders(ProfileCatalogue &catalogue, qint64 profileId,
                            const QSet<QString> &available);

// Asks one FFmpeg for its encoders in the background, once. listed()
// follows from the event loop, also when FFmpeg is missing or fails.
class EncoderListing : public QObject
{
    Q_OBJECT

public:
    explicit EncoderListing(QString ffmpegProgram, QObject *parent = nullptr);

    void start();
    bool isDone() const { return m_done; }
    // nullopt when FFmpeg could not be asked; errorString() says why.
    const std::optional<QSet<QString>> &encoders() const { return m_encoders; }
    QString errorString() const { return m_error; }

signals:
    void listed();

private:
    void finish(const QByteArray &output);

    QString m_program;
    Process *m_process = nullptr;
    bool m_done = false;
    std::optional<QSet<QString>> m_encoders;
    QString m_error;
};
