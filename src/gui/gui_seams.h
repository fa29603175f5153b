#pragma once

#include "common/feedback.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QStatusBar;
class QWidget;

namespace tolvar::gui {

// The places where a window asks the user through a system dialog. Tests
// replace them to script the answers.
struct Seams {
    // An open-file dialog: the chosen file, or an empty text when cancelled.
    static std::function<QString(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter)>
        openFile;
    // The grid dialog dlgHULPVAR: file types `filters`, the one at
    // `fileType` selected and `proposedName` proposed; a change of file type
    // proposes the name `proposalFor` gives. The chosen file and the index of
    // its file type; an empty path when cancelled.
    struct GridFileAnswer {
        QString path;
        int fileType = 0;
    };
    static std::function<GridFileAnswer(QWidget* parent, const QString& title, const QString& directory,
                                        const QStringList& filters, int fileType, const QString& proposedName,
                                        const std::function<QString(int fileType)>& proposalFor)>
        openGridFile;
    // A modal message box.
    static std::function<void(QWidget* parent, const QString& text)> message;
    // A modal yes/no question: true for "Yes".
    static std::function<bool(QWidget* parent, const QString& text)> question;
    // The closure dialog: what to archive, with `caption` as its title and
    // `preset` selected.
    static std::function<ArchiveChoice(QWidget* parent, const QString& caption, ArchiveChoice preset)>
        archiveChoice;
    static void restoreDefaults();
};

// Feedback of a window: messages through the seam; the other calls are the
// owning window's business and do nothing here.
class DialogFeedback : public Feedback {
public:
    explicit DialogFeedback(QWidget* parent) : parent_(parent) {}
    void message(const std::string& text) override;
    void statusText(const std::string&) override {}
    void progress(double, double, const Stage&) override {}
    void milestone(Mijlpaal) override {}
    void busy(bool on) override;
    ArchiveChoice askArchiveChoice(const std::string&, ArchiveChoice preset) override
    {
        return preset;
    }

private:
    QWidget* parent_;
};

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

}  // namespace tolvar::gui
