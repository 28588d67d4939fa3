#pragma once

#include <QSpinBox>

namespace brixel {

// A whole-number field with arrows. Any signed whole number may be typed; a value
// outside the range is brought into it when the field loses focus (or Enter is
// pressed). The arrows and the Up/Down keys step within the range.
class SpinField : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinField(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

} // namespace brixel
