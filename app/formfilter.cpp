#include "app/formfilter.h"

#include "db/divedb.h"
#include "ui_formfilter.h"

#include <QHeaderView>
#include <QSet>

namespace {

QStringList logbookSerials(QStringList& computers)
{
    QStringList serials;
    DiveDb::instance()->serialsAndComputers(serials, computers);
    return serials;
}

QDate shownDate(const QDateTime& when)
{
    return when.date().isValid() ? when.date() : QDate::currentDate();
}

} // namespace

FormFilter::FormFilter(const DiveFilter& filter, QWidget* parent)
    : FormFilter(filter, QStringList(), QStringList(), parent)
{
    QStringList computers;
    const QStringList serials = logbookSerials(computers);
    fill(serials, computers);
}

FormFilter::FormFilter(const DiveFilter& filter, const QStringList& serials, const QStringList& computers,
                       QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FormFilterClass>())
    , mFilter(filter)
{
    ui->setupUi(this);
    connect(ui->btCheckAll, &QPushButton::clicked, this, &FormFilter::checkAll);
    connect(ui->btUncheckAll, &QPushButton::clicked, this, &FormFilter::uncheckAll);
    connect(ui->btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->tblComputers->horizontalHeader()->setStretchLastSection(true);
    ui->tblComputers->verticalHeader()->setVisible(false);

    ui->startDate->setDate(shownDate(filter.startDate));
    ui->endDate->setDate(shownDate(filter.endDate));
    ui->startTime->setTime(filter.startTime.isValid() ? filter.startTime : QTime(0, 0));
    ui->endTime->setTime(filter.endTime.isValid() ? filter.endTime : QTime(23, 59));
    ui->grComputer->setChecked(filter.byComputer);
    ui->grDateTime->setChecked(filter.byDate);
    ui->grEndDate->setChecked(filter.hasEndDate);
    ui->grTime->setChecked(filter.byTime);
    fill(serials, computers);
}

FormFilter::~FormFilter() = default;

void FormFilter::fill(const QStringList& serials, const QStringList& computers)
{
    const QSet<QString> kept(mFilter.serials.cbegin(), mFilter.serials.cend());
    QTableWidget* table = ui->tblComputers;
    table->setUpdatesEnabled(false);
    table->setRowCount(int(serials.size()));
    table->setHorizontalHeaderLabels({tr("Serial"), tr("Name")});
    for (int row = 0; row < serials.size(); ++row) {
        auto* serial = new QTableWidgetItem(serials.at(row));
        serial->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        serial->setCheckState(kept.contains(serials.at(row)) ? Qt::Checked : Qt::Unchecked);
        table->setItem(row, 0, serial);
        auto* name = new QTableWidgetItem(row < computers.size() ? computers.at(row) : QString());
        name->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, 1, name);
    }
    table->setUpdatesEnabled(true);
}

void FormFilter::setAllChecked(Qt::CheckState state)
{
    for (int row = 0; row < ui->tblComputers->rowCount(); ++row)
        ui->tblComputers->item(row, 0)->setCheckState(state);
}

void FormFilter::checkAll()
{
    setAllChecked(Qt::Checked);
}

void FormFilter::uncheckAll()
{
    setAllChecked(Qt::Unchecked);
}

DiveFilter FormFilter::filter() const
{
    DiveFilter edited = mFilter;
    edited.byComputer = ui->grComputer->isChecked();
    if (edited.byComputer) {
        edited.serials.clear();
        bool someUnchecked = false;
        for (int row = 0; row < ui->tblComputers->rowCount(); ++row) {
            const QTableWidgetItem* item = ui->tblComputers->item(row, 0);
            if (item->checkState() == Qt::Checked)
                edited.serials.append(item->text());
            else
                someUnchecked = true;
        }
        edited.byComputer = someUnchecked;
    }
    edited.byDate = ui->grDateTime->isChecked();
    if (!edited.byDate)
        return edited;
    edited.startDate = QDateTime(ui->startDate->date(), QTime(0, 0));
    edited.hasEndDate = ui->grEndDate->isChecked();
    if (edited.hasEndDate)
        edited.endDate = QDateTime(ui->endDate->date(), QTime(0, 0));
    edited.byTime = ui->grTime->isChecked();
    if (edited.byTime) {
        edited.startTime = ui->startTime->time();
        edited.endTime = ui->endTime->time();
    }
    return edited;
}
