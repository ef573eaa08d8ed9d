#pragma once

#include "divedata/dive.h"

#include <QDialog>
#include <QList>

#include <memory>

class DiveDownload;
class KelvoSession;
struct PelagonDiveHeader;

namespace Ui {
class ImportBluetoothClass;
}

// The dive import dialog: lists the computer's dives that are not in the
// logbook yet, lets the user tick some and downloads them one by one with
// "dive i of n" on the progress bar. Each converted dive is handed out with
// diveImported() as soon as it arrived, so that the caller can store it at
// once; a cancel or a failure keeps the dives that arrived before it.
class ImportBluetooth : public QDialog
{
    Q_OBJECT

public:
    explicit ImportBluetooth(QWidget* parent = nullptr);
    ~ImportBluetooth() override;

    // Runs the dialog modally on `session` (through the dialog seam); the
    // dives downloaded are appended to `dives`. True when one was imported.
    bool run(KelvoSession* session, QList<Dive>& dives);

    // The list entry of a dive: "007 - 01/06/2024 09:30 -  24.5m - 45:10".
    static QString entryText(const PelagonDiveHeader& header);

    DiveDownload* download() const { return m_download; }

signals:
    void diveImported(const Dive& dive);

public slots:
    // While dives download, closing asks the download to stop after the dive
    // on the air; the dialog closes when it has.
    void reject() override;
    void accept() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillList();
    void startImport();
    void setDownloading(bool downloading);
    void stopDownload();
    void onEnded();

    std::unique_ptr<Ui::ImportBluetoothClass> ui;
    DiveDownload* m_download = nullptr;
    QList<Dive>* m_dives = nullptr;
    bool m_closeWhenStopped = false;
    bool m_stopping = false;
    bool m_linkUsable = true;
};
