#include "media/PlayerController.h"

#include "app/ConversionList.h"
#include "media/PreviewPlayer.h"
#include "process/KeyChannel.h"
#include "process/TimeText.h"

#include <climits>
#include <cmath>

namespace {

constexpr qint64 LongestTimeText = 32767;

} // namespace

QString previewTimeText(qint64 seconds)
{
    return seconds < 0 || seconds > LongestTimeText ? QString() : formatTimeText(seconds);
}

PlayerController::PlayerController(PreviewPlayer &player, QObject *parent)
    : QObject(parent), m_player(player)
{
    m_clock.setInterval(ClockMs);
    connect(&m_clock, &QTimer::timeout, this, &PlayerController::ClockTick);
    // MPlayer's own end ends the clock where MPlayer stopped.
    connect(&m_player, &PreviewPlayer::playerEnded, this, &PlayerController::stopClock);
}

void PlayerController::setFile(const QString &file, const QString &lengthText)
{
    m_file = file;
    m_lengthText = lengthText;
}

bool PlayerController::canPlay()
{
    if (m_player.isAvailable())
        return true;
    emit problem(QStringLiteral("MPlayer was not found; the preview is not available"));
    return false;
}

void PlayerController::Play()
{
    QString lengthText = m_lengthText;
    if (m_list) {
        if (m_list->count() == 0)
            return;
        if (const ConversionItem *row = m_list->row(m_list->selected())) {
            m_file = row->FileName;
            lengthText = row->VideoTime;
        } else {
            lengthText.clear(); // no selection: the previous file and length stay
        }
    }
    if (m_file.isEmpty() || !canPlay())
        return;
    m_player.StartPlayer(m_file, std::nullopt, m_surface);
    if (!lengthText.isNull())
        setTotalText(QStringLiteral("Total time:") + lengthText);
    m_player.setPositionSeconds(0);
    if (const std::optional<qint64> total = parseTimeText(lengthText))
        m_total = int(std::min<qint64>(*total, INT_MAX));
    startClock();
}

void PlayerController::playFile(const QString &file, int seconds, int startSecond)
{
    m_file = file;
    if (!canPlay())
        return;
    m_player.StartPlayer(file, startSecond > 0 ? std::optional<int>(startSecond) : std::nullopt,
                         m_surface);
    const QString length = formatTimeText(seconds);
    setTotalText(QStringLiteral("Total time:") + length);
    m_player.setPositionSeconds(startSecond);
    m_total = seconds;
    startClock();
}

void PlayerController::Pause()
{
    m_player.sendKey(KeyChannel::KeySpace);
    if (m_clock.isActive())
        stopClock();
    else
        startClock();
}

void PlayerController::Stop()
{
    QuitPlayer();
    m_player.setPositionSeconds(0);
    stopClock();
    m_currentText.clear();
    emit currentTimeChanged(m_currentText);
}

void PlayerController::Back()
{
    m_player.sendKey(KeyChannel::KeyLeft);
}

void PlayerController::Forward()
{
    m_player.sendKey(KeyChannel::KeyRight);
}

void PlayerController::FirstFrame()
{
    if (m_file.isEmpty() || !canPlay())
        return;
    m_player.StartPlayer(m_file, std::nullopt, m_surface);
    m_player.setPositionSeconds(0);
    startClock();
}

void PlayerController::LastFrames()
{
    if (m_file.isEmpty() || !canPlay())
        return;
    m_player.StartPlayer(m_file, m_total, m_surface);
    m_player.setPositionSeconds(m_total);
    startClock();
}

void PlayerController::SeekFromSlider(int value)
{
    const qint64 total = m_total;
    const int position = int(std::nearbyint(double(total * value) / 100.0));
    m_player.setPositionSeconds(position);
    m_currentText = previewTimeText(position);
    emit currentTimeChanged(m_currentText);
    if (position >= total) {
        stopClock();
        return;
    }
    if (m_file.isEmpty() || !canPlay())
        return;
    m_player.StartPlayer(m_file, position, m_surface);
}

void PlayerController::ClockTick()
{
    // While MPlayer reports where it is, the clock shows that; otherwise it
    // counts on by itself.
    if (!m_player.takeReportedPosition())
        m_player.setPositionSeconds(m_player.PositionSeconds() + 1);
    const int position = m_player.PositionSeconds();
    const int total = m_total;
    if (total != 0) {
        const double value = std::nearbyint(double(position) / total * 100.0);
        if (value >= 0 && value <= 100)
            setSlider(int(value));
    }
    showPosition();
    if (position >= total)
        stopClock();
}

void PlayerController::QuitPlayer()
{
    m_player.QuitPlayer();
}

void PlayerController::halt()
{
    QuitPlayer();
    stopClock();
}

void PlayerController::stopClock()
{
    if (!m_clock.isActive())
        return;
    m_clock.stop();
    emit clockRunningChanged(false);
}

void PlayerController::startClock()
{
    if (m_clock.isActive())
        return;
    m_clock.start();
    emit clockRunningChanged(true);
}

void PlayerController::setSlider(int value)
{
    if (m_slider == value)
        return;
    m_slider = value;
    emit sliderValueChanged(value);
}

void PlayerController::showPosition()
{
    m_currentText = previewTimeText(m_player.PositionSeconds());
    emit currentTimeChanged(m_currentText);
}

void PlayerController::setTotalText(const QString &text)
{
    m_totalText = text;
    emit totalTimeChanged(text);
}
