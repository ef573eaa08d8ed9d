#pragma once

#include "app/appsettings.h"
#include "divedata/dive.h"

#include <QMainWindow>

#include <memory>

class QSettings;

namespace Ui {
class MainWindowClass;
}

// The program's single top-level window: the place where the logbook, the
// profile views, the planner and the dive computer meet.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    CsvSeparator::Choice csvSeparatorChoice() const { return mCsvSeparator; }
    void setCsvSeparatorChoice(CsvSeparator::Choice choice);
    const OptionSwitches& optionSwitches() const { return mOptions; }
    bool planningAddOn() const { return mOptions.planificationAddOn; }

    // "1.4.0.1176" shows as "1.4.0".
    static QString windowTitleForVersion(const QString& version);

private:
    void setToolIcons();
    void openDataFiles();
    void applyOptionSwitches();
    void openDatabase(const QString& path);

    std::unique_ptr<Ui::MainWindowClass> ui;
    QSettings* mSettings = nullptr;
    OptionSwitches mOptions;
    CsvSeparator::Choice mCsvSeparator = CsvSeparator::Dot;

    Dive mCurrentDive;
    int mCurrentDiveId = -1;
};
