#pragma once

#include <QObject>
#include <QString>
#include <string>

class QStatusBar;
class QWidget;

namespace tolvar::gui {

// Status-bar hints: the hint of a widget replaces the status bar's text when
// the mouse enters it (an empty hint clears it).
class StatusHints : public QObject {
public:
    explicit StatusHints(QStatusBar* bar);
    void set(QWidget* widget, const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStatusBar* bar_;
};

// Single-byte program text to a QString and back.
QString qs(const std::string& text);
std::string ss(const QString& text);

// A core message as a message box shows it: its CR LF line ends as line breaks.
QString messageText(const std::string& text);

// The busy pointer over the whole program while a command runs; off restores
// the normal pointer, however often it was set.
void showBusyPointer(bool on);

}  // namespace tolvar::gui
