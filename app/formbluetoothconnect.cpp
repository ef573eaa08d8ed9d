#include "app/formbluetoothconnect.h"

#include "app/computerconnector.h"
#include "app/userdialogs.h"
#include "ui_formbluetoothconnect.h"

#include <QTimer>

namespace {
constexpr int kAnimationStepMs = 500;
}

FormBluetoothConnect::FormBluetoothConnect(KelvoSession* session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::FormBluetoothConnectClass>())
    , m_connector(new ComputerConnector(session, this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("FormBluetoothConnect"));
    setModal(true);
    connect(ui->btClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_connector, &ComputerConnector::statusChanged, ui->lbStatus, &QLabel::setText);
    connect(m_connector, &ComputerConnector::linkUp, this, &FormBluetoothConnect::stopAnimation);
    connect(m_connector, &ComputerConnector::stopped, this, &FormBluetoothConnect::showClose);
    connect(m_connector, &ComputerConnector::succeeded, this, [this] {
        stopAnimation();
        accept();
    });
}

FormBluetoothConnect::~FormBluetoothConnect() = default;

int FormBluetoothConnect::run()
{
    ui->btClose->hide();
    toggleAnimation();
    m_connector->start();
    const int result = UserDialogs::current().exec(*this);
    m_connector->stop();
    stopAnimation();
    return result;
}

void FormBluetoothConnect::reject()
{
    if (!m_connector->isRunning())
        QDialog::reject();
}

void FormBluetoothConnect::toggleAnimation()
{
    if (m_animation) {
        stopAnimation();
        return;
    }
    m_animation = new QTimer(this);
    m_step = 0;
    connect(m_animation, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 4;
        showStep();
    });
    m_animation->start(kAnimationStepMs);
}

void FormBluetoothConnect::stopAnimation()
{
    delete m_animation;
    m_animation = nullptr;
    m_step = 0;
    showStep();
}

void FormBluetoothConnect::showStep()
{
    ui->imgBluetooth->setStyleSheet(
        QStringLiteral("image: url(:/TestGraphics/icons/bluetooth-smartphone-step%1.png);").arg(m_step));
}

void FormBluetoothConnect::showClose()
{
    stopAnimation();
    ui->btClose->show();
}
