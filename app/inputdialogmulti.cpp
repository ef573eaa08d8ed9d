#include "app/inputdialogmulti.h"

#include "app/userdialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

InputDialogMultiField::InputDialogMultiField(const QString& label, bool hasEnableBox, bool enabled)
    : mLabel(label)
    , mHasEnableBox(hasEnableBox)
    , mEnabled(enabled)
{
}

void InputDialogMultiField::setChecked(bool enabled)
{
    if (mEnabled == enabled)
        return;
    mEnabled = enabled;
    if (mEditor)
        mEditor->setEnabled(enabled);
    emit checkedChanged(enabled);
}

// String ---------------------------------------------------------------------

InputDialogMultiFieldString::InputDialogMultiFieldString(const QString& label, const QString& value,
                                                         bool hasEnableBox, bool enabled)
    : InputDialogMultiField(label, hasEnableBox, enabled)
    , mValue(value)
{
}

QWidget* InputDialogMultiFieldString::createEditor(QWidget* parent)
{
    mEdit = new QLineEdit(mValue, parent);
    connect(mEdit, &QLineEdit::textChanged, this, &InputDialogMultiField::changed);
    return mEdit;
}

QString InputDialogMultiFieldString::text() const
{
    return mEdit ? mEdit->text() : mValue;
}

QVariant InputDialogMultiFieldString::value() const
{
    return text();
}

// Int ------------------------------------------------------------------------

InputDialogMultiFieldInt::InputDialogMultiFieldInt(const QString& label, int value, int minimum, int maximum,
                                                   bool hasEnableBox, bool enabled)
    : InputDialogMultiField(label, hasEnableBox, enabled)
    , mValue(value)
    , mMinimum(minimum)
    , mMaximum(maximum)
{
}

QWidget* InputDialogMultiFieldInt::createEditor(QWidget* parent)
{
    mSpin = new QSpinBox(parent);
    mSpin->setRange(mMinimum, mMaximum);
    mSpin->setValue(mValue);
    connect(mSpin, &QSpinBox::valueChanged, this, &InputDialogMultiField::changed);
    return mSpin;
}

int InputDialogMultiFieldInt::intValue() const
{
    return mSpin ? mSpin->value() : mValue;
}

QVariant InputDialogMultiFieldInt::value() const
{
    return intValue();
}

// Double ---------------------------------------------------------------------

InputDialogMultiFieldDouble::InputDialogMultiFieldDouble(const QString& label, double value, double minimum,
                                                         double maximum, int decimals, bool hasEnableBox,
                                                         bool enabled)
    : InputDialogMultiField(label, hasEnableBox, enabled)
    , mValue(value)
    , mMinimum(minimum)
    , mMaximum(maximum)
    , mDecimals(decimals)
{
}

QWidget* InputDialogMultiFieldDouble::createEditor(QWidget* parent)
{
    mSpin = new QDoubleSpinBox(parent);
    mSpin->setDecimals(mDecimals);
    mSpin->setRange(mMinimum, mMaximum);
    mSpin->setValue(mValue);
    connect(mSpin, &QDoubleSpinBox::valueChanged, this, &InputDialogMultiField::changed);
    return mSpin;
}

double InputDialogMultiFieldDouble::doubleValue() const
{
    return mSpin ? mSpin->value() : mValue;
}

QVariant InputDialogMultiFieldDouble::value() const
{
    return doubleValue();
}

// Bool -----------------------------------------------------------------------

InputDialogMultiFieldBool::InputDialogMultiFieldBool(const QString& label, bool value, bool hasEnableBox,
                                                     bool enabled)
    : InputDialogMultiField(label, hasEnableBox, enabled)
    , mValue(value)
{
}

QWidget* InputDialogMultiFieldBool::createEditor(QWidget* parent)
{
    mBox = new QCheckBox(parent);
    mBox->setChecked(mValue);
    connect(mBox, &QCheckBox::toggled, this, &InputDialogMultiField::changed);
    return mBox;
}

bool InputDialogMultiFieldBool::boolValue() const
{
    return mBox ? mBox->isChecked() : mValue;
}

QVariant InputDialogMultiFieldBool::value() const
{
    return boolValue();
}

// Colour ---------------------------------------------------------------------

