#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

// What one trial encode of a row gave: three short parts of its clip
// encoded as one file (or the whole clip), read from FFmpeg's error output
// (its summary, its progress lines, -benchmark's times), its statistics file
// and the size of the file it wrote.
struct SampleFigures
{
    double seconds = 0; // the length written
    qint64 fileBytes = 0;
    qint64 videoBytes = 0;
    qint64 audioBytes = 0;
    int pictures = 0;
    int keyframes = 0;
    qint64 keyframeBytes = 0;
    // The picture bytes of each third of the sample, for the spread.
    QVector<qint64> partVideoBytes;
    double wallSeconds = 0; // from start to end of the process
    double cpuSeconds = 0;  // user and system time
    // Seconds written per second taken once the encoder runs at its pace
    // (after its first third); 0 when unknown.
    double steadySpeed = 0;
    double ffmpegSpeed = 0; // FFmpeg's own figure for the whole sample
};

// One progress line of FFmpeg, and when it came.
struct ProgressPoint
{
    double wallSeconds = 0;
    int pictures = 0;
    double seconds = 0; // the time written so far
};
// Appends the progress lines ("frame= 12 ... time=00:00:00.48 ...") that a
// piece of FFmpeg's error output holds, as read at `wallSeconds`.
void readProgress(const QByteArray &chunk, double wallSeconds, QVector<ProgressPoint> &points);

// Fills what FFmpeg's error output tells: length, processor time, stream
// sizes, its speed, and the steady speed from `points` (0 when they span
// less than 0.2 s). False when it holds no summary.
bool readSampleOutput(const QByteArray &output, const QVector<ProgressPoint> &points,
                      SampleFigures &figures);
// Fills the picture figures from a -vstats_file text.
void readSampleStatistics(const QByteArray &statistics, SampleFigures &figures);

// A row's predicted output.
struct RowPrediction
{
    double clipSeconds = 0;
    double sampleSeconds = 0; // the length of the sample it came from
    qint64 bytes = 0; // the best guess
    qint64 lowBytes = 0;
    qint64 highBytes = 0;
    double seconds = 0;    // its conversion alone
    double cpuSeconds = 0; // processor time of that conversion
    // Bytes per second of output beside the picture's: sound, and what the
    // container adds. A change of the video bitrate leaves them.
    double audioRate = 0;
    double overheadRate = 0;
};

// What a row's conversion is predicted to give.
//
// The encoders follow -b:v and -ab (`videoBitsPerSecond` and
// `audioBitsPerSecond`, 0 without one) as an average over the file: over a
// whole file they spend the asked rate unless the content needs less,
// whatever their first seconds did while finding their quantizer (and a
// sample's parts bring some sound from before their in points). `keyframeDistance` is the encoder's own spacing of
// keyframes in pictures when it is wider than a sample (x264's 250), so
// that the keyframes the sample's cuts brought are spread as the
// conversion will space them; 0 when the sample shows the real spacing. A
// sample as long as the clip is the conversion itself.
std::optional<RowPrediction> predictRow(const SampleFigures &sample, double clipSeconds,
                                        double videoBitsPerSecond, double audioBitsPerSecond,
                                        double keyframeDistance);

// A batch's time: the rows in list order on `laneCount` lanes, each lane taking
// the next row when its last ends, but never faster than the processor time
// the rows need spread over `cores`.
struct RowTime
{
    double seconds = 0;
    double cpuSeconds = 0;
};
double batchSeconds(const QVector<RowTime> &rows, int laneCount, int cores);

// The rows' predicted bytes of sound and container.
double bytesBesidePictures(const QVector<RowPrediction> &rows);

// The one video bitrate (bits per second) that makes the rows' predicted
// total `targetBytes`, 2 % under it, with their sound and container as
// predicted; nullopt when sound and container alone need that much.
std::optional<double> fittingVideoBitrate(const QVector<RowPrediction> &rows, qint64 targetBytes);

// "820 kB", "4.8 MB", "48 MB", "1.2 GB": decimal units, as disks and upload
// limits count.
QString sizeText(qint64 bytes);
// "45 s", "1 min 20 s", "1 h 5 min".
QString durationText(double seconds);
// "About 48 MB, 1 min 20 s", with a range of sizes when the samples
// disagree by more than a tenth: "About 40-55 MB, 1 min 20 s".
QString predictionText(const RowPrediction &prediction);

// A size as the user writes it: "700M", "4.7G", "1.5 GB", "900k", "650MiB",
// "123456" (bytes); decimal K, M, G and binary KiB, MiB, GiB.
std::optional<qint64> parseSizeText(const QString &text);
