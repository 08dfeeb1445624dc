#include "widgets/MainWindow.h"

#include "app/FileName.h"
#include "app/MediaFiles.h"
#include "desktop/DesktopNotifier.h"
#include "engine/ConversionEngine.h"
#include "engine/ProgressMonitor.h"
#include "media/MediaProbeQueue.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "process/KeyChannel.h"
#include "process/TimeText.h"
#include "session/Session.h"
#include "settings/NumberValue.h"
#include "settings/Settings.h"
#include "widgets/AboutDialog.h"
#include "widgets/CaptureWindow.h"
#include "widgets/ClipEditorDialog.h"
#include "widgets/FileListModel.h"
#include "widgets/Help.h"
#include "widgets/MessageBoxes.h"
#include "widgets/OnlineVideoWindow.h"
#include "widgets/OptionGridModel.h"
#include "engine/OutputEstimator.h"
#include "widgets/OptionsDialog.h"
#include "widgets/PreviewPanel.h"
#include "widgets/ProgressPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>
#include <optional>

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

QString speedText(double speed, qint64 remaining)
{
    QString text = QStringLiteral("Speed %1x").arg(speed, 0, 'f', 1);
    if (remaining >= 0)
        text += QStringLiteral("  ·  %1 left").arg(formatTimeText(remaining));
    return text;
}

} // namespace

enum class MainWindow::Command
{
    AddFiles,
    RemoveFile,
    ClearAll,
    Capture,
    Import,
    Exit,
    Options,
    Convert,
    Play,
    PreviewOutput,
    FitToSize,
    Clip,
    Watermark,
    Help,
    About,
    Count
};

QAction *MainWindow::command(Command id) const
{
    return m_commands.at(int(id));
}

MainWindow::MainWindow(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_engine(session.engine())
{
    setWindowTitle(QStringLiteral("Clipwright " CLIPWRIGHT_VERSION));
    m_session.start();
    m_player = new PlayerController(m_session.player(), this);
    m_player->setList(&m_session.files());
    connect(m_player, &PlayerController::problem, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    m_fileModel = new FileListModel(m_session.files(), this);
    m_optionModel = new OptionGridModel(m_session.sheet(), this);
    createCommands();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildToolBar());
    layout->addWidget(buildCentre(), 1);
    m_outputFolder = new QLabel(central);
    m_outputFolder->setObjectName(QStringLiteral("outputFolderLabel"));
    m_outputFolder->setTextFormat(Qt::PlainText);
    m_outputFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_outputFolder);
    setCentralWidget(central);
    m_panel = new ProgressPanel(central);
    m_panel->hide();
    buildMenus();
    connectEngine();
    OutputEstimator &estimator = m_session.estimator();
    // Changes come in bursts (a profile sets many options, probes fill rows).
    m_estimateTimer.setSingleShot(true);
    m_estimateTimer.setInterval(50);
    connect(&m_estimateTimer, &QTimer::timeout, this, &MainWindow::showEstimate);
    const auto later = [this] { m_estimateTimer.start(); };
    connect(&estimator, &OutputEstimator::changed, this, later);
    connect(&m_session.files(), &ConversionList::selectionChanged, this, later);
    connect(&estimator, &OutputEstimator::fitFinished, this, [this](bool ok, const QString &text) {
        statusBar()->showMessage(text);
        if (!ok)
            showMessage(this, text, MessageIcon::Information);
    });
    estimator.setActive(true);
    showEstimate();

    m_optionView->expandAll();
    loadProfiles();
    connect(&m_session, &Session::profileApplied, this, &MainWindow::onProfileApplied);
    // The stored profile is applied once FFmpeg has told its encoders, so
    // that a profile it cannot convert is never applied.
    connect(&m_session, &Session::ready, this, &MainWindow::markUnusableProfiles);
    if (m_session.isReady())
        markUnusableProfiles();
    const Settings settings = m_session.settings();
    // Rows restored from a run that ended abnormally come with their batch's
    // profile.
    selectProfile(m_session.restoredProfile().value_or(settings.profile().value_or(0)));
    m_outputFolder->setText(QStringLiteral("Video Output Folder: ") + settings.outputFolder());
    for (auto note = m_session.restoredNotes().cbegin(); note != m_session.restoredNotes().cend();
         ++note)
        m_fileModel->setOutcome(note.key(), ConversionJob::Status::Waiting, note.value());
    if (!m_session.recordsMessage().isEmpty())
        statusBar()->showMessage(m_session.recordsMessage());
    connect(&m_session, &Session::recordsProblem, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    resize(1180, 720);
}

MainWindow::~MainWindow()
{
    // Views and models go before the window's other members: QWidget would
    // delete them only after this class's members are gone.
    m_fileView = nullptr; // the event filter must not touch it any more
    m_toolBar = nullptr;
    m_toolButtons.clear();
    delete takeCentralWidget();
    delete m_fileModel;
    delete m_optionModel;
}

QWidget *MainWindow::buildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("toolBarPanel"));
    m_toolBar->setMouseTracking(true);
    m_toolBar->installEventFilter(this);
    auto *row = new QHBoxLayout(m_toolBar);
    row->setContentsMargins(4, 4, 4, 4);
    const struct
    {
        const char *caption;
        const char *picture;
        Command command;
    } buttons[] = {
        {"Add Files", "add-files", Command::AddFiles},
        {"Remove File", "remove-file", Command::RemoveFile},
        {"Clear All", "clear-all", Command::ClearAll},
        {"Options", "options", Command::Options},
        {"Clip", "clip", Command::Clip},
        {"WaterMark", "watermark", Command::Watermark},
        {"CONVERT NOW", "convert-now", Command::Convert},
    };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(m_toolBar);
        button->setText(QString::fromLatin1(b.caption));
        button->setObjectName(QString::fromLatin1(b.picture));
        button->setIcon(QIcon(QDir(m_session.setup().dataFolder)
                                  .filePath(QStringLiteral("pictures/%1.png").arg(b.picture))));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->installEventFilter(this);
        // The button triggers its command and is on or off with it.
        QAction *action = command(b.command);
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        button->setEnabled(action->isEnabled());
        if (qstrcmp(b.picture, "convert-now") == 0) {
            row->addStretch();
            button->setIconSize(QSize(64, 32)); // a wide picture: the main action
        }
        row->addWidget(button);
        m_toolButtons << button;
    }
    return m_toolBar;
}

