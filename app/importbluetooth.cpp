#include "app/importbluetooth.h"

#include "app/divedownload.h"
#include "app/userdialogs.h"
#include "corvane/protocol/kelvosession.h"
#include "db/divedb.h"
#include "ui_importbluetooth.h"

#include <QCloseEvent>
#include <QListWidgetItem>

ImportBluetooth::ImportBluetooth(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ImportBluetoothClass>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("ImportBluetooth"));
    setModal(true);
    ui->btCancel->hide();
    connect(ui->btImport, &QPushButton::clicked, this, &ImportBluetooth::startImport);
    connect(ui->btCancel, &QPushButton::clicked, this, [this] {
        if (m_download && m_download->isDownloading()) {
            stopDownload();
        }
    });
    connect(ui->btOk, &QPushButton::clicked, this, &ImportBluetooth::accept);
}

ImportBluetooth::~ImportBluetooth() = default;

QString ImportBluetooth::entryText(const PelagonDiveHeader& header)
{
    Dive dive;
    static_cast<DiveHeader&>(dive) = header;
    return QStringLiteral("%1 - %2 - %3 - %4")
        .arg(header.diveNumber, 3, 10, QLatin1Char('0'))
        .arg(dive.dateText(), QStringLiteral("%1m").arg(header.maxDepth, 4, 'f', 1), dive.durationText());
}

bool ImportBluetooth::run(KelvoSession* session, QList<Dive>& dives)
{
    m_dives = &dives;
    m_download = new DiveDownload(session, this);
    connect(m_download, &DiveDownload::listReady, this, &ImportBluetooth::fillList);
    connect(m_download, &DiveDownload::diveStarted, this, [this](int index, int total, quint16 number) {
        ui->lbinfo->setText(tr("Get dive %1").arg(number));
        ui->progressBar->setRange(0, total);
        ui->progressBar->setValue(index - 1);
        ui->progressBar->setFormat(tr("Dive %1 of %2").arg(index).arg(total));
    });
    connect(m_download, &DiveDownload::diveImported, this, [this](const Dive& dive, int index, int) {
        if (!m_stopping)
            ui->lbinfo->setText(tr("Dive imported"));
        ui->progressBar->setValue(index);
        m_dives->append(dive);
        // Stored now: it is not offered again.
        for (int row = 0; row < ui->listDives->count(); ++row) {
            if (ui->listDives->item(row)->data(Qt::UserRole).toInt() == dive.diveNumber) {
                delete ui->listDives->takeItem(row);
                break;
            }
        }
        emit diveImported(dive);
    });
    connect(m_download, &DiveDownload::diveMissing, this, [this] { ui->lbinfo->setText(tr("Dive not found")); });
    connect(m_download, &DiveDownload::finished, this, [this] {
        if (m_stopping)
            ui->lbinfo->setText(tr("Download stopped: %1 dives imported").arg(m_download->importedCount()));
        onEnded();
    });
    connect(m_download, &DiveDownload::failed, this, [this, session](const QString& reason) {
        ui->lbinfo->setText(reason);
        m_linkUsable = session && session->isConnected();
        onEnded();
    });

    ui->lbSerialNum->setText(tr("Pelagon n°: ") + (session ? session->serialNumber() : QString()));
    ui->lbName->setText(tr("Owner: ") + (session ? session->computer().nameText() : QString()));
    const QList<quint16> stored = session ? DiveDb::instance()->storedDiveNumbers(session->serialNumber())
                                          : QList<quint16>();
    ui->lbinfo->setText(tr("Get list of dives"));
    ui->progressBar->setRange(0, 0);
    ui->btImport->setEnabled(false);
    m_download->fetchList(stored);

    UserDialogs::current().exec(*this);
    m_download->cancel();
    m_dives = nullptr;
    const bool imported = m_download->importedCount() > 0;
    return imported;
}

void ImportBluetooth::fillList()
{
    ui->lbinfo->setText(tr("Select dives to import"));
    ui->listDives->clear();
    for (const PelagonDiveHeader& header : m_download->offered()) {
        auto* item = new QListWidgetItem(entryText(header), ui->listDives);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, int(header.diveNumber));
    }
    if (m_download->offered().isEmpty())
        ui->lbinfo->setText(tr("No new dive on the computer"));
    ui->progressBar->setRange(0, 1);
    ui->progressBar->setValue(0);
    ui->btImport->setEnabled(!m_download->offered().isEmpty());
}

void ImportBluetooth::startImport()
{
    QList<quint16> numbers;
    for (int row = 0; row < ui->listDives->count(); ++row) {
        const QListWidgetItem* item = ui->listDives->item(row);
        if (item->checkState() == Qt::Checked)
            numbers.append(quint16(item->data(Qt::UserRole).toInt()));
    }
    if (numbers.isEmpty())
        return;
    ui->progressBar->setRange(0, 0);
    setDownloading(true);
    m_download->download(numbers);
}

void ImportBluetooth::stopDownload()
{
    m_stopping = true;
    m_download->cancel();
    ui->btCancel->setEnabled(false);
    ui->lbinfo->setText(tr("Stopping after the dive being downloaded..."));
}

void ImportBluetooth::setDownloading(bool downloading)
{
    if (downloading)
        m_stopping = false;
    ui->btImport->setEnabled(!downloading && m_linkUsable && ui->listDives->count() > 0);
    ui->listDives->setEnabled(!downloading);
    ui->btCancel->setVisible(downloading);
    ui->btCancel->setEnabled(downloading);
    ui->btOk->setEnabled(!downloading);
}

void ImportBluetooth::onEnded()
{
    if (ui->progressBar->maximum() == 0) {
        ui->progressBar->setRange(0, 1);
        ui->progressBar->setValue(0);
    }
    setDownloading(false);
    if (m_closeWhenStopped)
        QDialog::accept();
}

void ImportBluetooth::accept()
{
    reject();
}

void ImportBluetooth::reject()
{
    if (m_download && m_download->isDownloading()) {
        m_closeWhenStopped = true;
        stopDownload();
        return;
    }
    QDialog::accept();
}

void ImportBluetooth::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}
