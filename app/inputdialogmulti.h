#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

// One typed value of an InputDialogMulti: a label, an editor, and optionally
// an enable box that switches the editor on and off. The dialog owns it.
class InputDialogMultiField : public QObject
{
    Q_OBJECT

public:
    InputDialogMultiField(const QString& label, bool hasEnableBox, bool enabled);

    const QString& label() const { return mLabel; }
    bool hasEnableBox() const { return mHasEnableBox; }
    // The enabled state: the enable box's check, or the state given at creation.
    bool isChecked() const { return mEnabled; }
    void setChecked(bool enabled);
    // The editor, made by the dialog when the field is added (null before).
    QWidget* editor() const { return mEditor; }
    virtual QVariant value() const = 0;

signals:
    void changed();
    void checkedChanged(bool enabled);

protected:
    friend class InputDialogMulti;
    // Builds the editor under `parent`, showing the field's value.
    virtual QWidget* createEditor(QWidget* parent) = 0;

private:
    QString mLabel;
    bool mHasEnableBox = false;
    bool mEnabled = true;
    QWidget* mEditor = nullptr;
};

class InputDialogMultiFieldString : public InputDialogMultiField
{
    Q_OBJECT
public:
    InputDialogMultiFieldString(const QString& label, const QString& value, bool hasEnableBox = false,
                                bool enabled = true);
    QVariant value() const override;
    QString text() const;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    QString mValue;
    QLineEdit* mEdit = nullptr;
};

class InputDialogMultiFieldInt : public InputDialogMultiField
{
    Q_OBJECT
public:
    InputDialogMultiFieldInt(const QString& label, int value, int minimum, int maximum, bool hasEnableBox = false,
                             bool enabled = true);
    QVariant value() const override;
    int intValue() const;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    int mValue;
    int mMinimum;
    int mMaximum;
    QSpinBox* mSpin = nullptr;
};

class InputDialogMultiFieldDouble : public InputDialogMultiField
{
    Q_OBJECT
public:
    InputDialogMultiFieldDouble(const QString& label, double value, double minimum, double maximum, int decimals = 2,
                                bool hasEnableBox = false, bool enabled = true);
    QVariant value() const override;
    double doubleValue() const;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    double mValue;
    double mMinimum;
    double mMaximum;
    int mDecimals;
    QDoubleSpinBox* mSpin = nullptr;
};

class InputDialogMultiFieldBool : public InputDialogMultiField
{
    Q_OBJECT
public:
    InputDialogMultiFieldBool(const QString& label, bool value, bool hasEnableBox = false, bool enabled = true);
    QVariant value() const override;
    bool boolValue() const;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    bool mValue;
    QCheckBox* mBox = nullptr;
};

// A colour among named ones, "Autre..." (any colour, through the chooser) or
// "Sans couleur" (transparent).
class InputDialogMultiFieldColor : public InputDialogMultiField
{
    Q_OBJECT
public:
    InputDialogMultiFieldColor(const QString& label, const QColor& value, bool hasEnableBox = false,
                               bool enabled = true);
    QVariant value() const override;
    QColor color() const;

    // The entries in order, with their colours (that of "Autre..." is the
    // starting one of the chooser).
    static QList<QPair<QString, QColor>> namedColors();

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    void chosen(int index);

    QColor mValue;
    QComboBox* mCombo = nullptr;
    int mShownIndex = 0;
};

// A form of several typed values with "Ok" and "Cancel"; read the fields
// after an accepted run.
class InputDialogMulti : public QDialog
{
    Q_OBJECT

public:
    explicit InputDialogMulti(const QString& title, QWidget* parent = nullptr);
    ~InputDialogMulti() override;

    // Adds the field in a new row and returns its index.
    int addField(std::unique_ptr<InputDialogMultiField> field);
    InputDialogMultiField* field(int index) const;
    int fieldCount() const { return int(mFields.size()); }

signals:
    void fieldChanged(int index);

private:
    QFormLayout* mForm = nullptr;
    std::vector<std::unique_ptr<InputDialogMultiField>> mFields;
};
