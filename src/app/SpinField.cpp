#include "app/SpinField.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace brixel {

SpinField::SpinField(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // Typing reaches the line edit; values set in code or brought into range reach
    // QSpinBox::textChanged. Either way the field reports each new text once.
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinField::noteText);
    connect(this, &QSpinBox::textChanged, this, &SpinField::noteText);
    lastText_ = text();
}

void SpinField::noteText() {
    if (text() == lastText_)
        return;
    lastText_ = text();
    emit changed();
}

QValidator::State SpinField::validate(QString& input, int& pos) const {
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]*$"));
    const QString t = input.trimmed();
    if (!wholeNumber.match(t).hasMatch())
        return QValidator::Invalid;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok)
        return QValidator::Intermediate; // empty, or a lone sign
    if (v < minimum() || v > maximum())
        return QValidator::Intermediate; // clamped by fixup() when the field is left
    return QSpinBox::validate(input, pos);
}

void SpinField::fixup(QString& input) const {
    bool ok = false;
    const qlonglong v = input.trimmed().toLongLong(&ok);
    if (!ok) {
        QSpinBox::fixup(input);
        return;
    }
    input = QString::number(qBound(qlonglong(minimum()), v, qlonglong(maximum())));
}

} // namespace brixel
