#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class ConversionList;
class PreviewPlayer;

// The preview's steps for one host window: its own one-second clock, its
// surface, the length of its file, and for the main window the list it plays
// from (PreviewFile). It works on the player the hosts share (the running
// MPlayer and the position it reports) and tells the host what to show
// through signals; it knows no widgets.
class PlayerController : public QObject
{
    Q_OBJECT

public:
    static constexpr int ClockMs = 1000;

    explicit PlayerController(PreviewPlayer &player, QObject *parent = nullptr);

    // The native window MPlayer draws into.
    void setSurface(quint64 windowId) { m_surface = windowId; }
    // The main window: Play takes the selected row of `list`.
    void setList(const ConversionList *list) { m_list = list; }
    // The clip editor: Play takes this file and length text.
    void setFile(const QString &file, const QString &lengthText);
    QString PreviewFile() const { return m_file; }
    void setPreviewFile(const QString &file) { m_file = file; }

    // The length of this host's file, in whole seconds: Last Frames, the
    // slider and the clock's end go by it. Play sets it from the length text.
    int TotalSeconds() const { return m_total; }
    void setTotalSeconds(int seconds) { m_total = seconds; }

    bool isClockRunning() const { return m_clock.isActive(); }
    int sliderValue() const { return m_slider; }
    QString currentTimeText() const { return m_currentText; }
    QString totalTimeText() const { return m_totalText; }

    void Play();
    // Plays `file` of `seconds` from `startSecond`, whatever row is selected:
    // a file made from a row, such as a sample of its output.
    void playFile(const QString &file, int seconds, int startSecond);
    void Pause();
    void Stop();
    void Back();
    void Forward();
    void FirstFrame();
    void LastFrames();
    void SeekFromSlider(int value);
    void ClockTick();
    void QuitPlayer();
    // Stops this host's clock (the host closes, or hands the player over).
    void stopClock();
    // Quits the player and stops the clock: the host closes, or another
    // window is about to use the player.
    void halt();

signals:
    void sliderValueChanged(int value);
    void currentTimeChanged(const QString &text);
    void totalTimeChanged(const QString &text);
    void clockRunningChanged(bool running);
    // Why nothing plays.
    void problem(const QString &text);

private:
    bool canPlay();
    void startClock();
    void setSlider(int value);
    void showPosition();
    void setTotalText(const QString &text);

    PreviewPlayer &m_player;
    QTimer m_clock;
    quint64 m_surface = 0;
    const ConversionList *m_list = nullptr;
    QString m_file;
    QString m_lengthText; // the clip editor's
    int m_slider = 0;
    int m_total = 0;
    QString m_currentText;
    QString m_totalText;
};

// Seconds as the preview labels show them: H:MM:SS from 0 to 32767 seconds
// (9:06:07); empty beyond.
QString previewTimeText(qint64 seconds);
