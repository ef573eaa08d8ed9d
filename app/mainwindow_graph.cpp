// Everything the window asks of the logbook's profile view, in one place.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QMenu>
#include <QVBoxLayout>

void MainWindow::createGraph()
{
    auto* layout = new QVBoxLayout(ui->widgetGraph);
    layout->setContentsMargins(0, 0, 0, 0);
}

void MainWindow::graphShowDive(Dive* dive)
{
    Q_UNUSED(dive);
}

void MainWindow::showItems()
{
    graphShowItems();
}

void MainWindow::graphShowItems()
{
}

void MainWindow::fitAll()
{
}

bool MainWindow::fillGraphMenu(QMenu& menu)
{
    qint64 first = 0;
    qint64 second = 0;
    if (!graphSelection(first, second))
        return false;
    connect(menu.addAction(tr("Save selection")), &QAction::triggered, this, &MainWindow::saveSelection);
    return true;
}

bool MainWindow::graphSelection(qint64& first, qint64& second) const
{
    Q_UNUSED(first);
    Q_UNUSED(second);
    return false;
}

QString MainWindow::graphInformationAt(QPointF scenePoint, int time) const
{
    Q_UNUSED(scenePoint);
    Q_UNUSED(time);
    return QString();
}