QWidget *MainWindow::buildCentre()
{
    auto *centre = new QWidget(this);
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *profileRow = new QHBoxLayout;
    auto *to = new QLabel(QStringLiteral("To:"), centre);
    m_profiles = new QComboBox(centre);
    m_profiles->setObjectName(QStringLiteral("profileCombo"));
    m_profileModel = new QStandardItemModel(this);
    m_profiles->setModel(m_profileModel);
    m_profiles->setIconSize(QSize(20, 20));
    m_profiles->setMaxVisibleItems(24);
    // Shown, greyed by the skin, while no profile is chosen, as on a first start.
    m_profiles->setPlaceholderText(QStringLiteral("Choose an output profile"));
    m_profiles->setProperty("chosen", false);
    connect(m_profiles, &QComboBox::currentIndexChanged, this, &MainWindow::showProfileChosen);
    m_profiles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    to->setBuddy(m_profiles);
    profileRow->addWidget(to);
    profileRow->addWidget(m_profiles, 1);
    layout->addLayout(profileRow);
    connect(m_profiles, &QComboBox::activated, this,
            [this](int index) { selectProfile(index + 1); });

    auto *splitter = new QSplitter(Qt::Horizontal, centre);
    m_optionView = new QTreeView(splitter);
    m_optionView->setObjectName(QStringLiteral("optionGrid"));
    m_optionView->setModel(m_optionModel);
    m_optionView->setItemDelegate(new OptionGridDelegate(m_optionView));
    m_optionView->setAlternatingRowColors(true);
    m_optionView->setRootIsDecorated(true);
    m_optionView->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_optionView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_optionView->header()->setStretchLastSection(true);
    connect(m_optionModel, &QAbstractItemModel::modelReset, m_optionView, &QTreeView::expandAll);

    auto *videoList = new QGroupBox(QStringLiteral("Video List"), splitter);
    auto *listLayout = new QVBoxLayout(videoList);
    m_fileView = new QTableView(videoList);
    m_fileView->setObjectName(QStringLiteral("lvwAudioTracks"));
    m_fileView->setModel(m_fileModel);
    m_fileView->setItemDelegateForColumn(int(ConversionItem::Field::Status),
                                         new StatusCellDelegate(m_fileView));
    m_fileView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fileView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileView->setAlternatingRowColors(true);
    m_fileView->setWordWrap(false);
    m_fileView->setTextElideMode(Qt::ElideMiddle);
    m_fileView->verticalHeader()->hide();
    m_fileView->horizontalHeader()->setStretchLastSection(true);
    m_fileView->setColumnWidth(0, 300);
    for (int column = 1; column < ConversionItem::FieldCount - 1; ++column)
        m_fileView->setColumnWidth(column, 84);
    m_fileView->setAcceptDrops(true);
    m_fileView->viewport()->setAcceptDrops(true);
    m_fileView->viewport()->installEventFilter(this);
    listLayout->addWidget(m_fileView);
    connect(m_fileView, &QTableView::clicked, this, &MainWindow::onRowClicked);
    connect(m_fileView, &QTableView::doubleClicked, this, &MainWindow::openEditor);
    connect(m_fileView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { m_session.files().select(current.row() + 1); });
    connect(&m_session.files(), &ConversionList::selectionChanged, this, [this](int position) {
        if (position == 0)
            m_fileView->clearSelection();
    });

    // The list above, the preview below it: both keep the list's width.
    auto *right = new QSplitter(Qt::Vertical, splitter);
    right->addWidget(videoList);
    m_preview = new PreviewPanel(*m_player, QStringLiteral("Privew"), QStringLiteral("Text2"),
                                 QStringLiteral("Slider1"), Qt::Horizontal, right);
    right->addWidget(m_preview);
    right->setStretchFactor(0, 1);
    right->setStretchFactor(1, 1);
    right->setCollapsible(1, false);
    right->setSizes({400, 300});

    // The option sheet, and under it what it will give.
    auto *sheetSide = new QWidget(splitter);
    auto *sheetLayout = new QVBoxLayout(sheetSide);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->addWidget(m_optionView, 1);
    m_estimate = new QLabel(sheetSide);
    m_estimate->setObjectName(QStringLiteral("estimate"));
    m_estimate->setTextFormat(Qt::PlainText);
    m_estimate->setWordWrap(true);
    m_estimate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sheetLayout->addWidget(m_estimate);
    auto *previewButton = new QPushButton(QStringLiteral("Preview the output"), sheetSide);
    previewButton->setObjectName(QStringLiteral("previewOutputButton"));
    connect(previewButton, &QPushButton::clicked, command(Command::PreviewOutput),
            &QAction::trigger);
    sheetLayout->addWidget(previewButton, 0, Qt::AlignLeft);
    splitter->addWidget(sheetSide);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({340, 840});
    layout->addWidget(splitter, 1);
    return centre;
}

