#include "../TestSupport.h"
#include "app/ConversionList.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "process/KeyChannel.h"

// The preview's steps with the player's start recorded instead of run, so
// that every tick is the test's own and the arguments can be read.
class TestPlayerController : public QObject
{
    Q_OBJECT

    KeyChannel m_keys;
    std::unique_ptr<PreviewPlayer> m_player;
    std::unique_ptr<PlayerController> m_controller;
    ConversionList m_list;
    QList<QStringList> m_starts;

    // "label|slider|clock on/off|starts", the host's view after the steps.
    QString view() const
    {
        return QStringLiteral("%1|%2|%3|%4")
            .arg(m_controller->currentTimeText())
            .arg(m_controller->sliderValue())
            .arg(m_controller->isClockRunning() ? "on" : "off")
            .arg(m_starts.size());
    }

private slots:
    void init()
    {
        m_player = std::make_unique<PreviewPlayer>(QString(), m_keys);
        m_starts.clear();
        m_player->setStarter([this](const QStringList &arguments) {
            m_starts << arguments;
            return qint64(4242);
        });
        m_controller = std::make_unique<PlayerController>(*m_player);
        m_controller->setSurface(77);
        m_list.clear();
        m_controller->setList(&m_list);
    }

    void steps_data()
    {
        // The row's Video Time, the steps ("P" Play, "T" tick, "T99" 99 ticks,
        // "S50" slider released at 50, "L" Last Frames, "F" First Frame, "U"
        // Pause, "O" Stop, ">" Forward, "V13.5" a status line V: 13.5), and
        // the view afterwards.
        addColumns<QString, QString, QString, QString>("length", "steps", "view", "seek");
        newRow("empty list", QString(), "P", "|0|off|0", "-");
        newRow("stops after the 100th tick", "0:01:40", "P T99 T", "0:01:40|100|off|1", "-");
        newRow("slider 50 of 25 s: -ss 12", "0:00:25", "P S50", "0:00:12|0|on|2", "12");
        newRow("slider at 100 starts nothing", "0:00:25", "P S100", "0:00:25|0|off|1", "-");
        newRow("Last Frames, then a tick", "0:00:25", "P L T", "0:00:26|0|off|2", "25");
        newRow("Pause twice", "0:00:25", "P U U T", "0:00:01|4|on|1", "-");
        newRow("Pause with no player", "0:00:25", "U", "|0|on|0", "-");
        newRow("Stop keeps the slider", "0:01:40", "P T10 O", "|10|off|1", "-");
        newRow("a status line, then Forward moves nothing", "0:01:40", "P T2 V13.5 T > T",
               "0:00:14|14|on|1", "-");
        newRow("First Frame starts again", "0:01:40", "P T5 F T", "0:00:01|1|on|2", "-");
        newRow("beyond 9:06:07 no label", "10:00:00", "P S100 S99", "|0|off|2", "35640");
    }
    void steps()
    {
        QFETCH(QString, length);
        QFETCH(QString, steps);
        if (!length.isEmpty()) {
            m_list.append("/videos/my holiday.avi");
            QVERIFY(m_list.setField(1, ConversionItem::Field::VideoTime, length));
            QVERIFY(m_list.select(1));
        }
        using Step = void (PlayerController::*)();
        const QHash<QChar, Step> buttons = {
            {'P', &PlayerController::Play},       {'U', &PlayerController::Pause},
            {'O', &PlayerController::Stop},       {'>', &PlayerController::Forward},
            {'F', &PlayerController::FirstFrame}, {'L', &PlayerController::LastFrames}};
        for (const QString &step : steps.split(' ')) {
            const QString rest = step.mid(1);
            if (step[0] == 'T') {
                for (int i = 0; i < (rest.isEmpty() ? 1 : rest.toInt()); ++i)
                    m_controller->ClockTick();
            } else if (step[0] == 'S') {
                m_controller->SeekFromSlider(rest.toInt());
            } else if (step[0] == 'V') {
                m_player->playerOutput("ID_START_TIME=0.00\nV:  " + rest.toLatin1() +
                                       "   338/338 \r");
            } else {
                QVERIFY2(buttons.contains(step[0]), qPrintable(step));
                (m_controller.get()->*buttons.value(step[0]))();
            }
        }
        QTEST(view(), "view");
        if (m_starts.isEmpty())
            return;
        QCOMPARE(m_controller->totalTimeText(), "Total time:" + length);
        QCOMPARE(m_starts.first().mid(0, 2), QStringList({"-wid", "77"}));
        QCOMPARE(m_starts.first().last(), QString("/videos/my holiday.avi")); // one argument
        const QStringList &last = m_starts.last();
        QTEST(last.first() == "-ss" ? last.at(1) : QString("-"), "seek");
    }

    // MPlayer's three status line formats; a start time offsets the later
    // positions, and a line not yet ended waits for its end.
    void statusLines()
    {
        QSignalSpy reported(m_player.get(), &PreviewPlayer::positionReported);
        m_player->StartPlayer("/v.avi", std::nullopt, 1);
        m_player->playerOutput(
            "A:   0.9 V:   0.9 A-V: -0.002 ct: -0.021\rA:   1.9 V:   2.0 A-V: 0\r"
            "A:  12.3 (12.2) of 60.0 (01:00.0)\rPlaying x.avi.\nVIDEO:  [FMP4]\n"
            "V:abc\rID_START_TIME=1.48\nV:   1.4   2/  2\rV:  14.0 340/340 \rV:  7");
        QCOMPARE(firstArguments(reported), QList<int>({0, 2, 12, 0, 12}));
    }

    void missingMplayer()
    {
        m_player->setStarter({}); // and no program
        m_list.append("/v.avi");
        QVERIFY(m_list.select(1));
        QSignalSpy problem(m_controller.get(), &PlayerController::problem);
        m_controller->Play();
        QCOMPARE(problem.value(0).value(0).toString() +
                     (m_controller->isClockRunning() ? " on" : ""),
                 "MPlayer was not found; the preview is not available");
    }
};

QTEST_GUILESS_MAIN(TestPlayerController)
#include "tst_PlayerController.moc"
