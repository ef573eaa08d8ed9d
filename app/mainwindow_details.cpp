// The details panel of the shown dive, the user's notes on it (place, site,
// buddy) and the position information beside the profile.

#include "app/mainwindow.h"

#include "app/divedetails.h"
#include "app/firststarthint.h"
#include "app/floatinginformation.h"
#include "app/userdialogs.h"
#include "db/divedb.h"
#include "ui_mainwindow.h"

#include <QHeaderView>
#include <QPixmap>

void MainWindow::showCurrentDive()
{
    graphShowDive(&mCurrentDive);
    // What was said about the previous dive's positions no longer holds.
    mFloatingInformation->clearInformation();
    ui->edInformation->clear();
    fillDetails();
    for (int tab = 0; tab < 3; ++tab)
        ui->tabProfile->setTabEnabled(tab, true);
    updateFirstStartHint();
}

void MainWindow::fillDetails()
{
    const DiveDetails details = DiveDetails::describe(mCurrentDive);
    ui->lbDiveName->setText(details.name);
    ui->lbDiveDate->setText(details.startTime);
    ui->lbDiveDuration->setText(details.duration);
    ui->lbMaxDepth->setText(details.maxDepth);
    ui->lbAvgDepth->setText(details.avgDepth);
    ui->lbDiveMode->setText(details.diveMode);
    ui->lbWaterType->setText(details.waterType);
    ui->lbSurfacePressure->setText(details.surfacePressure);
    ui->lbGradientFactors->setText(details.gradientFactors);

    // setText does not count as an edit: the notes start unmodified.
    ui->edPlace->setText(details.place);
    ui->edSite->setText(details.site);
    ui->edBuddy->setText(details.buddy);
    setUserInformationModified(false);

    ui->edComputerName->setText(details.computerName);
    ui->edSampleInterval->setText(details.sampleInterval);
    ui->edComputerSerial->setText(details.serial);

    QTableWidget* gases = ui->tblGases;
    gases->clearContents();
    gases->setColumnCount(3);
    gases->setHorizontalHeaderLabels({tr("O2 %"), tr("He %"), tr("Type")});
    gases->verticalHeader()->hide();
    gases->setRowCount(int(details.gases.size()));
    for (int row = 0; row < details.gases.size(); ++row) {
        const DiveDetails::GasRow& gas = details.gases.at(row);
        int column = 0;
        for (const QString& text : {gas.o2, gas.he, gas.kind}) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignCenter);
            gases->setItem(row, column++, item);
        }
    }

    const std::array<QLabel*, DiveDetails::AlertCount> leds = {ui->alertCeil, ui->alertDpdt, ui->alertHighO2,
                                                               ui->alertBattery, ui->alertAI};
    for (int alert = 0; alert < DiveDetails::AlertCount; ++alert) {
        QLabel* led = leds[std::size_t(alert)];
        led->setFixedSize(20, 20);
        led->setScaledContents(true);
        led->setPixmap(QPixmap(DiveDetails::ledIcon(DiveDetails::Alert(alert),
                                                    details.alertLevels[std::size_t(alert)])));
    }
}

void MainWindow::setUserInformationModified(bool modified)
{
    mUserInformationModified = modified;
    ui->btSaveUserInformation->setEnabled(modified);
}

void MainWindow::askToSaveUserInformation()
{
    if (!mUserInformationModified)
        return;
    if (UserDialogs::current().question(this, tr("Unsaved changes"),
                                        tr("You have unsaved changes. Do you want to save them?")))
        storeUserInformation();
    setUserInformationModified(false);
}

void MainWindow::saveUserInformation()
{
    if (storeUserInformation())
        setUserInformationModified(false);
}

bool MainWindow::storeUserInformation()
{
    const DivePlace place{ui->edPlace->text(), ui->edSite->text(), ui->edBuddy->text()};
    // The shown dive keeps the notes either way, so that storing it later
    // takes them along.
    mCurrentDive.place = place.place;
    mCurrentDive.site = place.site;
    mCurrentDive.buddy = place.buddy;

    const QString failure = tr("Impossible to save the place, site and buddy");
    if (mCurrentDiveId < 0) {
        showCritical(this, tr("Database Error"), failure + QLatin1Char('\n') + tr("This dive is not in the logbook"));
        return false;
    }
    DiveDb* db = DiveDb::instance();
    if (db->updatePlaceSiteBuddy(mCurrentDiveId, place) != DiveDb::Stored) {
        showCritical(this, tr("Database Error"), failure + QLatin1Char('\n') + db->lastError());
        return false;
    }
    return true;
}

bool MainWindow::summaryVisible() const
{
    return !ui->widget_32->isHidden();
}

void MainWindow::updateFirstStartHint()
{
    // Only an empty logbook: a filter that hides every dive is no first start.
    const bool filtered = mFilter.byComputer || mFilter.byDate;
    const bool empty = mListedDives.isEmpty() && !filtered && mCurrentDive.lines.isEmpty();
    if (empty)
        mFirstStartHint->setText(FirstStartHint::textFor(mOptions.import, DataDirectory::optionsFile()));
    mFirstStartHint->setVisible(empty);
}

void MainWindow::graphViewMouseMove(QPointF pScenePoint, int pTime)
{
    const bool summary = summaryVisible();
    if (pTime < 0) {
        if (!summary)
            ui->edInformation->clear();
        return;
    }
    const QString information = graphInformationAt(pScenePoint, pTime);
    if (summary) {
        mFloatingInformation->showInformation(information, graphPointToGlobal(pScenePoint));
    } else {
        ui->edInformation->setHtml(information);
    }
}
