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

signals:
    // Every change of the text, typed or stepped, also while a typed number lies
    // outside the range (QSpinBox::textChanged stays silent until the value moves).
    void changed();

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    void noteText();
    QString lastText_;
};

} // namespace brixel