void MainWindow::createCommands()
{
    // Every command once, with when it is on. The menu bar shows these
    // actions; the context menu and the toolbar trigger them under captions
    // of their own and are on or off with them.
    const struct
    {
        Command id;
        const char *name;
        const char *caption;
        QKeySequence shortcut;
        void (MainWindow::*slot)();
        OnWhen on;
    } commands[] = {
        {Command::AddFiles, "AddFiles", "Add Files", Qt::CTRL | Qt::Key_A, &MainWindow::AddFiles,
         OnWhen::Always},
        {Command::RemoveFile, "RemoveSelectedFile", "Remove Selected File", Qt::CTRL | Qt::Key_R,
         &MainWindow::RemoveSelectedFile, OnWhen::Idle},
        {Command::ClearAll, "ClearAllFiles", "Clear All Files", Qt::CTRL | Qt::Key_C,
         &MainWindow::ClearAllFiles, OnWhen::Idle},
        // Recording beside a conversion drops frames.
        {Command::Capture, "Capture", "Capture Video From DV", QKeySequence(),
         &MainWindow::showCapture, OnWhen::Idle},
        // Looking up and downloading may go on beside a conversion.
        {Command::Import, "importvideo", "Import Video From Youtube", QKeySequence(),
         &MainWindow::importVideo, OnWhen::Always},
        {Command::Exit, "exit", "Exit", Qt::CTRL | Qt::Key_X, &MainWindow::exitProgram,
         OnWhen::Always},
        {Command::Options, "options", "Options", Qt::CTRL | Qt::Key_S, &MainWindow::showOptions,
         OnWhen::Always},
        {Command::Convert, "BurnNow", "Convert Now!", Qt::CTRL | Qt::Key_N, &MainWindow::BurnNow,
         OnWhen::Idle},
        {Command::Play, "play", "Play Selected File", Qt::CTRL | Qt::Key_P,
         &MainWindow::playSelectedFile, OnWhen::Always},
        {Command::PreviewOutput, "previewOutput", "Preview the output", QKeySequence(),
         &MainWindow::previewOutput, OnWhen::Always},
        // It sets an option of the batch.
        {Command::FitToSize, "fitToSize", "Fit to size...", QKeySequence(), &MainWindow::fitToSize,
         OnWhen::Idle},
        // A row's clip and watermark are fixed once its batch has started.
        {Command::Clip, "videoclip", "Video Clip", Qt::CTRL | Qt::Key_V, &MainWindow::openEditor,
         OnWhen::Idle},
        {Command::Watermark, "videowatermarkt", "Video Watermarkt", Qt::CTRL | Qt::Key_W,
         &MainWindow::openEditor, OnWhen::Idle},
        {Command::Help, "helphelp", "Help", Qt::Key_F1, &MainWindow::showHelp, OnWhen::Always},
        {Command::About, "About", "About", QKeySequence(), &MainWindow::showAbout, OnWhen::Always},
    };
    static_assert(std::size(commands) == size_t(Command::Count));
    m_commands.resize(int(Command::Count));
    for (const auto &c : commands) {
        auto *action = new QAction(QString::fromLatin1(c.caption), this);
        action->setObjectName(QString::fromLatin1(c.name));
        action->setShortcut(c.shortcut);
        connect(action, &QAction::triggered, this, c.slot);
        if (c.on == OnWhen::Idle)
            m_offWhileBusy << action;
        m_commands[int(c.id)] = action;
    }
}

