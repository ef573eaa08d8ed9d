#pragma once

#include "corvane/protocol/kelvorecords.h"
#include "corvane/protocol/protocoltypes.h"
#include "divedata/dive.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

class CommandWait;
class KelvoSession;

// The import dialog's work without its widgets: asks the computer for the
// logbook headers of the dives not stored yet, then downloads the chosen
// dives' samples one after the other and converts each into a Dive as soon
// as it arrived. A dive already stored is never offered, even when the
// computer lists it anyway. A failure or a cancel ends the run after the
// dives that already arrived; they are kept.
class DiveDownload : public QObject
{
    Q_OBJECT

public:
    explicit DiveDownload(KelvoSession* session, QObject* parent = nullptr);
    ~DiveDownload() override;

    // Time-out of the logbook request (the sample streams rely on the
    // protocol's own watch of every chunk).
    void setListTimeoutMs(int ms);

    // Asks for the headers of the dives whose numbers are not in `stored`;
    // listReady() or failed() follows.
    void fetchList(const QList<quint16>& stored);
    // The headers offered, in the computer's order.
    const QList<PelagonDiveHeader>& offered() const { return m_offered; }

    // Downloads these dives in this order; for each, diveStarted() then
    // diveImported() or diveMissing(); the run ends with finished() or
    // failed().
    void download(const QList<quint16>& numbers);
    // Stops after the dive on the air; finished() follows.
    void cancel();
    bool isDownloading() const { return m_downloading; }
    int importedCount() const { return m_imported; }

    // One logbook header with its samples as a dive record, derived values
    // computed, ready to be stored.
    static Dive convert(const PelagonDiveHeader& header, const KelvoSession& session);

signals:
    void listReady();
    void diveStarted(int index, int total, quint16 number);
    void diveImported(const Dive& dive, int index, int total);
    // The computer sent no header for this number: the run stops there.
    void diveMissing(quint16 number);
    void finished();
    void failed(const QString& reason);

private:
    void onEnd(PelagonCommand::PelagonCommandIn command);
    void onFailed(const QString& reason);
    void fetchNext();
    void end();

    QPointer<KelvoSession> m_session;
    CommandWait* m_wait;
    QSet<quint16> m_stored;
    QList<PelagonDiveHeader> m_offered;
    QList<quint16> m_queue;
    int m_index = 0;
    int m_imported = 0;
    bool m_downloading = false;
    bool m_cancelled = false;
    int m_listTimeoutMs;
};