namespace {

constexpr int kOtherColorIndex = 5;

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.setBrush(color);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

InputDialogMultiFieldColor::InputDialogMultiFieldColor(const QString& label, const QColor& value,
                                                       bool hasEnableBox, bool enabled)
    : InputDialogMultiField(label, hasEnableBox, enabled)
    , mValue(value)
{
}

QList<QPair<QString, QColor>> InputDialogMultiFieldColor::namedColors()
{
    return {
        {QStringLiteral("Rouge"), QColor(Qt::red)},
        {QStringLiteral("Vert"), QColor(Qt::green)},
        {QStringLiteral("Bleu"), QColor(Qt::blue)},
        {QStringLiteral("Jaune"), QColor(QStringLiteral("#FFFF00"))},
        {QStringLiteral("Orange"), QColor(QStringLiteral("#FFA500"))},
        {QStringLiteral("Autre..."), QColor(Qt::white)},
        {QStringLiteral("Sans couleur"), QColor(Qt::transparent)},
    };
}

QWidget* InputDialogMultiFieldColor::createEditor(QWidget* parent)
{
    mCombo = new QComboBox(parent);
    const auto colors = namedColors();
    int shown = -1;
    for (int i = 0; i < colors.size(); ++i) {
        QColor color = colors.at(i).second;
        if (i == kOtherColorIndex && mValue.isValid())
            color = mValue;
        mCombo->addItem(swatch(color), colors.at(i).first, color);
        if (shown < 0 && i != kOtherColorIndex && colors.at(i).second == mValue)
            shown = i;
    }
    // A colour of no named entry is shown as the "Autre..." entry's.
    if (shown < 0)
        shown = mValue.isValid() ? kOtherColorIndex : int(colors.size()) - 1;
    mShownIndex = shown;
    mCombo->setCurrentIndex(shown);
    connect(mCombo, &QComboBox::activated, this, &InputDialogMultiFieldColor::chosen);
    connect(mCombo, &QComboBox::currentIndexChanged, this, &InputDialogMultiField::changed);
    return mCombo;
}

void InputDialogMultiFieldColor::chosen(int index)
{
    if (index == kOtherColorIndex) {
        const QColor picked = UserDialogs::current().color(mCombo, mCombo->itemData(index).value<QColor>(),
                                                            QStringLiteral("Choisir une couleur"));
        if (!picked.isValid()) {
            mCombo->setCurrentIndex(mShownIndex);
            return;
        }
        mCombo->setItemData(index, picked);
        mCombo->setItemIcon(index, swatch(picked));
        emit changed();
    }
    mShownIndex = index;
}

QColor InputDialogMultiFieldColor::color() const
{
    return mCombo ? mCombo->currentData().value<QColor>() : mValue;
}

QVariant InputDialogMultiFieldColor::value() const
{
    return color();
}

// Dialog ---------------------------------------------------------------------

InputDialogMulti::InputDialogMulti(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    mForm = new QFormLayout;
    layout->addLayout(mForm);
    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->addButton(tr("Ok"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("btOk"));
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

InputDialogMulti::~InputDialogMulti() = default;

int InputDialogMulti::addField(std::unique_ptr<InputDialogMultiField> field)
{
    const int index = int(mFields.size());
    auto* label = new QLabel(field->label(), this);
    label->setMinimumWidth(100);
    auto* row = new QWidget(this);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    QWidget* editor = field->createEditor(row);
    field->mEditor = editor;
    editor->setObjectName(QStringLiteral("field%1").arg(index));
    editor->setEnabled(field->isChecked());
    rowLayout->addWidget(editor, 1);
    if (field->hasEnableBox()) {
        auto* box = new QCheckBox(row);
        box->setObjectName(QStringLiteral("enable%1").arg(index));
        box->setChecked(field->isChecked());
        connect(box, &QCheckBox::toggled, field.get(), &InputDialogMultiField::setChecked);
        connect(field.get(), &InputDialogMultiField::checkedChanged, box, &QCheckBox::setChecked);
        rowLayout->addWidget(box);
    } else {
        label->setEnabled(field->isChecked());
        connect(field.get(), &InputDialogMultiField::checkedChanged, label, &QLabel::setEnabled);
    }
    connect(field.get(), &InputDialogMultiField::changed, this, [this, index] { emit fieldChanged(index); });
    mForm->addRow(label, row);
    mFields.push_back(std::move(field));
    return index;
}

InputDialogMultiField* InputDialogMulti::field(int index) const
{
    if (index < 0 || index >= int(mFields.size()))
        return nullptr;
    return mFields[std::size_t(index)].get();
}