void MainWindow::buildMenus()
{
    // A null entry is a separator.
    const auto fill = [this](QMenu *menu, std::initializer_list<std::optional<Command>> entries) {
        for (const std::optional<Command> &entry : entries) {
            if (entry)
                menu->addAction(command(*entry));
            else
                menu->addSeparator();
        }
    };
    constexpr std::nullopt_t separator = std::nullopt;
    fill(menuBar()->addMenu(QStringLiteral("File(&F)")),
         {Command::AddFiles, Command::RemoveFile, Command::ClearAll, separator, Command::Capture,
          separator, Command::Import, separator, Command::Exit});
    fill(menuBar()->addMenu(QStringLiteral("Edit(&E)")),
         {Command::Options, separator, Command::FitToSize});
    fill(menuBar()->addMenu(QStringLiteral("Action(&A)")),
         {Command::Convert, separator, Command::Play, Command::PreviewOutput, separator,
          Command::Clip, Command::Watermark});
    fill(menuBar()->addMenu(QStringLiteral("Help(&H)")),
         {Command::Help, separator, Command::About});

    // The list's context menu: entries of its own that trigger the commands
    // and are on or off with them.
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popupmenu1"));
    const auto entry = [this](const char *caption, const char *name, Command id) {
        QAction *action = command(id);
        QAction *item = m_popup->addAction(QString::fromLatin1(caption));
        item->setObjectName(QString::fromLatin1(name));
        item->setEnabled(action->isEnabled());
        connect(item, &QAction::triggered, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, item, &QAction::setEnabled);
    };
    entry("Convert Now!", "convertnow1", Command::Convert);
    m_popup->addSeparator();
    entry("Play Selected File", "PlaySelectedFile", Command::Play);
    m_popup->addSeparator();
    entry("Video Clip & WaterMark", "cuttime", Command::Clip);
    m_popup->addSeparator();
    entry("Add Files", "AddFiless", Command::AddFiles);
    entry("Remove Selected Item", "RemoveSelectedItem", Command::RemoveFile);
    entry("Clear All Items", "ClearAllItems", Command::ClearAll);
    m_popup->addSeparator();
    entry("Capture Video From DV", "Capture1", Command::Capture);
    m_popup->addSeparator();
    entry("Import Video From Youtube", "Import1", Command::Import);
}

