// Showing dives from the logbook and from files, storing the shown dive, and
// saving a selected part of it.

#include "app/mainwindow.h"

#include "app/diveexport.h"
#include "app/divefileimport.h"
#include "app/userdialogs.h"
#include "db/divedb.h"
#include "divedata/divelinesio.h"
#include "ui_mainwindow.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

void MainWindow::openListedDive(int diveId)
{
    askToSaveUserInformation();
    Dive dive;
    // The load brings the dive's statistics, speeds and ceiling up to date.
    if (!DiveDb::instance()->loadDive(diveId, dive)) {
        showCritical(this, tr("Database Error"), tr("Impossible to read profile"));
        return;
    }
    mCurrentDive = std::move(dive);
    mCurrentDiveId = diveId;
    showCurrentDive();
    ui->btStoreDive->setEnabled(false);
    highlightShownDive();
}

void MainWindow::openDiveProfile()
{
    const QString path = UserDialogs::current().openFileName(
        this, tr("Open Dive File"), mSettings->value(SettingsKey::lastDiveFile).toString(),
        diveFileDialogFilter(DiveFileDialog::Open));
    if (path.isEmpty())
        return;
    openDiveFile(path);
}

void MainWindow::dropFiles(QStringList pFiles)
{
    if (pFiles.isEmpty())
        return;
    // Only the first file counts; the profile formats alone are accepted,
    // their suffix written exactly as the format names it.
    const QString& path = pFiles.first();
    const QString suffix = QFileInfo(path).suffix();
    const auto& formats = diveFileFormats();
    const bool accepted = std::any_of(formats.cbegin(), formats.cend(), [&suffix](const DiveFileFormat& format) {
        return format.has(DiveFileAbility::OpenedWhenDropped) && suffix == QLatin1String(format.suffix);
    });
    if (!accepted) {
        showWarning(this, tr("Error"), tr("Invalid File"));
        return;
    }
    openDiveFile(path);
}

bool MainWindow::openDiveFile(const QString& path)
{
    // A file that yields no profile line (a CSV export, say) holds no dive
    // to show.
    QList<Dive> dives;
    QString message;
    if (!DiveFileImport::read(path, dives, message)) {
        showCritical(this, tr("Error"), message);
        return false;
    }
    askToSaveUserInformation();
    mCurrentDive = dives.constFirst();
    mCurrentDiveId = -1;
    showCurrentDive();
    ui->btStoreDive->setEnabled(true);
    highlightShownDive();
    rememberDirectory(SettingsKey::lastDiveFile, path);
    if (dives.size() > 1)
        offerToStoreAll(dives);
    return true;
}

void MainWindow::offerToStoreAll(const QList<Dive>& dives)
{
    // The first dive is shown; the file's other dives would otherwise go
    // unseen.
    if (!UserDialogs::current().question(
            this, tr("Several dives"),
            tr("This file holds %1 dives; the first one is shown. Store all of them in the logbook?")
                .arg(dives.size())))
        return;
    const DiveFileImport::StoreReport report = DiveFileImport::storeAll(dives);
    if (report.stored > 0) {
        fillDiveList();
        // The shown dive is the first stored when it was stored now.
        if (report.firstStoredId >= 0 && report.alreadyStored == 0 && report.failed == 0) {
            mCurrentDiveId = report.firstStoredId;
            ui->btStoreDive->setEnabled(false);
            highlightShownDive();
        }
    }
    showInformation(this, tr("Several dives"), DiveFileImport::reportText(report, dives.size()));
}

void MainWindow::storeCurrentDive()
{
    if (mCurrentDive.lines.isEmpty() && mCurrentDive.name.isEmpty())
        return; // nothing shown
    // The notes typed in for a dive from a file go into the logbook with it.
    mCurrentDive.place = ui->edPlace->text();
    mCurrentDive.site = ui->edSite->text();
    mCurrentDive.buddy = ui->edBuddy->text();

    DiveDb* db = DiveDb::instance();
    int storedId = -1;
    const int result = db->insertDive(mCurrentDive, &storedId);
    if (result == DiveDb::Stored) {
        ui->btStoreDive->setEnabled(false);
        setUserInformationModified(false);
        // From now on the shown dive is the stored one: its notes are saved
        // there and the list highlights it.
        mCurrentDiveId = storedId;
        fillDiveList();
        return;
    }
    showCritical(this, tr("Write Database Error"), storeFailureText(mCurrentDive.name, result));
}

QString MainWindow::storeFailureText(const QString& name, int result)
{
    QString text = tr("Impossible to write profile ") + name;
    switch (result) {
    case DiveDb::NotOpen: text += tr("\nDatabase not open"); break;
    case DiveDb::DiveExists: text += tr("\nDive Id already exists"); break;
    default: text += QLatin1Char('\n') + DiveDb::instance()->lastError(); break;
    }
    return text;
}

void MainWindow::saveSelection()
{
    qint64 first = 0;
    qint64 second = 0;
    if (!graphSelection(first, second))
        return;
    // A selection dragged right to left, or past the end of the dive, still
    // saves the part of the dive it covers, with times running forward.
    const auto range = DiveExport::selectionRange(first, second, mCurrentDive);
    if (!range) {
        showWarning(this, tr("Error"), tr("Invalid selection"));
        return;
    }
    // A saved part keeps the file formats' own CSV separator, ','; the
    // separator choice applies to "Export".
    QString path;
    const std::unique_ptr<DiveLinesIO> writer = askExportFile(tr("Save Dive File"), u',', path);
    if (writer)
        writeExportFile(*writer, path, mCurrentDive.extractPortion(range->first, range->second));
}

std::unique_ptr<DiveLinesIO> MainWindow::askExportFile(const QString& caption, QChar csvSeparator, QString& path)
{
    path = UserDialogs::current().saveFileName(this, caption,
                                               mSettings->value(SettingsKey::lastExportDir).toString(),
                                               diveFileDialogFilter(DiveFileDialog::Export));
    if (path.isEmpty())
        return nullptr;
    std::unique_ptr<DiveLinesIO> writer = DiveExport::writerFor(path, csvSeparator);
    if (!writer)
        showWarning(this, tr("Error"), tr("Invalid File Name"));
    return writer;
}

void MainWindow::writeExportFile(DiveLinesIO& writer, const QString& path, const Dive& dive)
{
    if (!writer.writeDive(path, dive)) {
        showCritical(this, tr("Error"), tr("Impossible to open file"));
        return;
    }
    rememberDirectory(SettingsKey::lastExportDir, path);
}

void MainWindow::rememberDirectory(const QString& key, const QString& filePath)
{
    mSettings->setValue(key, QFileInfo(filePath).absolutePath());
    mSettings->sync();
}
