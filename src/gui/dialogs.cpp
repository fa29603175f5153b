#include "gui/dialogs.h"

#include "gui/exit_dialog.h"
#include "gui/gui_support.h"
#include "gui/help_viewer.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace tolvar::gui {

namespace {
// A dialog shown while a command runs gets the normal pointer back.
struct NormalCursor {
    bool set = QApplication::overrideCursor() != nullptr;
    NormalCursor()
    {
        if (set)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor()
    {
        if (set)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;
};

// F1 in a file dialog: the topic of the control that opened it (the grid
// buttons' topic for the grid dialog, the editor's for the point file).
void installOpenerHelp(QFileDialog& dialog, QWidget* parent)
{
    const QWidget* opener = QApplication::focusWidget() ? QApplication::focusWidget() : parent;
    HelpViewer::installHelpKey(&dialog, HelpViewer::contextOf(opener));
}
}  // namespace

QString QtDialogs::openFile(QWidget* parent, const QString& title, const QString& directory,
                            const QString& filter)
{
    QFileDialog dialog(parent, title, directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    installOpenerHelp(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

GridFileAnswer QtDialogs::openGridFile(QWidget* parent, const GridFileRequest& request)
{
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setFileMode(QFileDialog::ExistingFile);
    installOpenerHelp(dialog, parent);
    const QStringList& filters = request.filters;
    dialog.setNameFilters(filters);
    if (request.fileType >= 0 && request.fileType < filters.size())
        dialog.selectNameFilter(filters[request.fileType]);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    // dlgHULPVARTypeChange: each file type proposes its own name.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QString proposal =
            request.proposalFor ? request.proposalFor(static_cast<int>(filters.indexOf(filter))) : QString();
        if (!proposal.isEmpty())
            dialog.selectFile(proposal);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(), static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

void QtDialogs::message(QWidget* parent, const QString& text)
{
    const NormalCursor normal;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tolvar"), text, QMessageBox::Ok, parent);
    // A long list (the files an archive could not take) would push the box
    // off the screen: it shows the head, and the whole text under its details.
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kMessageLines) {
        box.setText(lines.mid(0, kMessageLines).join(QLatin1Char('\n')) +
                    QStringLiteral("\n  … and %1 more (see the details)").arg(lines.size() - kMessageLines));
        box.setDetailedText(text);
    }
    box.exec();
}

bool QtDialogs::question(QWidget* parent, const QString& text)
{
    const NormalCursor normal;
    return QMessageBox::question(parent, QStringLiteral("Tolvar"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

ArchiveChoice QtDialogs::archiveChoice(QWidget* parent, const QString& caption, ArchiveChoice preset)
{
    const NormalCursor normal;
    return TfrmExit::ask(parent, caption, preset);
}

void DialogFeedback::message(const std::string& text)
{
    dialogs_.message(parent_, messageText(text));
}

void DialogFeedback::busy(bool on)
{
    showBusyPointer(on);
}

}  // namespace tolvar::gui
