#pragma once
// The one design of the stimulus and data file dialogs: use a file (typed or
// browsed for) or use none.

#include <QDialog>
#include <memory>

#include "DebugFileDialog.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

struct DebugFileChoiceTexts {
    QString caption;
    QString useFile;     // the "use" radio
    QString noFile;      // the "do not use" radio
    QString filterName;  // the browse filter's first description, before " (*.ext)"
    QString extension;   // without the point
};

class DebugFileChoiceDialog : public QDialog {
public:
    // Without a browser the platform's file dialog is used.
    DebugFileChoiceDialog(QWidget* parent, const DebugFileChoiceTexts& texts, std::unique_ptr<DebugFileDialog> browser);

    // The edit's text when a file is to be used; empty when none is.
    std::optional<QString> chosenFile() const;
    // An empty text chooses "do not use"; any other text is used.
    void setChosenFile(const QString& file);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyChoice();
    void browse();

    QString filter_;
    QString extension_;
    std::unique_ptr<DebugFileDialog> browser_;
    QRadioButton* useFile_;
    QLineEdit* fileEdit_;
    QPushButton* browseButton_;
    QRadioButton* noFile_;
    // The choice when the dialog was opened; Cancel brings it back.
    std::optional<QString> shownChoice_;
};
