#include "widgets/OnlineVideoWindow.h"

#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "online/HttpGet.h"
#include "online/OnlineVideoTool.h"
#include "online/StreamLinks.h"
#include "process/TimeText.h"
#include "session/Session.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PreviewPanel.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

namespace {

constexpr QSize PictureSize(160, 120);

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // the page's own words, never markup
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

OnlineVideoWindow::OnlineVideoWindow(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session),
      m_tool(std::make_unique<OnlineVideoTool>(session.setup().writableFolder)),
      m_player(new PlayerController(session.player(), this))
{
    setObjectName(QStringLiteral("Formyutobe"));
    setWindowTitle(QStringLiteral("ZevUzadAdov-Beta Release"));
    setModal(true);

    auto *addressLabel = new QLabel(QStringLiteral("Enter YouTube video URL"), this);
    m_address = new QLineEdit(QStringLiteral("http://www.youtube.com/watch?v=XXXXX"), this);
    m_address->setObjectName(QStringLiteral("txtWatchUrl"));
    m_address->installEventFilter(this);
    addressLabel->setBuddy(m_address);
    m_get = new QPushButton(QStringLiteral("Get Direct Link"), this);
    m_get->setObjectName(QStringLiteral("cmdG"));
    m_get->setDefault(true);
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(addressLabel);
    addressRow->addWidget(m_address, 1);
    addressRow->addWidget(m_get);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picTitle"));
    m_picture->setFixedSize(PictureSize);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_title = valueLabel("lblTitle1", this);
    m_author = valueLabel("lblAuthor", this);
    m_category = valueLabel("lblCat", this);
    m_duration = valueLabel("lblDur", this);
    m_published = valueLabel("lblPublished", this);
    m_rating = valueLabel("lblRating", this);
    auto *facts = new QFormLayout;
    for (const auto &[caption, label] : {std::pair{"Title:", m_title},
                                         {"Author:", m_author},
                                         {"Category:", m_category},
                                         {"Duration:", m_duration},
                                         {"Published:", m_published},
                                         {"Rating:", m_rating}})
        facts->addRow(QString::fromLatin1(caption), label);
    auto *factsRow = new QHBoxLayout;
    factsRow->addWidget(m_picture, 0, Qt::AlignTop);
    factsRow->addLayout(facts, 1);

    m_desc = new QPlainTextEdit(this);
    m_desc->setObjectName(QStringLiteral("txtDesc"));
    m_desc->setReadOnly(true);

    auto *formats = new QHBoxLayout;
    for (const StreamFormat &format : streamFormats()) {
        auto *button = new QPushButton(QString::fromLatin1(format.caption), this);
        button->setObjectName(format.code == 22   ? QStringLiteral("getMp4")
                              : format.code == 34 ? QStringLiteral("getHDH")
                              : format.code == 35 ? QStringLiteral("getHDL")
                                                  : QStringLiteral("getFlv"));
        m_formats.insert(format.code, button);
        connect(button, &QPushButton::clicked, this,
                [this, code = format.code] { getFormat(code); });
        formats->addWidget(button);
    }
    auto *previewButton = new QPushButton(QStringLiteral("Preview"), this);
    previewButton->setObjectName(QStringLiteral("cmdPR"));
    connect(previewButton, &QPushButton::clicked, this, &OnlineVideoWindow::preview);
    formats->addWidget(previewButton);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("pbDownload"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("Label2"));
    m_percent->setTextFormat(Qt::PlainText);
    m_percent->setMinimumWidth(
        m_percent->fontMetrics().horizontalAdvance(QStringLiteral("8.88 MiB received")));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_bar, 1);
    progressRow->addWidget(m_percent);
    progressRow->addWidget(m_cancel);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblTitle"));
    // HTTP reasons, yt-dlp's errors and file names come here.
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_add = new QPushButton(QStringLiteral("Add to list"), this);
    m_add->setObjectName(QStringLiteral("cmdAddList"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdCLose"));
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_add);
    statusRow->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(addressRow);
    layout->addLayout(factsRow);
    layout->addWidget(m_desc, 1);
    layout->addLayout(formats);
    layout->addLayout(progressRow);
    layout->addLayout(statusRow);

    // The frame lies over the window's controls while it plays.
    m_frame = new QGroupBox(QStringLiteral("YouTube Preview"), this);
    m_frame->setObjectName(QStringLiteral("frmPR"));
    m_frame->setAutoFillBackground(true);
    auto *wait = new QLabel(QStringLiteral("Click and wait for video to Load..."), m_frame);
    m_hide = new QLabel(QStringLiteral("<a href=\"#\">Hide</a>"), m_frame);
    m_hide->setObjectName(QStringLiteral("Label6"));
    m_hide->setToolTip(QStringLiteral("Hide the preview and stop it"));
    m_hide->setCursor(Qt::PointingHandCursor);
    m_hide->installEventFilter(this);
    m_preview = new PreviewPanel(*m_player, QString(), QStringLiteral("SWF"),
                                 QStringLiteral("sldPreview"), Qt::Vertical, m_frame);
    auto *frameTop = new QHBoxLayout;
    frameTop->addWidget(wait, 1);
    frameTop->addWidget(m_hide);
    auto *frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addLayout(frameTop);
    frameLayout->addWidget(m_preview, 1);
    m_frame->hide();

    connect(m_address, &QLineEdit::textEdited, this, [this] {
        m_canLookUp = true;
        refreshButtons();
    });
    connect(m_get, &QPushButton::clicked, this, &OnlineVideoWindow::lookUp);
    connect(m_cancel, &QPushButton::clicked, m_tool.get(), &OnlineVideoTool::cancel);
    connect(m_add, &QPushButton::clicked, this, &OnlineVideoWindow::addToList);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    OnlineVideoTool &tool = *m_tool;
    connect(&tool, &OnlineVideoTool::statusTextChanged, m_status, &QLabel::setText);
    connect(&tool, &OnlineVideoTool::errorMessage, this,
            [this](const QString &text) { showMessage(this, text, MessageIcon::Critical); });
    connect(&tool, &OnlineVideoTool::busyChanged, this, &OnlineVideoWindow::refreshButtons);
    connect(&tool, &OnlineVideoTool::lookupFinished, this, &OnlineVideoWindow::onLookupFinished);
    connect(&tool, &OnlineVideoTool::progressShown, this, [this](const QString &text, int value) {
        m_percent->setText(text);
        m_bar->setRange(0, value < 0 ? 0 : 100); // without a length: busy
        if (value >= 0)
            m_bar->setValue(value);
    });
    connect(&tool, &OnlineVideoTool::downloadSaved, this, [this](const QString &path) {
        m_saved = path;
        refreshButtons();
    });
    connect(&tool, &OnlineVideoTool::downloadFailed, m_status, &QLabel::setText);
    connect(m_player, &PlayerController::problem, m_status, &QLabel::setText);

    refreshButtons();
    resize(780, 540);
}

OnlineVideoWindow::~OnlineVideoWindow()
{
    // The tool's last words (a cancelled transfer) find no window.
    m_tool->disconnect(this);
}

void OnlineVideoWindow::lookUp()
{
    m_canLookUp = false;
    if (m_tool->lookUp(m_address->text()))
        showPicture(QDir(m_session.setup().dataFolder).filePath(QStringLiteral("loading.jpg")));
    refreshButtons();
}

void OnlineVideoWindow::onLookupFinished()
{
    const VideoPageInfo &info = m_tool->pageInfo();
    // Without a thumbnail the loading picture stays.
    if (const QString thumbnail = m_tool->thumbnailPath(); !thumbnail.isEmpty())
        showPicture(thumbnail);
    m_title->setText(info.Title);
    m_desc->setPlainText(info.Description);
    m_category->setText(info.Category);
    m_author->setText(info.Author);
    // " Sec." alone would look like a length.
    m_duration->setText(info.Duration.isEmpty() ? QString()
                                                : info.Duration + QStringLiteral(" Sec."));
    m_published->setText(info.Published);
    m_rating->setText(info.Rating);
    refreshButtons();
}

void OnlineVideoWindow::showPicture(const QString &file)
{
    const QPixmap picture(file);
    if (picture.isNull())
        return;
    m_picture->setPixmap(picture.scaled(m_picture->contentsRect().size(), Qt::KeepAspectRatio,
                                        Qt::SmoothTransformation));
}

void OnlineVideoWindow::getFormat(int code)
{
    if (code != 22) {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Download/Play"),
                        QStringLiteral("Do you want Download or Play this video?\n"
                                       "Click yes to Download, No to Play"),
                        QMessageBox::Yes | QMessageBox::No, this);
        if (ask.exec() != QMessageBox::Yes)
            return play(code, PlayPosition);
    }
    m_saved.clear();
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_percent->clear();
    m_tool->download(code);
    refreshButtons();
}

