#include "gui/gui_seams.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QEvent>
#include <QMessageBox>
#include <QStatusBar>
#include <QWidget>

#include "gui/exit_dialog.h"
#include "gui/help_viewer.h"

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

QString defaultOpenFile(QWidget* parent, const QString& title, const QString& directory,
                        const QString& filter)
{
    QFileDialog dialog(parent, title, directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    installOpenerHelp(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

Seams::GridFileAnswer defaultOpenGridFile(QWidget* parent, const QString& title, const QString& directory,
                                          const QStringList& filters, int fileType, const QString& proposedName,
                                          const std::function<QString(int)>& proposalFor)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setFileMode(QFileDialog::ExistingFile);
    installOpenerHelp(dialog, parent);
    dialog.setNameFilters(filters);
    if (fileType >= 0 && fileType < filters.size())
        dialog.selectNameFilter(filters[fileType]);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    // dlgHULPVARTypeChange: each file type proposes its own name.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QString proposal = proposalFor(static_cast<int>(filters.indexOf(filter)));
        if (!proposal.isEmpty())
            dialog.selectFile(proposal);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(), static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

void defaultMessage(QWidget* parent, const QString& text)
{
    const NormalCursor normal;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tolvar"), text, QMessageBox::Ok, parent);
    box.exec();
}
bool defaultQuestion(QWidget* parent, const QString& text)
{
    const NormalCursor normal;
    return QMessageBox::question(parent, QStringLiteral("Tolvar"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

ArchiveChoice defaultArchiveChoice(QWidget* parent, const QString& caption, ArchiveChoice preset)
{
    const NormalCursor normal;
    return TfrmExit::ask(parent, caption, preset);
}
}  // namespace

std::function<ArchiveChoice(QWidget*, const QString&, ArchiveChoice)> Seams::archiveChoice =
    defaultArchiveChoice;
std::function<QString(QWidget*, const QString&, const QString&, const QString&)> Seams::openFile =
    defaultOpenFile;
std::function<void(QWidget*, const QString&)> Seams::message = defaultMessage;
std::function<Seams::GridFileAnswer(QWidget*, const QString&, const QString&, const QStringList&, int,
                                    const QString&, const std::function<QString(int)>&)>
    Seams::openGridFile = defaultOpenGridFile;
std::function<bool(QWidget*, const QString&)> Seams::question = defaultQuestion;

void Seams::restoreDefaults()
{
    openFile = defaultOpenFile;
    openGridFile = defaultOpenGridFile;
    message = defaultMessage;
    question = defaultQuestion;
    archiveChoice = defaultArchiveChoice;
}

StatusHints::StatusHints(QStatusBar* bar) : QObject(bar), bar_(bar) {}

void StatusHints::set(QWidget* widget, const QString& hint)
{
    widget->setProperty("statusHint", hint);
    widget->installEventFilter(this);
}

bool StatusHints::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        const QString hint = watched->property("statusHint").toString();
        if (hint.isEmpty())
            bar_->clearMessage();
        else
            bar_->showMessage(hint);
    }
    return QObject::eventFilter(watched, event);
}

QString qs(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ss(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DialogFeedback::message(const std::string& text)
{
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Seams::message(parent_, shown);
}

void DialogFeedback::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

}  // namespace tolvar::gui
