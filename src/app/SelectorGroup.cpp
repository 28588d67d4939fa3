#include "app/SelectorGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace brixel {

SelectorGroup::SelectorGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    setAccessibleName(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        // Exclusivity is ours: the rule needs "no item selected" and a click on the
        // selected item must not deselect it.
        b->setAutoExclusive(false);
        b->setAccessibleName(items[i]);
        connect(b, &QRadioButton::clicked, this, [this, i] { onButtonClicked(i); });
        layout->addWidget(b);
        buttons_.append(b);
    }
    layout->addStretch(1);
}

void SelectorGroup::setItemIndex(int index) {
    index = qBound(-1, index, count() - 1);
    if (index == index_)
        return;
    index_ = index;
    showIndex();
    if (index_ != -1)
        emit itemClicked();
}

void SelectorGroup::onButtonClicked(int index) {
    if (index == index_) {
        showIndex(); // the click unchecked it; the rule keeps it selected
        return;
    }
    index_ = index;
    showIndex();
    emit itemClicked();
}

void SelectorGroup::showIndex() {
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setChecked(i == index_);
}

} // namespace brixel
