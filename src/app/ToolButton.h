#pragma once

#include <QToolButton>

namespace brixel {

// A tool-bar button with its picture above its caption. Its pressed ("down") look
// shows state and is set only by the program: a click does not toggle it.
class ToolButton : public QToolButton {
    Q_OBJECT
public:
    ToolButton(const QString& caption, const QPixmap& picture, QWidget* parent = nullptr);

    bool isDown() const { return isChecked(); }
    void setDown(bool down) { setChecked(down); }

protected:
    void nextCheckState() override {}
};

} // namespace brixel
