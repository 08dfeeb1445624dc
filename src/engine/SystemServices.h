#pragma once

#include <QString>

// Powers the machine off after a batch. Behind an interface so that no test
// can ever reach the real one.
class PowerControl
{
public:
    virtual ~PowerControl() = default;
    virtual void powerOff() = 0;
};

// Powers off through systemd-logind (`systemctl poweroff`).
class LogindPowerControl : public PowerControl
{
public:
    void powerOff() override;
};

// Shows a folder in the desktop's file manager.
class FolderOpener
{
public:
    virtual ~FolderOpener() = default;
    virtual void openFolder(const QString &folder) = 0;
};

class DesktopFolderOpener : public FolderOpener
{
public:
    void openFolder(const QString &folder) override;
};
