#include "media/FrameGrabber.h"

#include "process/ChildProcess.h"

#include <QFileInfo>
#include <QProcess>

FrameGrabber::FrameGrabber(QString ffmpeg, QObject *parent)
    : QObject(parent), m_program(std::move(ffmpeg))
{
}

FrameGrabber::~FrameGrabber()
{
    if (m_running) {
        m_running->disconnect(this);
        stopChildAndWait(*m_running, QByteArray(), 0);
    }
}

void FrameGrabber::grab(const QString &file, int second)
{
    if (m_running) {
        m_running->disconnect(this);
        stopChild(*m_running, QByteArray(), 0);
        connect(m_running, &QProcess::finished, m_running, &QObject::deleteLater);
    }
    if (m_program.isEmpty())
        return;
    auto *process = new QProcess(this);
    m_running = process;
    prepareChild(*process);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this, [this, process, second] {
        const QByteArray png = process->readAllStandardOutput();
        process->deleteLater();
        if (m_running == process)
            m_running = nullptr;
        emit grabbed(second, QImage::fromData(png, "PNG"));
    });
    process->start(m_program,
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-ss"),
                    QString::number(qMax(0, second)), QStringLiteral("-i"),
                    QFileInfo(file).absoluteFilePath(), QStringLiteral("-frames:v"),
                    QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("image2pipe"),
                    QStringLiteral("-c:v"), QStringLiteral("png"), QStringLiteral("-")});
}
