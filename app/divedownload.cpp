#include "app/divedownload.h"

#include "app/commandwait.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/protocol/pelagondiveconverter.h"

DiveDownload::DiveDownload(KelvoSession* session, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_wait(new CommandWait(session, this))
    , m_listTimeoutMs(CommandWait::kDefaultTimeoutMs)
{
    connect(m_wait, &CommandWait::finished, this, &DiveDownload::onEnd);
    connect(m_wait, &CommandWait::failed, this, &DiveDownload::onFailed);
}

DiveDownload::~DiveDownload() = default;

void DiveDownload::setListTimeoutMs(int ms)
{
    m_listTimeoutMs = ms;
}

void DiveDownload::fetchList(const QList<quint16>& stored)
{
    m_stored = QSet<quint16>(stored.cbegin(), stored.cend());
    m_offered.clear();
    m_wait->setTimeoutMs(m_listTimeoutMs);
    m_wait->start(PelagonCommand::Logbook, [this, stored] { return m_session->startGetLogbook(stored); });
}

void DiveDownload::download(const QList<quint16>& numbers)
{
    m_queue = numbers;
    m_index = 0;
    m_cancelled = false;
    m_downloading = true;
    fetchNext();
}

void DiveDownload::cancel()
{
    if (m_downloading)
        m_cancelled = true;
}

Dive DiveDownload::convert(const PelagonDiveHeader& header, const KelvoSession& session)
{
    // The converter hands the dive over with its derived values refreshed.
    return PelagonDiveConverter::toDive(header, session.diveSamples(), session.data());
}

void DiveDownload::fetchNext()
{
    if (m_cancelled || m_index >= m_queue.size()) {
        end();
        return;
    }
    const quint16 number = m_queue.at(m_index);
    emit diveStarted(m_index + 1, int(m_queue.size()), number);
    // A long dive on a slow link streams for a minute or more; the protocol
    // watches every chunk of it.
    m_wait->setTimeoutMs(0);
    m_wait->start(PelagonCommand::Fullsamples, [this, number] { return m_session->startGetDiveSamples(number); });
}

void DiveDownload::onEnd(PelagonCommand::PelagonCommandIn command)
{
    if (command == PelagonCommand::Logbook) {
        for (const PelagonDiveHeader& header : m_session->diveHeaders()) {
            if (!m_stored.contains(header.diveNumber))
                m_offered.append(header);
        }
        emit listReady();
        return;
    }
    const quint16 number = m_queue.at(m_index);
    const std::optional<PelagonDiveHeader> header = m_session->diveHeader(number);
    if (!header) {
        emit diveMissing(number);
        end();
        return;
    }
    ++m_index;
    ++m_imported;
    emit diveImported(convert(*header, *m_session), m_index, int(m_queue.size()));
    fetchNext();
}

void DiveDownload::onFailed(const QString& reason)
{
    m_downloading = false;
    emit failed(reason);
}

void DiveDownload::end()
{
    m_downloading = false;
    emit finished();
}