void OnlineVideoWindow::preview()
{
    // Today's pages rarely offer HD High; their MP4 stream plays instead.
    const StreamLinks &links = m_tool->links();
    play(!links.isEnabled(35) && links.isEnabled(22) ? 22 : 35, PreviewPosition);
}

void OnlineVideoWindow::play(int code, QPoint position)
{
    const StreamLinks &links = m_tool->links();
    const std::optional<QString> link = links.usableLink(code);
    const QString address = link ? link->trimmed() : QString();
    if (!HttpGet::isWebAddress(QUrl(address))) {
        if (!link && links.isEnabled(code))
            m_status->setText(
                QStringLiteral("The link has a \"%\" escape that is not hexadecimal"));
        else if (address.isEmpty())
            m_status->setText(QStringLiteral("No stream to play"));
        else // MPlayer would open a local file or a device
            m_status->setText(HttpGet::refusedAddressText());
        return;
    }
    m_framePosition = position;
    placeFrame();
    m_frame->show();
    m_frame->raise();
    // The window grows when the player's controls need more room than it has.
    const QSize room =
        m_frame->minimumSizeHint() + QSize(2 * position.x(), position.y() + position.x());
    setMinimumSize(minimumSize().expandedTo(room));
    const VideoPageInfo &info = m_tool->pageInfo();
    m_preview->setTitle(QStringLiteral("Preview of ") + info.Title);
    bool whole = false;
    const qint64 seconds = info.Duration.toLongLong(&whole);
    // An unknown length: the clock runs until MPlayer ends.
    m_player->setTotalSeconds(INT_MAX);
    m_player->setFile(address, whole && seconds >= 0 ? formatTimeText(seconds) : QString(""));
    m_player->Play();
}

