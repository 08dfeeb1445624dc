#pragma once

#include "editor/ClipEdit.h"

#include <QDialog>

class FrameGrabber;
class PlayerController;
class PreviewPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class RangeTool;
class Session;

// "Clip Time & Video WaterMark": one row's clip range and watermark, with a
// preview player of its own. It opens from the session's editor inputs and
// writes the row at `position` on OK.
class ClipEditorDialog : public QDialog
{
    Q_OBJECT

public:
    ClipEditorDialog(Session &session, int position, QWidget *parent = nullptr);
    ~ClipEditorDialog() override;

    void RangeChanged();
    void ChooseWatermark();
    // The picture chooser's second step, for a file already picked.
    void useWatermarkPicture(const QString &file);
    void RemoveWatermark();
    void ConfirmEditor();

    RangeTool *rangeTool() const { return m_range; }
    PlayerController &player() { return *m_player; }
    PreviewPanel *previewPanel() const { return m_preview; }
    QLabel *picture() const { return m_picture; }
    QString watermarkImage() const { return m_inputs.WatermarkImage; }

    // CloseEditor: however the window closes.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OpenEditor();
    void showPlaceholder();
    bool showPicture(const QString &file);
    void showFrameAt(int second);

    Session &m_session;
    int m_position;
    EditorInputs &m_inputs;
    PlayerController *m_player;
    FrameGrabber *m_frames;
    PreviewPanel *m_preview;
    QLineEdit *m_start;    // Text1
    QLineEdit *m_end;      // Text2
    QLineEdit *m_length;   // Text3
    RangeTool *m_range;    // RangeTool1
    QComboBox *m_place;    // Combo1
    QLabel *m_picture;     // Image1
    QToolButton *m_remove; // Image3
    QCheckBox *m_enabled;  // Check1
};
