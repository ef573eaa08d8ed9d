#include "app/appsettings.h"
#include "app/languageholder.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/demofaults.h"

#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QSplashScreen>
#include <QTimer>

namespace {

QScreen* screenUnderCursor()
{
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELAGON_VERSION));

    // "--demo" puts a simulated dive computer where the Bluetooth stack is,
    // "--demo-fault=LIST" makes it misbehave; neither counts as part of the
    // language choice's command line.
    QStringList arguments = QCoreApplication::arguments();
    if (DemoComputer::isRequested(arguments)) {
        const QString faults = DemoFaults::request(arguments);
        arguments.removeAll(QStringLiteral("--demo"));
        arguments = DemoFaults::withoutOption(arguments);
        QString problem;
        if (!DemoComputer::install()->setFaults(faults, problem)) {
            qCritical("%s. Demo faults:\n%s", qPrintable(problem), qPrintable(DemoFaults::help()));
            return 2;
        }
        qInfo("Demo mode: a simulated dive computer stands in for Bluetooth.");
        if (!faults.isEmpty())
            qInfo("Demo computer faults: %s", qPrintable(faults));
    }
    const QString languageCode = LanguageHolder::languageCodeFromArguments(arguments);
    const QString programDir = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), programDir, languageCode);

    // Without its data directory the program can neither keep settings nor
    // store dives: say where it failed and stop.
    if (!DataDirectory::ensure()) {
        const QString text = QCoreApplication::translate("main", "Impossible to create the data directory \"%1\".")
                                 .arg(QDir::toNativeSeparators(DataDirectory::path()));
        qCritical().noquote() << text;
        showCritical(nullptr, QCoreApplication::translate("main", "Error"), text);
        return 1;
    }

    QSplashScreen splash(screenUnderCursor(), QPixmap(QStringLiteral(":/TestGraphics/icons/splashscreen.png")),
                         Qt::WindowStaysOnTopHint);
    splash.show();
    QCoreApplication::processEvents();

    MainWindow window;
    window.showFitted(screenUnderCursor()->availableGeometry());
    splash.raise(); // keeps the splash in front where no window manager honours the stay-on-top hint
    window.checkForUpdate();

    QTimer::singleShot(2000, &splash, &QWidget::close);
    return QCoreApplication::exec();
}
