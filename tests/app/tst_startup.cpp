#include "app/appsettings.h"
#include "app/languageholder.h"
#include "app/mainwindow.h"
#include "corvane/simulator/democomputer.h"
#include "scripteddialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "db/divedb.h"

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void languageArguments_data();
    void languageArguments();
    void frenchTranslationLoads();
    void csvSeparatorMapping();
    void optionSwitches();

    void windowCreatesLogbookAndSettings();
    void windowAppliesOptionSwitches();
    void demoModeShowsEverything();
    void windowOpensWithoutDatabase();
    void windowTitleDropsBuildNumber();

private:
    void writeOptions(const QMap<QString, QVariant>& values);
    ScriptedDialogs* mDialogs = nullptr;
};

void TestStartup::init()
{
    // Every test starts from an empty data directory.
    QDir(DataDirectory::path()).removeRecursively();
    QFile::remove(DataDirectory::path());
    mDialogs = ScriptedDialogs::install();
}

void TestStartup::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

void TestStartup::writeOptions(const QMap<QString, QVariant>& values)
{
    QVERIFY(DataDirectory::ensure());
    QSettings ini(DataDirectory::optionsFile(), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        ini.setValue(it.key(), it.value());
}

void TestStartup::languageArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("code");
    QTest::newRow("english") << QStringList{"prog", "-lang", "english"} << "en";
    QTest::newRow("french") << QStringList{"prog", "-lang", "french"} << "fr";
    QTest::newRow("capital") << QStringList{"prog", "-lang", "French"} << "";
    QTest::newRow("code") << QStringList{"prog", "-lang", "fr"} << "";
    QTest::newRow("extra argument") << QStringList{"prog", "-lang", "french", "x"} << "";
    QTest::newRow("other first") << QStringList{"prog", "x", "-lang", "french"} << "";
    QTest::newRow("alone") << QStringList{"prog"} << "";
}

void TestStartup::languageArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, code);
    QCOMPARE(LanguageHolder::languageCodeFromArguments(arguments), code);
}

void TestStartup::frenchTranslationLoads()
{
    // The translation files are built next to the program and the tests.
    const QString dir = QCoreApplication::applicationDirPath();
    QVERIFY(QFile::exists(dir + QStringLiteral("/PelagonDiveLog_fr.qm")));
    QVERIFY(LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), dir, QStringLiteral("fr")));
    QCOMPARE(LanguageHolder::instance()->languageCode(), QStringLiteral("fr"));
    QCOMPARE(QCoreApplication::translate("MainWindow", "Database Error"), QStringLiteral("Erreur de base de données"));
    // The logbook's and the profile's texts come with the program's.
    QCOMPARE(QCoreApplication::translate("DiveDb", "No serial number"), QStringLiteral("Pas de numéro de série"));
    QCOMPARE(QCoreApplication::translate("DiveProfileItem", "Deco not terminated"), QStringLiteral("Déco non terminée"));
    QVERIFY(!LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), dir, QStringLiteral("xx")));
}

void TestStartup::csvSeparatorMapping()
{
    using namespace CsvSeparator;
    QCOMPARE(choiceFromStored(QVariant()), Dot);
    QCOMPARE(choiceFromStored(0), Dot);
    QCOMPARE(choiceFromStored(1), Comma);
    QCOMPARE(choiceFromStored(2), Semicolon);
    QCOMPARE(choiceFromStored(7), Dot);
    QCOMPARE(choiceFromStored(QStringLiteral("junk")), Dot);
    QCOMPARE(storedFromChoice(Comma), 1);
    QCOMPARE(storedFromChoice(Dot), 0);
    QCOMPARE(storedFromChoice(Semicolon), 2);
    QCOMPARE(character(Comma), QChar(u','));
    QCOMPARE(character(Dot), QChar(u'.'));
    QCOMPARE(character(Semicolon), QChar(u';'));
}

void TestStartup::optionSwitches()
{
    QCOMPARE(OptionSwitches::read(DataDirectory::optionsFile()).planification, false); // no file
    writeOptions({{"hidden/simulation", 1}, {"hidden/planification", 2}, {"hidden/import", "1"},
                  {"hidden/planificationaddon", "yes"}});
    const OptionSwitches switches = OptionSwitches::read(DataDirectory::optionsFile());
    QVERIFY(switches.simulation);
    QVERIFY(!switches.planification); // only exactly 1 switches a feature on
    QVERIFY(switches.import);
    QVERIFY(!switches.planificationAddOn);
}

