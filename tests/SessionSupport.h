#pragma once

// A session as the program builds it, on the test's folder, with the real
// programs and the shipped catalogue.

#include "TestSupport.h"
#include "session/Session.h"

inline Session::Setup sessionSetup(const QTemporaryDir &dir,
                                   const QString &mplayer = resolveProgram("mplayer"))
{
    return {CLIPWRIGHT_BIN_DIR,
            dir.filePath("settings.dat"),
            dir.path(),
            resolveProgram("ffmpeg"),
            mplayer,
            resolveProgram("ffprobe")};
}

// Started, and ready: FFmpeg has listed its encoders.
inline std::unique_ptr<Session> readySession(const Session::Setup &setup,
                                             RecordingServices &services)
{
    auto session = std::make_unique<Session>(setup, services, services);
    session->start();
    (void)QTest::qWaitFor([&session] { return session->isReady(); }, 10000); // callers check
    return session;
}

inline std::unique_ptr<Session> readySession(const QTemporaryDir &dir, RecordingServices &services)
{
    return readySession(sessionSetup(dir), services);
}
