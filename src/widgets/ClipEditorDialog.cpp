#include "widgets/ClipEditorDialog.h"

#include "app/ConversionList.h"
#include "imaging/PictureLoader.h"
#include "media/FrameGrabber.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "process/TimeText.h"
#include "session/Session.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PreviewPanel.h"
#include "widgets/RangeTool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit *timeBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setMaximumWidth(110);
    return box;
}

} // namespace

ClipEditorDialog::ClipEditorDialog(Session &session, int position, QWidget *parent)
    : QDialog(parent), m_session(session), m_position(position), m_inputs(session.editorInputs()),
      m_player(new PlayerController(session.player(), this)),
      m_frames(new FrameGrabber(session.setup().ffmpeg, this))
{
    setObjectName(QStringLiteral("frmClip"));
    setWindowTitle(QStringLiteral("Clip Time & Video WaterMark"));
    setModal(true);

    m_preview =
        new PreviewPanel(*m_player, QStringLiteral("Start Time and End Time"),
                         QStringLiteral("Text4"), QStringLiteral("Slider3"), Qt::Vertical, this);
    m_preview->setObjectName(QStringLiteral("Frame1"));

    auto *times = new QGroupBox(QStringLiteral("Select Start Time and End Time"), this);
    times->setObjectName(QStringLiteral("Frame2"));
    m_start = timeBox("Text1", times);
    m_end = timeBox("Text2", times);
    m_length = timeBox("Text3", times);
    m_range = new RangeTool(times);
    m_range->setObjectName(QStringLiteral("RangeTool1"));
    m_range->loadProperties({{QStringLiteral("Color"), 0x8000000Du}, // the highlight colour
                             {QStringLiteral("BorderStyle"), 0}});
    m_range->setMinimumSize(495, 45);
    auto *boxes = new QHBoxLayout;
    for (const auto &[caption, box] :
         {std::pair{"Start Time", m_start}, {"End Time", m_end}, {"Clip Time", m_length}}) {
        auto *label = new QLabel(QString::fromLatin1(caption), times);
        label->setBuddy(box);
        boxes->addWidget(label);
        boxes->addWidget(box);
        boxes->addSpacing(12);
    }
    boxes->addStretch();
    auto *timesLayout = new QVBoxLayout(times);
    timesLayout->addLayout(boxes);
    timesLayout->addWidget(m_range);

    auto *watermark = new QGroupBox(QStringLiteral("Video WaterMark"), this);
    watermark->setObjectName(QStringLiteral("Frame3"));
    auto *placeFrame = new QGroupBox(QStringLiteral("WaterMark Place"), watermark);
    placeFrame->setObjectName(QStringLiteral("Frame4"));
    m_place = new QComboBox(placeFrame);
    m_place->setObjectName(QStringLiteral("Combo1"));
    m_place->setEditable(true);
    m_place->addItems(placementNames());
    m_place->setCurrentText(placementNames().first());
    (new QVBoxLayout(placeFrame))->addWidget(m_place);
    auto *imageFrame = new QGroupBox(QStringLiteral("Image"), watermark);
    imageFrame->setObjectName(QStringLiteral("Frame5"));
    m_picture = new QLabel(imageFrame);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setFixedSize(160, 120);
    m_picture->setScaledContents(true);
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->setToolTip(QStringLiteral("Choose a PNG picture"));
    m_picture->installEventFilter(this);
    m_remove = new QToolButton(imageFrame);
    m_remove->setObjectName(QStringLiteral("Image3"));
    m_remove->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
    m_remove->setToolTip(QStringLiteral("Remove the picture"));
    m_remove->setAutoRaise(true);
    connect(m_remove, &QToolButton::clicked, this, &ClipEditorDialog::RemoveWatermark);
    auto *imageRow = new QHBoxLayout(imageFrame);
    imageRow->addWidget(m_picture);
    imageRow->addWidget(m_remove, 0, Qt::AlignTop);
    m_enabled = new QCheckBox(QStringLiteral("Enable WaterMark"), watermark);
    m_enabled->setObjectName(QStringLiteral("Check1"));
    auto *watermarkLayout = new QVBoxLayout(watermark);
    watermarkLayout->addWidget(placeFrame);
    watermarkLayout->addWidget(imageFrame);
    watermarkLayout->addWidget(m_enabled);
    watermarkLayout->addStretch();

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Command1"));
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Command2"));
    connect(ok, &QPushButton::clicked, this, &ClipEditorDialog::ConfirmEditor);
    connect(cancel, &QPushButton::clicked, this, &ClipEditorDialog::reject);

    auto *left = new QVBoxLayout;
    left->addWidget(m_preview, 1);
    left->addWidget(times);
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(watermark);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);

    connect(m_range, &RangeTool::Scroll, this, &ClipEditorDialog::RangeChanged);
    connect(m_range, &RangeTool::Change, this, [this] {
        RangeChanged();
        // Where the released thumb now stands, as a still picture.
        m_player->halt();
        const bool lower = m_range->releasedThumb() != RangeToolModel::Upper;
        showFrameAt(lower ? m_range->lowerValue() : m_range->upperValue());
    });
    connect(m_frames, &FrameGrabber::grabbed, this, [this](int, const QImage &frame) {
        if (!frame.isNull())
            m_preview->surface()->setStill(frame);
    });
    OpenEditor();
    resize(1000, 640);
}

