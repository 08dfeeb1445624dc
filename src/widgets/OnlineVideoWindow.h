#pragma once

#include <QDialog>
#include <QHash>
#include <QPoint>
#include <memory>

class OnlineVideoTool;
class PlayerController;
class PreviewPanel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class Session;

// "Import Video From Youtube": looks a watch page up through an
// OnlineVideoTool, shows the video's facts and thumbnail, downloads one of
// its streams into the writable folder, or plays it in the "YouTube
// Preview" frame on the session's preview player.
//
// Beyond the plain button rules: one transfer runs at a time, with a
// "Cancel"; a finished download is named in the status line and "Add to
// list" puts it into the conversion list; hiding the frame stops the
// player; "Preview" plays the MP4 stream when the page has no HD High one.
class OnlineVideoWindow : public QDialog
{
    Q_OBJECT

public:
    // Where the frame appears: for the asking buttons' No, and for Preview.
    static constexpr QPoint PlayPosition{240 / 15, 120 / 15};
    static constexpr QPoint PreviewPosition{300 / 15, 450 / 15};

    explicit OnlineVideoWindow(Session &session, QWidget *parent = nullptr);
    ~OnlineVideoWindow() override;

    // "Get Direct Link".
    void lookUp();
    // "Get MP4" (22) downloads; "Get HD Low" (34), "Get HD High" (35) and
    // "Get FLV" (5) first ask whether to download or play.
    void getFormat(int code);
    // "Preview": the HD High stream in the frame.
    void preview();
    // A click on Label6: the frame goes, and its playback with it.
    void hidePreview();
    void addToList();
    // However the window closes: the transfer and the player stop.
    void done(int result) override;

    OnlineVideoTool &tool() { return *m_tool; }
    PlayerController &player() { return *m_player; }
    QGroupBox *previewFrame() const { return m_frame; }
    PreviewPanel *previewPanel() const { return m_preview; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void play(int code, QPoint position);
    void placeFrame();
    void onLookupFinished();
    void showPicture(const QString &file);
    void refreshButtons();

    Session &m_session;
    std::unique_ptr<OnlineVideoTool> m_tool;
    PlayerController *m_player;
    bool m_canLookUp = true; // until a lookup; editing the address sets it again
    QString m_saved;         // the last download, until it is added to the list
    QPoint m_framePosition = PlayPosition;

    QLineEdit *m_address;                // txtWatchUrl
    QPushButton *m_get;                  // cmdG
    QLabel *m_picture;                   // picTitle
    QLabel *m_title;                     // lblTitle1
    QLabel *m_author;                    // lblAuthor
    QLabel *m_category;                  // lblCat
    QLabel *m_duration;                  // lblDur
    QLabel *m_published;                 // lblPublished
    QLabel *m_rating;                    // lblRating
    QPlainTextEdit *m_desc;              // txtDesc
    QHash<int, QPushButton *> m_formats; // getMp4, getHDH, getHDL, getFlv by code
    QLabel *m_status;                    // lblTitle
    QProgressBar *m_bar;                 // pbDownload
    QLabel *m_percent;                   // Label2
    QPushButton *m_cancel;               // cmdCancel
    QPushButton *m_add;                  // cmdAddList
    QGroupBox *m_frame;                  // frmPR
    QLabel *m_hide;                      // Label6
    PreviewPanel *m_preview;             // holds SWF, the surface
};
