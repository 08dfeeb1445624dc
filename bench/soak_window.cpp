// Opens and closes the clip editor, with its preview playing, and plays and
// stops the main window's preview, ROUNDS times (100 by default), and prints
// the program's resident memory after the tenth round and after the last:
// what stays behind of each round. Needs an X server (bench/soak runs it
// under xvfb-run).
#include "engine/SystemServices.h"
#include "media/PlayerController.h"
#include "session/Session.h"
#include "settings/ProgramFolders.h"
#include "widgets/ClipEditorDialog.h"
#include "widgets/MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

class NoServices : public PowerControl, public FolderOpener
{
public:
    void powerOff() override {}
    void openFolder(const QString &) override {}
};

void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// VmRSS of this process in kB.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return std::fprintf(stderr, "usage: soak_window CLIP [ROUNDS]\n"), 2;
    const QString clip = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 100;
    QTemporaryDir folder;
    NoServices services;
    Session session({QStringLiteral(CLIPWRIGHT_BIN_DIR), folder.filePath(QStringLiteral("settings.dat")), folder.path(),
                     resolveProgram(QStringLiteral("ffmpeg")),
                     resolveProgram(QStringLiteral("mplayer")),
                     resolveProgram(QStringLiteral("ffprobe"))},
                    services, services);
    MainWindow window(session);
    window.resize(1280, 760);
    window.show();
    window.AddFileToList(clip);
    pause(2000); // probed, and the encoders listed
    session.files().select(1);

    long afterTen = 0;
    for (int round = 1; round <= rounds; ++round) {
        session.editorInputs() = EditorInputs::fromRow(*session.files().row(1));
        {
            ClipEditorDialog editor(session, 1, &window);
            editor.show();
            pause(100);
            editor.player().Play();
            pause(400);
            editor.reject();
        }
        window.player().Play();
        pause(400);
        window.player().Stop();
        pause(100);
        if (round == 10)
            afterTen = residentKb();
    }
    pause(1000);
    const long atEnd = residentKb();
    const double growthMb = (atEnd - afterTen) / 1024.0;
    std::printf("resident memory after 10 rounds %ld kB, after %d rounds %ld kB\n", afterTen,
                rounds, atEnd);
    std::printf("ROW\twindow memory growth, rounds 10 to %d (editor and preview)\t%.2f MB\t-\t-\t"
                "<= 5 MB\t%s\n",
                rounds, growthMb, growthMb <= 5 ? "PASS" : "FAIL");
    return 0;
}
