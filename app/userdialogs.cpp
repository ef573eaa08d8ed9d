#include "app/userdialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class WidgetDialogs final : public UserDialogs
{
public:
    void message(QWidget* parent, Icon icon, const QString& title, const QString& text) override
    {
        switch (icon) {
        case Icon::Information: QMessageBox::information(parent, title, text); break;
        case Icon::Warning: QMessageBox::warning(parent, title, text); break;
        case Icon::Critical: QMessageBox::critical(parent, title, text); break;
        }
    }

    bool question(QWidget* parent, const QString& title, const QString& text) override
    {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

    QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    }

    std::optional<QString> text(QWidget* parent, const QString& title, const QString& label,
                                const QString& initial) override
    {
        bool ok = false;
        const QString value = QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, &ok);
        if (!ok)
            return std::nullopt;
        return value;
    }
};

std::unique_ptr<UserDialogs>& installed()
{
    static std::unique_ptr<UserDialogs> dialogs = std::make_unique<WidgetDialogs>();
    return dialogs;
}

} // namespace

int UserDialogs::exec(QDialog& dialog)
{
    return dialog.exec();
}

QColor UserDialogs::color(QWidget* parent, const QColor& initial, const QString& title)
{
    return QColorDialog::getColor(initial, parent, title);
}

UserDialogs& UserDialogs::current()
{
    return *installed();
}

void UserDialogs::install(std::unique_ptr<UserDialogs> dialogs)
{
    installed() = dialogs ? std::move(dialogs) : std::make_unique<WidgetDialogs>();
}

void showCritical(QWidget* parent, const QString& title, const QString& text)
{
    UserDialogs::current().message(parent, UserDialogs::Icon::Critical, title, text);
}

void showWarning(QWidget* parent, const QString& title, const QString& text)
{
    UserDialogs::current().message(parent, UserDialogs::Icon::Warning, title, text);
}

void showInformation(QWidget* parent, const QString& title, const QString& text)
{
    UserDialogs::current().message(parent, UserDialogs::Icon::Information, title, text);
}