void MainWindow::loadProfiles()
{
    m_profileModel->clear();
    const QDir folder(m_session.setup().dataFolder);
    for (const ProfileEntry &entry : m_session.profileEntries()) {
        auto *item = new QStandardItem(entry.text);
        item->setData(entry.key, KeyRole);
        if (!entry.isProfile()) {
            item->setIcon(QIcon(
                folder.filePath(QStringLiteral("icons/category-%1.png").arg(entry.imageIndex))));
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        m_profileModel->appendRow(item);
    }
    // Nothing can be chosen before the session knows FFmpeg's encoders.
    m_profiles->setEnabled(m_session.isReady());
}

void MainWindow::markUnusableProfiles()
{
    for (int row = 0; row < m_profileModel->rowCount(); ++row) {
        const QString problem = m_session.profileProblem(row + 1);
        if (problem.isEmpty())
            continue;
        QStandardItem *item = m_profileModel->item(row);
        item->setEnabled(false);
        item->setToolTip(plainToolTip(problem));
    }
    m_profiles->setEnabled(true);
    if (!m_session.catalogueProblem().isEmpty())
        statusBar()->showMessage(m_session.catalogueProblem());
}

int MainWindow::profilePosition() const
{
    return m_profiles->currentIndex() + 1;
}

void MainWindow::selectProfile(int position)
{
    m_session.selectProfile(position);
}

void MainWindow::onProfileApplied(int position, const QString &problem)
{
    if (!problem.isEmpty())
        statusBar()->showMessage(problem);
    const QSignalBlocker blocker(m_profiles);
    m_profiles->setCurrentIndex(position - 1);
    showProfileChosen();
}

void MainWindow::connectEngine()
{
    ConversionEngine *engine = &m_engine;
    connect(engine, &ConversionEngine::panelVisibleChanged, this, [this](bool visible) {
        if (visible) {
            const QSize size = m_panel->sizeHint().expandedTo(QSize(640, 0));
            m_panel->resize(size);
            const QRect area = centralWidget()->rect();
            m_panel->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
            m_panel->setRate(QString());
            m_panel->raise();
        }
        m_panel->setVisible(visible);
    });
    connect(engine, &ConversionEngine::captionChanged, this, [this](const QString &caption) {
        m_panel->setCaption(caption);
        m_lastSpeed = 0; // a new row has no speed yet
        m_panel->setRate(QString());
    });
    connect(engine, &ConversionEngine::itemProgressChanged, m_panel,
            &ProgressPanel::setItemProgress);
    connect(engine, &ConversionEngine::totalProgressChanged, m_panel,
            &ProgressPanel::setTotalProgress);
    connect(engine, &ConversionEngine::busyPointerChanged, this, [this](bool busy) {
        if (busy)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
    connect(engine, &ConversionEngine::message, this,
            [this](const QString &text, MessageIcon icon) { showMessage(this, text, icon); });
    connect(engine, &ConversionEngine::rowStarted, m_fileModel, &FileListModel::forgetOutcome);
    connect(engine, &ConversionEngine::rowFinished, this,
            [this](ConversionList::RowId id, ConversionJob::Status status, const QString &,
                   const QString &, const QString &reason) {
                m_fileModel->setOutcome(id, status, reason);
                m_converted += status == ConversionJob::Status::Ok;
                m_failed += status == ConversionJob::Status::Failed;
            });
    // Before the batch's closing message, which waits for the user.
    connect(engine, &ConversionEngine::batchEnding, this, [this](BatchOutcome outcome) {
        if (m_notifier && !m_closing && !isActiveWindow())
            m_notifier->notify(batchEndText(outcome, m_converted, m_failed));
    });
    connect(engine, &ConversionEngine::busyChanged, this, &MainWindow::onBusyChanged);
    connect(engine, &ConversionEngine::rowProgressChanged, m_fileModel,
            &FileListModel::setProgress);
    connect(engine, &ConversionEngine::elapsedTextChanged, m_panel, &ProgressPanel::setElapsed);
    connect(engine, &ConversionEngine::remainingChanged, this, [this](qint64 seconds) {
        m_panel->setRate(m_lastSpeed > 0 ? speedText(m_lastSpeed, seconds) : QString());
    });
    connect(engine, &ConversionEngine::speedChanged, this,
            [this](double speed) { m_lastSpeed = speed; });
    connect(m_panel, &ProgressPanel::cancelClicked, engine, &ConversionEngine::cancel);
}

void MainWindow::AddFiles()
{
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Open Video File"), QString(),
                                      mediaOpenFilters().join(QStringLiteral(";;")));
    for (const QString &file : files)
        AddFileToList(QFileInfo(file).absoluteFilePath());
}

void MainWindow::AddFileToList(const QString &path)
{
    m_session.AddFileToList(path);
}

void MainWindow::addDroppedFiles(const QList<QUrl> &urls)
{
    QStringList paths;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        QString problem;
        const std::optional<QString> path = fileNameFromBytes(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()), &problem);
        if (path)
            paths << *path;
        else
            showMessage(this, problem, MessageIcon::Critical);
    }
    const DroppedMedia media = mediaFilesOf(paths);
    for (const QString &file : media.files)
        AddFileToList(file);
    if (!media.refused.isEmpty()) {
        QStringList names;
        for (const QString &path : media.refused)
            names << QFileInfo(path).fileName();
        constexpr int MaxNamed = 10;
        QString list = names.mid(0, MaxNamed).join(QStringLiteral(", "));
        if (names.size() > MaxNamed)
            list += QStringLiteral(" and %1 more").arg(names.size() - MaxNamed);
        showMessage(this, QStringLiteral("Only Video files are allowed! Not added: ") + list,
                    MessageIcon::Information);
    }
    unsetCursor();
}

