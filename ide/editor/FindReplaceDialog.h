#pragma once
// The Find and the Replace dialogs: non-modal, searching toward the end of
// the text only, with match-case and whole-word choices. Their buttons wait
// for a text to find: an empty one would match at every position.

#include <QDialog>

#include "ScintillaEditor.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Find, Replace };
    FindReplaceDialog(Mode mode, QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    SearchOptions Options() const;

    QLineEdit& FindEdit() { return *findEdit_; }
    QLineEdit& ReplaceEdit() { return *replaceEdit_; }
    QCheckBox& MatchCaseBox() { return *matchCase_; }
    QCheckBox& WholeWordBox() { return *wholeWord_; }
    // Find Next, and Replace and Replace All in the Replace dialog.
    const QList<QPushButton*>& SearchButtons() const { return searchButtons_; }

signals:
    void FindRequested();
    void ReplaceRequested(bool all);

private:
    QLineEdit* findEdit_;
    QLineEdit* replaceEdit_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QList<QPushButton*> searchButtons_;
};
