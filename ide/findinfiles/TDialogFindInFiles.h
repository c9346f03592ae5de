#pragma once
// Asks what to find and where: the project's files, or a folder (with a file
// mask and optionally its subfolders).

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TDialogFindInFiles : public QDialog {
    Q_OBJECT
public:
    // Asks for a folder under the title; empty when cancelled. Tests replace it.
    using FolderBrowser = std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    explicit TDialogFindInFiles(QWidget* parent = nullptr);

    // Without a project, "Search All Files In Project" is disabled and the
    // folder search chosen.
    void EnableProjectScope(bool enable);
    // The folder controls follow the "Search In Directories" choice.
    void RadioButtonWhereClick();
    // The chosen folder goes into the file-mask field. The browser starts in
    // the field's folder, else in the given one.
    void ButtonBrowseClick();
    void SetBrowseFolder(const QString& folder) { browseFolder_ = folder; }
    void SetFolderBrowser(FolderBrowser browser) { browser_ = std::move(browser); }

    QString TextToFind() const;
    bool CaseSensitive() const;
    bool WholeWords() const;
    bool SearchProject() const;
    QString FileMask() const;
    bool IncludeSubdirectories() const;

    QLineEdit& TextEdit() const { return *text_; }
    QLineEdit& FileMaskEdit() const { return *fileMask_; }
    QCheckBox& CaseSensitiveBox() const { return *caseSensitive_; }
    QCheckBox& WholeWordsBox() const { return *wholeWords_; }
    QRadioButton& ProjectButton() const { return *project_; }
    QRadioButton& DirectoriesButton() const { return *directories_; }
    QCheckBox& SubdirectoriesBox() const { return *subdirectories_; }
    QPushButton& BrowseButton() const { return *browse_; }
    QPushButton& OkButton() const { return *ok_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateOk();

    QLineEdit* text_;
    QCheckBox* caseSensitive_;
    QCheckBox* wholeWords_;
    QRadioButton* project_;
    QRadioButton* directories_;
    QGroupBox* directoryOptions_;
    QLabel* fileMaskLabel_;
    QLineEdit* fileMask_;
    QPushButton* browse_;
    QCheckBox* subdirectories_;
    QPushButton* ok_;
    FolderBrowser browser_;
    QString browseFolder_;
};