void MainWindow::addFileBytes(const QByteArray &path)
{
    QString problem;
    if (const std::optional<QString> name = fileNameFromBytes(path, &problem))
        AddFileToList(QFileInfo(*name).absoluteFilePath());
    else
        showMessage(this, problem, MessageIcon::Critical);
}

void MainWindow::RemoveSelectedFile()
{
    m_session.removeFile(m_session.files().selected());
}

void MainWindow::ClearAllFiles()
{
    m_session.clearFiles();
}

void MainWindow::onRowClicked(const QModelIndex &index)
{
    const ConversionItem *row = m_session.files().row(index.row() + 1);
    if (!row)
        return;
    m_player->setPreviewFile(row->FileName);
    showRowInSheet(*row);
}

void MainWindow::showRowInSheet(const ConversionItem &row)
{
    OptionSheet &sheet = m_session.sheet();
    (void)sheet.setValue(OptionSheet::General, QStringLiteral("Item Name"), row.FileName);
    (void)sheet.setValue(OptionSheet::OutputDuration, QStringLiteral("All Clip Duration"),
                         QString());
    (void)sheet.setValue(OptionSheet::OutputDuration, QStringLiteral("Start Time"), row.Start);
    (void)sheet.setValue(OptionSheet::OutputDuration, QStringLiteral("Stop Time"), row.End);
}

void MainWindow::BurnNow()
{
    if (m_engine.isBusy() || m_session.files().count() == 0)
        return;
    if (m_session.profileText().isEmpty()) {
        showMessage(this, QStringLiteral("Choose an output profile first."),
                    MessageIcon::Information);
        return;
    }
    m_engine.BurnNow();
}

void MainWindow::openEditor()
{
    // A row's command is fixed once its conversion has started.
    if (m_engine.isBusy())
        return;
    const int position = m_session.files().selected();
    const ConversionItem *row = m_session.files().row(position);
    if (!row)
        return;
    m_player->halt();
    m_session.editorInputs() = EditorInputs::fromRow(*row);
    m_session.player().setPositionSeconds(0);
    ClipEditorDialog editor(m_session, position, this);
    if (editor.exec() == QDialog::Accepted)
        showRowInSheet(*m_session.files().row(position));
}

void MainWindow::playSelectedFile()
{
    m_player->Play();
}

void MainWindow::showEstimate()
{
    const OutputEstimator &estimator = m_session.estimator();
    const ConversionList &list = m_session.files();
    QStringList lines;
    if (list.selected() > 0 && !m_session.profileText().isEmpty())
        lines << estimator.rowText(list.idAt(list.selected()));
    const QString total = estimator.totalText(m_engine.slotsForList());
    if (!total.isEmpty() && list.count() > 1)
        lines << total;
    m_estimate->setText(lines.join(QLatin1Char('\n')));
    m_estimate->setVisible(!lines.isEmpty());
}

void MainWindow::previewOutput()
{
    const ConversionList &list = m_session.files();
    const ConversionList::RowId id = list.idAt(list.selected());
    const QString file = m_session.estimator().previewFile(id);
    const std::optional<RowPrediction> prediction = m_session.estimator().estimate(id).prediction;
    if (file.isEmpty() || !prediction) {
        statusBar()->showMessage(id ? QStringLiteral("No sample of this file's output yet.")
                                    : QStringLiteral("Select a file first."));
        return;
    }
    // The sample's middle third is from the middle of the clip.
    const int length = int(std::ceil(prediction->sampleSeconds));
    m_player->playFile(file, length,
                       prediction->sampleSeconds < prediction->clipSeconds ? length / 3 : 0);
}

