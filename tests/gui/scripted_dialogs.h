#pragma once

#include "gui/dialogs.h"

#include <QString>
#include <functional>
#include <vector>

namespace tolvar::gui {

// Dialogs that answer as a test scripts them and keep what the user was
// shown. Unscripted file dialogs are cancelled; questions get `answer`;
// the closure dialog keeps its preset.
class ScriptedDialogs final : public Dialogs {
public:
    // The open-file dialog: the file the user picks.
    std::function<QString(const QString& title, const QString& directory, const QString& filter)> openFileAnswer;
    // The grid dialog: the file and file type the user picks.
    std::function<GridFileAnswer(const GridFileRequest& request)> gridFileAnswer;
    bool answer = true;

    std::vector<QString> messages;
    std::vector<QString> questions;
    std::vector<QString> archiveCaptions;

    QString openFile(QWidget*, const QString& title, const QString& directory, const QString& filter) override
    {
        return openFileAnswer ? openFileAnswer(title, directory, filter) : QString();
    }
    GridFileAnswer openGridFile(QWidget*, const GridFileRequest& request) override
    {
        return gridFileAnswer ? gridFileAnswer(request) : GridFileAnswer{};
    }
    void message(QWidget*, const QString& text) override { messages.push_back(text); }
    bool question(QWidget*, const QString& text) override
    {
        questions.push_back(text);
        return answer;
    }
    ArchiveChoice archiveChoice(QWidget*, const QString& caption, ArchiveChoice preset) override
    {
        archiveCaptions.push_back(caption);
        return preset;
    }
};

}  // namespace tolvar::gui
