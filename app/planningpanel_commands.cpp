// The planning tab's commands on slots, plan files and the plan table.

#include "app/appsettings.h"
#include "app/planningpanel.h"
#include "app/userdialogs.h"
#include "db/divedb.h"
#include "divedata/divelinesio.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "ui_planningpanel.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QTextDocument>

namespace {

QString settingsValue(const QSettings* settings, const QString& key)
{
    return settings ? settings->value(key).toString() : QString();
}

} // namespace

void PlanningPanel::newPlanification()
{
    if (mPlanner.slotCount() == 0)
        return;
    if (!UserDialogs::current().question(this, tr("New planification"),
                                         tr("Are you sure to create new planification?")))
        return;
    setSlotWidgetsEnabled(false);
    mPlanner.clear();
    showCurrentSlot(false);
}

void PlanningPanel::addDefaultDive()
{
    if (mPlanner.addDive() == deco::DivePlanner::kNoFreeSlot) {
        showCritical(this, tr("Error"), tr("No free location fro a new dive"));
        return;
    }
    showCurrentSlot(true);
}

QString PlanningPanel::askDiveFile()
{
    return UserDialogs::current().openFileName(
        this, tr("Open Dive File"), settingsValue(mSettings, SettingsKey::lastDiveFile),
        diveFileDialogFilter(DiveFileDialog::Open));
}

void PlanningPanel::addDiveFromFile()
{
    const QString path = askDiveFile();
    if (path.isEmpty())
        return;
    const int result = mPlanner.addDive(path);
    if (result == deco::DivePlanner::kNoFreeSlot) {
        showCritical(this, tr("Error"), tr("No free location for a new dive"));
        return;
    }
    if (result == deco::DivePlanner::kUnreadable) {
        showCritical(this, tr("Error"), tr("Impossible to load dive file"));
        return;
    }
    showCurrentSlot(true);
}

void PlanningPanel::replaceCurrentDiveBy(Dive dive)
{
    deco::PlannedDive* slot = mPlanner.currentSlot();
    if (!slot)
        return;
    // The view lets go of the old dive before it is replaced.
    mGraph->setDiveProfile(nullptr);
    slot->dive = std::move(dive);
    showCurrentSlot(true);
}

void PlanningPanel::replaceDiveFromFile()
{
    // Without a slot there is nothing to replace.
    if (!hasSlot())
        return;
    const QString path = askDiveFile();
    if (path.isEmpty())
        return;
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    Dive dive;
    if (!reader || !reader->readDive(path, dive) || dive.lines.isEmpty()) {
        showCritical(this, tr("Database Error"), tr("Impossible to read profile"));
        return;
    }
    dive.fillGasIndexes();
    replaceCurrentDiveBy(std::move(dive));
}

bool PlanningPanel::addPlanificationFromExistingDBDive(int diveId, bool replace)
{
    if (replace) {
        if (!hasSlot())
            return false;
        Dive dive;
        if (!DiveDb::instance()->loadDive(diveId, dive) || dive.lines.isEmpty()) {
            showCritical(this, tr("Database Error"), tr("Impossible to read profile"));
            return false;
        }
        dive.format = Dive::PlannedProfile;
        dive.fillGasIndexes();
        replaceCurrentDiveBy(std::move(dive));
    } else {
        const int result = mPlanner.addDiveFrom([diveId](Dive& dive) {
            if (!DiveDb::instance()->loadDive(diveId, dive) || dive.lines.isEmpty())
                return false;
            dive.fillGasIndexes();
            return true;
        });
        if (result == deco::DivePlanner::kNoFreeSlot) {
            showCritical(this, tr("Error"), tr("No free location for a new dive"));
            return false;
        }
        if (result == deco::DivePlanner::kUnreadable) {
            showCritical(this, tr("Database Error"), tr("Impossible to read profile"));
            return false;
        }
        showCurrentSlot(true);
    }
    emit showRequested();
    return true;
}

void PlanningPanel::replaceCurrentDive()
{
    if (!hasSlot())
        return;
    if (!UserDialogs::current().question(this, tr("Replace dive"), tr("Are you sure to replace current dive?")))
        return;
    mGraph->setDiveProfile(nullptr);
    mPlanner.resetCurrentDive();
    showCurrentSlot(true);
}

void PlanningPanel::deleteCurrentDive()
{
    if (!hasSlot())
        return;
    mGraph->setDiveProfile(nullptr);
    mPlanner.deleteCurrentDive();
    showCurrentSlot(false);
}

void PlanningPanel::changeCurrentPlanifDive(int row)
{
    if (!mPlanner.slot(row) || !mPlanner.setCurrentIndex(row))
        return;
    showCurrentSlot(false);
}

void PlanningPanel::loadPlan()
{
    const QString path = UserDialogs::current().openFileName(
        this, tr("Load plan"), settingsValue(mSettings, SettingsKey::lastPlanFile), tr("Dive plan file (*.diveplan)"));
    if (path.isEmpty())
        return;
    mGraph->setDiveProfile(nullptr);
    if (!mPlanner.loadPlan(path)) {
        showCritical(this, tr("Error"), tr("Impossible to load plan file"));
        showCurrentSlot(false);
        return;
    }
    mPlanner.setCurrentIndex(0);
    showCurrentSlot(true);
}

void PlanningPanel::savePlan()
{
    const QString path = UserDialogs::current().saveFileName(
        this, tr("Save Plan"), settingsValue(mSettings, SettingsKey::lastPlanFile), tr("Dive plan file (*.diveplan)"));
    if (path.isEmpty())
        return;
    if (mSettings) {
        mSettings->setValue(SettingsKey::lastPlanFile, QFileInfo(path).absolutePath());
        mSettings->sync();
    }
    if (!mPlanner.savePlan(path))
        showCritical(this, tr("Error"), tr("Impossible to save plan file"));
}

QString PlanningPanel::planTableText() const
{
    return mReport.text();
}

void PlanningPanel::copyPlanTable()
{
    QGuiApplication::clipboard()->setText(planTableText());
}

bool PlanningPanel::writePlanPdf(const QString& path) const
{
    QPdfWriter writer(path);
    writer.setTitle(tr("Dive plan"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(150);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QRect page = painter.viewport();
    // The profile on the upper part of the page, the plan table below it.
    const int profileHeight = page.height() * 2 / 5;
    mGraph->render(&painter, QRectF(0, 0, page.width(), profileHeight));
    QTextDocument table;
    table.setHtml(mReport.html());
    table.setTextWidth(page.width());
    painter.translate(0, profileHeight + 20);
    table.drawContents(&painter, QRectF(0, 0, page.width(), page.height() - profileHeight - 20));
    return painter.end();
}

void PlanningPanel::exportPlanPdf()
{
    if (!hasSlot())
        return;
    QString path = UserDialogs::current().saveFileName(
        this, tr("Export plan"), settingsValue(mSettings, SettingsKey::lastPlanFile), tr("PDF file (*.pdf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (!writePlanPdf(path))
        showCritical(this, tr("Error"), tr("Impossible to write file"));
}
