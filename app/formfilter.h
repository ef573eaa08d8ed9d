#pragma once

#include "db/divedbtypes.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class FormFilterClass;
}

// The dialog behind the dive list's filter button: edits a copy of the dive
// filter, restricting the list by computer, by date and by time of day.
class FormFilter : public QDialog
{
    Q_OBJECT

public:
    // Fills the dialog from `filter`; the computers are the logbook's.
    explicit FormFilter(const DiveFilter& filter, QWidget* parent = nullptr);
    // As above with the computers given (serials and their names, same order).
    FormFilter(const DiveFilter& filter, const QStringList& serials, const QStringList& computers,
               QWidget* parent = nullptr);
    ~FormFilter() override;

    // The filter as edited. Checking every computer restricts nothing; the
    // computer group active with none checked keeps no dive. With the date
    // group inactive the date, end and time fields keep their old values.
    DiveFilter filter() const;

public slots:
    void checkAll();
    void uncheckAll();

private:
    void fill(const QStringList& serials, const QStringList& computers);
    void setAllChecked(Qt::CheckState state);

    std::unique_ptr<Ui::FormFilterClass> ui;
    DiveFilter mFilter;
};
