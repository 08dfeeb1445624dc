#pragma once

#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "app/ProfileCatalogue.h"
#include "engine/ConversionEngine.h"
#include "engine/KeyChannel.h"
#include "widgets/ShutdownCountdown.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <memory>

class FileListModel;
class MediaProbeQueue;
class OptionGridModel;
class ProgressPanel;
class QComboBox;
class QLabel;
class QMenu;
class QStandardItemModel;
class QTableView;
class QToolButton;
class QTreeView;
struct MediaFacts;

// The main window. It owns the state the commands share (option sheet,
// file list, catalogue, engine) and hands each command to the object that
// does the work.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Where the window finds and keeps things; tests point these elsewhere.
    struct Services
    {
        QString dataFolder;     // ct.s3db, icons/, pictures/, help/
        QString settingsFile;   // settings.dat
        QString writableFolder; // default output folder, curconvert.log
        QString ffmpeg;
        QString mplayer;
        PowerControl *power = nullptr;  // the real power-off, after the countdown
        FolderOpener *opener = nullptr; // shows the output folder after a batch
        int shutdownCountdownSeconds = 60;
    };

    explicit MainWindow(Services services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The File menu's "Add Files": the open dialog, then each chosen file.
    void AddFiles();
    // Appends a row for the path at once and fills it when its probe ends.
    void AddFileToList(const QString &path);
    // Adds dropped files while their names pass the suffix rule; stops with
    // a message at the first name that does not.
    void addDroppedFiles(const QStringList &paths);
    void RemoveSelectedFile();
    void ClearAllFiles();
    void BurnNow();
    void showOptions();
    void showAbout();
    void showHelp();
    // "Exit": quits a running preview, then closes the window.
    void exitProgram();

    // The suffix rule for dropped files (case does not matter, no dot needed).
    static bool isAcceptedVideoName(const QString &name);

    OptionSheet &sheet() { return m_sheet; }
    ConversionList &files() { return m_list; }
    ConversionEngine &engine() { return *m_engine; }
    QComboBox *profileCombo() const { return m_profiles; }
    QTableView *fileView() const { return m_fileView; }
    QTreeView *optionView() const { return m_optionView; }
    ProgressPanel *progressPanel() const { return m_panel; }
    QLabel *outputFolderLabel() const { return m_outputFolder; }
    QList<QToolButton *> toolButtons() const { return m_toolButtons; }
    QWidget *toolBarPanel() const { return m_toolBar; }
    QMenu *contextMenu() const { return m_popup; }
    // The selected combo entry (from 1); 0 when none.
    int profilePosition() const;
    // Applies the combo entry at `position` and selects what applyProfile chose.
    void selectProfile(int position);
    // Files whose probes have not finished yet.
    int pendingProbes() const { return int(m_probing.size()); }

signals:
    void probesFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    QWidget *buildToolBar();
    QWidget *buildCentre();
    void loadProfiles();
    void connectEngine();
    void onRowClicked(const QModelIndex &index);
    void onProbed(int id, const QString &path, const MediaFacts &facts);
    void setHoverMark(QToolButton *button, bool on);
    QString profileText() const;

    Services m_services;
    OptionSheet m_sheet;
    ConversionList m_list;
    KeyChannel m_keys;
    ProfileCatalogue m_catalogue;
    QVector<ProfileEntry> m_entries;
    std::unique_ptr<CountdownPowerControl> m_countdown;
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<MediaProbeQueue> m_probes;
    QHash<int, QPersistentModelIndex> m_probing;

    FileListModel *m_fileModel = nullptr;
    OptionGridModel *m_optionModel = nullptr;
    QStandardItemModel *m_profileModel = nullptr;
    QComboBox *m_profiles = nullptr;
    QTreeView *m_optionView = nullptr;
    QTableView *m_fileView = nullptr;
    QLabel *m_outputFolder = nullptr;
    ProgressPanel *m_panel = nullptr;
    QWidget *m_toolBar = nullptr;
    QList<QToolButton *> m_toolButtons;
    QMenu *m_popup = nullptr;
    bool m_closing = false;
    double m_lastSpeed = 0;
};
