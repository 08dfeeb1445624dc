#pragma once

#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "app/ProfileCatalogue.h"
#include "editor/ClipEdit.h"
#include "engine/CommandBuilder.h"
#include "process/KeyChannel.h"
#include "settings/Settings.h"

#include <QHash>
#include <QObject>
#include <QVector>
#include <memory>
#include <optional>

class ConversionEngine;
class EncoderListing;
class FolderOpener;
class MediaProbeQueue;
class OutputEstimator;
class PowerControl;
class PreviewPlayer;
class QueueRecorder;
class QueueStore;
struct MediaFacts;

// The state every window and the command line share: the option sheet, the
// file list, the key channel, the profile catalogue with its encoder check,
// the probe queue and the conversion engine. The composition root builds one
// and hands each window the parts it needs; no window owns any of it.
class Session : public QObject
{
    Q_OBJECT

public:
    // Where the session finds and keeps things; tests point these elsewhere.
    struct Setup
    {
        QString dataFolder;     // ct.s3db, icons/, pictures/, help/
        QString settingsFile;   // settings.dat
        QString writableFolder; // default output folder, curconvert.log; FFmpeg runs here
        QString ffmpeg;         // resolved programs; empty when not found
        QString mplayer;
        QString ffprobe;    // the length of what MPlayer cannot time
        int probeSlots = 0; // MPlayers at once; 0: one per core
        // The list's records (queue.db), restored after a run that did not
        // end normally; empty: the list is not kept.
        QString queueFile = {};
    };

    Session(Setup setup, PowerControl &power, FolderOpener &opener, QObject *parent = nullptr);
    ~Session() override;

    // Builds the option sheet, opens the catalogue and asks FFmpeg for its
    // encoders in the background; ready() follows from the event loop.
    void start();
    bool isReady() const { return m_ready; }

    const Setup &setup() const { return m_setup; }
    Settings settings() const;
    OptionSheet &sheet() { return m_sheet; }
    ConversionList &files() { return m_list; }
    KeyChannel &keys() { return m_keys; }
    ConversionEngine &engine() { return *m_engine; }
    // Predicts the rows' output sizes and times; off until switched on.
    OutputEstimator &estimator() { return *m_estimator; }
    MediaProbeQueue &probes() { return *m_probes; }
    // The one preview MPlayer and the player state the windows share.
    PreviewPlayer &player() { return *m_player; }
    // What the clip editor edits, set before it opens.
    EditorInputs &editorInputs() { return m_editorInputs; }

    const QVector<ProfileEntry> &profileEntries() const { return m_entries; }
    // Why the catalogue gave no entries, or why FFmpeg's encoders are not
    // known; empty when all is well.
    QString catalogueProblem() const;
    // Why the entry at `position` can never be applied ("This FFmpeg has no
    // encoder libfoo"); empty when it can, and before ready().
    QString profileProblem(int position) const;

    // Applies the combo entry at `position` (from 1) to the sheet; a category
    // applies the profile after it. A profile whose encoders this FFmpeg
    // lacks is never applied: no profile is then applied, and the problem is
    // reported. Before ready() the request waits and is applied then.
    struct ProfileChoice
    {
        int position = 0; // the entry that ends up selected; 0 for none or not yet
        QString problem;  // why no profile could be applied
    };
    ProfileChoice selectProfile(int position);
    int profilePosition() const { return m_profilePosition; }
    // The text of the selected profile; empty when none is selected.
    QString profileText() const;
    // Stores the selected position as "profile", as the window does at close.
    bool storeProfilePosition() const;

    // Appends a row for `path` at once, probes the file and fills the row
    // when the probe ends (rowProbed). The one way a row comes into being.
    ConversionList::RowId AddFileToList(const QString &path);
    // Remove and clear are refused while the engine is busy.
    bool removeFile(int position);
    bool clearFiles();
    int pendingProbes() const { return int(m_probing.size()); }

    // The command the engine would run for the row at `position` now.
    ConvertCommand commandFor(int position) const;

    // What became of the list of the last run (rows restored, a records
    // file moved aside or in use); empty when there is nothing to say.
    QString recordsMessage() const { return m_recordsMessage; }
    // Restored rows that were converting when the last run ended, and what
    // their status cell says about it.
    const QHash<ConversionList::RowId, QString> &restoredNotes() const { return m_restoredNotes; }
    // The profile of the restored rows' batch.
    std::optional<int> restoredProfile() const { return m_restoredProfile; }
    // Recording the list ends. `keep` false forgets it, as when the user
    // closes the window; true keeps its unfinished rows for the next start.
    void endRecords(bool keep);

signals:
    void ready();
    // A selection was applied; `problem` says why none could be.
    void profileApplied(int position, const QString &problem);
    void rowProbed(ConversionList::RowId id);
    // Every probe has reported (or was cancelled).
    void probesFinished();
    // The list's records could not be written.
    void recordsProblem(const QString &message);

private:
    void onEncodersListed();
    void onProbed(int probeId, const MediaFacts &facts);
    void openRecords();

    Setup m_setup;
    OptionSheet m_sheet;
    ConversionList m_list;
    KeyChannel m_keys;
    ProfileCatalogue m_catalogue;
    QVector<ProfileEntry> m_entries;
    QVector<QString> m_problems; // per entry, once the encoders are known
    QString m_catalogueProblem;
    EncoderListing *m_encoders = nullptr;
    bool m_ready = false;
    int m_profilePosition = 0;
    int m_pendingProfile = -1;
    std::unique_ptr<MediaProbeQueue> m_probes;
    QHash<int, ConversionList::RowId> m_probing; // probe id -> row
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<OutputEstimator> m_estimator;
    std::unique_ptr<PreviewPlayer> m_player;
    EditorInputs m_editorInputs;
    std::unique_ptr<QueueStore> m_store;
    std::unique_ptr<QueueRecorder> m_recorder;
    QString m_recordsMessage;
    QHash<ConversionList::RowId, QString> m_restoredNotes;
    std::optional<int> m_restoredProfile;
};
