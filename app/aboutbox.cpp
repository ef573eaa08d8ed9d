#include "app/aboutbox.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

AboutBox::AboutBox(QWidget* parent, const OnlineConfig& config, const QString& languageCode, const QString& version)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About Pelagon DiveLog"));
    const QPixmap image(QStringLiteral(":/TestGraphics/icons/splashscreen.png"));
    const QSize size = image.isNull() ? QSize(600, 400) : image.size();
    setFixedSize(size);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("lbBackground"));
    background->setPixmap(image);
    background->setGeometry(0, 0, size.width(), size.height());

    // White on the image's dark blue, below its title and subtitle.
    QPalette light = palette();
    light.setColor(QPalette::WindowText, Qt::white);
    const auto place = [this, &size, &light](QLabel* label, const QString& name, int pointSize, int y) {
        label->setObjectName(name);
        label->setFont(QFont(QStringLiteral("Roboto Black"), pointSize));
        label->setPalette(light);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(0, y, size.width(), label->sizeHint().height());
    };
    auto* versionLabel = new QLabel(QStringLiteral("V") + version, this);
    place(versionLabel, QStringLiteral("lbVersion"), 20, size.height() * 64 / 100);

    auto* website = new QLabel(link(config.productPageFor(languageCode), tr("Visit the website")), this);
    auto* license = new QLabel(link(config.licenseUrl(languageCode), tr("View license terms")), this);
    int y = versionLabel->geometry().bottom() + 6;
    for (QLabel* label : {website, license}) {
        label->setTextFormat(Qt::RichText);
        label->setOpenExternalLinks(true);
        place(label, label == website ? QStringLiteral("lbWebsite") : QStringLiteral("lbLicense"), 10, y);
        y += label->height() + 4;
    }

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("btOk"));
    ok->setGeometry(size.width() - 140, size.height() - 50 - 20, 100, 50);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString AboutBox::link(const QUrl& url, const QString& text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), text.toHtmlEscaped());
}
