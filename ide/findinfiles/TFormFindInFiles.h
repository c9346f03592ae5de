#pragma once
// The Find in Files results window: one line per hit, filled while the search
// runs; a double click opens the file with the hit selected.

#include <QStringList>
#include <functional>
#include <memory>

#include "FileSearch.h"
#include "FindResultsModel.h"
#include "TDockableForm.h"

class FindInFilesRun;
class QLabel;
class QListView;
class QPushButton;

class TFormFindInFiles : public TDockableForm {
    Q_OBJECT
public:
    // Opens the file of a hit with the hit selected.
    using MatchOpener = std::function<void(const TFindObject& hit)>;

    TFormFindInFiles(QMainWindow* owner, std::optional<QRect> rect, int placement, MatchOpener opener);
    ~TFormFindInFiles() override;

    // Cancels a running search and empties the list.
    void ClearResults();
    // ClearResults, then the search runs on its own thread; its lines are
    // added as they come.
    void StartSearch(findinfiles::SearchRequest request);
    void CancelSearch();
    bool Searching() const;

    QStringList Lines() const;
    const FindResultsModel& Results() const { return model_; }
    QListView& ListBox() const { return *list_; }
    QPushButton& CancelButton() const { return *cancel_; }
    // Opens the hit of the current line, if it has one.
    void ListBoxDblClick();

signals:
    void searchFinished();

private:
    void searchEnded(bool cancelled);

    MatchOpener opener_;
    FindResultsModel model_;
    QListView* list_;
    QWidget* progress_;
    QLabel* progressText_;
    QPushButton* cancel_;
    std::unique_ptr<FindInFilesRun> run_;
};
