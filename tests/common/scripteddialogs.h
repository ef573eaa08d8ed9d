#pragma once

#include "app/userdialogs.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Answers the program's dialogs from queues and remembers what was shown, so
// that GUI tests never block on a modal dialog. Install with install(); the
// returned pointer stays valid until the next UserDialogs::install().
class ScriptedDialogs final : public UserDialogs
{
public:
    struct Shown
    {
        Icon icon;
        QString title;
        QString text;
    };

    static ScriptedDialogs* install()
    {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs* raw = dialogs.get();
        UserDialogs::install(std::move(dialogs));
        return raw;
    }

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.append({icon, title, text});
    }

    bool question(QWidget*, const QString& title, const QString& text) override
    {
        questions.append({Icon::Information, title, text});
        return answers.isEmpty() ? false : answers.dequeue();
    }

    QString openFileName(QWidget*, const QString& caption, const QString& directory, const QString& filter) override
    {
        fileDialogs.append({Icon::Information, caption, directory + QLatin1Char('|') + filter});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return openFileName(parent, caption, directory, filter);
    }

    std::optional<QString> text(QWidget*, const QString& title, const QString& label, const QString& initial) override
    {
        questions.append({Icon::Information, title, label + QLatin1Char('|') + initial});
        if (texts.isEmpty())
            return std::nullopt;
        return texts.dequeue();
    }

    // The program's own dialogs are shown without blocking; `onDialog` (when
    // set) plays the user and gives the result, else the dialog is rejected.
    int exec(QDialog& dialog) override
    {
        dialogs.append(dialog.objectName());
        dialogTitles.append(dialog.windowTitle());
        dialog.show();
        const int result = onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        dialog.hide();
        return result;
    }

    // The colour chooser: the next queued colour (none left: cancelled).
    QColor color(QWidget*, const QColor&, const QString& title) override
    {
        dialogTitles.append(title);
        return colors.isEmpty() ? QColor() : colors.dequeue();
    }

    // The messages shown so far as "title|text", oldest first.
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Shown& shown : messages)
            texts.append(shown.title + QLatin1Char('|') + shown.text);
        return texts;
    }

    QList<Shown> messages;
    QList<Shown> questions;
    QList<Shown> fileDialogs; // title = caption, text = "directory|filter"
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    QQueue<QString> texts;
    QStringList dialogs; // object names of the dialogs run
    std::function<int(QDialog&)> onDialog;
    QStringList dialogTitles; // window titles of the dialogs run, and of the colour choosers
    QQueue<QColor> colors;
};
