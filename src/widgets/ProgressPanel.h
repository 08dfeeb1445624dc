#pragma once

#include <QFrame>
#include <QPoint>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The conversion panel: the current row's caption, the item and batch bars,
// the elapsed time and Cancel. It floats over the window and can be dragged
// by the mouse; the grabbed point stays under the pointer.
class ProgressPanel : public QFrame
{
    Q_OBJECT

public:
    explicit ProgressPanel(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setItemProgress(int percent);
    void setTotalProgress(int percent);
    void setElapsed(const QString &text);
    // Speed and time left of the current row; empty when unknown.
    void setRate(const QString &text);

    QProgressBar *itemBar() const { return m_itemBar; }
    QProgressBar *totalBar() const { return m_totalBar; }
    QPushButton *cancelButton() const { return m_cancel; }
    QString caption() const;
    QString elapsed() const;
    QString rate() const;

signals:
    void cancelClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showCaption();

    QGroupBox *m_frame;
    QProgressBar *m_itemBar;
    QProgressBar *m_totalBar;
    QLabel *m_elapsed;
    QLabel *m_rate;
    QPushButton *m_cancel;
    QString m_caption;
    bool m_dragging = false;
    QPoint m_grab;
};