ClipEditorDialog::~ClipEditorDialog() = default;

void ClipEditorDialog::OpenEditor()
{
    m_start->setText(m_inputs.EditStart);
    m_end->setText(m_inputs.EditEnd);
    m_length->setText(clipLengthText(m_inputs.EditStart, m_inputs.EditEnd));
    m_session.player().setPositionSeconds(0);
    const std::optional<qint64> length = parseTimeText(m_inputs.EditLength);
    if (length)
        m_player->setTotalSeconds(int(qMin<qint64>(*length, INT_MAX)));
    m_player->setFile(m_inputs.EditFile, m_inputs.EditLength);
    // Max first, so that the values are not held below the design-time 100;
    // the upper value before the lower one.
    if (length)
        m_range->setMax(int(qMin<qint64>(*length, INT_MAX)));
    m_range->setMin(0);
    if (const std::optional<qint64> end = parseTimeText(m_inputs.EditEnd))
        m_range->setUpperValue(int(qMin<qint64>(*end, INT_MAX)));
    if (const std::optional<qint64> start = parseTimeText(m_inputs.EditStart))
        m_range->setLowerValue(int(qMin<qint64>(*start, INT_MAX)));
    setWindowTitle(QStringLiteral("Clip Time") + QStringLiteral("  -  ") + m_inputs.EditFile);
    if (!m_inputs.WatermarkImage.isEmpty()) {
        if (!showPicture(m_inputs.WatermarkImage))
            m_picture->clear(); // the path stays: OK writes it back unchanged
        m_place->setCurrentText(m_inputs.WatermarkPlace);
        m_enabled->setChecked(true);
    } else {
        showPlaceholder();
    }
}

void ClipEditorDialog::showPlaceholder()
{
    m_picture->setPixmap(
        QPixmap(QDir(m_session.setup().dataFolder).filePath(QStringLiteral("plus.jpg"))));
}

bool ClipEditorDialog::showPicture(const QString &file)
{
    int width = -1, height = -1;
    const QImage picture =
        LoadPictureGDIPlus(file, width, height, palette().window().color(), false);
    if (picture.isNull())
        return false;
    m_picture->setPixmap(QPixmap::fromImage(picture));
    return true;
}

void ClipEditorDialog::showFrameAt(int second)
{
    m_frames->grab(m_inputs.EditFile, second);
}

void ClipEditorDialog::RangeChanged()
{
    m_start->setText(formatTimeText(m_range->lowerValue()));
    m_end->setText(formatTimeText(m_range->upperValue()));
    m_length->setText(clipLengthText(m_start->text(), m_end->text()));
}

void ClipEditorDialog::ChooseWatermark()
{
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Image File"), QString(),
                                     QStringLiteral("Png Image file (*.png)"));
    if (!file.isEmpty())
        useWatermarkPicture(file);
}

void ClipEditorDialog::useWatermarkPicture(const QString &file)
{
    // A picture that cannot be loaded changes nothing.
    if (showPicture(file))
        m_inputs.WatermarkImage = QFileInfo(file).absoluteFilePath();
}

void ClipEditorDialog::RemoveWatermark()
{
    showPlaceholder();
    m_inputs.WatermarkImage.clear();
}

void ClipEditorDialog::ConfirmEditor()
{
    const EditorOutcome outcome =
        confirmEditor(m_start->text(), m_end->text(), m_enabled->isChecked(),
                      m_inputs.WatermarkImage, m_place->currentText());
    if (!outcome.refusal.isEmpty()) {
        showMessage(this, outcome.refusal, MessageIcon::Critical);
        return;
    }
    ConversionList &list = m_session.files();
    using Field = ConversionItem::Field;
    (void)list.setChosen(m_position, Field::Start, outcome.Start);
    (void)list.setChosen(m_position, Field::End, outcome.End);
    (void)list.setChosen(m_position, Field::Watermark, outcome.Watermark);
    accept();
}

void ClipEditorDialog::done(int result)
{
    m_player->halt();
    m_inputs.EditFile.clear();
    QDialog::done(result);
}

bool ClipEditorDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease) {
        ChooseWatermark();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