void TestStartup::windowCreatesLogbookAndSettings()
{
    {
        MainWindow window;
        QVERIFY(mDialogs->messages.isEmpty());
        QVERIFY(QFile::exists(DataDirectory::databaseFile()));
        // The three logbook tables (the dive list adds its own summary table).
        QSqlQuery tables(QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('dives', 'profiles', 'gases')"));
        QVERIFY(tables.next());
        QCOMPARE(tables.value(0).toInt(), 3);

        QCOMPARE(window.csvSeparatorChoice(), CsvSeparator::Dot);
        QVERIFY(!QFile::exists(DataDirectory::settingsFile()));
        window.setCsvSeparatorChoice(CsvSeparator::Comma);
        QVERIFY(QFile::exists(DataDirectory::settingsFile()));
        QCOMPARE(QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("export/csvSeparator").toInt(), 1);
        window.setCsvSeparatorChoice(CsvSeparator::Semicolon);
        QCOMPARE(QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("export/csvSeparator").toInt(), 2);

        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabProfile"));
        QVERIFY(tabs);
        QCOMPARE(tabs->currentIndex(), 0);
        for (int tab = 0; tab < 3; ++tab)
            QVERIFY(!tabs->isTabEnabled(tab));
    }
    DiveDb::instance()->close();
    MainWindow again; // the stored choice is read back
    QCOMPARE(again.csvSeparatorChoice(), CsvSeparator::Semicolon);
}

void TestStartup::windowAppliesOptionSwitches()
{
    {
        MainWindow window;
        auto* tabMain = window.findChild<QTabWidget*>(QStringLiteral("tabMain"));
        auto* tabProfile = window.findChild<QTabWidget*>(QStringLiteral("tabProfile"));
        QVERIFY(tabMain && tabProfile);
        QVERIFY(!tabMain->isTabVisible(1));
        QVERIFY(!tabProfile->isTabVisible(tabProfile->count() - 1));
        QVERIFY(!tabProfile->isTabVisible(tabProfile->count() - 2));
        QVERIFY(tabProfile->isTabVisible(tabProfile->count() - 3));
        QVERIFY(!window.findChild<QAction*>(QStringLiteral("actionOpen"))->isEnabled());
        QVERIFY(window.findChild<QToolButton*>(QStringLiteral("btImportDive"))->isHidden());
        QVERIFY(window.findChild<QWidget*>(QStringLiteral("wdPlanifAddOn"))->isHidden());
        QVERIFY(!window.planningAddOn());
    }
    DiveDb::instance()->close();
    writeOptions({{"hidden/simulation", 1}, {"hidden/planification", 1}, {"hidden/import", 1},
                  {"hidden/planificationaddon", 1}});
    MainWindow window;
    auto* tabMain = window.findChild<QTabWidget*>(QStringLiteral("tabMain"));
    auto* tabProfile = window.findChild<QTabWidget*>(QStringLiteral("tabProfile"));
    QVERIFY(tabMain->isTabVisible(1));
    QVERIFY(tabProfile->isTabVisible(tabProfile->count() - 1));
    QVERIFY(window.findChild<QAction*>(QStringLiteral("actionOpen"))->isEnabled());
    QVERIFY(!window.findChild<QToolButton*>(QStringLiteral("btStoreDive"))->isHidden());
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("wdPlanifAddOn"))->isHidden());
    QVERIFY(window.planningAddOn());
}

void TestStartup::demoModeShowsEverything()
{
    // Switches all off in the file; demo mode overrides them.
    writeOptions({{"hidden/simulation", 0}, {"hidden/planification", 0}, {"hidden/import", 0}});
    DemoComputer::install();
    MainWindow window;
    delete DemoComputer::installed();
    auto* tabMain = window.findChild<QTabWidget*>(QStringLiteral("tabMain"));
    auto* tabProfile = window.findChild<QTabWidget*>(QStringLiteral("tabProfile"));
    QVERIFY(tabMain->isTabVisible(1));
    QVERIFY(tabProfile->isTabVisible(tabProfile->count() - 1));
    QVERIFY(window.findChild<QAction*>(QStringLiteral("actionOpen"))->isEnabled());
    QVERIFY(window.planningAddOn());
}

void TestStartup::windowOpensWithoutDatabase()
{
    // A file where the data directory should be: the logbook's folder cannot
    // exist, opening the database fails, and the window opens all the same.
    const QString dataPath = DataDirectory::path();
    QVERIFY(QDir().mkpath(QFileInfo(dataPath).absolutePath()));
    QFile blocker(dataPath);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages.first().icon, UserDialogs::Icon::Critical);
    QCOMPARE(mDialogs->messages.first().title, QStringLiteral("Database Error"));
    QCOMPARE(mDialogs->messages.first().text, QStringLiteral("Impossible to open database"));
    QVERIFY(!DiveDb::instance()->isOpen());
    // The program's entry refuses to start in that state.
    QVERIFY(!DataDirectory::ensure());
    QFile::remove(dataPath);
    QVERIFY(DataDirectory::ensure());
}

void TestStartup::windowTitleDropsBuildNumber()
{
    QCOMPARE(MainWindow::windowTitleForVersion(QStringLiteral("1.4.0.1176")), QStringLiteral("Pelagon DiveLog - 1.4.0"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