void OnlineVideoWindow::hidePreview()
{
    m_frame->hide();
    m_player->Stop();
}

void OnlineVideoWindow::addToList()
{
    if (m_saved.isEmpty())
        return;
    m_session.AddFileToList(m_saved);
    m_status->setText(QStringLiteral("Added to the list: ") + QDir::toNativeSeparators(m_saved));
    m_saved.clear();
    refreshButtons();
}

void OnlineVideoWindow::done(int result)
{
    m_tool->cancel();
    m_player->halt();
    QDialog::done(result);
}

void OnlineVideoWindow::refreshButtons()
{
    const bool busy = m_tool->isBusy();
    m_get->setEnabled(m_canLookUp && !busy);
    for (const StreamFormat &format : streamFormats())
        m_formats[format.code]->setEnabled(m_tool->links().isEnabled(format.code) && !busy);
    m_cancel->setEnabled(busy);
    m_add->setEnabled(!m_saved.isEmpty());
}

void OnlineVideoWindow::placeFrame()
{
    const QPoint at = m_framePosition;
    m_frame->setGeometry(at.x(), at.y(), width() - 2 * at.x(), height() - at.y() - at.x());
}

void OnlineVideoWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeFrame();
}

bool OnlineVideoWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_address)
            m_address->selectAll();
        if (watched == m_hide) {
            hidePreview();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
