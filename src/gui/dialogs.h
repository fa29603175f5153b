#pragma once

#include "common/feedback.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tolvar::gui {

// The grid dialog dlgHULPVAR: file types `filters`, the one at `fileType`
// selected and `proposedName` proposed; a change of file type proposes the
// name `proposalFor` gives.
struct GridFileRequest {
    QString title;
    QString directory;
    QStringList filters;
    int fileType = 0;
    QString proposedName;
    std::function<QString(int fileType)> proposalFor;
};

// The chosen file and the index of its file type; an empty path when cancelled.
struct GridFileAnswer {
    QString path;
    int fileType = 0;
};

// Everything a window asks the user through a system dialog. A window is
// given one when it is made: the program gives QtDialogs, a test a double
// that answers as scripted.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An open-file dialog: the chosen file, or an empty text when cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& directory,
                             const QString& filter) = 0;
    virtual GridFileAnswer openGridFile(QWidget* parent, const GridFileRequest& request) = 0;
    // A modal message box.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A modal yes/no question: true for "Yes".
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // The closure dialog: what to archive, with `caption` as its title and
    // `preset` selected.
    virtual ArchiveChoice archiveChoice(QWidget* parent, const QString& caption, ArchiveChoice preset) = 0;
};

// The system's dialogs, with the help key at the topic of the control that
// opened them and the normal pointer while they are open.
class QtDialogs final : public Dialogs {
public:
    // A message of more lines shows this many, and the whole under its details.
    static constexpr int kMessageLines = 20;

    QString openFile(QWidget* parent, const QString& title, const QString& directory,
                     const QString& filter) override;
    GridFileAnswer openGridFile(QWidget* parent, const GridFileRequest& request) override;
    void message(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    ArchiveChoice archiveChoice(QWidget* parent, const QString& caption, ArchiveChoice preset) override;
};

// Feedback of a dialog window: messages through its dialogs; the other calls
// are the owning window's business and do nothing here.
class DialogFeedback : public Feedback {
public:
    DialogFeedback(QWidget* parent, Dialogs& dialogs) : parent_(parent), dialogs_(dialogs) {}
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
    Dialogs& dialogs_;
};

}  // namespace tolvar::gui
