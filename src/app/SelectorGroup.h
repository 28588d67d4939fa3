#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QRadioButton;

namespace brixel {

// A titled group of mutually exclusive items, used for the three selectors.
// The rule every caller relies on:
// - a user's click (or Space) on an unselected item selects it and emits
//   itemClicked() once; a click on the selected item changes nothing;
// - setItemIndex() clamps to -1..count-1, does nothing when the index does not
//   change, and otherwise selects the item and emits itemClicked() unless the new
//   index is -1 (no item selected).
class SelectorGroup : public QGroupBox {
    Q_OBJECT
public:
    SelectorGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    int itemIndex() const { return index_; }
    void setItemIndex(int index);
    int count() const { return int(buttons_.size()); }
    QRadioButton* button(int index) const { return buttons_.value(index); }

signals:
    void itemClicked();

private:
    void onButtonClicked(int index);
    void showIndex();

    QList<QRadioButton*> buttons_;
    int index_ = -1;
};

} // namespace brixel