void MainWindow::fitToSize()
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Fit to size"),
        QStringLiteral("Size of the whole batch (such as 700M, 4.7G or 650MiB):"),
        QLineEdit::Normal, m_fitText, &ok);
    if (!ok)
        return;
    const std::optional<qint64> size = parseSizeText(text);
    if (!size)
        return showMessage(this, QStringLiteral("\"%1\" is not a size.").arg(text),
                           MessageIcon::Critical);
    m_fitText = text.trimmed();
    const QString problem = m_session.estimator().fitToSize(*size);
    if (!problem.isEmpty())
        return showMessage(this, problem, MessageIcon::Information);
    statusBar()->showMessage(QStringLiteral("Fitting to %1\u2026").arg(sizeText(*size)));
}

void MainWindow::showOptions()
{
    OptionsDialog dialog(m_session.settings(), this);
    dialog.exec();
    m_session.estimator().refresh(); // the thread count shapes the commands
}

void MainWindow::showCapture()
{
    CaptureWindow::execFor(m_session, this);
}

void MainWindow::importVideo()
{
    // The window plays its streams on the session's one player.
    m_player->halt();
    OnlineVideoWindow window(m_session, this);
    window.exec();
}

void MainWindow::showAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::showHelp()
{
    if (!openHelp())
        statusBar()->showMessage(QStringLiteral("The help page is missing from ") +
                                 m_session.setup().dataFolder);
}

void MainWindow::exitProgram()
{
    m_player->halt();
    close();
}

void MainWindow::closeKeepingList()
{
    m_keepList = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    qsizetype converting = 0;
    if (!m_closing) {
        m_closing = true;
        (void)m_session.storeProfilePosition();
        m_session.probes().cancelAll();
        converting = m_engine.runningRows().size();
        m_engine.shutdown();
        emit closing();
    }
    if (!m_engine.isBusy()) {
        // A close by the user ends the list; one asked by a signal (a
        // logout) keeps its unfinished rows for the next start. Only now, so
        // that the row FFmpeg was finishing is recorded as it ended.
        m_session.endRecords(m_keepList);
        event->accept();
        return;
    }
    // FFmpeg closes the current file first; the window closes when the
    // engine says it is done (onBusyChanged).
    event->ignore();
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    if (converting > 1)
        statusBar()->showMessage(QStringLiteral("Finishing the current files…"));
    else if (converting == 1)
        statusBar()->showMessage(QStringLiteral("Finishing the current file…"));
}

void MainWindow::onBusyChanged(bool busy)
{
    for (QAction *action : std::as_const(m_offWhileBusy))
        action->setEnabled(!busy);
    if (busy) { // what the start said of restored rows is past
        statusBar()->clearMessage();
        m_converted = m_failed = 0;
    }
    if (!busy && m_closing)
        close();
}

void MainWindow::showProfileChosen()
{
    const bool chosen = m_profiles->currentIndex() >= 0;
    if (m_profiles->property("chosen").toBool() == chosen)
        return;
    m_profiles->setProperty("chosen", chosen);
    m_profiles->style()->unpolish(m_profiles);
    m_profiles->style()->polish(m_profiles);
}

void MainWindow::bringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::setNotifier(DesktopNotifier *notifier)
{
    if (m_notifier)
        disconnect(m_notifier, nullptr, this, nullptr);
    m_notifier = notifier;
    if (notifier)
        connect(notifier, &DesktopNotifier::showRequested, this, &MainWindow::bringToFront);
}

void MainWindow::setHoverMark(QToolButton *button, bool on)
{
    if (button->property("hoverMark").toBool() == on)
        return;
    button->setProperty("hoverMark", on);
    // Style sheets read properties only when the style is applied again.
    button->style()->unpolish(button);
    button->style()->polish(button);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *button = qobject_cast<QToolButton *>(watched);
        button && event->type() == QEvent::Enter) {
        setHoverMark(button, true);
    } else if (watched == m_toolBar && event->type() == QEvent::MouseMove) {
        for (QToolButton *b : std::as_const(m_toolButtons))
            setHoverMark(b, false);
    } else if (m_fileView && watched == m_fileView->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            drop->acceptProposedAction();
            addDroppedFiles(drop->mimeData()->urls());
            return true;
        }
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
                m_popup->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
