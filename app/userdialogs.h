#pragma once

#include <QColor>
#include <QString>

#include <memory>
#include <optional>

class QDialog;
class QWidget;

// Every modal question, message and file dialog of the program goes through
// this seam, so that tests can answer them without a dialog ever blocking.
class UserDialogs
{
public:
    enum class Icon { Information, Warning, Critical };

    virtual ~UserDialogs() = default;

    virtual void message(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    // Empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    // A one-field text dialog; nothing when cancelled.
    virtual std::optional<QString> text(QWidget* parent, const QString& title, const QString& label,
                                        const QString& initial) = 0;
    // Runs one of the program's own dialogs modally; its result code.
    virtual int exec(QDialog& dialog);
    // The colour chooser; an invalid colour when cancelled.
    virtual QColor color(QWidget* parent, const QColor& initial, const QString& title);

    // The dialogs in force: the real ones unless a test installed others.
    static UserDialogs& current();
    // Installs replacement dialogs; passing nothing restores the real ones.
    static void install(std::unique_ptr<UserDialogs> dialogs);
};

// Shorthands for the program's message boxes.
void showCritical(QWidget* parent, const QString& title, const QString& text);
void showWarning(QWidget* parent, const QString& title, const QString& text);
void showInformation(QWidget* parent, const QString& title, const QString& text);
