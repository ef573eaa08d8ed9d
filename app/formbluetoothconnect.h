#pragma once

#include <QDialog>

#include <memory>

class ComputerConnector;
class KelvoSession;
class QTimer;

namespace Ui {
class FormBluetoothConnectClass;
}

// The frameless connection panel: an animated picture and one status line
// while the computer is found, connected and read; the Close button shows
// once the run has stopped without success. Accepted once the computer's
// settings arrived.
class FormBluetoothConnect : public QDialog
{
    Q_OBJECT

public:
    explicit FormBluetoothConnect(KelvoSession* session, QWidget* parent = nullptr);
    ~FormBluetoothConnect() override;

    // Connects and reads the computer while the panel runs modally (through
    // the dialog seam); 1 when the computer is connected and read.
    int run();

    ComputerConnector* connector() const { return m_connector; }
    // Starts the waiting animation when it is stopped, stops it when it runs.
    void toggleAnimation();
    bool animationRunning() const { return m_animation != nullptr; }
    int animationStep() const { return m_step; }

public slots:
    // Only the Close button (or the success) ends the panel: a run that has
    // not stopped cannot be left behind by Escape.
    void reject() override;

private:
    void stopAnimation();
    void showStep();
    void showClose();

    std::unique_ptr<Ui::FormBluetoothConnectClass> ui;
    ComputerConnector* m_connector;
    QTimer* m_animation = nullptr;
    int m_step = 0;
};
