#pragma once

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QUrl>

class ConversionEngine;
class DesktopNotifier;
struct ConversionItem;
class Session;
class FileListModel;
class OptionGridModel;
class PlayerController;
class PreviewPanel;
class ProgressPanel;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStandardItemModel;
class QTableView;
class QToolButton;
class QTreeView;

// The main window. It shows the session's sheet, list and engine and hands
// each command to the object that does the work; it owns none of the shared
// state.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Starts the session when that has not been done.
    explicit MainWindow(Session &session, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The File menu's "Add Files": the open dialog, then each chosen file.
    void AddFiles();
    // Appends a row for the path at once and fills it when its probe ends.
    void AddFileToList(const QString &path);
    // Adds the dropped media files and the media files of dropped folders,
    // then names the refused files in one message. A name that is not UTF-8
    // is refused with a message of its own.
    void addDroppedFiles(const QList<QUrl> &urls);
    // A file named by the command line, as the system's bytes.
    void addFileBytes(const QByteArray &path);
    void RemoveSelectedFile();
    void ClearAllFiles();
    void BurnNow();
    // "Play Selected File": the preview's Play.
    void playSelectedFile();
    // The list's double-click, "Video Clip", "Video Watermarkt", the toolbar's
    // Clip and WaterMark: the clip editor for the selected row.
    void openEditor();
    void showOptions();
    // "Capture Video From DV", modal.
    void showCapture();
    // "Import Video From Youtube", modal.
    void importVideo();
    void showAbout();
    void showHelp();
    // "Exit": quits a running preview, then closes the window.
    void exitProgram();
    // Shows the window in front of others, restored if it was minimized.
    void bringToFront();
    // Notifies through `notifier` when a batch ends while the window is
    // not active; the notification's "Show" brings it to the front.
    void setNotifier(DesktopNotifier *notifier);

    // Closes as the close button does, but the unfinished rows stay in the
    // records for the next start (SIGTERM at a logout, say).
    void closeKeepingList();

    Session &session() { return m_session; }
    QComboBox *profileCombo() const { return m_profiles; }
    QTableView *fileView() const { return m_fileView; }
    QTreeView *optionView() const { return m_optionView; }
    ProgressPanel *progressPanel() const { return m_panel; }
    PreviewPanel *previewPanel() const { return m_preview; }
    PlayerController &player() { return *m_player; }
    QLabel *outputFolderLabel() const { return m_outputFolder; }
    QLabel *estimateLabel() const { return m_estimate; }
    QList<QToolButton *> toolButtons() const { return m_toolButtons; }
    QWidget *toolBarPanel() const { return m_toolBar; }
    QMenu *contextMenu() const { return m_popup; }
    // The selected combo entry (from 1); 0 when none.
    int profilePosition() const;
    // Applies the combo entry at `position`; the combo follows what the
    // session selects.
    void selectProfile(int position);

signals:
    // The window has begun to close; it may still wait for FFmpeg.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window's commands, each one QAction; the table in createCommands()
    // gives each its caption, shortcut, slot and when it is on.
    enum class Command;
    enum class OnWhen
    {
        Always,
        Idle, // off while a batch runs
    };
    void createCommands();
    QAction *command(Command id) const;
    void buildMenus();
    QWidget *buildToolBar();
    QWidget *buildCentre();
    void loadProfiles();
    void markUnusableProfiles();
    void onProfileApplied(int position, const QString &problem);
    // The profile box's hint look while no profile is chosen.
    void showProfileChosen();
    void connectEngine();
    void onBusyChanged(bool busy);
    void onRowClicked(const QModelIndex &index);
    // The row's name, start and end in the option sheet.
    void showRowInSheet(const ConversionItem &row);
    // The selected row's predicted output and the batch's, under the sheet.
    void showEstimate();
    void previewOutput();
    void fitToSize();
    void setHoverMark(QToolButton *button, bool on);

    Session &m_session;
    ConversionEngine &m_engine;
    QList<QAction *> m_commands; // by Command
    QList<QAction *> m_offWhileBusy;

    FileListModel *m_fileModel = nullptr;
    OptionGridModel *m_optionModel = nullptr;
    QStandardItemModel *m_profileModel = nullptr;
    QComboBox *m_profiles = nullptr;
    QTreeView *m_optionView = nullptr;
    QTableView *m_fileView = nullptr;
    QLabel *m_outputFolder = nullptr;
    QLabel *m_estimate = nullptr;
    QTimer m_estimateTimer;
    QString m_fitText; // the size last fitted to
    ProgressPanel *m_panel = nullptr;
    PlayerController *m_player = nullptr; // this window's clock and PreviewFile
    PreviewPanel *m_preview = nullptr;
    QWidget *m_toolBar = nullptr;
    QList<QToolButton *> m_toolButtons;
    QMenu *m_popup = nullptr;
    bool m_closing = false; // waiting for the engine before closing
    bool m_keepList = false;
    double m_lastSpeed = 0;
    DesktopNotifier *m_notifier = nullptr;
    int m_converted = 0; // this batch's rows, for the notification at its end
    int m_failed = 0;
};
