#pragma once

#include <QDialog>

class QTextBrowser;

namespace tolvar::gui {

// The help of the program: one page of topics, opened at the topic of the
// control under F1 (its help context number), or at the contents.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Scrolls to the topic of `context` (the contents for an unknown one).
    void showTopic(int context);
    QTextBrowser* browser = nullptr;

    // The help context of a widget: its own, or that of the nearest parent
    // that has one; 1 (the main window) when none has.
    static int contextOf(const QWidget* widget);
    static void setContext(QWidget* widget, int context);

    // The viewer of a window (made on first use), shown at `context`.
    static HelpViewer* open(QWidget* window, int context);
    // F1 in `window` opens its viewer at the topic of the focused control;
    // `context` is the window's own.
    static void installHelpKey(QWidget* window, int context);
};

}  // namespace tolvar::gui
